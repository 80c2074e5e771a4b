#include "comun/ProgramaTemporal.h"
#include "shell/CamposVentana.h"
#include "shell/modGeneral.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

TEST(ValidaFecha, VeredictoYAviso)
{
    const struct {
        const char *texto;
        bool valida, avisa;   // avisa: beep and "Fecha invalida, verifique por favor....."
    } casos[] = {
        {"29/02/2004", true, false}, {"29/02/2003", false, true}, {"30/02/2004", false, false},
        {"15/13/2004", false, false}, {"01/01/1899", false, false}, {"1/1/2004", false, false},
        {"00/01/2004", false, true}, {"__/__/____", false, false}, {"AB/01/2004", false, true},
        // The upper bound is the current year of the clock, not a fixed one.
        {"06/12/2026", true, false}, {"01/01/2027", false, false},
    };
    RelojFijo reloj(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
    for (const auto &c : casos) {
        MensajesFalsos m;
        const bool valida = ValidaFecha(QString::fromUtf8(c.texto), m, reloj);
        EXPECT_EQ(QStringLiteral("%1 %2 %3|%4").arg(valida).arg(m.beeps).arg(m.Ultimo(), m.cajas.value(0).titulo),
                  QStringLiteral("%1 %2 ").arg(c.valida).arg(int(c.avisa))
                      + (c.avisa ? "Fecha invalida, verifique por favor.....|Valida Fecha" : "|")) << c.texto;
    }
}

TEST(ValorEntero, LeeDesdeLaIzquierdaEnSesentaYCuatroBits)
{
    EXPECT_EQ(ValorEntero(" 3000000000"), Q_INT64_C(3000000000));
    EXPECT_EQ(ValorEntero("9007199254740993"), Q_INT64_C(9007199254740993));
    EXPECT_EQ(ValorEntero("12.7X"), 12);
    EXPECT_EQ(ValorEntero("-4"), -4);
    EXPECT_EQ(ValorEntero("A1"), 0);
}

TEST(FechaSQL, FechaTecleadaAFechaIso)
{
    EXPECT_EQ(FechaSQL("05/01/2004"), "2004-01-05");
    EXPECT_EQ(FechaSQL("5/1/2004"), "2004-01-05");
    EXPECT_EQ(FechaSQL("26/1/2004"), "2004-01-26");
    EXPECT_EQ(FechaSQL(QString()), QString());
    EXPECT_EQ(FechaSQL("31/02/2004"), "31/02/2004");
}

TEST(RutinasBase, BorraTablaIgnoraLaQueFaltaYEjecutaSQLLevantaElError)
{
    ProgramaTemporal p;
    p.AbreBase();
    EXPECT_NO_THROW(BorraTabla(p.bd(), "TMPNOEXISTE"));
    EjecutaSQL(p.bd(), "CREATE TABLE TMPPRUEBA (A INTEGER)");
    BorraTabla(p.bd(), "TMPPRUEBA");
    EXPECT_EQ(p.Cuenta("sqlite_master", "name = 'TMPPRUEBA'"), 0);
    EXPECT_THROW(EjecutaSQL(p.bd(), "DELETE FROM NoExiste"), ErrorBD);
}

TEST(Campos, ActivaYDesactivaConSuColor)
{
    QLineEdit campo;
    DesactivaCampo(&campo);
    EXPECT_TRUE(!campo.isEnabled() && campo.palette().color(QPalette::Base) == QGuiApplication::palette().color(QPalette::Dark));
    ActivaCampo(&campo);
    EXPECT_TRUE(campo.isEnabled() && campo.palette().color(QPalette::Base) == QGuiApplication::palette().color(QPalette::Base));
    ActivaCampo(nullptr);   // nothing to do, nothing to fail
}

} // namespace
