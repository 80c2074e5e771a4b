#pragma once

#include "platform/EsperaAcotada.h"
#include "platform/NombreSql.h"
#include "platform/UsoDeArchivo.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class QFileSystemWatcher;

// Where the rows of one table stand: equal seals mean that nothing changed
// them in between, so that a copy read under the first still holds.
struct SelloTabla {
    quint64 apertura = 0;   // which opening of which session
    quint64 cambios = 0;    // rows of the table written by the session
    qint64 version = -1;    // commits of other connections to the file
    bool operator==(const SelloTabla &o) const
    {
        return apertura == o.apertura && cambios == o.cambios && version == o.version;
    }
    bool operator!=(const SelloTabla &o) const { return !(*this == o); }
};

// A database error as the user sees it: a number and a description.
class ErrorBD : public std::runtime_error {
public:
    ErrorBD(int numero, const QString &descripcion, bool violaClave = false);
    int Numero() const { return numero_; }
    QString Descripcion() const { return descripcion_; }
    // SQLite's own words, when the error came from it.
    QString TextoMotor() const { return textoMotor_; }
    // True when a unique or primary key refused the row.
    bool ViolaClave() const { return violaClave_; }
    // True when another program's lock on the database stopped it ("ocupada").
    bool Ocupada() const;

    static ErrorBD DeConsulta(const QSqlQuery &q);
    static ErrorBD DeBase(const QSqlDatabase &db);
    // An error reported by SQLite: its result code and its own words, which
    // follow a Spanish explanation of what failed.
    static ErrorBD DelMotor(int numero, const QString &textoMotor, bool violaClave);
    // The last error of that SQLite connection, with its code.
    static ErrorBD DeManejador(sqlite3 *h);

private:
    int numero_;
    QString descripcion_;
    bool violaClave_;
    QString textoMotor_;
};

// The program's one database session on a VELMORAN SQLite file.
// Opens existing files only and checks that they are VELMORAN databases;
// registers the SQL functions of the dialect on every open.
class BaseDatos {
public:
    // Marks a VELMORAN database in SQLite's application_id header field.
    static constexpr int IdAplicacion = 0x564C4D4E;
    // How long a statement, or a whole run under EsperaAcotada, waits for
    // another program's lock on the file before it fails with SQLITE_BUSY
    // ("La Base de Datos está ocupada por otro programa"), in milliseconds.
    static constexpr int EsperaOcupada = 5000;

    explicit BaseDatos(const QString &nombreConexion = QStringLiteral("ConexionBD"));
    ~BaseDatos();
    BaseDatos(const BaseDatos &) = delete;
    BaseDatos &operator=(const BaseDatos &) = delete;

    // Opens an existing file; throws ErrorBD when it is missing, cannot be
    // opened or is not a VELMORAN database. A previous session is closed first.
    void Abre(const QString &archivo);
    void Cierra();
    bool EstaAbierta() const;
    QString Archivo() const { return archivo_; }
    QSqlDatabase Conexion() const;
    // The SQLite handle under the open connection, for prepared statements
    // on hot paths; throws ErrorBD when no database is open.
    sqlite3 *Manejador() const;
    static sqlite3 *ManejadorDe(const QSqlDatabase &db);

    // Prepares and runs one statement with bound values; throws ErrorBD.
    // The returned query is positioned before its first row.
    QSqlQuery Ejecuta(const QString &sql, const QVariantList &valores = {}) const;
    // Rows touched by an action statement; throws ErrorBD.
    int EjecutaAccion(const QString &sql, const QVariantList &valores = {}) const;
    // First column of the first row, or an invalid QVariant when there is none.
    QVariant Valor(const QString &sql, const QVariantList &valores = {}) const;
    // False when the open file is no longer the one at its path (deleted,
    // renamed or replaced by another, by device and inode). From then on no
    // statement reads or writes it (they fail with TextoMovida's text: the
    // journals at the path may be another database's by then), and closing
    // writes what was confirmed back at the path, or to a new file beside it
    // when another file stands there, and says so through AvisoAlCerrar.
    bool SigueEnSuRuta() const;
    // Whether another file (or a folder) now stands at the open file's path.
    bool OtroEnSuRuta() const;
    // For a tool that rewrote the file or opened it again, which may have left
    // its path meanwhile: when nothing stands there, what was confirmed is
    // written back at the path, said through AvisoAlCerrar as a closing says
    // it, and the connection opened on it. False when the connection stays on
    // the moved file: another file stands at the path, or the copy failed (said too).
    bool VuelveASuRuta();
    // A copy of what the open file holds, written into the new file
    // `destino` from the file's own bytes (through the descriptor SQLite
    // holds, never through the journals at its path) and checked; for a file
    // that left its path. The reason it could not, or an empty text.
    QString CopiaDelArchivo(const QString &destino) const;
    // What the user reads when the open file left its path; `queNo` says what
    // was not done ("no se guardó nada").
    static QString TextoMovida(const QString &archivo, const QString &queNo);
    // Shows what a closing did with the confirmed contents of a moved file.
    std::function<void(const QString &)> AvisoAlCerrar;
    // The tables every working database holds: a copy written back must
    // hold them to be put in place.
    static const QStringList &TablasDeEventos();

    // Keeps the planner's statistics as SQLite advises for a long-lived
    // connection (PRAGMA optimize, on a bounded sample of each index): the
    // tables whose indexes this session's statements searched without
    // statistics, or that grew much since their last analysis, are analyzed,
    // and so are the tables named (a bulk write's, which PRAGMA optimize
    // does not see). An index led by the unit is given the share of rows its
    // units really have, which a sample cannot tell. Never waits for another
    // program's lock and never fails: the statistics are then left for a
    // later time. Closing the session runs it.
    void Optimiza(const QStringList &tablas = {}) const;
    // Analyzes every table in full (the compaction's ANALYZE); throws ErrorBD.
    void Analiza() const;

    // The seal of a table of the main database; it moves when this session
    // writes a row of it (also in a transaction later rolled back), when the
    // session is reopened and when another connection writes the file.
    // Throws ErrorBD when no database is open.
    SelloTabla Sello(const char *tabla) const;
    // Which opening this is: a number no other opening of any session had;
    // 0 while closed.
    quint64 Apertura() const { return EstaAbierta() ? apertura_ : 0; }

    // Statements kept prepared between uses (saving and reading an event run
    // some sixty, most of them the same every time): SentenciaSqlite takes
    // one by its text and gives it back reset. Null when none is kept; all
    // are finalized before the connection closes.
    sqlite3_stmt *TomaPreparada(const QString &sql) const;
    void DevuelvePreparada(const QString &sql, sqlite3_stmt *sentencia) const;

    // Tells whether the file at that path is a VELMORAN database, without
    // touching the open session.
    static bool EsBaseVelmoran(const QString &archivo);
    // Whether the path names the file of a session open in this program or its
    // -wal, -shm or -journal. Only SQLite may open those: closing any other
    // descriptor of the file drops every lock SQLite holds on it.
    static bool EsArchivoDeBaseAbierta(const QString &ruta);
    // What the user reads when a file chosen names one of them.
    static QString TextoBaseAbierta(const QString &ruta);
    // Whether the file is an SQLite database, by its header; the files of an
    // open session count as one and are not read.
    static bool EsArchivoSqlite(const QString &ruta);
    // A VELMORAN database that opens read-only, passes SQLite's quick check and
    // holds these tables; the file is not changed.
    static bool EsBaseSana(const QString &archivo, const QStringList &tablas);

private:
    friend class Transaccion;
    static void FilaCambiada(void *yo, int operacion, const char *base, const char *tabla, long long fila);
    // After each commit: the pages go from the log into the file while it
    // stands at its path, without waiting for anyone.
    static int AlConfirmar(void *yo, sqlite3 *db, const char *base, int paginas);
    void PasaAlArchivo() const;
    // Once the file left its path and another file stands there, the
    // journals at the path leave it as soon as that is seen, under the lock
    // of that database: opened, it would take the log index of this
    // connection, which SQLite trusts (its page count with it) while this
    // connection holds it open. The connection then stays away from the
    // path for good: it would go on with journals nobody else sees.
    void SueltaDiarios() const;
    // The open file stands at its path again after its journals there were
    // removed: it holds all that was confirmed, and is opened anew.
    bool DeVuelta() const;
    // Where a closing put what was confirmed in a moved file.
    enum class Escrito { EnSuRuta, Junto, No };
    Escrito GuardaLoConfirmado();
    // Says what became of each file: where what was confirmed went (or why
    // it could not), the moved file (`movidoA`, empty when deleted), the file
    // that stands at the path, and pages left in the log at the path.
    void AvisaLoGuardado(const QString &ruta, const QString &destino, const QString &error, const QString &movidoA,
                         bool ocupada, bool quedoEnElDiario) const;
    // Closes the connection as it stands, writing nothing anywhere.
    void CierraConexion();
    void FinalizaPreparadas();

    QString nombre_;
    QString archivo_;
    // The open file's identity, taken when it opened.
    quint64 dispositivo_ = 0;
    quint64 nodo_ = 0;
    // The -wal and -shm that SQLite opened beside it.
    std::optional<IdentidadArchivo> wal_, shm_;
    // Pages confirmed are in the log only: the last checkpoint could not end
    // (another program reading). Tried again at the next statement.
    mutable bool pendiente_ = false;
    // The journals at the path were dealt with since the file left it.
    mutable bool diariosSueltos_ = false;
    // Tells, while the program waits for the user, when another file is put
    // at the path of one that left it.
    std::unique_ptr<QFileSystemWatcher> vigia_;
    quint64 apertura_ = 0;
    // Rows written per table of the main database since the opening.
    std::vector<std::pair<QByteArray, quint64>> cambios_;
    mutable QHash<QString, sqlite3_stmt *> preparadas_;
};

// The end of a tool's run, however it ends: a database file that left its
// path meanwhile (deleted, moved away) is written back there at once, and
// said (BaseDatos::VuelveASuRuta), rather than at the program's closing.
class VuelveAlTerminar {
public:
    explicit VuelveAlTerminar(BaseDatos &bd) : bd_(bd) {}
    ~VuelveAlTerminar();
    VuelveAlTerminar(const VuelveAlTerminar &) = delete;
    VuelveAlTerminar &operator=(const VuelveAlTerminar &) = delete;

private:
    BaseDatos &bd_;
};

// One logical write: rolled back on destruction unless confirmed.
class Transaccion {
public:
    // Archivo: a write into the working database's own tables. Trabajo: a
    // write into its work tables only, which a closing does not keep; its
    // commit does not wait for the disk. Both are refused when the file left
    // its path (its journals may be another database's by then), and take
    // the write lock when they begin (BEGIN IMMEDIATE), so that their
    // statements never meet another program's lock half-way, where SQLite
    // gives up at once instead of waiting. Aparte: a
    // write into TEMP tables or attached files only, which reads the working
    // database and leaves its write lock to other programs.
    enum class Alcance { Archivo, Trabajo, Aparte };
    explicit Transaccion(const BaseDatos &bd, Alcance alcance = Alcance::Archivo);
    ~Transaccion();
    Transaccion(const Transaccion &) = delete;
    Transaccion &operator=(const Transaccion &) = delete;
    // Throws ErrorBD when the commit fails or the file left its path; a full
    // disk is said with the room a new attempt needs.
    void Confirma();

private:
    void Termina();

    const BaseDatos &bd_;
    QSqlDatabase db_;
    Alcance alcance_;
    bool activa_ = false;
    bool sinEsperaDisco_ = false;   // synchronous lowered until the end
};
