// The working database taken from its path while a tool of the Herramientas
// menu works on it: the compaction, the reception and the others.
#include "comun/ProgramaTemporal.h"
#include "shell/mdiPrincipal.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"
#include "tools/frmBitacora.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int Eventos = 20000;

// Whether this process holds open a file whose path matches.
bool AbiertoEnElProceso(const std::function<bool(const QString &)> &es)
{
    const QDir fds("/proc/self/fd");
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
        if (es(QFileInfo(fds.filePath(fd)).symLinkTarget()))
            return true;
    return false;
}

// SQLite holds one of its temporary files open, as a VACUUM does for the
// copy it builds ("etilqs_…", unlinked at once).
bool CopiaTemporalAbierta()
{
    return AbiertoEnElProceso([](const QString &ruta) { return ruta.contains("etilqs_"); });
}

// The reception holds its unpacked package open: attached for the merge.
bool PaqueteAdjunto()
{
    return AbiertoEnElProceso([](const QString &ruta) { return ruta.contains("/Recive-") && ruta.endsWith(".db"); });
}

// Runs `corre` while `quita` runs on another thread as soon as `senal`
// holds; true when it ran before `corre` ended.
bool EnMedio(const std::function<void()> &corre, const std::function<bool()> &senal, const std::function<void()> &quita)
{
    EXPECT_FALSE(senal());
    std::atomic<bool> fin{false}, hecho{false};
    std::thread hilo([&] {
        while (!fin && !senal())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        if (!fin) {
            quita();
            hecho = true;
        }
    });
    corre();
    const bool aTiempo = hecho;
    fin = true;
    hilo.join();
    return aTiempo;
}

const QString EscritaDeNuevo = "El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba "
                               "abierto. Lo que estaba guardado se escribió de nuevo en %1.";

// A database large enough that its VACUUM lasts a while: events and rows of
// filler, the filler deleted so that the compaction has pages to give back.
class CompactaMientras : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                  "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno) "
                  "SELECT 'DFSSA000011', i, '2004-06-15', 'PEREZ' || i FROM n",
                  {Eventos});
        p.Ejecuta("CREATE TABLE RELLENO(x)");
        p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                  "INSERT INTO RELLENO SELECT randomblob(700) FROM n");
        p.Ejecuta("DELETE FROM RELLENO WHERE rowid % 2 = 0");
        // The log starts empty: the first frames in it are the compaction's.
        p.Valor("PRAGMA wal_checkpoint(TRUNCATE)");
        principal = std::make_unique<mdiPrincipal>(*p.ctx);
        p.ctx->PanelMensajes = [this](const QString &t) { panel << t; };
    }

    // Compacts while `quita` runs on another thread the moment the VACUUM
    // opens its temporary copy; true when it ran before the compaction ended.
    bool CompactaYEnMedio(const std::function<void()> &quita)
    {
        return EnMedio(
            [this] { EXPECT_TRUE(CompactaBaseDatos(*p.ctx, principal.get(), [] { ADD_FAILURE() << "pidió los parámetros"; })); },
            CopiaTemporalAbierta, quita);
    }

    // What a fresh reader finds in the file at the path, the program's
    // connection closed.
    QStringList EnElArchivo()
    {
        p.bd().Cierra();
        QStringList filas;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "lector");
            db.setConnectOptions("QSQLITE_OPEN_READONLY");
            db.setDatabaseName(p.ctx->ArchivoBD);
            if (db.open()) {
                QSqlQuery q(db);
                for (const char *sql : {"PRAGMA integrity_check", "SELECT count(*) FROM D_EVENTO",
                                        "SELECT count(DISTINCT Paterno) FROM D_EVENTO"})
                    if (q.exec(sql) && q.next())
                        filas << q.value(0).toString();
                q.finish();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase("lector");
        return filas;
    }

    ProgramaTemporal p;
    std::unique_ptr<mdiPrincipal> principal;
    QStringList panel;
};

} // namespace

// Deleted during the VACUUM: the compaction ends by writing what was confirmed
// back at its path and saying so, and goes on there.
TEST_F(CompactaMientras, BorradaDuranteElVacuumVuelveASuRutaConCadaEvento)
{
    const QString archivo = p.ctx->ArchivoBD;
    ASSERT_TRUE(CompactaYEnMedio([&] { QFile::remove(archivo); })) << "la base no se borró durante la compactación";
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"VELMORAN"});
    EXPECT_EQ(p.mensajes.Ultimo(), EscritaDeNuevo.arg(archivo));
    EXPECT_EQ(panel.last(), "Listo.....");
    EXPECT_TRUE(QFileInfo::exists(archivo));
    EXPECT_TRUE(p.ctx->ConexionBD.SigueEnSuRuta() && principal->isEnabled());
    // Saved after it, an event goes into the file at the path.
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno) VALUES ('DFSSA000011', 0, '2004-06-16', 'NUEVO')");
    EXPECT_EQ(EnElArchivo(), (QStringList{"ok", QString::number(Eventos + 1), QString::number(Eventos + 1)}));
}

// Another file put at the path during the VACUUM is not taken for the
// database: the compaction says so as it does before the work, leaves that
// file alone and stays on the one it compacted; closing writes it beside.
TEST_F(CompactaMientras, OtroArchivoPuestoDuranteElVacuumSeRehusaYNoSeToca)
{
    const QString archivo = p.ctx->ArchivoBD, plantilla = p.ctx->ArchivoPlantilla();
    ASSERT_TRUE(CompactaYEnMedio([&] {
        if (QFile::rename(archivo, archivo + ".movida"))
            QFile::copy(plantilla, archivo);
    }))
        << "la base no se movió durante la compactación";
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN - Compactar BD"});
    EXPECT_EQ(p.mensajes.Ultimo(), "14 - El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el "
                                   "programa estaba abierto; no se compactó. Devuelva el archivo a su lugar y vuelva a "
                                   "intentarlo, o cierre el programa: al cerrarlo, lo que ya estaba guardado se escribe de "
                                   "nuevo en ese lugar o, si otro archivo lo ocupa, en un archivo nuevo junto a él, y se le "
                                   "dice dónde.....");
    EXPECT_EQ(panel.last(), "");
    EXPECT_TRUE(p.ctx->ConexionBD.EstaAbierta() && !p.ctx->ConexionBD.SigueEnSuRuta() && principal->isEnabled());
    EXPECT_EQ(LeeArchivo(archivo), LeeArchivo(plantilla));
    p.bd().Cierra();
    p.ctx->ArchivoBD = p.ctx->RutaDatos + "/VELMORAN0436-recuperada.db";
    EXPECT_EQ(EnElArchivo(), (QStringList{"ok", QString::number(Eventos), QString::number(Eventos)}));
}

// Deleted during a reception's merge: the reception says it could not
// receive, as it does, and ends by writing what was confirmed back at the
// path, saying so, and going on there; not only at Salir.
TEST_F(CompactaMientras, BorradaDuranteLaRecepcionVuelveASuRutaConCadaEvento)
{
    const QString archivo = p.ctx->ArchivoBD;
    const QString paquete = p.ctx->RutaDatos + "/" + Envio(*p.ctx).PaqueteEnvio;
    ASSERT_TRUE(Envio(*p.ctx).GeneraEnvio({true, true, {}, {}, {}, {}}, paquete)) << p.mensajes.Ultimo().toStdString();
    Recepcion r(*p.ctx);
    ASSERT_TRUE(r.Abre(paquete));
    p.mensajes.Limpia();
    ASSERT_TRUE(EnMedio([&] { r.Recibe(true, {}); }, PaqueteAdjunto, [&] { QFile::remove(archivo); }))
        << "la base no se borró durante la recepción";
    ASSERT_GE(p.mensajes.cajas.size(), 2);
    EXPECT_TRUE(p.mensajes.cajas[0].texto.startsWith("No se pudo recibir el Envío; la Base de Datos quedó como estaba."))
        << p.mensajes.cajas[0].texto.toStdString();
    EXPECT_EQ(p.mensajes.Ultimo(), EscritaDeNuevo.arg(archivo));
    EXPECT_TRUE(QFileInfo::exists(archivo));
    EXPECT_TRUE(p.ctx->ConexionBD.SigueEnSuRuta());
    EXPECT_EQ(EnElArchivo(), (QStringList{"ok", QString::number(Eventos), QString::number(Eventos)}));
}

namespace {

// A small working database and a package of it, for the tools that read or
// write it at once.
class HerramientaSinBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno) VALUES ('DFSSA000011', 1, '2004-06-15', 'PEREZ')");
        paquete = p.ctx->RutaDatos + "/" + Envio(*p.ctx).PaqueteEnvio;
        ASSERT_TRUE(Envio(*p.ctx).GeneraEnvio({true, true, {}, {}, {}, {"cSexo"}}, paquete));
    }
    ProgramaTemporal p;
    QString paquete;
};

} // namespace

// Every other tool of the Herramientas menu that meets the database gone
// from its path (deleted before or during its run: here before) writes it
// back there when it ends, says so, and the program goes on on it.
TEST_F(HerramientaSinBase, CadaHerramientaVuelveAEscribirLaBaseBorradaAlTerminar)
{
    Contexto &ctx = *p.ctx;
    const struct {
        const char *herramienta;
        std::function<void()> corre;
    } casos[] = {
        {"enviar", [&] { Envio(ctx).GeneraEnvio({true, true, {}, {}, {}, {}}, p.Carpeta() + "/" + Envio(ctx).PaqueteEnvio); }},
        {"recibir", [&] {
             Recepcion r(ctx);
             if (r.Abre(paquete))
                 r.Recibe(true, {"cSexo"});
         }},
        // A backup without its compaction: the deletion during its copy.
        {"respaldar", [&] { Respaldo(ctx, {}).Respalda(p.Carpeta() + "/R.zip"); }},
        {"borrar la bitácora", [&] { frmBitacora(ctx).cmdLimpiar->click(); }},
        {"tabla completa en libro", [&] {
             ctx.TablaEnAccess = false;
             GeneraTablaCompleta(ctx);
         }},
        {"tabla completa en base", [&] {
             ctx.TablaEnAccess = true;
             GeneraTablaCompleta(ctx);
         }},
        {"tabla dinámica", [&] { GeneraTablaDinamica(ctx); }},
    };
    const QString archivo = ctx.ArchivoBD;
    int eventos = 1;
    for (const auto &c : casos) {
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno) VALUES ('DFSSA000012', ?, '2004-06-15', 'RUIZ')",
                  {++eventos});
        p.mensajes.Limpia();
        ASSERT_TRUE(QFile::remove(archivo)) << c.herramienta;
        c.corre();
        EXPECT_EQ(p.mensajes.Ultimo(), EscritaDeNuevo.arg(archivo)) << c.herramienta;
        if (!QFileInfo::exists(archivo)) {
            ADD_FAILURE() << c.herramienta << ": la base sigue fuera de su ruta";
            ctx.ConexionBD.Cierra();   // closing writes it back, for the next tool
            ctx.ConexionBD.Abre(archivo);
            continue;
        }
        EXPECT_TRUE(ctx.ConexionBD.SigueEnSuRuta()) << c.herramienta;
        // What was confirmed before, in the file at the path.
        EXPECT_EQ(p.Cuenta("D_EVENTO", "Clues = 'DFSSA000012'"), eventos - 1) << c.herramienta;
    }
}
