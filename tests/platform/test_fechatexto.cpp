// A date written day first reads as Qt's parser reads it with "dd/MM/yyyy".
#include "platform/FechaTexto.h"

#include <gtest/gtest.h>

namespace {

TEST(FechaDeTexto, LeeComoElFormatoDeQt)
{
    const char *const textos[] = {
        "05/03/2026", "31/12/2025", "29/02/2024", "29/02/2025", "31/04/2026", "00/01/2026", "01/00/2026",
        "32/01/2026", "01/13/2026", "01/01/0000", "01/01/0001", "31/12/9999", "__/__/____", "05/03/202_",
        "5/3/2026",   "05-03-2026", "05/03/2026 ", " 05/03/2026", "05/03/20260", "2026-03-05", "",
        "0a/03/2026", "05/03/+026", "05/03/-026", "０５/03/2026", "05/0３/2026", "05/03/２０２６", "0503/2026/",
    };
    for (const char *t : textos) {
        const QString texto = QString::fromUtf8(t);
        SCOPED_TRACE(t);
        const QDate qt = QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
        const QDate nuestra = FechaDeTexto(texto);
        EXPECT_EQ(nuestra.isValid(), qt.isValid());
        EXPECT_EQ(nuestra, qt);
    }
    EXPECT_EQ(FechaDeTexto(QStringLiteral("29/02/2024")), QDate(2024, 2, 29));
}

// Every day of several years, and days past a month's end, as text.
TEST(FechaDeTexto, CadaDiaYCadaDiaQueNoExiste)
{
    for (int ano : {1900, 1999, 2000, 2004, 2026, 2100}) {
        for (int mes = 0; mes <= 13; ++mes) {
            for (int dia = 0; dia <= 32; ++dia) {
                const QString texto = QString::asprintf("%02d/%02d/%04d", dia, mes, ano);
                ASSERT_EQ(FechaDeTexto(texto), QDate::fromString(texto, QStringLiteral("dd/MM/yyyy")))
                    << texto.toStdString();
            }
        }
    }
}

} // namespace
