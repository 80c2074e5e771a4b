// The filter run: the sheet reloaded on the chosen events and every box of a
// run that finds nothing or fails; the filter window and the export generator
// as a user meets them (the road from the sheet's "Filtrar" by keys is the
// end-to-end test's, the ICD-10 list's hand-back the catalog windows').
#include "CincoEventos.h"
#include "queries/PanelCriterio.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmQuery.h"

#include <QListWidget>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {

using Filtro = CincoEventos;

// Each event once, however many of its detail rows meet the criteria.
TEST_F(Filtro, CadaEventoUnaVez)
{
    const std::pair<const char *, const char *> casos[] = {
        {"D.CodDerechohabiencia >= '08'", "2,3,4,5"}, {"V.CodTipoViolencia < 9", "3,4,5"}, {"T.CodTipoAtencion > 7", "2,3,4,5"},
        {"P.EfectosPaciente = 5 Or E.Folio = 1", "1,3"}, {"P.EfectosAgresor = 5 Or E.Folio = 1", "1"}, {"E.Paterno = 'p5'", "1"},
        {"F.Diagnosticos = 's010'\nAnd E.Edad < 24", "3"}, {"CDATE(E.fechaAtencion) >= CDATE('04/03/2004')", "4,5"},
        {"E.Paterno Like 'PE*' Or F.Diagnosticos Is Null And E.Edad > 22", "2,4,5"},
    };
    for (const auto &[criterio, folios] : casos) {
        ASSERT_TRUE(Filtra(QString::fromUtf8(criterio))) << criterio;
        EXPECT_EQ(Folios(), QString(folios)) << criterio;
    }
}

// A pattern on a date is written as the user reads the date, day first.
TEST_F(Filtro, LikeSobreFechasComoLasLeeElUsuario)
{
    p.Ejecuta("UPDATE D_EVENTO SET FechaOcurrencia = date(fechaAtencion, '-1 day')");
    const std::pair<const char *, const char *> casos[] = {
        {"E.fechaAtencion Like '03/03/*'", "3"}, {"E.fechaAtencion Not Like '03/03/%'", "1,2,4,5"},
        {"CDATE(E.FechaOcurrencia) Like CDATE('29/02/2004')", "1"}, {"E.FechaOcurrencia Like '0_/03/2004'", "2,3,4,5"},
        {"F.fechaAtencion Like '03/03/2004'", "3"},
    };
    for (const auto &[criterio, folios] : casos) {
        ASSERT_TRUE(Filtra(criterio)) << criterio;
        EXPECT_EQ(Folios(), QString(folios)) << criterio;
    }
}

TEST_F(Filtro, LaHojaQuedaEnLosEventosElegidosYGuardaElFiltro)
{
    ASSERT_TRUE(Filtra("  E.Edad > 21\nAnd E.Edad < 24  "));
    EXPECT_EQ(h.Hoja().Texto(22) + "|" + h.Vida().FiltroEventos, "00000002|E.Edad > 21 And E.Edad < 24");
    // A save or a delete reopens the set on the filter's own statement.
    ASSERT_TRUE(h.Reg().eventos.CargaEventos(h.Reg().eventos.ConsultaEventos));
    EXPECT_EQ(Folios(), "2,3");
}

// The boxes as "icon|title|text"; a beep but for an empty criteria; the sheet, its filter and its statement stay.
TEST_F(Filtro, SinEventosOConErrorLaHojaSigueIgual)
{
    const QString error = "0|VELMORAN2016|The following Error occurred:\n\n";
    const std::pair<const char *, QStringList> casos[] = {
        {"   ", {"2|VELMORAN2016|No ha creado ninguna Consulta!"}},
        {"E.Edad > 100", {"1|Consultas|La consulta creada no encontro registros\nque cumplan las condiciones señaladas",
                          "1|Consultas|No hay registros que cumplan la condición establecida, verifique por favor....."}},
        // A criteria that cannot run: its error box, then the closing box.
        {"E.Edad >", {error + "El criterio termina sin completar la condición: E.Edad >\nNumber: 1",
                      "1|Consultas|No hay registros que cumplan la condición establecida, verifique por favor....."}},
        {"E.Nada = 1", {error + "El criterio nombra un campo que no existe en D_EVENTO: E.Nada\nNumber: 1",
                        "1|Consultas|No hay registros que cumplan la condición establecida, verifique por favor....."}},
    };
    for (const auto &[criterio, esperadas] : casos) {
        h.Msj().Limpia();
        EXPECT_FALSE(Filtra(criterio));
        QStringList cajas;
        for (const MensajesFalsos::Caja &k : h.Msj().cajas)
            cajas << QStringLiteral("%1|%2|%3").arg(int(k.icono)).arg(k.titulo, k.texto);
        EXPECT_EQ(cajas, esperadas) << criterio;
        EXPECT_EQ(QStringList({QString::number(h.Msj().beeps), Folios(), h.Vida().FiltroEventos, h.Reg().eventos.ConsultaEventos.sql}),
                  QStringList({QString(criterio).trimmed().isEmpty() ? "0" : "1", "1,2,3,4,5", "", "Select * from D_Evento"}));
    }
}

// Typed into the filter window and run with the mouse: a criteria the program
// refuses shows its error box and then the closing box, over the events and
// over CATCIE10; the window stays open with its criteria. The export
// generator's run ends in the error box alone.
TEST_F(Filtro, CriterioQueNoCorreMuestraElErrorYLuegoLaSegundaCaja)
{
    const QString error = "0|VELMORAN2016|The following Error occurred:\n\n%1\nNumber: 1";
    const QString segunda = "1|Consultas|No hay registros que cumplan la condición establecida, verifique por favor.....";
    auto cajas = [this] {
        QStringList c;
        for (const MensajesFalsos::Caja &k : h.Msj().cajas)
            c << QStringLiteral("%1|%2|%3").arg(int(k.icono)).arg(k.titulo, k.texto);
        h.Msj().Limpia();
        return c;
    };
    const std::tuple<bool, const char *, QString> casos[] = {
        {true, "E.Nada = 1", "El criterio nombra un campo que no existe en D_EVENTO: E.Nada"},
        {true, "E.fechaAtencion = 'junio'", "El valor 'junio' no es una fecha dd/mm/aaaa"},
        {false, "Nada = 1", "El criterio nombra un campo que no existe en CATCIE10: Nada"},
        // Unfinished or malformed: said in Spanish, in the user's own words.
        {true, "E.Edad > 10 AND", "El criterio termina sin completar la condición: E.Edad > 10 AND"},
        {true, "E.Edad > 10 AND (E.Edad < 30", "El criterio abre un paréntesis que no cierra"},
        {true, "E.Edad > 10) AND E.Edad < 30", "El criterio cierra un paréntesis que no abrió"},
        {true, "Nz(E.Edad, 0) = 0", "El criterio usa una función desconocida: Nz"},
        {true, "= 5", "El criterio no se entiende a partir de \"=\": = 5"},
        {true, "E.Edad > > 5", "El criterio no se entiende a partir de \">\": E.Edad > > 5"},
        {false, "Causa Like", "El criterio termina sin completar la condición: Causa Like"},
    };
    for (const auto &[hoja, criterio, descripcion] : casos) {
        p.ctx->CriterioConsulta.clear();
        bool recibida = false;
        frmQuery v(*p.ctx, dialogo, hoja ? DestinoFiltro{&h.Reg(), {}} : DestinoFiltro{nullptr, [&](const ConsultaSQL &) { recibida = true; }});
        v.show();
        QTest::keyClicks(v.Panel()->txtCriteria, criterio);
        QTest::mouseClick(v.cmdRunQuery(), Qt::LeftButton);
        EXPECT_EQ(cajas(), QStringList({error.arg(descripcion), segunda})) << criterio;
        EXPECT_TRUE(v.isVisible() && !recibida && Folios() == "1,2,3,4,5") << criterio;
        EXPECT_EQ(v.Panel()->Criterio(), criterio);
    }
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    PreparaGenerador(g);
    g.Panel()->PonCriterio("E.Nada = 1");
    g.cmdRunQuery->click();
    EXPECT_EQ(cajas(), QStringList({error.arg("El criterio nombra un campo que no existe en D_EVENTO: E.Nada")}));
}

TEST_F(Filtro, VentanaArmaElCriterioYLoConserva)
{
    p.ctx->CriterioConsulta = "E.Edad > 1";
    frmQuery v(*p.ctx, dialogo, DestinoFiltro{&h.Reg(), {}});
    PanelCriterio &c = *v.Panel();
    Elige(c.cboField, "E.fechaAtencion");
    c.cmdGetValues->click();
    EXPECT_EQ(c.cboValue->currentText(), "01/03/2004");
    Elige(c.cboOperator, ">=");
    c.cmdOr->click();
    v.cmdClose()->click();
    EXPECT_EQ(p.ctx->CriterioConsulta, "E.Edad > 1\n Or CDATE(E.fechaAtencion) >= CDATE('01/03/2004')");
}

// "Limpar" empties the criteria and leaves the value box; in the filter window
// it also deselects the table list, in the generator it leaves it.
TEST_F(Filtro, LimparVaciaElCriterioYSoloElFiltroDeseleccionaLaTabla)
{
    const auto estado = [](PanelCriterio &c) {
        return QStringList({c.Criterio(), c.cboValue->currentText(), QString::number(c.lstTables->selectedItems().size())});
    };
    const auto prepara = [](PanelCriterio &c) {
        c.cboValue->setEditText("RUIZ");
        c.PonCriterio("E.Edad > 1");
        c.lstTables->setCurrentRow(0);
    };
    frmQuery v(*p.ctx, dialogo, DestinoFiltro{&h.Reg(), {}});
    v.show();
    prepara(*v.Panel());
    QTest::mouseClick(v.Panel()->cmdClear, Qt::LeftButton);
    EXPECT_EQ(estado(*v.Panel()), QStringList({"", "RUIZ", "0"}));
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    g.show();
    prepara(*g.Panel());
    g.Panel()->cmdClear->setFocus();
    QTest::keyClick(g.Panel()->cmdClear, Qt::Key_Space);
    EXPECT_EQ(estado(*g.Panel()), QStringList({"", "RUIZ", "1"}));
}

// The dialect's functions in a typed criteria, on the filter and on the
// generator alike; a date handed to a text function reads day first, as the
// user sees it, and a division is never a whole-number one.
TEST_F(Filtro, FuncionesDelDialectoEnElFiltroYEnElGenerador)
{
    p.Ejecuta("UPDATE D_EVENTO SET FechaOcurrencia = CASE Folio WHEN 4 THEN '2025-06-15' WHEN 5 THEN '2025-01-20' END");
    const std::pair<const char *, const char *> casos[] = {
        {"Left(E.Paterno, 2) = 'pe'", "2"},
        {"RIGHT(E.Paterno, 1) = '3' Or right(F.Diagnosticos, 2) = '40'", "3"},
        {"IIf(E.Edad > 23, 1, 0) = 1", "4,5"},
        {"iif(E.FechaOcurrencia Is Null, 0, 1) = 1", "4,5"},
        {"CStr(E.Folio) = '4'", "4"},
        {"CInt(E.Edad / 2) = 12", "3,4,5"},
        {"CLng(E.Edad * 100000) > 2300000", "4,5"},
        {"E.Edad / 2 = 11.5", "3"},
        {"Day(E.fechaAtencion) = 2", "2"},
        {"Month(E.fechaAtencion) = 3 And Year(E.fechaAtencion) = 2004", "1,2,3,4,5"},
        {"Year(E.FechaOcurrencia) = 2025 And Month(E.FechaOcurrencia) >= 6", "4"},
        {"Not Year(E.FechaOcurrencia) = 2025", ""},
        {"Month('05/06/2025') = 6 And E.Folio < 3", "1,2"},
        {"Year(CDATE('15/06/2025')) = 2025 And E.Folio = 1", "1"},
        {"InStr(E.Paterno, 'eñ') = 2", "2"},
        {"INSTR(3, E.Paterno, 'a') = 4", "2"},
        {"Left(E.fechaAtencion, 2) = '03'", "3"},
        {"Right(E.FechaOcurrencia, 4) = '2025'", "4,5"},
        // A date inside two functions takes the form the innermost wants.
        {"IIf(E.FechaOcurrencia Is Null, 0, CInt(Right(E.FechaOcurrencia, 4))) = 2025", "4,5"},
        {"CInt(Left(E.fechaAtencion, 2)) > 3 And CLng(Right(E.fechaAtencion, 4)) = 2004", "4,5"},
        {"CStr(CDATE(E.fechaAtencion)) = '01/03/2004'", "1"},
        {"CLng(E.fechaAtencion) = 38047", "1"},
        {"E.Paterno = UCase('peña')", "2"},
        {"Lower(E.Paterno) = 'peña' Or LCase(E.Paterno) = Lower('P1')", "2,5"},
        {"E.Paterno = 'peña'", ""},   // only ASCII letters compare without regard to case
    };
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    PreparaGenerador(g);
    for (const auto &[criterio, folios] : casos)
        EnAmbos(g, criterio, folios);
    // A value the dialect refuses, and a function it does not have.
    const std::pair<const char *, const char *> fallas[] = {
        {"CInt(E.Clues) = 1", "La instrucción no se pudo ejecutar en la Base de Datos (No coinciden los tipos: CINT('A'))"},
        {"Nz(E.Edad, 0) = 0", "El criterio usa una función desconocida: Nz"},
        {"Left(E.Nombre)='M'", "El criterio da 1 argumento a la función Left, que lleva 2"},
        {"E.Edad Mod 2 = 1", "El criterio usa un operador que no se acepta: Mod"},
        {"CInt(Right(E.FechaOcurrencia, 4)) = 2025", "La instrucción no se pudo ejecutar en la Base de Datos (Uso no válido de Null: CINT)"},
    };
    for (const auto &[criterio, descripcion] : fallas)
        FallaEnAmbos(g, criterio, descripcion);
}

// A day number beside a date is that day, as the dialect compares a date with
// its number (folio n is dated n March 2004, day 38046 + n), in the filter
// and in the generator; a number that is no day, or a sum beside a date, is
// refused, never an empty answer.
TEST_F(Filtro, NumeroDeDiaJuntoAUnaFechaEsEseDia)
{
    const std::pair<const char *, const char *> casos[] = {
        {"CDate(38049) = CDate('03/03/2004') And E.Folio = 1", "1"},
        {"E.fechaAtencion = CDate(38049)", "3"},
        {"CDate(E.fechaAtencion) = 38049", "3"},
        {"E.fechaAtencion > 38049", "4,5"},
        {"38049 >= E.fechaAtencion", "1,2,3"},
        {"E.fechaAtencion >= 38049.5", "4,5"},
        {"E.fechaAtencion < 38048.5", "1,2"},
        {"E.fechaAtencion = 38049.5", ""},
        {"E.fechaAtencion <> 38049", "1,2,4,5"},
        {"E.fechaAtencion Between 38048 And 38050", "2,3,4"},
        {"E.fechaAtencion Not Between 38048 And CDate('04/03/2004')", "1,5"},
        {"E.fechaAtencion In (38047, 38051)", "1,5"},
        {"E.fechaAtencion Not In (38047, '05/03/2004')", "2,3,4"},
        {"F.fechaAtencion = 38049", "3"},
        {"E.fechaAtencion > -1 And E.Folio < 3", "1,2"},
        {"CDate(38049.5) > E.fechaAtencion", "1,2,3"},
        {"Year(E.fechaAtencion) = Year(38049) And Day(CDate(38049)) = Day(E.fechaAtencion)", "3"},
        {"E.fechaAtencion > 38049 And E.Edad > 24", "5"},
        {"CLng(E.fechaAtencion) + 1 > 38050", "4,5"},
    };
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    PreparaGenerador(g);
    for (const auto &[criterio, folios] : casos)
        EnAmbos(g, criterio, folios);
    const std::pair<const char *, const char *> fallas[] = {
        {"E.fechaAtencion > 38049 + 1",
         "El criterio compara una fecha con una cuenta, que no se puede hacer con fechas: E.fechaAtencion > 38049 + 1"},
        {"E.fechaAtencion = 99999999",
         "El criterio compara una fecha con 99999999, que no es un día del calendario: E.fechaAtencion = 99999999"},
        {"CDate(99999999) = E.fechaAtencion",
         "La instrucción no se pudo ejecutar en la Base de Datos (Desbordamiento: CDATE(99999999))"},
    };
    for (const auto &[criterio, descripcion] : fallas)
        FallaEnAmbos(g, criterio, descripcion);
}

// A number beside a date is that day wherever parentheses, a sign or a
// function put it, on either side, also under NOT and beside a date a
// function gives; a number too big for 64 bits is the number it is. Each
// criteria finds, in the filter and in the generator, the events that plain
// SQL with the ISO dates finds (folio n is dated n March 2004, day 38046 + n,
// and aged 20 + n; it happened the day before).
TEST_F(Filtro, NumeroJuntoAFechaComoLoAgrupaLaGramatica)
{
    p.Ejecuta("UPDATE D_EVENTO SET FechaOcurrencia = date(fechaAtencion, '-1 day')");
    const std::pair<const char *, const char *> casos[] = {
        {"E.fechaAtencion > (38049)", "fechaAtencion > '2004-03-03'"},
        {"E.fechaAtencion Between (38048) And (38050)", "fechaAtencion BETWEEN '2004-03-02' AND '2004-03-04'"},
        {"E.fechaAtencion > Abs(38049)", "fechaAtencion > '2004-03-03'"},
        {"E.fechaAtencion > CLng(38049)", "fechaAtencion > '2004-03-03'"},
        {"(E.fechaAtencion) > 38049", "fechaAtencion > '2004-03-03'"},
        {"E.fechaAtencion In ((38047), 38048)", "fechaAtencion IN ('2004-03-01', '2004-03-02')"},
        {"((E.fechaAtencion)) <= -(-38049)", "fechaAtencion <= '2004-03-03'"},
        {"CDate(E.fechaAtencion) Not Between Abs(-38048) And (38050)", "fechaAtencion NOT BETWEEN '2004-03-02' AND '2004-03-04'"},
        {"Not (38049 < E.fechaAtencion)", "NOT ('2004-03-03' < fechaAtencion)"},
        {"CLng((38048)) >= CDate(E.FechaOcurrencia)", "FechaOcurrencia <= '2004-03-02'"},
        {"E.fechaAtencion < Val('38049')", "fechaAtencion < '2004-03-03'"},
        {"E.fechaAtencion = ('03/03/2004') Or E.fechaAtencion >= Trim(' 04/03/2004 ')", "fechaAtencion >= '2004-03-03'"},
        {"IIf(E.Edad > 23, E.fechaAtencion, 38047) = CDate('01/03/2004')",
         "CASE WHEN Edad > 23 THEN fechaAtencion ELSE '2004-03-01' END = '2004-03-01'"},
        {"E.Edad < 9223372036854775808 And E.Edad > -99999999999999999999", "Edad IS NOT NULL"},
        {"E.Edad > 99999999999999999999 Or E.Edad = 9223372036854775808", "Edad > 1e20"},
    };
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    PreparaGenerador(g);
    for (const auto &[criterio, plano] : casos) {
        const QString esperados = p.Filas(QStringLiteral("SELECT group_concat(Folio) FROM (SELECT Folio FROM D_EVENTO WHERE %1 ORDER BY Folio)").arg(plano)).join(',');
        EnAmbos(g, criterio, esperados.toUtf8().constData());
    }
}

// What cannot be read as the user means it is refused in Spanish, naming the
// criteria, never passed on to the engine: a list where one value goes, IN
// without its list, a date beside what changes with the event or beside a
// sum, a value that cannot be computed, nesting deeper than the engine reads.
TEST_F(Filtro, CriterioQueElMotorNoLeeSeRechazaEnEspanol)
{
    const QString hondo = QString(120, '(') + "E.Edad = 1" + QString(120, ')');
    const std::pair<QString, QString> fallas[] = {
        {"(E.Edad, E.Folio) = 1", "El criterio pone la lista (E.Edad, E.Folio) donde va un solo valor; una lista de valores va tras IN: (E.Edad, E.Folio) = 1"},
        {"E.Edad = (1, 2)", "El criterio pone la lista (1, 2) donde va un solo valor; una lista de valores va tras IN: E.Edad = (1, 2)"},
        {"E.fechaAtencion In ((38049, 38050))",
         "El criterio pone la lista (38049, 38050) donde va un solo valor; una lista de valores va tras IN: E.fechaAtencion In ((38049, 38050))"},
        {"E.Edad In E.Folio", "El criterio no pone entre paréntesis los valores que siguen a IN: E.Edad In E.Folio"},
        {"E.fechaAtencion > E.Edad",
         "El criterio compara una fecha con E.Edad, que no es una fecha; escriba CDate(E.Edad) para leerlo como fecha: E.fechaAtencion > E.Edad"},
        {"IIf(E.Folio > 2, 38049, 38050) <= (E.fechaAtencion)",
         "El criterio compara una fecha con IIf(E.Folio > 2, 38049, 38050), que no es una fecha; escriba CDate(IIf(E.Folio > 2, 38049, 38050)) "
         "para leerlo como fecha: IIf(E.Folio > 2, 38049, 38050) <= (E.fechaAtencion)"},
        {"E.fechaAtencion = E.Paterno",
         "El criterio compara una fecha con E.Paterno, que no es una fecha; escriba CDate(E.Paterno) para leerlo como fecha: E.fechaAtencion = E.Paterno"},
        {"E.fechaAtencion > (38049 + 1)",
         "El criterio compara una fecha con una cuenta, que no se puede hacer con fechas: E.fechaAtencion > (38049 + 1)"},
        {"E.fechaAtencion > CInt(38049)",
         "El criterio compara una fecha con CInt(38049), que no se puede calcular (Desbordamiento: CINT(38049)): E.fechaAtencion > CInt(38049)"},
        {"E.fechaAtencion Between 1 And Abs(-99999999)",
         "El criterio compara una fecha con Abs(-99999999), que no es un día del calendario: E.fechaAtencion Between 1 And Abs(-99999999)"},
        {hondo, "El criterio es demasiado largo o anida demasiados paréntesis para la Base de Datos: " + hondo},
    };
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    PreparaGenerador(g);
    for (const auto &[criterio, descripcion] : fallas)
        FallaEnAmbos(g, criterio.toUtf8().constData(), descripcion.toUtf8().constData());
}

// A typed '' is a text of no characters, not NULL, in both windows: each
// finds the events that plain SQL over the same data finds.
TEST_F(Filtro, CadenaVaciaEsTextoEnElFiltroYEnElGenerador)
{
    p.Ejecuta("UPDATE D_EVENTO SET CURP = CASE Folio WHEN 1 THEN '' WHEN 2 THEN 'ABCD' WHEN 3 THEN '' END,"
              " Nombre = CASE Folio WHEN 1 THEN '' WHEN 2 THEN 'MARÍA' WHEN 4 THEN 'M' END");
    const std::pair<const char *, const char *> casos[] = {
        {"E.CURP=''", "CURP = ''"},
        {"E.Nombre=''", "Nombre = ''"},
        {"E.Nombre <> ''", "Nombre <> ''"},
        {"InStr(E.Nombre,'')=1", "length(Nombre) > 0"},
        {"Right(E.Nombre,0)=''", "Nombre IS NOT NULL"},
        {"E.CURP Like '' And Len(E.CURP) = 0", "CURP = ''"},
    };
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    PreparaGenerador(g);
    for (const auto &[criterio, plano] : casos) {
        const QString esperados = p.Filas(QStringLiteral("SELECT group_concat(Folio) FROM (SELECT Folio FROM D_EVENTO WHERE %1 ORDER BY Folio)").arg(plano)).join(',');
        ASSERT_FALSE(esperados.isEmpty()) << plano;
        ASSERT_TRUE(Filtra(criterio)) << criterio;
        EXPECT_EQ(Folios(), esperados) << criterio;
        g.Panel()->PonCriterio(criterio);
        CierraModal([&] { g.cmdRunQuery->click(); });
        EXPECT_EQ(p.Filas("SELECT Folio FROM GENCONSUL ORDER BY Folio").join(','), esperados) << criterio;
    }
}

TEST_F(Filtro, VentanaSobreCIE10)
{
    frmQuery v(*p.ctx, dialogo, DestinoFiltro{nullptr, [](const ConsultaSQL &) {}});
    PanelCriterio &c = *v.Panel();
    Elige(c.cboField, "lsex");
    c.cmdGetValues->click();
    EXPECT_EQ(c.cboValue->count(), 2);   // the causes limited to one sex
    // A database error is shown, not passed off as a field without values.
    p.Ejecuta("DROP TABLE CATCIE10");
    c.cmdGetValues->click();
    EXPECT_TRUE(h.Msj().Ultimo().startsWith("The following Error occurred:\n\n") && c.cboValue->count() == 0) << h.Msj().Ultimo().toStdString();
}

TEST_F(Filtro, GeneradorEligeCamposYCargaSuConsulta)
{
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    g.cmdSeleccion[1]->click();
    EXPECT_EQ(g.Seleccion(), EntradasCampos(OrigenConsulta::Hoja));
    g.lstOrigen->setCurrentRow(1);
    g.cmdSeleccion[0]->click();
    EXPECT_EQ(h.Msj().Ultimo(), "Ya agrego este campo: E.Folio");
    g.cmdSeleccion[3]->click();
    g.cmdSeleccion[2]->click();
    EXPECT_EQ(h.Msj().Ultimo() + "|" + h.Msj().cajas.last().titulo, "No ha seleccionado nungún campo|Genera Consultas");

    // Saved and loaded back in a new window: fields, format, and the field, operator and value shown.
    g.lstOrigen->setCurrentRow(47);   // F.Diagnosticos
    g.cmdSeleccion[0]->click();
    g.optFormato[2]->setChecked(true);
    Elige(g.Panel()->cboField, "E.fechaAtencion");
    g.Panel()->cboValue->setEditText("01/03/2004");
    g.Panel()->PonCriterio("F.Diagnosticos = 'S011'");
    dialogo.ruta = QDir(p.Carpeta()).filePath("g.sql");
    g.GrabaConsulta();
    frmGenConsultas otro(*p.ctx, dialogo, OrigenConsulta::Hoja);
    otro.CargaConsulta();
    const PanelCriterio &o = *otro.Panel();
    EXPECT_EQ(otro.Seleccion() << QString::number(otro.Formato()) << o.cboField->currentText() << o.cboValue->currentText(),
              QStringList({"F.Diagnosticos", "2", "E.fechaAtencion", "01/03/2004"}));
    // A filter run while the generator is open leaves its field kinds alone.
    ASSERT_TRUE(Filtra("E.Edad > 1"));
    Elige(otro.Panel()->cboField, "E.Paterno");
    otro.Panel()->cboValue->setEditText("RUIZ");
    otro.Panel()->cmdAnd->click();
    EXPECT_EQ(otro.Panel()->Criterio(), "F.Diagnosticos = 'S011'\nAnd E.Paterno = 'RUIZ'");
}

} // namespace
