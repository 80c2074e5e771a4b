#include "comun/BloqueoAjeno.h"
#include "comun/ProgramaTemporal.h"
#include "platform/UsoDeArchivo.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace {

// A statement on a connection of its own: its rows, columns joined by '|' and
// rows by ','; SQLite's words when it fails.
QString Lee(const QString &archivo, const char *sql, int crea = 0)
{
    sqlite3 *db = nullptr;
    QStringList filas;
    const auto fila = [](void *f, int n, char **valores, char **) {
        QStringList columnas;
        for (int i = 0; i < n; ++i)
            columnas << QString::fromUtf8(valores[i] ? valores[i] : "");
        *static_cast<QStringList *>(f) << columnas.join('|');
        return 0;
    };
    const bool bien = sqlite3_open_v2(QFile::encodeName(archivo).constData(), &db, SQLITE_OPEN_READWRITE | crea, nullptr) == SQLITE_OK
                      && sqlite3_exec(db, sql, fila, &filas, nullptr) == SQLITE_OK;
    const QString leido = bien ? filas.join(',') : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return leido;
}

// SQLite's check and the events of a working database.
QString Eventos(const QString &archivo)
{
    return Lee(archivo, "PRAGMA integrity_check") + " " + Lee(archivo, "SELECT group_concat(Folio) FROM D_EVENTO");
}

const char *const Cincuenta = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
                              "INSERT INTO T SELECT 1000 + i FROM n";

// A working database with its first saves, the name it is moved to, and the
// name of a copy beside its path.
struct Escena {
    ProgramaTemporal p;
    QString archivo, datos, movido, copia;
    explicit Escena(int eventos = 1)
    {
        p.AbreBase();
        archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, movido = p.Carpeta() + "/VELMORAN0436.db";
        copia = datos + "/VELMORAN0436-recuperada.db";
        for (int folio = 1; folio <= eventos; ++folio)
            Graba(folio);
    }
    // One save, as the sheet saves an event.
    void Graba(int folio)
    {
        Transaccion t(p.bd());
        p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', ?, '2004-06-15')", {folio});
        t.Confirma();
    }
    // Another program's database of a thousand rows, in rollback mode, put at the path.
    void PonAjena()
    {
        const QString ajena = p.Carpeta() + "/ajena.db";
        ASSERT_EQ(Lee(ajena, "CREATE TABLE T (x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                             "WHERE i < 1000) INSERT INTO T SELECT i FROM n",
                     SQLITE_OPEN_CREATE),
                  "");
        ASSERT_TRUE(QFile::copy(ajena, archivo));
    }
    QStringList Diarios() const { return QDir(datos).entryList({"*-wal", "*-shm", "*-journal"}, QDir::Files, QDir::Name); }
    // What the closing says with nothing at the path, and with another file there.
    QString Movida() const
    {
        return "El archivo de la Base de Datos " + archivo + " fue movido a " + movido + " mientras el programa estaba "
               "abierto. Lo que estaba guardado se escribió de nuevo en " + archivo + "; el archivo " + movido + " quedó "
               "como estaba.";
    }
    QString Ocupada() const
    {
        return "El archivo de la Base de Datos " + archivo + " fue movido a " + movido + " y otro archivo ocupa ahora su "
               "lugar. Lo que estaba guardado se escribió en el archivo nuevo " + copia + "; el archivo " + movido + " quedó "
               "como estaba y el que ocupa ahora " + archivo + " no se modificó.";
    }
};

// The test's hold on the child that deals with the journals at the path, and
// how long the program waits for it; what the child reaches of the test
// (only calls safe after fork()).
struct EnElHijo {
    const int espera = EsperaDelHijoMs;
    EnElHijo(void (*hace)(), int esperaMs) { AlTomarElCandado = hace, EsperaDelHijoMs = esperaMs; }
    ~EnElHijo() { AlTomarElCandado = nullptr, EsperaDelHijoMs = espera; }
};
char rutaPuesta[4096];
int avisa[2] = {-1, -1}, suelta[2] = {-1, -1};

} // namespace

// The database moved away while open, another program's database copied to
// its old path, the program waiting for the user, and the other program
// opens it there: it commits, reads, or holds it in exclusive locking mode,
// while the program's last save was still in the log at the move or already
// in the file. Closing writes what was confirmed beside the path; the moved
// file, the other database and the copy each pass SQLite's check with their
// rows, the moved file is byte for byte as it was, and the other database's
// log is its own, emptied into it as it closes.
TEST(BaseMovida, OtraBaseEnLaRutaAnteriorNoComparteNadaConElla)
{
    using M = BloqueoAjeno::Modo;
    const struct {
        const char *caso;
        M modo;
        const char *sql;
        bool enElDiario;   // a save just before the move; else a checkpoint of the log
        bool laCierra;     // the other program closes it before the program does
        const char *queda;   // its rows, and its log emptied (-1: not in WAL mode)
    } casos[] = {
        {"escribe, lo guardado recién", M::Confirma, Cincuenta, true, false, "ok 1050 0|0|0"},
        {"escribe, lo guardado ya en el archivo", M::Confirma, Cincuenta, false, false, "ok 1050 0|0|0"},
        {"escribe y la cierra antes", M::Confirma, Cincuenta, true, true, "ok 1050 0|0|0"},
        {"lee", M::Lee, "SELECT count(*) FROM T", true, false, "ok 1000 0|-1|-1"},
        {"escribe en modo exclusivo", M::ConfirmaExclusivo, Cincuenta, true, false, "ok 1050 0|0|0"},
    };
    for (const auto &c : casos) {
        Escena e(3);
        if (!c.enElDiario)
            e.p.Valor("PRAGMA wal_checkpoint(TRUNCATE)");
        ASSERT_TRUE(QFile::rename(e.archivo, e.movido)) << c.caso;
        // Read by another process: a descriptor of it closed here would drop SQLite's locks.
        QProcess::execute("cp", {e.movido, e.p.Carpeta() + "/antes.db"});
        e.PonAjena();
        EXPECT_TRUE(QTest::qWaitFor([&] { return e.Diarios().isEmpty(); }, 60000)) << c.caso;
        BloqueoAjeno otro(e.archivo, 600, c.sql, c.modo);
        ASSERT_TRUE(otro.Tomado()) << c.caso;
        EXPECT_TRUE(!c.laCierra || otro.Termina()) << c.caso;

        e.p.bd().Cierra();
        EXPECT_EQ(e.p.mensajes.Ultimo(), e.Ocupada()) << c.caso;
        EXPECT_TRUE(c.laCierra || otro.Termina()) << c.caso;
        EXPECT_EQ(LeeArchivo(e.movido), LeeArchivo(e.p.Carpeta() + "/antes.db")) << c.caso;
        EXPECT_EQ(Eventos(e.movido) + " " + Eventos(e.copia), "ok 1,2,3 ok 1,2,3") << c.caso;
        EXPECT_EQ(Lee(e.archivo, "PRAGMA integrity_check") + " " + Lee(e.archivo, "SELECT count(*) FROM T") + " "
                      + Lee(e.archivo, "PRAGMA wal_checkpoint(TRUNCATE)"),
                  c.queda)
            << c.caso;
        EXPECT_EQ(e.Diarios(), QStringList()) << c.caso;
    }
}

// Away from its path the file is neither read nor written: each statement
// says so in Spanish, a save as a save, and a reader of the program gets
// SQLite's refusal; back in place, everything reads again. Once another file
// stood at the path and the journals left it, the file back there is opened
// anew rather than read with journals nobody else sees.
TEST(BaseMovida, FueraDeSuRutaNadaSeLeeNiSeEscribe)
{
    Escena e;
    const auto falla = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const ErrorBD &e) {
            return QString::number(e.Numero()) + " " + e.Descripcion();
        }
        return QString("sin error");
    };
    const QString leida = "14 " + BaseDatos::TextoMovida(e.archivo, "no se leyó ni se guardó nada");
    for (const bool otro : {false, true}) {
        sqlite3 *lector = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(e.archivo).constData(), &lector, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        ASSERT_TRUE(QFile::rename(e.archivo, e.movido) && (!otro || EscribeArchivo(e.archivo, "de otro")));
        EXPECT_TRUE(!otro || QTest::qWaitFor([&] { return e.Diarios().isEmpty(); }, 60000));
        EXPECT_EQ(falla([&] { e.p.Valor("SELECT count(*) FROM D_EVENTO"); }), leida) << otro;
        EXPECT_EQ(falla([&] { e.p.Ejecuta("DELETE FROM D_EVENTO"); }), leida) << otro;
        EXPECT_EQ(falla([&] { e.Graba(2); }), "14 " + BaseDatos::TextoMovida(e.archivo, "no se guardó nada")) << otro;
        EXPECT_EQ(sqlite3_exec(lector, "SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_IOERR) << otro;
        if (otro)
            sqlite3_close(std::exchange(lector, nullptr));
        ASSERT_TRUE((!otro || QFile::remove(e.archivo)) && QFile::rename(e.movido, e.archivo));
        EXPECT_EQ(falla([&] { e.p.Valor("SELECT count(*) FROM D_EVENTO"); }), otro ? leida : "sin error") << otro;
        EXPECT_TRUE(e.p.bd().VuelveASuRuta());
        e.Graba(otro ? 3 : 2);
        EXPECT_TRUE(otro || sqlite3_exec(lector, "SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr) == SQLITE_OK);
        sqlite3_close(lector);
    }
    e.p.bd().Cierra();
    EXPECT_EQ(e.p.mensajes.cajas.size(), 0);
    EXPECT_EQ(Eventos(e.archivo), "ok 1,2,3");
}

// A reader of the program keeps a save's pages in the log: the next statement
// of the session puts them in the file. Moved before that, the log holds them:
// it goes with the copy, beside it at the path, or under its name when
// another file stands there, which keeps no journal of the program's.
TEST(BaseMovida, LoQueUnLectorDejoEnElDiarioVaConLaCopia)
{
    const struct {
        const char *caso;
        bool sigue;   // a statement after the reader ends
        bool otro;    // another file put at the path
    } casos[] = {{"la sesión sigue antes de moverla", true, false},
                 {"movida antes", false, false},
                 {"movida antes, otro archivo en su lugar", false, true}};
    for (const auto &c : casos) {
        Escena e;
        const QString copia = c.otro ? e.copia : e.archivo;
        sqlite3 *lector = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(e.archivo).constData(), &lector, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(lector, "BEGIN; SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_OK);
        e.Graba(2);
        EXPECT_GT(QFileInfo(e.archivo + "-wal").size(), 0) << c.caso;
        sqlite3_close(lector);
        if (c.sigue) {
            e.p.Valor("SELECT 1");
            EXPECT_EQ(QFileInfo(e.archivo + "-wal").size(), 0) << c.caso;
        }
        ASSERT_TRUE(QFile::rename(e.archivo, e.movido) && (!c.otro || EscribeArchivo(e.archivo, "de otro"))) << c.caso;
        e.p.bd().Cierra();
        EXPECT_EQ(e.p.mensajes.Ultimo(), c.otro ? e.Ocupada() : e.Movida()) << c.caso;
        EXPECT_EQ(Eventos(e.movido), c.sigue ? "ok 1,2" : "ok 1") << c.caso;
        const QStringList conLaCopia = c.otro ? QStringList{"VELMORAN0436-recuperada.db-wal"}
                                              : QStringList{"VELMORAN0436.db-shm", "VELMORAN0436.db-wal"};
        EXPECT_EQ(e.Diarios(), c.sigue ? QStringList() : conLaCopia) << c.caso;
        EXPECT_EQ(Eventos(copia), "ok 1,2") << c.caso;
        EXPECT_EQ(LeeArchivo(e.archivo), c.otro ? QByteArray("de otro") : LeeArchivo(e.archivo)) << c.caso;
    }
}

// A file put at the path while the closing copies: the copy goes beside it,
// as the message promised, and the file put there stays as it is.
TEST(BaseMovida, UnArchivoPuestoEnSuLugarDuranteLaCopiaLaMandaJunto)
{
    Escena e;
    ASSERT_TRUE(QFile::rename(e.archivo, e.movido));
    qstrncpy(rutaPuesta, QFile::encodeName(e.archivo).constData(), sizeof rutaPuesta);
    const EnElHijo puesto(
        [] {
            const int fd = ::open(rutaPuesta, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0 && ::write(fd, "de otro", 7) == 7)
                ::close(fd);
        },
        EsperaDelHijoMs);
    e.p.bd().Cierra();
    EXPECT_EQ(e.p.mensajes.Ultimo(), e.Ocupada());
    EXPECT_EQ(LeeArchivo(e.archivo), "de otro");
    EXPECT_EQ(Eventos(e.copia) + " " + Eventos(e.movido), "ok 1 ok 1");
    EXPECT_EQ(e.Diarios(), QStringList());
}

// The journals at the path go under SQLite's own exclusive lock on the
// database there: another program that opens it meanwhile waits for the
// lock, then commits into a log of its own, and keeps every row.
TEST(BaseMovida, QuienAbreLaOtraBaseMientrasSeQuitanLosDiariosEspera)
{
    Escena e;
    ASSERT_TRUE(QFile::rename(e.archivo, e.movido));
    e.PonAjena();
    ASSERT_EQ(::pipe2(avisa, O_CLOEXEC) + ::pipe2(suelta, O_CLOEXEC), 0);
    const EnElHijo retenido(
        [] {
            char c = 'x';
            if (::write(avisa[1], &c, 1) == 1)
                (void)!::read(suelta[0], &c, 1);
        },
        EsperaDelHijoMs);
    QStringList dicho;
    std::thread otroPrograma([&] {
        char c;
        if (::read(avisa[0], &c, 1) != 1)
            return;
        QProcess otro;
        otro.start(QStringLiteral(VELMORAN_OTRO_PROGRAMA), {e.archivo, "600", Cincuenta, "confirma"});
        // It says it met a lock before it has the database; then the child goes on.
        for (bool suelto = false; !dicho.contains("tomado") && otro.waitForReadyRead(60000);)
            while (otro.canReadLine()) {
                dicho << otro.readLine().trimmed();
                if (!suelto)
                    suelto = ::write(suelta[1], &c, 1) == 1;
            }
        otro.write("\n");
        otro.waitForFinished(60000);
        dicho << QString::number(otro.exitCode());
    });
    e.p.bd().Cierra();
    // A child that never held the lock leaves the other program unstarted.
    ::close(avisa[1]);
    otroPrograma.join();
    for (int fd : {avisa[0], suelta[0], suelta[1]})
        ::close(fd);
    EXPECT_EQ(dicho, (QStringList{"ocupada", "tomado", "0"}));
    EXPECT_EQ(Lee(e.archivo, "PRAGMA integrity_check") + " " + Lee(e.archivo, "SELECT count(*) FROM T"), "ok 1050");
    EXPECT_EQ(e.Diarios(), QStringList());
    EXPECT_EQ(Eventos(e.copia), "ok 1");
}

// A disk that does not answer (the child stuck at it for good) holds the
// closing for its bounded wait only: what the child had not done is left,
// and said.
TEST(BaseMovida, UnDiscoQueNoRespondeNoDetieneElCierre)
{
    for (const bool otro : {false, true}) {   // another file at the path: the copy goes beside it first
        Escena e;
        ASSERT_TRUE(QFile::rename(e.archivo, e.movido) && (!otro || EscribeArchivo(e.archivo, "de otro")));
        const QStringList diarios = e.Diarios();
        ASSERT_EQ(diarios, (QStringList{"VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
        {
            // The program's own wait: about two seconds.
            const EnElHijo atascado(
                [] {
                    for (;;)
                        ::pause();
                },
                2000);
            e.p.bd().Cierra();
        }
        EXPECT_EQ(e.p.mensajes.Ultimo(),
                  otro ? e.Ocupada()
                       : "El archivo de la Base de Datos " + e.archivo + " fue movido o borrado mientras el programa "
                         "estaba abierto, y lo que estaba guardado no se pudo escribir en " + e.archivo + ": el disco no "
                         "respondió a tiempo. Todo lo guardado sigue en el archivo " + e.movido + ", que quedó como estaba.");
        EXPECT_EQ(e.Diarios(), diarios) << otro;
        EXPECT_EQ(Eventos(e.movido), "ok 1") << otro;
        EXPECT_EQ(otro ? Eventos(e.copia) : QString::number(QFileInfo::exists(e.copia)), otro ? "ok 1" : "0");
        EXPECT_EQ(LeeArchivo(e.archivo), otro ? QByteArray("de otro") : QByteArray()) << otro;
    }
}
