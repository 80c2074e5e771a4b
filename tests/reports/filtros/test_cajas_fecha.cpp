// The report window's date boxes as a clerk meets them: one click of the
// mouse in the box, then the keys; the date typed is the date taken, or the
// clerk is told why not.
#include "reports/AmbienteReportes.h"
#include "reports/frmReportes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Care from 26/12/2025 to 25/11/2026: the default period of the window.
class CajasFecha : public AmbienteReportes {
protected:
    CajasFecha()
    {
        Evento("DFSSA000012", 1, "2025-12-26");
        Evento("DFSSA000012", 2, "2026-06-15");
        Evento("DFSSA000012", 3, "2026-11-25");
        ventana = std::make_unique<frmReportes>(*ctx);
        ventana->Generador().Muestra = [this](const DocumentoReporte &d) { mostrados << d.titulo; };
        ventana->show();
        ventana->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(ventana.get()));
    }

    // One click after the first `antes` characters of the box's text (between
    // the two digits of the day), where the mouse lands on the text; the keys
    // then go where the focus is.
    void Teclea(CajaFecha *caja, const QString &teclas, bool inicio = false, int antes = 1)
    {
        QLineEdit *texto = caja->findChild<QLineEdit *>();
        const int x = texto->fontMetrics().horizontalAdvance(texto->text().left(antes)) + 4;
        QTest::mouseClick(texto, Qt::LeftButton, {}, QPoint(x, texto->height() / 2));
        ASSERT_EQ(QApplication::focusWidget(), caja);
        if (inicio)
            QTest::keyClick(caja, Qt::Key_Home);
        for (const QChar c : teclas)
            c == '\t' ? QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab)
                      : QTest::keyClicks(QApplication::focusWidget(), QString(c));
        QApplication::processEvents();   // the boxes speak once the focus has settled
    }
    // Both boxes, both filter dates, and the boxes shown as "icon|title|text".
    QStringList Estado()
    {
        const FiltrosReporte &f = ventana->Filtros();
        QStringList e = {ventana->picFechaInicial->text(), ventana->picFechaFinal->text(),
                         f.picFechaInicial.valor.toString("dd/MM/yyyy"), f.picFechaFinal.valor.toString("dd/MM/yyyy")};
        for (const MensajesFalsos::Caja &c : mensajes.cajas)
            e << QStringLiteral("%1|%2|%3").arg(int(c.icono)).arg(c.titulo, c.texto);
        mensajes.Limpia();
        return e;
    }

    std::unique_ptr<frmReportes> ventana;
};

TEST_F(CajasFecha, UnClicYLaFechaTecleadaConOSinBarrasEsLaQueQueda)
{
    EXPECT_EQ(Estado(), QStringList({"26/12/2025", "25/11/2026", "26/12/2025", "25/11/2026"}));
    // Moving the initial date resets the final one to the last date on record.
    const std::tuple<bool, const char *, bool, QStringList> casos[] = {
        {true, "05032026\t", false, {"05/03/2026", "25/11/2026", "05/03/2026", "25/11/2026"}},
        {false, "20102026\t", false, {"05/03/2026", "20/10/2026", "05/03/2026", "20/10/2026"}},
        {true, "07/04/2026\t", true, {"07/04/2026", "25/11/2026", "07/04/2026", "25/11/2026"}},
        {false, "21/10/2026\t", true, {"07/04/2026", "21/10/2026", "07/04/2026", "21/10/2026"}},
        // A day or month of one digit, closed by the bar.
        {true, "8/4/2026\t", true, {"08/04/2026", "25/11/2026", "08/04/2026", "25/11/2026"}},
        // Only the day: month and year stay.
        {false, "09\t", false, {"08/04/2026", "09/11/2026", "08/04/2026", "09/11/2026"}},
    };
    for (const auto &[inicial, teclas, inicio, esperado] : casos) {
        Teclea(inicial ? ventana->picFechaInicial : ventana->picFechaFinal, teclas, inicio);
        EXPECT_EQ(Estado(), esperado) << teclas;
    }
    // A click in the box while typing keeps what was typed, here on the year.
    Teclea(ventana->picFechaInicial, "4");
    Teclea(ventana->picFechaInicial, "2026\t", false, 8);
    EXPECT_EQ(Estado(), QStringList({"04/04/2026", "25/11/2026", "04/04/2026", "25/11/2026"}));
}

// A text that is no date keeps the focus in its box and is said; a date out
// of the period is brought into it and said; so is a date still being typed
// when "Reporte" is clicked, which then does not run.
TEST_F(CajasFecha, UnaFechaRehusadaOFueraDelPeriodoSeDice)
{
    const QString titulo = "1|Reportes VELMORAN|";
    Teclea(ventana->picFechaInicial, "31022026\t");
    EXPECT_EQ(Estado(), QStringList({"26/12/2025", "25/11/2026", "26/12/2025", "25/11/2026",
                                     titulo + "La fecha 31/02/2026 no es válida, verifique por favor....."}));
    EXPECT_EQ(QApplication::focusWidget(), ventana->picFechaInicial);
    Teclea(ventana->picFechaFinal, "05/03/26\t", true);
    EXPECT_EQ(Estado(), QStringList({"26/12/2025", "25/11/2026", "26/12/2025", "25/11/2026",
                                     titulo + "La fecha 05/03/26__ no es válida, verifique por favor....."}));
    Teclea(ventana->picFechaInicial, "0503\t");
    EXPECT_EQ(Estado(), QStringList({"26/12/2025", "25/11/2026", "26/12/2025", "25/11/2026",
                                     titulo + "La fecha 05/03/2025 está fuera del periodo del 26/12/2025 al 25/11/2026, "
                                              "se tomó el 26/12/2025, verifique por favor....."}));
    Teclea(ventana->picFechaInicial, "01062026\t");
    Teclea(ventana->picFechaFinal, "31052026\t");
    EXPECT_EQ(Estado(), QStringList({"01/06/2026", "01/06/2026", "01/06/2026", "01/06/2026",
                                     titulo + "La fecha 31/05/2026 está fuera del periodo del 01/06/2026 al 25/11/2026, "
                                              "se tomó el 01/06/2026, verifique por favor....."}));
    Teclea(ventana->picFechaFinal, "3106");
    QTest::mouseClick(ventana->cmdGenerarReporte, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(Estado(), QStringList({"01/06/2026", "01/06/2026", "01/06/2026", "01/06/2026",
                                     titulo + "La fecha 31/06/2026 no es válida, verifique por favor....."}));
    EXPECT_TRUE(mostrados.isEmpty());
    // A whole date typed and "Reporte" clicked at once: the report runs on it.
    Teclea(ventana->picFechaFinal, "30/06/2026", true);
    QTest::mouseClick(ventana->cmdGenerarReporte, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(Estado().mid(0, 4), QStringList({"01/06/2026", "30/06/2026", "01/06/2026", "30/06/2026"}));
    EXPECT_EQ(mostrados, QStringList({"Accidente por vehiculo de motor"}));
}

} // namespace
