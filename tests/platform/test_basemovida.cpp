#include "comun/BloqueoAjeno.h"
#include "comun/ProgramaTemporal.h"
#include "platform/UsoDeArchivo.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace {

// Each statement's rows on a connection of its own, columns joined by '|',
// rows by ','; SQLite's words when it fails.
QString Lee(const QString &archivo, const QString &sql, int crea = 0)
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
    QString leido;
    if (sqlite3_open_v2(QFile::encodeName(archivo).constData(), &db, SQLITE_OPEN_READWRITE | crea, nullptr) != SQLITE_OK
        || sqlite3_exec(db, sql.toUtf8().constData(), fila, &filas, nullptr) != SQLITE_OK)
        leido = QString::fromUtf8(sqlite3_errmsg(db));
    else
        leido = filas.join(',');
    sqlite3_close(db);
    return leido;
}

// The check and the events of a working database, read from it alone.
QString Eventos(const QString &archivo)
{
    return Lee(archivo, "PRAGMA integrity_check") + " "
           + Lee(archivo, "SELECT group_concat(Folio) FROM (SELECT Folio FROM D_EVENTO ORDER BY Folio)");
}

// Another program's database, of a thousand rows, in rollback mode.
void CreaAjena(const QString &archivo)
{
    ASSERT_EQ(Lee(archivo, "CREATE TABLE T (x INTEGER); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 1000) INSERT INTO T SELECT i FROM n",
                 SQLITE_OPEN_CREATE),
              "");
}

const char *const Cincuenta = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
                              "INSERT INTO T SELECT 1000 + i FROM n";

// One save of the session, as the sheet saves an event.
void Graba(ProgramaTemporal &p, int folio)
{
    Transaccion t(p.bd());
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', ?, '2004-06-15')", {folio});
    t.Confirma();
}

// The bytes of a file, read by another process: a descriptor of the open
// database opened and closed here would drop SQLite's locks on it.
QByteArray CopiaAjena(const QString &archivo, const QString &copia)
{
    QProcess::execute("cp", {archivo, copia});
    return LeeArchivo(copia);
}

QString Movida(const QString &archivo, const QString &movido)
{
    return "El archivo de la Base de Datos " + archivo + " fue movido a " + movido + " mientras el programa estaba abierto. "
           "Lo que estaba guardado se escribió de nuevo en " + archivo + "; el archivo " + movido + " quedó como estaba.";
}

QString MovidaYOcupada(const QString &archivo, const QString &movido, const QString &copia)
{
    return "El archivo de la Base de Datos " + archivo + " fue movido a " + movido + " y otro archivo ocupa ahora su lugar. "
           "Lo que estaba guardado se escribió en el archivo nuevo " + copia + "; el archivo " + movido + " quedó como estaba "
           "y el que ocupa ahora " + archivo + " no se modificó.";
}

QStringList Diarios(const QString &carpeta)
{
    return QDir(carpeta).entryList({"*-wal", "*-shm", "*-journal"}, QDir::Files | QDir::Hidden, QDir::Name);
}

// The test's hold on the child that deals with the journals at the path.
class EnElHijo {
public:
    explicit EnElHijo(void (*hace)()) { AlTomarElCandado = hace; }
    ~EnElHijo()
    {
        AlTomarElCandado = nullptr;
        EsperaDelHijoMs = 2000;
    }
};

// Where the child, holding its lock, puts a file, and the pipes by which a
// test holds it there (safe after fork(): only write, read and open).
char rutaPuesta[4096];
int avisa[2] = {-1, -1}, suelta[2] = {-1, -1};

} // namespace

// The database moved away while open, another program's database copied to
// its old path, the program waiting for the user, and the other program
// opens it there: it commits, reads, or holds it in exclusive locking mode,
// while the program's confirmed pages were still in the log at the move or
// already in the file. Closing writes what was confirmed beside the path;
// the moved file, the other database and the copy each pass SQLite's check
// with their rows, the moved file is byte for byte as it was, and the other
// database's log is its own, emptied into it as it closes.
TEST(BaseMovida, OtraBaseEnLaRutaAnteriorNoComparteNadaConElla)
{
    using M = BloqueoAjeno::Modo;
    const struct {
        const char *caso;
        M modo;
        const char *sql;
        bool enElDiario;   // a save just before the move; else a checkpoint of the log
        bool laCierra;     // the other program closes it before the program does
        const char *queda;   // its rows, and its log emptied into it (not in WAL mode: -1)
    } casos[] = {
        {"escribe, lo guardado recién", M::Confirma, Cincuenta, true, false, "1050 0|0|0"},
        {"escribe, lo guardado ya en el archivo", M::Confirma, Cincuenta, false, false, "1050 0|0|0"},
        {"escribe y la cierra antes", M::Confirma, Cincuenta, true, true, "1050 0|0|0"},
        {"lee", M::Lee, "SELECT count(*) FROM T", true, false, "1000 0|-1|-1"},
        {"escribe en modo exclusivo", M::ConfirmaExclusivo, Cincuenta, true, false, "1050 0|0|0"},
    };
    for (const auto &c : casos) {
        ProgramaTemporal p;
        p.AbreBase();
        const QString archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, otra = p.Carpeta() + "/otra";
        const QString movido = otra + "/VELMORAN0436.db", copia = datos + "/VELMORAN0436-recuperada.db";
        const QString ajena = p.Carpeta() + "/ajena.db";
        ASSERT_TRUE(QDir().mkpath(otra));
        CreaAjena(ajena);
        for (int folio = 1; folio <= 3; ++folio)
            Graba(p, folio);
        if (!c.enElDiario)
            p.Valor("PRAGMA wal_checkpoint(TRUNCATE)");
        ASSERT_TRUE(QFile::rename(archivo, movido)) << c.caso;
        const QByteArray antes = CopiaAjena(movido, p.Carpeta() + "/antes.db");
        ASSERT_TRUE(QFile::copy(ajena, archivo)) << c.caso;
        // The program, waiting for the user, sees it; its journals leave the path.
        EXPECT_TRUE(QTest::qWaitFor([&] { return Diarios(datos).isEmpty(); }, 60000)) << c.caso;
        BloqueoAjeno otro(archivo, 600, c.sql, c.modo);
        ASSERT_TRUE(otro.Tomado()) << c.caso;
        if (c.laCierra) {
            EXPECT_TRUE(otro.Termina()) << c.caso;
        }

        p.bd().Cierra();
        EXPECT_EQ(p.mensajes.Ultimo(), MovidaYOcupada(archivo, movido, copia)) << c.caso;
        if (!c.laCierra) {
            EXPECT_TRUE(otro.Termina()) << c.caso;
        }
        EXPECT_EQ(LeeArchivo(movido), antes) << c.caso;
        EXPECT_EQ(Eventos(movido), "ok 1,2,3") << c.caso;
        EXPECT_EQ(Eventos(copia), "ok 1,2,3") << c.caso;
        EXPECT_EQ(Lee(archivo, "PRAGMA integrity_check") + " " + Lee(archivo, "SELECT count(*) FROM T") + " "
                      + Lee(archivo, "PRAGMA wal_checkpoint(TRUNCATE)"),
                  QString("ok ") + c.queda)
            << c.caso;
        // Its own journals went as the other program closed; the copy has none.
        EXPECT_EQ(Diarios(datos), QStringList()) << c.caso;
    }
}

// Away from its path the file is neither read nor written: each statement
// says so in Spanish, a save as a save, and a reader of the program gets
// SQLite's refusal; back in place, everything reads again.
TEST(BaseMovida, NadaSeLeeNiSeEscribeFueraDeSuRuta)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString archivo = p.ctx->ArchivoBD, movido = archivo + ".movido";
    Graba(p, 1);
    sqlite3 *lector = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(archivo).constData(), &lector, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_TRUE(QFile::rename(archivo, movido));
    const auto dice = [&](const QString &queNo) { return "14 " + BaseDatos::TextoMovida(archivo, queNo); };
    const auto falla = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const ErrorBD &e) {
            return QString::number(e.Numero()) + " " + e.Descripcion();
        }
        return QString("sin error");
    };
    EXPECT_EQ(falla([&] { p.Valor("SELECT count(*) FROM D_EVENTO"); }), dice("no se leyó ni se guardó nada"));
    EXPECT_EQ(falla([&] { p.Ejecuta("DELETE FROM D_EVENTO"); }), dice("no se leyó ni se guardó nada"));
    EXPECT_EQ(falla([&] { Graba(p, 2); }), dice("no se guardó nada"));
    EXPECT_EQ(sqlite3_exec(lector, "SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_IOERR);
    ASSERT_TRUE(QFile::rename(movido, archivo));
    EXPECT_EQ(p.Filas("SELECT Folio FROM D_EVENTO"), QStringList{"1"});
    EXPECT_EQ(sqlite3_exec(lector, "SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(lector);
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
        ProgramaTemporal p;
        p.AbreBase();
        const QString archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, movido = p.Carpeta() + "/VELMORAN0436.db";
        const QString copia = c.otro ? datos + "/VELMORAN0436-recuperada.db" : archivo;
        Graba(p, 1);
        sqlite3 *lector = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(archivo).constData(), &lector, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(lector, "BEGIN; SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_OK);
        Graba(p, 2);
        EXPECT_GT(QFileInfo(archivo + "-wal").size(), 0) << c.caso;
        sqlite3_close(lector);
        if (c.sigue) {
            p.Valor("SELECT 1");
            EXPECT_EQ(QFileInfo(archivo + "-wal").size(), 0) << c.caso;
        }
        ASSERT_TRUE(QFile::rename(archivo, movido)) << c.caso;
        if (c.otro) {
            ASSERT_TRUE(EscribeArchivo(archivo, "de otro"));
        }
        p.bd().Cierra();
        EXPECT_EQ(p.mensajes.Ultimo(), c.otro ? MovidaYOcupada(archivo, movido, copia) : Movida(archivo, movido)) << c.caso;
        EXPECT_EQ(Eventos(movido), c.sigue ? "ok 1,2" : "ok 1") << c.caso;
        const QStringList conLaCopia = c.otro ? QStringList{"VELMORAN0436-recuperada.db-wal"}
                                              : QStringList{"VELMORAN0436.db-shm", "VELMORAN0436.db-wal"};
        EXPECT_EQ(Diarios(datos), c.sigue ? QStringList() : conLaCopia) << c.caso;
        EXPECT_EQ(Eventos(copia), "ok 1,2") << c.caso;
        if (c.otro) {
            EXPECT_EQ(LeeArchivo(archivo), "de otro") << c.caso;
        }
    }
}

// A file put at the path while the closing copies: the copy goes beside it,
// as the message promised, and the file put there stays as it is.
TEST(BaseMovida, UnArchivoPuestoEnSuLugarDuranteLaCopiaLaMandaJunto)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, movido = p.Carpeta() + "/VELMORAN0436.db";
    const QString copia = datos + "/VELMORAN0436-recuperada.db";
    Graba(p, 1);
    ASSERT_TRUE(QFile::rename(archivo, movido));
    qstrncpy(rutaPuesta, QFile::encodeName(archivo).constData(), sizeof rutaPuesta);
    const EnElHijo puesto([] {
        const int fd = ::open(rutaPuesta, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 && ::write(fd, "de otro", 7) == 7)
            ::close(fd);
    });
    p.bd().Cierra();
    EXPECT_EQ(p.mensajes.Ultimo(), MovidaYOcupada(archivo, movido, copia));
    EXPECT_EQ(LeeArchivo(archivo), "de otro");
    EXPECT_EQ(Eventos(copia), "ok 1");
    EXPECT_EQ(Eventos(movido), "ok 1");
    EXPECT_EQ(Diarios(datos), QStringList());
}

// The journals at the path go under SQLite's own exclusive lock on the
// database there: another program that opens it meanwhile waits for the
// lock, then commits into a log of its own, and keeps every row.
TEST(BaseMovida, QuienAbreLaOtraBaseMientrasSeQuitanLosDiariosEspera)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, movido = p.Carpeta() + "/VELMORAN0436.db";
    const QString ajena = p.Carpeta() + "/ajena.db";
    CreaAjena(ajena);
    Graba(p, 1);
    ASSERT_TRUE(QFile::rename(archivo, movido) && QFile::copy(ajena, archivo));
    ASSERT_EQ(::pipe2(avisa, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(suelta, O_CLOEXEC), 0);
    // However loaded the machine, the child is let go only by the test.
    EsperaDelHijoMs = 120000;
    const EnElHijo retenido([] {
        char c = 'x';
        if (::write(avisa[1], &c, 1) == 1)
            (void)!::read(suelta[0], &c, 1);
    });
    QStringList dicho;
    std::thread otroPrograma([&] {
        char c;
        if (::read(avisa[0], &c, 1) != 1)
            return;
        QProcess otro;
        otro.start(QStringLiteral(VELMORAN_OTRO_PROGRAMA), {archivo, "600", Cincuenta, "confirma"});
        // It says it met a lock before it has the database; then the child goes on.
        while (otro.waitForReadyRead(60000) || otro.canReadLine()) {
            while (otro.canReadLine())
                dicho << otro.readLine().trimmed();
            if (!dicho.isEmpty())
                break;
        }
        c = 'x';
        (void)!::write(suelta[1], &c, 1);
        while (!dicho.contains("tomado") && otro.waitForReadyRead(60000))
            while (otro.canReadLine())
                dicho << otro.readLine().trimmed();
        otro.write("\n");
        otro.waitForFinished(60000);
        dicho << QString::number(otro.exitCode());
    });
    p.bd().Cierra();
    otroPrograma.join();
    for (int fd : {avisa[0], avisa[1], suelta[0], suelta[1]})
        ::close(fd);
    EXPECT_EQ(dicho, (QStringList{"ocupada", "tomado", "0"}));
    EXPECT_EQ(Lee(archivo, "PRAGMA integrity_check") + " " + Lee(archivo, "SELECT count(*) FROM T"), "ok 1050");
    EXPECT_EQ(Diarios(datos), QStringList());
    EXPECT_EQ(Eventos(datos + "/VELMORAN0436-recuperada.db"), "ok 1");
}

// A disk that does not answer (the child stuck at it for good) holds the
// closing for its bounded wait only: what the child had not done is left,
// and said.
TEST(BaseMovida, UnDiscoQueNoRespondeNoDetieneElCierre)
{
    const struct {
        const char *caso;
        bool otro;   // another file stands at the path: the copy goes beside it first
    } casos[] = {{"nada en su lugar", false}, {"otro archivo en su lugar", true}};
    for (const auto &c : casos) {
        ProgramaTemporal p;
        p.AbreBase();
        const QString archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, movido = p.Carpeta() + "/VELMORAN0436.db";
        const QString copia = datos + "/VELMORAN0436-recuperada.db";
        Graba(p, 1);
        ASSERT_TRUE(QFile::rename(archivo, movido)) << c.caso;
        if (c.otro) {
            ASSERT_TRUE(EscribeArchivo(archivo, "de otro"));
        }
        const QStringList diarios = Diarios(datos);
        ASSERT_EQ(diarios, (QStringList{"VELMORAN0436.db-shm", "VELMORAN0436.db-wal"})) << c.caso;
        {
            const EnElHijo atascado([] {
                for (;;)
                    ::pause();
            });
            p.bd().Cierra();
        }
        EXPECT_EQ(p.mensajes.Ultimo(),
                  c.otro ? MovidaYOcupada(archivo, movido, copia)
                         : "El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el programa estaba "
                           "abierto, y lo que estaba guardado no se pudo escribir en " + archivo + ": el disco no respondió "
                           "a tiempo. Todo lo guardado sigue en el archivo " + movido + ", que quedó como estaba.")
            << c.caso;
        EXPECT_EQ(Diarios(datos), diarios) << c.caso;
        EXPECT_EQ(Eventos(movido), "ok 1") << c.caso;
        EXPECT_EQ(c.otro ? Eventos(copia) : QString::number(QFileInfo::exists(copia)), c.otro ? "ok 1" : "0") << c.caso;
        EXPECT_EQ(LeeArchivo(archivo), c.otro ? QByteArray("de otro") : QByteArray()) << c.caso;
    }
}

// Its journals gone from the path (another file stood there), the connection
// does not take up the file again where it comes back: it would go on with
// journals nobody else sees. Going back to its path opens it anew there.
TEST(BaseMovida, DevueltaTrasSoltarSusDiariosSeAbreDeNuevo)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString archivo = p.ctx->ArchivoBD, datos = p.ctx->RutaDatos, movido = p.Carpeta() + "/VELMORAN0436.db";
    Graba(p, 1);
    ASSERT_TRUE(QFile::rename(archivo, movido) && EscribeArchivo(archivo, "de otro"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Diarios(datos).isEmpty(); }, 60000));
    ASSERT_TRUE(QFile::remove(archivo) && QFile::rename(movido, archivo));
    EXPECT_FALSE(p.bd().SigueEnSuRuta());
    EXPECT_THROW(p.Valor("SELECT count(*) FROM D_EVENTO"), ErrorBD);
    EXPECT_TRUE(p.bd().VuelveASuRuta());
    Graba(p, 2);
    EXPECT_EQ(p.Filas("SELECT Folio FROM D_EVENTO ORDER BY Folio"), (QStringList{"1", "2"}));
    p.bd().Cierra();
    EXPECT_EQ(p.mensajes.cajas.size(), 0);
    EXPECT_EQ(Eventos(archivo), "ok 1,2");
}
