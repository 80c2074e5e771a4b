#include "comun/DialogoFijo.h"
#include "comun/HojaEnBase.h"
#include "platform/ReportePintor.h"
#include "queries/ExportaConsulta.h"
#include "queries/frmTabla.h"
#include "queries/modVisData.h"
#include "reports/GeneradorReportes.h"
#include "reports/modReportes.h"
#include "tools/Bitacora.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Every tool and export, done and failed, leaves the program's connection
// open with its locks held and its -wal and -shm live: a tool that closed a
// descriptor of the database of its own would let the next outside reader
// delete the live journal.
TEST(Bloqueos, CadaHerramientaConservaLosDeLaBase)
{
    HojaEnBase h;
    ProgramaTemporal &p = h.prog;
    Contexto &ctx = *p.ctx;
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
              "VALUES ('DFSSA000012', 1, '2004-06-15', 'PEREZ', '2004-06-15')");
    const QString datos = ctx.RutaDatos, falta = p.Carpeta() + "/Falta/";
    const QString paquete = Envio(ctx).PaqueteEnvio;
    // Links to the database under the names of a backup and of a package.
    const QString enlace = p.Carpeta() + "/Enlace/";
    QDir().mkpath(enlace);
    QFile::link(ctx.ArchivoBD, enlace + "R.zip");
    QFile::link(ctx.ArchivoBD, enlace + paquete);
    DialogoFijo dialogo;
    QDir(p.Carpeta()).mkpath("Reportes");
    for (const QString &f : QDir(VELMORAN_REPORTES).entryList({"*.json"}))
        QFile::copy(QString(VELMORAN_REPORTES "/") + f, p.Carpeta() + "/Reportes/" + f);
    bool impreso = false;
    const MuestraDocumento imprime = [&](const DocumentoReporte &d) {
        GuardaPdf(d, p.Carpeta() + "/Reporte.pdf");
        impreso = true;
    };
    const auto reporte = [&](bool sinCatalogo) {
        FiltrosReporte filtros(ctx.ConexionBD);
        GeneradorReportes generador(ctx, filtros);
        generador.Muestra = imprime;
        filtros.InicializaFiltros();
        filtros.EligeReporte(1);
        filtros.MarcaTodasUnidades(true);
        impreso = false;
        if (sinCatalogo)
            p.Ejecuta("ALTER TABLE cAgente RENAME TO cAgenteFuera");
        generador.Reporte();
        if (sinCatalogo)
            p.Ejecuta("ALTER TABLE cAgenteFuera RENAME TO cAgente");
        return impreso;
    };
    const auto compacta = [&] { return CompactaBaseDatos(ctx, nullptr, {}); };
    const auto envia = [&](const QString &carpeta) {
        Envio::Seleccion s;
        s.eventos = true, s.tablas = QStringList{"cSexo"};
        return Envio(ctx).GeneraEnvio(s, carpeta + paquete);
    };
    const auto recibe = [&](const QString &zip) {
        Recepcion r(ctx);
        return r.Abre(zip) && r.Recibe(true, {});
    };
    const auto exporta = [&](FormatoExportacion f, const QString &ruta) {
        dialogo.ruta = ruta;
        p.Ejecuta("CREATE TEMP TABLE IF NOT EXISTS GENCONSUL AS SELECT Clues, Folio, fechaAtencion FROM D_EVENTO");
        return ExportaConsulta(ctx, dialogo, f, "GENCONSUL");
    };
    const auto genera = [&](const std::function<void()> &g, const QString &archivo) {
        QFile::remove(QDir(ctx.CarpetaPrograma).filePath(archivo));
        g();
        return QFileInfo(QDir(ctx.CarpetaPrograma).filePath(archivo)).isFile();
    };
    const struct {
        const char *operacion;
        std::function<bool()> haz;
        bool hecha;
    } casos[] = {
        {"compactar", compacta, true},
        {"respaldar", [&] { return Respaldo(ctx, compacta).Respalda(p.Carpeta() + "/R.zip"); }, true},
        {"respaldar en carpeta inexistente", [&] { return Respaldo(ctx, compacta).Respalda(falta + "R.zip"); }, false},
        {"respaldar sobre un enlace a la base", [&] { return Respaldo(ctx, compacta).Respalda(enlace + "R.zip"); }, false},
        {"enviar a Datos", [&] { return envia(datos + "/"); }, true},
        {"enviar a carpeta inexistente", [&] { return envia(falta); }, false},
        {"recibir", [&] { return recibe(datos + "/" + paquete); }, true},
        {"recibir un archivo dañado", [&] { return EscribeArchivo(p.Carpeta() + "/" + paquete, "x") && recibe(p.Carpeta() + "/" + paquete); }, false},
        {"recibir un enlace a la base", [&] { return recibe(enlace + paquete); }, false},
        {"leer la bitácora", [&] { return !LeeBitacora(ctx.ConexionBD).isEmpty(); }, true},
        {"tabla dinámica", [&] { return genera([&] { GeneraTablaDinamica(ctx); }, "TablaDinamicaVELMORAN.xlsx"); }, true},
        {"tabla dinámica con una carpeta en su lugar", [&] {
             const QString libro = QDir(ctx.CarpetaPrograma).filePath("TablaDinamicaVELMORAN.xlsx");
             QFile::remove(libro);
             QDir().mkpath(libro);
             GeneraTablaDinamica(ctx);
             const bool hecha = QFileInfo(libro).isFile();
             QDir().rmdir(libro);
             return hecha;
         }, false},
        {"tabla completa en libro", [&] { ctx.TablaEnAccess = false; return genera([&] { GeneraTablaCompleta(ctx); }, "TablaCompletaVELMORAN.xlsx"); }, true},
        {"tabla completa en base", [&] { ctx.TablaEnAccess = true; return genera([&] { GeneraTablaCompleta(ctx); }, "TablaCompletaVELMORAN.db"); }, true},
        {"exportar a base", [&] { return exporta(FormatoExportacion::BaseDatos, datos + "/E.db"); }, true},
        {"exportar a libro", [&] { return exporta(FormatoExportacion::Excel, datos + "/E.xlsx"); }, true},
        {"exportar a dBase", [&] { return exporta(FormatoExportacion::Dbase, datos + "/E.dbf"); }, true},
        {"exportar a carpeta inexistente", [&] { return exporta(FormatoExportacion::Excel, falta + "E.xlsx"); }, false},
        {"exportar sobre la base", [&] { return exporta(FormatoExportacion::BaseDatos, ctx.ArchivoBD); }, false},
        {"filtrar", [&] { return EjecutaFiltro(ctx, "E.Folio = 1", DestinoFiltro{&h.Reg(), {}}); }, true},
        {"ver la tabla", [&] {
             bool vista = false;
             QTimer::singleShot(0, [&] {
                 if (QWidget *w = QApplication::activeModalWidget())
                     vista = w->close();
             });
             AbreTabla(ctx, h.Reg(), {}, nullptr);
             return vista;
         }, true},
        {"filtrar con un campo inexistente", [&] { return EjecutaFiltro(ctx, "E.Nada = 1", DestinoFiltro{&h.Reg(), {}}); }, false},
        {"reporte estadístico", [&] { return reporte(false); }, true},
        {"reporte estadístico sin un catálogo", [&] { return reporte(true); }, false},
        {"imprimir un catálogo", [&] { return ImprimeReporteCatalogo(ctx, "rptCatEstados", {}, imprime); }, true},
        {"imprimir un catálogo sin su definición", [&] { return ImprimeReporteCatalogo(ctx, "rptNoExiste", "Catálogo de Sexo", imprime); }, false},
    };
    for (const auto &c : casos) {
        EXPECT_EQ(c.haz(), c.hecha) << c.operacion << ": " << p.mensajes.Ultimo().toStdString();
        ASSERT_TRUE(ctx.ConexionBD.EstaAbierta()) << c.operacion;
        EXPECT_EQ(BloqueosPerdidos(ctx.ArchivoBD), "") << c.operacion;
    }
    EXPECT_EQ(p.Valor("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(p.Cuenta("D_EVENTO"), 1);
}
