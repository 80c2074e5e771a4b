#include "comun/DialogoFijo.h"
#include "comun/ProgramaTemporal.h"
#include "queries/ExportaConsulta.h"
#include "queries/TablaTrabajo.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

// Every tool and export, done and failed, leaves the program's connection
// open with its locks held and its -wal and -shm live: a tool that closed a
// descriptor of the database of its own would let the next outside reader
// delete the live journal.
TEST(Bloqueos, CadaHerramientaConservaLosDeLaBase)
{
    ProgramaTemporal p;
    p.AbreBase();
    Contexto &ctx = *p.ctx;
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
              "VALUES ('DFSSA000012', 1, '2004-06-15', 'PEREZ', '2004-06-15')");
    // Links to the database under the names of a backup and of a package; a damaged package.
    const QString paquete = Envio(ctx).PaqueteEnvio, enlace = p.Carpeta() + "/Enlace/", danado = p.Carpeta() + "/" + paquete;
    QDir().mkpath(enlace);
    QFile::link(ctx.ArchivoBD, enlace + "R.zip");
    QFile::link(ctx.ArchivoBD, enlace + paquete);
    EscribeArchivo(danado, "x");
    DialogoFijo dialogo;
    const auto compacta = [&] { return CompactaBaseDatos(ctx, nullptr, {}); };
    const auto respalda = [&](const QString &zip) { return Respaldo(ctx, compacta).Respalda(zip); };
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
        g();
        return QFileInfo(QDir(ctx.CarpetaPrograma).filePath(archivo)).isFile();
    };
    const auto completa = [&](bool enBase) {
        ctx.TablaEnAccess = enBase;
        return genera([&] { GeneraTablaCompleta(ctx); }, enBase ? "TablaCompletaVELMORAN.db" : "TablaCompletaVELMORAN.xlsx");
    };
    const std::tuple<const char *, std::function<bool()>, bool> casos[] = {
        {"compactar", compacta, true},
        {"respaldar", [&] { return respalda(p.Carpeta() + "/R.zip"); }, true},
        {"respaldar sobre un enlace a la base", [&] { return respalda(enlace + "R.zip"); }, false},
        {"enviar", [&] { return Envio(ctx).GeneraEnvio(Envio::Seleccion{true, true, {}, {}, {}, {"cSexo"}}, ctx.RutaDatos + "/" + paquete); }, true},
        {"recibir", [&] { return recibe(ctx.RutaDatos + "/" + paquete); }, true},
        {"recibir un archivo dañado", [&] { return recibe(danado); }, false},
        {"recibir un enlace a la base", [&] { return recibe(enlace + paquete); }, false},
        {"tabla dinámica", [&] { return genera([&] { GeneraTablaDinamica(ctx); }, "TablaDinamicaVELMORAN.xlsx"); }, true},
        {"tabla completa en libro", [&] { return completa(false); }, true},
        {"tabla completa en base", [&] { return completa(true); }, true},
        {"tabla de consulta (detalles leídos por hilos)",
         [&] { return TablaTrabajo::ConstruyeGenConsul(ctx.ConexionBD, {"E.Folio", "V.CodTipoViolencia"}, {}) == 1; }, true},
        {"exportar a base", [&] { return exporta(FormatoExportacion::BaseDatos, ctx.RutaDatos + "/E.db"); }, true},
        {"exportar a libro", [&] { return exporta(FormatoExportacion::Excel, ctx.RutaDatos + "/E.xlsx"); }, true},
        {"exportar a dBase", [&] { return exporta(FormatoExportacion::Dbase, ctx.RutaDatos + "/E.dbf"); }, true},
        {"exportar sobre la base", [&] { return exporta(FormatoExportacion::BaseDatos, ctx.ArchivoBD); }, false},
    };
    for (const auto &[operacion, haz, hecha] : casos) {
        EXPECT_EQ(haz(), hecha) << operacion << ": " << p.mensajes.Ultimo().toStdString();
        ASSERT_TRUE(ctx.ConexionBD.EstaAbierta()) << operacion;
        EXPECT_EQ(BloqueosPerdidos(ctx.ArchivoBD), "") << operacion;
    }
    EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT count(*) FROM D_EVENTO"), QStringList({"ok", "1"}));
}
