// The work table's windows: the query result's export, the table over the
// sheet, and the generator's run.
#include "CincoEventos.h"
#include "comun/Teclado.h"
#include "queries/EjecutaGenConsultas.h"
#include "queries/ModeloTablaTrabajo.h"
#include "queries/PanelCriterio.h"
#include "queries/TablaTrabajo.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmMuestraGenCons.h"
#include "queries/frmTabla.h"
#include "shell/BarraDatos.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <sqlite3.h>

using Vistas = CincoEventos;

// The count, the format, and the four moves: "Siguiente" on the last row and
// "Anterior" on the first beep and stay.
TEST_F(Vistas, ResultadoConSuCuentaFormatoYMovimientos)
{
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Paterno", "V.CodTipoViolencia"}, {});
    frmMuestraGenCons v(*p.ctx, dialogo, FormatoExportacion::Excel);
    EXPECT_EQ(v.windowTitle() + "|" + v.lblTotaliza->text() + "|" + v.lblDatos[0]->text(),
              "Muestra Consulta. Registro: 1 de 5|Total de Eventos Seleccionados 5|E x c e l");
    QStringList pasos;   // the row and the beeps so far after each button
    for (int boton : {3, 3, 4, 3, 1, 2}) {
        v.tbrDatos->Boton(boton)->trigger();
        pasos << v.windowTitle().section(' ', 3, 3) + "/" + QString::number(h.Msj().beeps);
    }
    EXPECT_EQ(pasos.join(' ').toStdString(), "2/0 3/0 5/0 5/1 1/1 1/2");
    EXPECT_EQ(v.windowTitle(), "Muestra Consulta. Registro: 1 de 5");
}

TEST_F(Vistas, ExportarPideNombreRehusaPreguntaYDiceDonde)
{
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Paterno"}, {});
    EscribeArchivo(Ruta("Viejo.xlsx"), "viejo");
    const std::tuple<FormatoExportacion, QString, bool, bool, QString> casos[] = {   // format, file chosen, answer, written, message
        {FormatoExportacion::Excel, "", false, false, ""},
        {FormatoExportacion::BaseDatos, p.ctx->ArchivoBD, false, false, "Base de Datos de trabajo"},
        {FormatoExportacion::Excel, Ruta("Viejo"), false, false, "El archivo " + Ruta("Viejo.xlsx") + " ya existe.\n¿Desea reemplazarlo?"},
        {FormatoExportacion::Excel, Ruta("Nuevo.xls"), true, true, "Se exportaron 5 registros al archivo:\n" + Ruta("Nuevo.xlsx")},
        // The working database under another format's extension: refused before any question.
        {FormatoExportacion::Excel, p.ctx->ArchivoBD, true, false, "Base de Datos de trabajo"},
        {FormatoExportacion::Dbase, Ruta("Otro.db"), false, false, "El nombre " + Ruta("Otro.db") + " no lleva la extensión del formato "
                                                                   "elegido: el archivo se grabará como " + Ruta("Otro.db.dbf") + ".\n¿Desea continuar?"},
    };
    for (const auto &[formato, elegida, respuesta, escrito, dice] : casos) {
        h.Msj().Limpia();
        h.Msj().Responde(respuesta);
        frmMuestraGenCons v(*p.ctx, dialogo, formato);
        dialogo.ruta = elegida;
        EXPECT_EQ(v.AsignaDatos(), escrito) << elegida.toStdString();
        EXPECT_TRUE(h.Msj().Ultimo().contains(dice)) << h.Msj().Ultimo().toStdString();
        EXPECT_EQ(h.Msj().cajas.size(), elegida.endsWith(".xls") ? 2 : int(!elegida.isEmpty()));
    }
    EXPECT_TRUE(LeeArchivo(Ruta("Viejo.xlsx")) == "viejo" && LeeArchivo(Ruta("Nuevo.xlsx")).startsWith("PK"));
}

// One record is said in the singular; more keep the plural.
TEST_F(Vistas, ExportarDiceUnRegistroOVariosRegistros)
{
    const std::pair<const char *, const char *> casos[] = {{"E.Folio = 2", "Se exportó 1 registro al archivo:\n"},
                                                           {"E.Folio > 2", "Se exportaron 3 registros al archivo:\n"}};
    int n = 0;
    for (const auto &[criterio, dice] : casos) {
        TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Paterno"}, {" FROM D_Evento AS E", criterio, {}, {}});
        dialogo.ruta = Ruta(QStringLiteral("Cuenta%1.dbf").arg(++n));
        frmMuestraGenCons v(*p.ctx, dialogo, FormatoExportacion::Dbase);
        EXPECT_TRUE(v.AsignaDatos());
        EXPECT_EQ(h.Msj().Ultimo().toStdString(), dice + dialogo.ruta.toStdString());
    }
}

// The table's 61 columns with dates shown, sorted with NULL first and ties in
// key order; a double click takes the sheet to the event.
TEST_F(Vistas, TablaMuestraOrdenaYLlevaLaHojaAlEvento)
{
    // Stored last but first by its key.
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('0', 7, '2004-03-07')");
    frmTabla t(*p.ctx, h.Reg());
    ModeloTablaTrabajo &m = t.Modelo();
    ASSERT_EQ(std::pair(m.rowCount(), m.columnCount()), std::pair(6, 61));
    EXPECT_EQ(m.data(m.index(2, 2)).toString() + m.data(m.index(2, 3)).toString() + m.Valor(1, 18).toString(), "02/03/2004PEÑA09");
    // Folio 3: the patient's substances apart from the aggressor's; its diagnosis of Orden 4 is not shown.
    EXPECT_EQ(m.Valor(3, 29).toString() + m.Valor(3, 30).toString() + m.Valor(3, 31).toString() + m.Valor(3, 44).toString()
                  + m.Valor(3, 55).toString(), "2503    ");
    m.sort(25);   // TipoViolencia01: NULL (7, 1), then 6 (5), 7 (4), 8, 9
    t.dbgSeleccion->setCurrentIndex(m.index(3, 0));
    EXPECT_EQ(m.Valor(0, 1).toString() + t.windowTitle(), "7Tabla VELMORAN, Registro : 4 de 6");
    emit t.dbgSeleccion->doubleClicked(t.dbgSeleccion->currentIndex());
    EXPECT_TRUE(h.Hoja().Texto(22) == "00000004" && t.result() == QDialog::Accepted);

    // An event outside the sheet's set leaves the sheet where it was, and says so.
    h.Reg().eventos.CargaEventos({"SELECT * FROM D_EVENTO WHERE Folio = 5", {}});
    frmTabla otra(*p.ctx, h.Reg());
    otra.AsignaDatos();   // folio 7
    EXPECT_EQ(h.Reg().eventos.rsAtencion.Actual()->folio, 5);
    EXPECT_EQ(h.Msj().Ultimo(), "El evento 0, Folio 00000007 del 07/03/2004 no está entre los eventos que muestra la Hoja de "
                                "Registro; la hoja sigue en el evento que mostraba. Quite el filtro de la hoja para verlo.....");
}

namespace {

// The numbers of the rows in sight that the grid cuts, as the grid paints
// them (without group separators): "Columna=valor ...".
std::string NumerosCortados(VistaTablaTrabajo &vista)
{
    QTableView *v = vista.dbgSeleccion;
    QStringList cortes;
    // To the bottom row, or to the last when the rows end above it.
    int abajo = v->rowAt(v->viewport()->height() - 1);
    if (abajo < 0 && v->rowAt(0) >= 0)
        abajo = vista.Cuenta() - 1;
    for (int r = qMax(0, v->rowAt(0)); r >= 0 && r <= abajo; ++r)
        for (int c = 0; c < vista.Modelo().columnCount(); ++c) {
            const QModelIndex i = vista.Modelo().index(r, c);
            const QVariant valor = i.data();
            if (valor.typeId() != QMetaType::LongLong)
                continue;
            // The cell inside its grid line, less the text's margins.
            QLocale local = v->locale();
            local.setNumberOptions(QLocale::OmitGroupSeparator);
            const QString texto = static_cast<QStyledItemDelegate *>(v->itemDelegate())->displayText(valor, local);
            const int margen = v->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 1;
            if (v->fontMetrics().horizontalAdvance(texto) > v->visualRect(i).width() - 2 * margen)
                cortes << vista.Modelo().Nombre(c) + "=" + texto;
        }
    return cortes.join(' ').toStdString();
}

} // namespace

// Every number shows all its digits in the rows in sight: nine-digit folios
// stored past the first rows, reached by "Último" and by a sort.
TEST_F(Vistas, TablaMuestraCadaNumeroConTodosSusDigitos)
{
    for (int folio = 10; folio < 90; ++folio)
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Edad) VALUES ('A', ?, '2004-03-01', 30)", {folio});
    for (int folio = 491861210; folio < 491861240; ++folio)
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Edad) VALUES ('B', ?, '2004-03-01', 101)",
                  {folio});
    frmTabla t(*p.ctx, h.Reg());
    t.show();
    QApplication::processEvents();
    ASSERT_EQ(t.Modelo().Valor(0, 1).toLongLong(), 1);
    EXPECT_EQ(NumerosCortados(t), "");
    t.tbrDatos->Boton(4)->trigger();
    QApplication::processEvents();
    ASSERT_EQ(t.Modelo().Valor(t.Actual(), 1).toLongLong(), 491861239);
    EXPECT_EQ(NumerosCortados(t), "");
    t.tbrDatos->Boton(1)->trigger();
    t.Modelo().sort(11);   // Edad: the folios of unit B last, 101 years old
    QApplication::processEvents();
    t.tbrDatos->Boton(4)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(t.Modelo().Valor(t.Actual(), 11).toLongLong(), 101);
    EXPECT_EQ(NumerosCortados(t), "");
}

// One number wider than all the others, on the last row, reached by
// "Último": it is the bottom row in sight, and shows whole in both views.
TEST_F(Vistas, UnNumeroMasAnchoEnLaUltimaFilaALaVistaSeMuestraEntero)
{
    for (int folio = 10; folio < 90; ++folio)
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('B', ?, '2004-03-01')", {folio});
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('B', 123456789012, '2004-03-01')");
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Folio"}, {" FROM D_Evento AS E", {}, {}, "E.Folio"});
    frmTabla tabla(*p.ctx, h.Reg());
    frmMuestraGenCons resultado(*p.ctx, dialogo, FormatoExportacion::Excel);
    for (VistaTablaTrabajo *v : {static_cast<VistaTablaTrabajo *>(&tabla), static_cast<VistaTablaTrabajo *>(&resultado)}) {
        SCOPED_TRACE(v->windowTitle().toStdString());
        v->show();
        QApplication::processEvents();
        ASSERT_EQ(NumerosCortados(*v), "");
        v->tbrDatos->Boton(4)->trigger();
        QApplication::processEvents();
        const int ultima = v->Cuenta() - 1, abajo = v->dbgSeleccion->rowAt(v->dbgSeleccion->viewport()->height() - 1);
        int folio = 0;
        while (v->Modelo().Nombre(folio) != "Folio")
            ++folio;
        ASSERT_EQ(v->Modelo().Valor(ultima, folio).toLongLong(), 123456789012);
        // The grid's bottom row, or the last row above the blank below it.
        ASSERT_TRUE(abajo == ultima || abajo < 0) << abajo;
        ASSERT_GT(v->dbgSeleccion->rowAt(0), 0);
        EXPECT_EQ(NumerosCortados(*v), "");
        v->hide();
    }
}

// Thousands of rows, scrolled (a page down, or the last row after a sort) and
// closed by each way out: the grid reads the rows in sight and closing reads
// none, whatever was scrolled.
TEST_F(Vistas, UnaVistaGrandeDesplazadaCierraSinLeerMasFilasQueLasALaVista)
{
    p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
              "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Edad) SELECT 'B', i, '2004-03-01', i % 90 FROM n");
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Folio", "E.Edad"}, {});
    h.Reg().eventos.CargaEventos({"SELECT * FROM D_EVENTO", {}});
    enum Desplaza { PaginaAbajo, UltimoOrdenado };
    enum Salida { Esc, Cancelar, DobleClic, Aceptar };
    const auto mira = [](VistaTablaTrabajo &v, Desplaza d, Salida s) {
        v.show();
        QApplication::processEvents();
        if (d == PaginaAbajo) {
            QTest::keyClick(v.dbgSeleccion, Qt::Key_PageDown);
        } else {
            v.Modelo().sort(1);
            QApplication::processEvents();
            v.tbrDatos->Boton(4)->trigger();
        }
        QApplication::processEvents();
        const qint64 leidas = v.Modelo().FilasLeidas();
        if (s == Esc)
            QTest::keyClick(v.dbgSeleccion, Qt::Key_Escape);
        else if (s == DobleClic)
            emit v.dbgSeleccion->doubleClicked(v.dbgSeleccion->currentIndex());
        else
            v.tbrDatos->Boton(s == Cancelar ? 7 : 6)->trigger();
        QApplication::processEvents();
        // Four pages of rows at most (the first, and those in sight after a sort)
        // of 5,000; none read by the closing.
        return QStringList({v.isVisible() ? "abierta" : "cerrada", leidas <= 512 ? "pocas" : QString::number(leidas),
                            QString::number(v.Modelo().FilasLeidas() - leidas)})
            .join(' ')
            .toStdString();
    };
    for (const Desplaza d : {PaginaAbajo, UltimoOrdenado})
        for (const Salida s : {Esc, Cancelar, DobleClic, Aceptar}) {
            frmTabla tabla(*p.ctx, h.Reg());
            ASSERT_EQ(tabla.Cuenta(), 5000);
            EXPECT_EQ(mira(tabla, d, s), "cerrada pocas 0") << "tabla " << d << s;
            dialogo.ruta = Ruta(QStringLiteral("Vista%1%2.xlsx").arg(d).arg(s));
            frmMuestraGenCons resultado(*p.ctx, dialogo, FormatoExportacion::Excel);
            ASSERT_EQ(resultado.Cuenta(), 5000);
            EXPECT_EQ(mira(resultado, d, s), "cerrada pocas 0") << "resultado " << d << s;
        }
}

TEST_F(Vistas, TablaConFiltroQueFallaLoMuestraYNoAbre)
{
    h.Vida().FiltroEventos = "E.NoExiste = 1";
    EXPECT_EQ(CierraModal([&] { AbreTabla(*p.ctx, h.Reg(), {}, nullptr); }), "");
    EXPECT_TRUE(h.Msj().Ultimo().startsWith("The following Error occurred:")) << h.Msj().Ultimo().toStdString();
    h.Vida().FiltroEventos = "V.CodTipoViolencia = 7";
    EXPECT_EQ(CierraModal([&] { AbreTabla(*p.ctx, h.Reg(), {}, nullptr); }), "Tabla VELMORAN, Registro : 1 de 2");
}

TEST_F(Vistas, EjecutarGeneradorRehusaOMuestraElResultado)
{
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    g.PonEjecucion([&](frmGenConsultas &v) { EjecutaGenConsultas(*p.ctx, dialogo, v); });
    g.cmdRunQuery->click();
    EXPECT_EQ(h.Msj().Ultimo(), "Debe primero seleccionar al menos un campo de condición...");
    g.Panel()->cboField->setCurrentIndex(1);
    g.cmdRunQuery->click();
    EXPECT_EQ(h.Msj().Ultimo(), "Debe primero seleccionar al menos un campo para la tabla...");
    g.lstOrigen->setCurrentRow(1);
    g.Selecciona(0);   // E.Folio
    g.cmdRunQuery->click();
    EXPECT_EQ(h.Msj().Ultimo(), "No ha creado ninguna Consulta!");
    g.Panel()->PonCriterio("E.Folio > 3");
    EXPECT_EQ(CierraModal([&] { g.cmdRunQuery->click(); }), "Muestra Consulta. Registro: 1 de 2");
    EXPECT_FALSE(p.Valor("SELECT 1 FROM sqlite_temp_master WHERE name = 'GENCONSUL'").isValid());
}

// Another program that opens the file after a run finds the run's table; the
// next run replaces it.
TEST_F(Vistas, LaCorridaDejaGenConsulEnElArchivoYLaSiguienteLaReemplaza)
{
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    g.PonEjecucion([&](frmGenConsultas &v) { EjecutaGenConsultas(*p.ctx, dialogo, v); });
    g.Panel()->cboField->setCurrentIndex(1);
    g.lstOrigen->setCurrentRow(1);
    g.Selecciona(0);   // E.Folio
    const auto folios = [&](const char *criterio) {
        g.Panel()->PonCriterio(criterio);
        CierraModal([&] { g.cmdRunQuery->click(); });
        sqlite3 *otra = nullptr;
        QStringList filas;
        if (sqlite3_open_v2(QFile::encodeName(p.ctx->ArchivoBD).constData(), &otra, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt *q = nullptr;
            if (sqlite3_prepare_v2(otra, "SELECT Folio FROM GENCONSUL", -1, &q, nullptr) != SQLITE_OK)
                filas << sqlite3_errmsg(otra);
            while (q && sqlite3_step(q) == SQLITE_ROW)
                filas << QString::number(sqlite3_column_int(q, 0));
            sqlite3_finalize(q);
        }
        sqlite3_close(otra);
        return filas;
    };
    EXPECT_EQ(folios("E.Folio > 3"), QStringList({"4", "5"}));
    EXPECT_EQ(folios("E.Folio < 3"), QStringList({"1", "2"}));
}
