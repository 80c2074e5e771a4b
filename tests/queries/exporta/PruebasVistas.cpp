#include "CincoEventos.h"
#include "queries/EjecutaGenConsultas.h"
#include "queries/PanelCriterio.h"
#include "queries/TablaTrabajo.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmMuestraGenCons.h"
#include "queries/frmTabla.h"
#include "shell/BarraDatos.h"

#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Vistas : public CincoEventos {
protected:
    Contexto &ctx() { return *h.prog.ctx; }
    HojaRegistro &Hoja()
    {
        h.Reg().vida.Abre();
        return h.Reg();
    }
    QString Ruta(const QString &n) { return QDir(ctx().RutaDatos).filePath(n); }
    void Boton(VistaTablaTrabajo &v, int posicion) { v.tbrDatos->Boton(posicion)->trigger(); }
    // Runs `accion`, which opens a modal window, and closes that window as soon
    // as it shows, keeping its caption (empty when none opened).
    QString CierraModal(const std::function<void()> &accion)
    {
        QString titulo;
        QTimer vigia;   // dies with this call, so it never fires on a later window
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                titulo = w->windowTitle();
                w->close();
            }
        });
        vigia.start(0);
        accion();
        return titulo;
    }
};

} // namespace

TEST_F(Vistas, ResultadoConSuCuentaFormatoYMovimientos)
{
    TablaTrabajo::ConstruyeGenConsul(h.prog.bd(), {"E.Paterno", "V.CodTipoViolencia"}, {});
    frmMuestraGenCons v(ctx(), dialogo, FormatoExportacion::Excel);
    EXPECT_EQ(v.windowTitle() + v.lblTotaliza->text(), "Muestra Consulta. Registro: 1 de 5Total de Eventos Seleccionados 5");
    for (int b : {3, 3})
        Boton(v, b);
    EXPECT_EQ(v.windowTitle(), "Muestra Consulta. Registro: 3 de 5");
    for (int b : {4, 3, 1, 2})
        Boton(v, b);
    EXPECT_EQ(QString::number(h.Msj().beeps) + v.windowTitle(), "2Muestra Consulta. Registro: 1 de 5");
}

TEST_F(Vistas, ExportarPideNombreRehusaPreguntaYDiceDonde)
{
    TablaTrabajo::ConstruyeGenConsul(h.prog.bd(), {"E.Paterno"}, {});
    EscribeArchivo(Ruta("Viejo.xlsx"), "viejo");
    struct Caso {
        FormatoExportacion f;
        QString elegida;
        bool respuesta;
        bool escrito;
        QString dice;
    };
    const Caso casos[] = {
        {FormatoExportacion::Excel, "", false, false, ""},
        {FormatoExportacion::BaseDatos, ctx().ArchivoBD, false, false, "Base de Datos de trabajo"},
        {FormatoExportacion::Excel, Ruta("Viejo"), false, false, "El archivo " + Ruta("Viejo.xlsx") + " ya existe.\n¿Desea reemplazarlo?"},
        {FormatoExportacion::Excel, Ruta("Nuevo.xls"), true, true, "Se exportaron 5 registros al archivo:\n" + Ruta("Nuevo.xlsx")},
        // The working database under another format's extension: refused before any question.
        {FormatoExportacion::Excel, ctx().ArchivoBD, true, false, "Base de Datos de trabajo"},
        {FormatoExportacion::Dbase, Ruta("Otro.db"), false, false,
         "El nombre " + Ruta("Otro.db") + " no lleva la extensión del formato elegido: el archivo se grabará como "
             + Ruta("Otro.db.dbf") + ".\n¿Desea continuar?"},
    };
    for (const Caso &c : casos) {
        h.Msj().Limpia();
        h.Msj().Responde(c.respuesta);
        frmMuestraGenCons v(ctx(), dialogo, c.f);
        dialogo.ruta = c.elegida;
        EXPECT_EQ(v.AsignaDatos(), c.escrito) << c.elegida.toStdString();
        EXPECT_TRUE(h.Msj().Ultimo().contains(c.dice)) << h.Msj().Ultimo().toStdString();
        EXPECT_EQ(h.Msj().cajas.size(), c.elegida.endsWith(".xls") ? 2 : int(!c.elegida.isEmpty()));
    }
    EXPECT_EQ(dialogo.pedido, "Exportar Datos|" + ctx().RutaDatos + "|DB1|Archivo Dbase (*.dbf)");
    EXPECT_TRUE(LeeArchivo(Ruta("Viejo.xlsx")) == "viejo" && LeeArchivo(Ruta("Nuevo.xlsx")).startsWith("PK"));
}

TEST_F(Vistas, TablaTituloOrdenYDobleClicSobreLaHoja)
{
    HojaRegistro &reg = Hoja();
    frmTabla t(ctx(), reg);
    EXPECT_EQ(t.windowTitle(), "Tabla VELMORAN, Registro : 1 de 5");
    t.dbgSeleccion->horizontalHeader()->sectionClicked(3);   // Paterno: P1 is folio 5
    EXPECT_EQ(t.Modelo().Valor(0, 1).toInt(), 5);
    t.dbgSeleccion->setCurrentIndex(t.Modelo().index(1, 0));   // folio 4
    EXPECT_EQ(t.windowTitle(), "Tabla VELMORAN, Registro : 2 de 5");
    emit t.dbgSeleccion->doubleClicked(t.dbgSeleccion->currentIndex());
    EXPECT_EQ(reg.hoja.Texto(22), "00000004");
    EXPECT_EQ(t.result(), QDialog::Accepted);
}

TEST_F(Vistas, EventoFueraDeLaHojaLaDejaDondeEstabaYLoDice)
{
    HojaRegistro &reg = Hoja();
    reg.eventos.CargaEventos({"SELECT * FROM D_EVENTO WHERE Folio > 3", {}});
    frmTabla t(ctx(), reg);
    t.AsignaDatos();   // folio 1
    EXPECT_EQ(reg.eventos.rsAtencion.Actual()->folio, 4);
    EXPECT_EQ(h.Msj().Ultimo(), "El evento A, Folio 00000001 del 01/03/2004 no está entre los eventos que muestra la "
                                "Hoja de Registro; la hoja sigue en el evento que mostraba. Quite el filtro de la hoja "
                                "para verlo.....");
}

TEST_F(Vistas, TablaConFiltroQueFallaLoMuestraYNoAbre)
{
    HojaRegistro &reg = Hoja();
    reg.vida.FiltroEventos = "E.NoExiste = 1";
    EXPECT_EQ(CierraModal([&] { AbreTabla(ctx(), reg, {}, nullptr); }), "");
    EXPECT_TRUE(h.Msj().Ultimo().startsWith("The following Error occurred:")) << h.Msj().Ultimo().toStdString();
    reg.vida.FiltroEventos = "V.CodTipoViolencia = 7";
    EXPECT_EQ(CierraModal([&] { AbreTabla(ctx(), reg, {}, nullptr); }), "Tabla VELMORAN, Registro : 1 de 2");
}

TEST_F(Vistas, EjecutarGeneradorRehusaOMuestraElResultado)
{
    frmGenConsultas g(ctx(), dialogo, OrigenConsulta::Hoja);
    g.PonEjecucion([&](frmGenConsultas &v) { EjecutaGenConsultas(ctx(), dialogo, v); });
    ASSERT_TRUE(g.cmdRunQuery->isEnabled());
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
    EXPECT_FALSE(h.prog.Valor("SELECT 1 FROM sqlite_temp_master WHERE name = 'GENCONSUL'").isValid());
}
