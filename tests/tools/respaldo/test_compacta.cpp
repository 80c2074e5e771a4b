// The working database taken from its path while a tool of the Herramientas
// menu works on it: the compaction, the reception and the others.
#include "comun/BloqueoAjeno.h"
#include "comun/ProgramaTemporal.h"
#include "shell/mdiPrincipal.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"
#include "tools/frmBitacora.h"
#include "tools/frmRespaldarBase.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sqlite3.h>
#include <thread>
#include <tuple>

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
// The same, moved to %2, which stays as it was.
const QString EscritaYMovida = "El archivo de la Base de Datos %1 fue movido a %2 mientras el programa estaba abierto. "
                               "Lo que estaba guardado se escribió de nuevo en %1; el archivo %2 quedó como estaba.";
// The write-back notice for the database at `archivo` deleted, or moved to
// QuitaEnMedio's place beside it.
QString Escrita(const QString &archivo, bool movida)
{
    return movida ? EscritaYMovida.arg(archivo, archivo + ".movida") : EscritaDeNuevo.arg(archivo);
}

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
    // In one step: between a rename and a copy, a loaded machine lets the
    // compaction meet nothing at the path, and write the database back there.
    ASSERT_TRUE(CompactaYEnMedio([&] {
        const QString otro = archivo + ".otro";
        if (QFile::copy(plantilla, otro))
            ::renameat2(AT_FDCWD, QFile::encodeName(otro).constData(), AT_FDCWD, QFile::encodeName(archivo).constData(),
                        RENAME_EXCHANGE);
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

// Deleted during a reception's merge: what was confirmed is written back at
// the path, said, and the program goes on there; then the reception says it
// could not receive and why, in what happened rather than what to do.
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
    ASSERT_EQ(p.mensajes.cajas.size(), 2);
    EXPECT_EQ(p.mensajes.cajas[0].texto, EscritaDeNuevo.arg(archivo));
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo recibir el Envío; la Base de Datos quedó como estaba.\n\nEl archivo de la Base de "
                                   "Datos " + archivo + " fue movido o borrado mientras se recibía el Envío, y no se recibió "
                                   "nada en él.");
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
// back there before its first message, says so, and the program goes on on it.
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
        EXPECT_EQ(p.mensajes.cajas.value(0).texto, EscritaDeNuevo.arg(archivo)) << c.herramienta;
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

namespace {

// What a reader of its own finds in the file at `archivo`, read as it stands
// (no lock, no journal: nothing of the program's connection is touched):
// SQLite's check and the events, or why it cannot be read.
QString EnSuRuta(const QString &archivo)
{
    if (!QFileInfo::exists(archivo))
        return "no está";
    const QByteArray uri = QUrl::fromLocalFile(archivo).toString(QUrl::FullyEncoded).toUtf8() + "?immutable=1";
    sqlite3 *db = nullptr;
    QStringList leido;
    bool bien = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK;
    for (const char *sql : {"PRAGMA quick_check", "SELECT count(*) || ' eventos' FROM D_EVENTO"}) {
        sqlite3_stmt *s = nullptr;
        bien = bien && sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW;
        if (bien)
            leido << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
    }
    if (!bien)
        leido << QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return leido.join(", ");
}

// Looks at each message the fake shows for as long as it lives, and no
// longer: a run that throws leaves no call into a test's gone locals (the
// fixture's closing may still show one).
class AlMostrar {
public:
    AlMostrar(MensajesFalsos &m, std::function<void(const MensajesFalsos::Caja &)> mira) : m_(m)
    {
        m_.alMostrar = std::move(mira);
    }
    ~AlMostrar() { m_.alMostrar = nullptr; }
    AlMostrar(const AlMostrar &) = delete;
    AlMostrar &operator=(const AlMostrar &) = delete;

private:
    MensajesFalsos &m_;
};

// Takes the working database from its path once, deleted or moved away, the
// moment the run writes a stage beginning with `cuando` to the panel or
// begins a statement that holds it, on the program's connection or on one
// opened meanwhile (a tool that closes and opens the database again).
class QuitaEnMedio {
public:
    QuitaEnMedio(ProgramaTemporal &p, const QString &cuando, bool mueve)
        : p_(p), archivo_(p.ctx->ArchivoBD), cuando_(cuando), mueve_(mueve)
    {
        p_.ctx->PanelMensajes = [this](const QString &t) {
            if (t.startsWith(cuando_))
                Quita();
        };
        activa_ = this;
        sqlite3_trace_v2(p_.bd().Manejador(), SQLITE_TRACE_STMT, &QuitaEnMedio::Traza, nullptr);
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&QuitaEnMedio::AlAbrir));
    }
    ~QuitaEnMedio()
    {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&QuitaEnMedio::AlAbrir));
        activa_ = nullptr;
        p_.ctx->PanelMensajes = nullptr;
        // Written back, the database was opened again without the trace.
        if (p_.bd().EstaAbierta())
            sqlite3_trace_v2(p_.bd().Manejador(), 0, nullptr, nullptr);
        QFile::remove(archivo_ + ".movida");
    }
    bool Quitada() const { return quitada_; }
    void Quita()
    {
        if (quitada_)
            return;
        quitada_ = mueve_ ? QFile::rename(archivo_, archivo_ + ".movida") : QFile::remove(archivo_);
    }

private:
    static int AlAbrir(sqlite3 *db, char **, const sqlite3_api_routines *)
    {
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &QuitaEnMedio::Traza, nullptr);
        return SQLITE_OK;
    }
    static int Traza(unsigned, void *, void *, void *sql)
    {
        QuitaEnMedio *q = activa_;
        if (q && QString::fromUtf8(static_cast<const char *>(sql)).contains(q->cuando_))
            q->Quita();
        return 0;
    }

    static inline QuitaEnMedio *activa_ = nullptr;
    ProgramaTemporal &p_;
    const QString archivo_, cuando_;
    const bool mueve_;
    bool quitada_ = false;
};

} // namespace

// The database deleted or moved away during a tool's work is back at its
// path, sound and with every event, before the first message that waits for
// the user (which says so), and at every later one; the program goes on on
// it: a program killed while a message waits would leave it in its place.
TEST_F(HerramientaSinBase, CadaHerramientaDevuelveLaBaseAntesDeSuPrimerMensaje)
{
    Contexto &ctx = *p.ctx;
    const QString archivo = ctx.ArchivoBD;
    const auto recibe = [&](const QStringList &tablas) {
        Recepcion r(ctx);
        if (r.Abre(paquete))
            r.Recibe(true, tablas);
    };
    const struct {
        const char *herramienta;
        const char *cuando;   // a stage or a statement of its work
        std::function<void()> corre;
    } casos[] = {
        {"enviar, al copiar", "INSERT INTO envio.D_EVENTO",
         [&] { Envio(ctx).GeneraEnvio({true, true, {}, {}, {}, {}}, p.Carpeta() + "/" + Envio(ctx).PaqueteEnvio); }},
        {"enviar, al empacar", "Empacando el Envío en",
         [&] { Envio(ctx).GeneraEnvio({true, true, {}, {}, {}, {"cSexo"}}, p.Carpeta() + "/" + Envio(ctx).PaqueteEnvio); }},
        {"recibir, al desempacar", "Leyendo información", [&] { recibe({"cSexo"}); }},
        {"recibir, al reunir", "INSERT INTO main.D_EVENTO", [&] { recibe({"cSexo"}); }},
        {"respaldar, al copiar", "VACUUM INTO", [&] { Respaldo(ctx, {}).Respalda(p.Carpeta() + "/R.zip"); }},
        // Its only message is a failure's.
        {"borrar la bitácora, que falla", "DELETE FROM BITACORA", [&] {
             p.Ejecuta("INSERT INTO BITACORA (TIPO, NOMBRE) VALUES (1, 'R.zip')");
             p.Ejecuta("CREATE TRIGGER Fija BEFORE DELETE ON BITACORA BEGIN SELECT RAISE(ABORT, 'fija'); END");
             frmBitacora(ctx).cmdLimpiar->click();
             p.Ejecuta("DROP TRIGGER Fija");
         }},
        {"tabla completa en libro", "Generando la Tabla Completa", [&] {
             ctx.TablaEnAccess = false;
             GeneraTablaCompleta(ctx);
         }},
        {"tabla completa en base", "Escribiendo la Tabla Completa", [&] {
             ctx.TablaEnAccess = true;
             GeneraTablaCompleta(ctx);
         }},
        {"tabla dinámica", "Preparando información", [&] { GeneraTablaDinamica(ctx); }},
    };
    for (const auto &c : casos)
        for (const bool mueve : {false, true}) {
            const std::string caso = std::string(c.herramienta) + (mueve ? ", movida" : ", borrada");
            const QString eventos = QString::number(p.Cuenta("D_EVENTO")) + " eventos";
            p.mensajes.Limpia();
            QStringList vistos;   // each message after the removal, with what stood at the path
            std::optional<QuitaEnMedio> quita;
            quita.emplace(p, QString::fromUtf8(c.cuando), mueve);
            {
                const AlMostrar mira(p.mensajes, [&](const MensajesFalsos::Caja &m) {
                    if (quita->Quitada())
                        vistos << m.texto + " | " + EnSuRuta(archivo);
                });
                c.corre();
            }
            const bool quitada = quita->Quitada();
            quita.reset();
            ASSERT_TRUE(quitada) << caso << ": la base no se quitó";
            ASSERT_FALSE(vistos.isEmpty()) << caso;
            EXPECT_EQ(vistos[0], Escrita(archivo, mueve) + " | ok, " + eventos) << caso;
            for (const QString &v : vistos) {
                EXPECT_TRUE(v.endsWith(" | ok, " + eventos)) << caso << ": " << v.toStdString();
                // Back at its path already: no message asks the user to put it back.
                EXPECT_FALSE(v.contains("Devuelva el archivo a su lugar")) << caso << ": " << v.toStdString();
            }
            EXPECT_TRUE(ctx.ConexionBD.SigueEnSuRuta()) << caso;
            if (!QFileInfo::exists(archivo)) {
                ctx.ConexionBD.Cierra();   // closing writes it back, for the next case
                ctx.ConexionBD.Abre(archivo);
            }
        }
}

namespace {

// How a run is made to fail: another program holding the database's write
// lock, a full disk or a read-only folder where it writes; or by what the
// user chose.
enum class Falla { Ocupada, DiscoLleno, SoloLectura, Eleccion };

struct CasoFalla {
    const char *nombre;
    Falla falla;
    const char *carpeta;   // where it writes: a folder of its own, or "" for the program folder
    const char *cuando;    // the stage or statement at which the file goes; "" before the run
    // The message that says it failed: its title (none: no message but the
    // write-back's) and how its text begins (%1: the database's path). Where
    // the file leaves before the failure is met, the run goes on at the path
    // once the file is written back there, or says that the file left.
    const char *titulo;
    const char *dice;
    std::function<void(ProgramaTemporal &p, const QString &paquete, const QString &carpeta)> corre;
    // What makes it fail, done while the file is still at its path (a
    // connection whose file left its path reads and writes nothing).
    std::function<void(ProgramaTemporal &p)> antes = {};
};

void Envia(ProgramaTemporal &p, const QString &, const QString &carpeta)
{
    Envio(*p.ctx).GeneraEnvio({true, true, {}, {}, {}, {"cSexo"}}, carpeta + "/" + Envio(*p.ctx).PaqueteEnvio);
}

void Respalda(ProgramaTemporal &p, const QString &, const QString &carpeta)
{
    Respaldo(*p.ctx, {}).Respalda(carpeta + "/R.zip");
}

void TablaCompletaEn(ProgramaTemporal &p, bool enBase)
{
    p.ctx->TablaEnAccess = enBase;
    GeneraTablaCompleta(*p.ctx);
}

// A file that leaves its path before the other program's lock is met takes
// that lock along: it is on the file that left, and the copy written back at
// the path is the program's alone. So the compaction, refused on the file
// that left, goes on at the path and ends, with no "ocupada" failure; so do
// the backup's and the send's rows of the log and the clearing of the log.
// The reception says that the file left during it, and receives nothing.
const CasoFalla CasosFalla[] = {
    {"Compactar_Ocupada", Falla::Ocupada, "", "VACUUM", nullptr, nullptr,
     [](ProgramaTemporal &p, const QString &, const QString &) { CompactaBaseDatos(*p.ctx, nullptr, {}); }},
    {"RespaldarConSuCompactacion_Ocupada", Falla::Ocupada, "", "VACUUM", "Respaldos VELMORAN",
     "Se terminó el Respaldo de la Base de Datos",
     [](ProgramaTemporal &p, const QString &, const QString &carpeta) {
         Contexto &ctx = *p.ctx;
         Respaldo(ctx, [&ctx] { return CompactaBaseDatos(ctx, nullptr, {}); }).Respalda(carpeta + "/R.zip");
     }},
    {"Respaldar_Ocupada", Falla::Ocupada, "", "INSERT INTO BITACORA", "Respaldos VELMORAN",
     "Se terminó el Respaldo de la Base de Datos", Respalda},
    {"Enviar_Ocupada", Falla::Ocupada, "", "INSERT INTO BITACORA", "Envíos VELMORAN", "El Envío se genero con la siguiente información",
     Envia},
    {"Recibir_Ocupada", Falla::Ocupada, "", "Recibiendo información", "Recepción VELMORAN",
     "No se pudo recibir el Envío; la Base de Datos quedó como estaba.\n\nEl archivo de la Base de Datos %1 fue movido o "
     "borrado mientras se recibía el Envío, y no se recibió nada en él.",
     [](ProgramaTemporal &p, const QString &paquete, const QString &) {
         Recepcion r(*p.ctx);
         if (r.Abre(paquete))
             r.Recibe(true, {"cSexo"});
     }},
    {"BorrarLaBitacora_Ocupada", Falla::Ocupada, "", "DELETE FROM BITACORA", nullptr, nullptr,
     [](ProgramaTemporal &p, const QString &, const QString &) { frmBitacora(*p.ctx).cmdLimpiar->click(); }},
    {"Enviar_DiscoLleno", Falla::DiscoLleno, "lleno", "INSERT INTO envio.D_EVENTO", "Envío VELMORAN",
     "No se pudo generar el Envío.\n\nNo hay espacio suficiente en el disco", Envia},
    {"Respaldar_DiscoLleno", Falla::DiscoLleno, "lleno", "VACUUM INTO", "Respaldos VELMORAN",
     "No se pudo hacer el Respaldo de la Base de Datos.\n\nNo hay espacio suficiente en el disco", Respalda},
    {"Enviar_SoloLectura", Falla::SoloLectura, "solo", "", "Envío VELMORAN", "No se pudo generar el Envío.\n\nNo se puede escribir en la carpeta",
     Envia},
    {"Respaldar_SoloLectura", Falla::SoloLectura, "solo", "", "Respaldos VELMORAN",
     "No se pudo hacer el Respaldo de la Base de Datos.\n\nNo se puede escribir en la carpeta", Respalda},
    {"RespaldarDesdeSuVentana_SoloLectura", Falla::SoloLectura, "solo", "", "Respaldos VELMORAN", "No se puede escribir en la carpeta",
     [](ProgramaTemporal &p, const QString &, const QString &carpeta) {
         frmRespaldarBase ventana(*p.ctx, {});
         ventana.txtRuta->setText(carpeta + "/R.zip");
         ventana.cmdAceptar->click();
     }},
    {"TablaCompletaEnLibro_SoloLectura", Falla::SoloLectura, "", "", "Herramientas VELMORAN", "No se puede escribir en la carpeta",
     [](ProgramaTemporal &p, const QString &, const QString &) { TablaCompletaEn(p, false); }},
    {"TablaCompletaEnBase_SoloLectura", Falla::SoloLectura, "", "", "Herramientas VELMORAN", "No se puede escribir en la carpeta",
     [](ProgramaTemporal &p, const QString &, const QString &) { TablaCompletaEn(p, true); }},
    {"TablaDinamica_SoloLectura", Falla::SoloLectura, "", "", "Herramientas VELMORAN", "No se puede escribir en la carpeta",
     [](ProgramaTemporal &p, const QString &, const QString &) { GeneraTablaDinamica(*p.ctx); }},
    {"EnviarSinNadaElegido", Falla::Eleccion, "", "", "VELMORAN2016", "No ha seleccionado información para generar el envío",
     [](ProgramaTemporal &p, const QString &, const QString &) {
         Envio::Seleccion s;
         Envio(*p.ctx).ValidaEnvio("__/__/____", "__/__/____", s);
     }},
    {"LeerLaBitacoraQueNoSeLee", Falla::Eleccion, "", "", "Bitácora VELMORAN", "No se pudo leer la Bitácora:\n\n",
     [](ProgramaTemporal &p, const QString &, const QString &) {
         frmBitacora ventana(*p.ctx);
         p.Ejecuta("ALTER TABLE BITACORA_APARTE RENAME TO BITACORA");
     },
     [](ProgramaTemporal &p) { p.Ejecuta("ALTER TABLE BITACORA RENAME TO BITACORA_APARTE"); }},
};

void PrintTo(const CasoFalla &caso, std::ostream *os)
{
    *os << caso.nombre;
}

class HerramientaQueFalla : public HerramientaSinBase,
                            public ::testing::WithParamInterface<std::tuple<CasoFalla, bool>> {};

} // namespace

// Each tool made to fail (another program's lock, a full disk, a read-only
// folder, the user's choice) with the database deleted or moved away before
// or during its run: the database is back at its path, sound and with every
// event, before the first message that follows (which says so) and at every
// later one, the failure's message among them (or, where the file left
// before the failure was met, what the run does instead: see CasosFalla).
TEST_P(HerramientaQueFalla, DevuelveLaBaseAntesDeSuPrimerMensaje)
{
    const auto &[caso, mueve] = GetParam();
    const QString archivo = p.ctx->ArchivoBD;
    const QString carpeta = *caso.carpeta ? p.Carpeta() + "/" + caso.carpeta : p.Carpeta();
    const QString eventos = QString::number(p.Cuenta("D_EVENTO")) + " eventos";
    std::optional<BloqueoAjeno> bloqueo;
    std::optional<DiscoPequeno> disco;
    std::optional<CarpetaSoloLectura> soloLectura;
    switch (caso.falla) {
    case Falla::Ocupada:
        bloqueo.emplace(archivo, 600);
        ASSERT_TRUE(bloqueo->Tomado());
        break;
    case Falla::DiscoLleno:
        disco.emplace(carpeta, "1m");
        if (!disco->Montado())
            GTEST_SKIP() << "no se pudo montar un disco pequeño";
        disco->Llena();
        break;
    case Falla::SoloLectura:
        soloLectura.emplace(carpeta, *caso.carpeta ? CarpetaSoloLectura::Con::Montaje : CarpetaSoloLectura::Con::Contenido);
        if (!soloLectura->Lista())
            GTEST_SKIP() << "no se pudo hacer una carpeta de solo lectura";
        break;
    case Falla::Eleccion:
        break;
    }
    if (caso.antes)
        caso.antes(p);
    QStringList vistos;   // each message after the removal, with what stood at the path
    std::optional<QuitaEnMedio> quita;
    quita.emplace(p, QString::fromUtf8(caso.cuando), mueve);
    if (!*caso.cuando)
        quita->Quita();
    {
        const AlMostrar mira(p.mensajes, [&](const MensajesFalsos::Caja &m) {
            if (quita->Quitada())
                vistos << m.titulo + " | " + m.texto + " | " + EnSuRuta(archivo);
        });
        caso.corre(p, paquete, carpeta);
    }
    const bool quitada = quita->Quitada();
    quita.reset();
    ASSERT_TRUE(quitada) << "la base no se quitó";
    ASSERT_FALSE(vistos.isEmpty());
    EXPECT_EQ(vistos[0], "VELMORAN | " + Escrita(archivo, mueve) + " | ok, " + eventos);
    for (const QString &v : vistos)
        EXPECT_TRUE(v.endsWith(" | ok, " + eventos)) << v.toStdString();
    if (caso.titulo) {
        const QString falla = QString::fromUtf8(caso.titulo) + " | " + QString::fromUtf8(caso.dice).replace("%1", archivo);
        EXPECT_TRUE(std::any_of(vistos.cbegin(), vistos.cend(), [&](const QString &v) { return v.startsWith(falla); }))
            << vistos.join("\n").toStdString();
    } else {
        EXPECT_EQ(vistos.size(), 1) << vistos.join("\n").toStdString();
    }
    EXPECT_TRUE(p.ctx->ConexionBD.SigueEnSuRuta());
}

INSTANTIATE_TEST_SUITE_P(Herramientas, HerramientaQueFalla, ::testing::Combine(::testing::ValuesIn(CasosFalla), ::testing::Bool()),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).nombre) + (std::get<1>(info.param) ? "_Movida" : "_Borrada");
                         });

// Deleted before the compaction, where no copy can be written back (its
// folder takes no new file): the compaction refuses and stays on the deleted
// file, whose events closing it there would have lost; once the folder takes
// files again, closing writes them back.
TEST_F(HerramientaSinBase, CompactarSinPoderDevolverLaBaseNoLaCierra)
{
    const QString archivo = p.ctx->ArchivoBD;
    ASSERT_TRUE(QFile::remove(archivo));
    p.mensajes.Limpia();
    {
        const CarpetaSoloLectura datos(p.ctx->RutaDatos, CarpetaSoloLectura::Con::Contenido);
        if (!datos.Lista())
            GTEST_SKIP() << "no se pudo hacer una carpeta de solo lectura";
        EXPECT_TRUE(CompactaBaseDatos(*p.ctx, nullptr, [] { ADD_FAILURE() << "pidió los parámetros"; }));
        EXPECT_EQ(p.mensajes.Titulos(), (QStringList{"VELMORAN", "Herramientas VELMORAN - Compactar BD"}));
        EXPECT_EQ(p.mensajes.Ultimo(), "14 - " + BaseDatos::TextoMovida(archivo, "no se compactó"));
        ASSERT_TRUE(p.bd().EstaAbierta());
        // Still on the deleted file, which holds the event: read from its own
        // bytes, as nothing reads a file that left its path through SQLite.
        EXPECT_FALSE(p.bd().SigueEnSuRuta());
        const QString copia = p.Carpeta() + "/copia.db";
        ASSERT_EQ(p.bd().CopiaDelArchivo(copia), "");
        EXPECT_EQ(EnSuRuta(copia), "ok, 1 eventos");
    }
    p.bd().Cierra();
    EXPECT_EQ(EnSuRuta(archivo), "ok, 1 eventos");
}
