// The session's connection: errors, waits for another program's lock, opening
// and closing, statements, statistics and transactions. Its files are in
// BaseDatosArchivos.cpp.
#include "platform/BaseDatos.h"

#include "platform/ArchivoDestino.h"
#include "platform/CapaSqlite.h"
#include "platform/FuncionesSql.h"
#include "platform/SesionesBaseDatos.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <sys/stat.h>
#include <time.h>

using SesionesBaseDatos::Sesiones;

// Every session of the program, to tell its files apart.
std::vector<const BaseDatos *> &SesionesBaseDatos::Sesiones()
{
    static std::vector<const BaseDatos *> sesiones;
    return sesiones;
}

namespace {

int NumeroDe(const QSqlError &e)
{
    bool ok = false;
    const int n = e.nativeErrorCode().toInt(&ok);
    return ok ? n : (e.type() == QSqlError::NoError ? 0 : -1);
}

bool EsViolacionClave(const QSqlError &e)
{
    const int n = NumeroDe(e);
    if (n == SQLITE_CONSTRAINT_PRIMARYKEY || n == SQLITE_CONSTRAINT_UNIQUE)
        return true;
    const QString t = e.databaseText();
    return t.contains(QLatin1String("UNIQUE constraint failed"))
        || t.contains(QLatin1String("PRIMARY KEY"));
}

// What a database failure means to the clerk, by SQLite's primary result code;
// the engine's own words follow in parentheses for whoever must fix it.
QString ExplicacionDe(int numero)
{
    switch (numero & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("La Base de Datos está ocupada por otro programa");
    case SQLITE_READONLY: return QStringLiteral("La Base de Datos no se puede modificar (es de solo lectura)");
    case SQLITE_IOERR: return QStringLiteral("Error de lectura o escritura en el disco");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return QStringLiteral("La Base de Datos está dañada");
    case SQLITE_FULL: return QStringLiteral("No hay espacio suficiente en el disco");
    case SQLITE_CANTOPEN: return QStringLiteral("No se pudo abrir el archivo de la Base de Datos");
    case SQLITE_CONSTRAINT: return QStringLiteral("Los datos no cumplen las reglas de la Base de Datos");
    case SQLITE_TOOBIG: return QStringLiteral("El dato es demasiado grande");
    default: return QStringLiteral("La instrucción no se pudo ejecutar en la Base de Datos");
    }
}

QString TextoMotor(const QSqlError &e)
{
    return (e.databaseText().isEmpty() ? e.text() : e.databaseText()).trimmed();
}

// The waits for another program's lock: see EsperaAcotada.
struct EstadoEspera {
    int corridas = 0;            // nested runs
    int sinEspera = 0;           // nested SinEspera
    qint64 esperadoNs = 0;       // waited in the run, or outside one in the statement
    qint64 totalNs = 0;          // waited since the start
};

EstadoEspera &Espera()
{
    static EstadoEspera e;
    return e;
}

// The busy handler of the program's connection. SQLite calls it again at
// every statement and every lock it meets (a count of 0 each time): the
// time is kept here, across the whole run while one lives. Short steps, so
// that a released lock is taken at once.
int EsperaBloqueo(void *, int veces)
{
    EstadoEspera &e = Espera();
    if (e.sinEspera > 0)
        return 0;
    if (veces == 0 && e.corridas == 0)
        e.esperadoNs = 0;
    const qint64 queda = qint64(BaseDatos::EsperaOcupada) * 1000000 - e.esperadoNs;
    if (queda <= 0)
        return 0;
    QElapsedTimer t;
    t.start();
    const timespec paso{0, long(qMin<qint64>(queda, 10000000))};
    ::nanosleep(&paso, nullptr);
    const qint64 esperado = t.nsecsElapsed();
    e.esperadoNs += esperado;
    e.totalNs += esperado;
    return 1;
}

} // namespace

EsperaAcotada::EsperaAcotada()
{
    if (Espera().corridas++ == 0)
        Espera().esperadoNs = 0;
}

EsperaAcotada::~EsperaAcotada()
{
    --Espera().corridas;
}

qint64 EsperaAcotada::TotalEsperado()
{
    return Espera().totalNs;
}

SinEspera::SinEspera()
{
    ++Espera().sinEspera;
}

SinEspera::~SinEspera()
{
    --Espera().sinEspera;
}

ErrorBD::ErrorBD(int numero, const QString &descripcion, bool violaClave)
    : std::runtime_error(descripcion.toStdString()),
      numero_(numero), descripcion_(descripcion), violaClave_(violaClave)
{
}

bool ErrorBD::Ocupada() const
{
    return (numero_ & 0xff) == SQLITE_BUSY || (numero_ & 0xff) == SQLITE_LOCKED;
}

ErrorBD ErrorBD::DelMotor(int numero, const QString &textoMotor, bool violaClave)
{
    ErrorBD e(numero, ExplicacionDe(numero) + QStringLiteral(" (") + textoMotor + QLatin1Char(')'), violaClave);
    e.textoMotor_ = textoMotor;
    return e;
}

namespace {
// A statement the layer refused because the file left its path: said as the
// moved file's text, not as SQLite's I/O error.
std::optional<ErrorBD> DeArchivoMovido(sqlite3 *h, int numero)
{
    if (!h || ((numero & 0xff) != SQLITE_IOERR && (numero & 0xff) != SQLITE_CANTOPEN) || !CapaSqlite::Movida(h))
        return std::nullopt;
    return ErrorBD(SQLITE_CANTOPEN, BaseDatos::TextoMovida(QString::fromUtf8(sqlite3_db_filename(h, "main")),
                                                           QStringLiteral("no se leyó ni se guardó nada")));
}

sqlite3 *ManejadorDe(const QSqlDriver *driver)
{
    const QVariant v = driver ? driver->handle() : QVariant();
    return v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0 ? *static_cast<sqlite3 *const *>(v.data()) : nullptr;
}
} // namespace

ErrorBD ErrorBD::DeManejador(sqlite3 *h)
{
    const int n = sqlite3_extended_errcode(h);
    if (const auto movida = DeArchivoMovido(h, n))
        return *movida;
    const int base = n & 0xff;
    const bool clave = n == SQLITE_CONSTRAINT_PRIMARYKEY || n == SQLITE_CONSTRAINT_UNIQUE;
    return DelMotor(base == SQLITE_CONSTRAINT ? n : base, QString::fromUtf8(sqlite3_errmsg(h)), clave);
}

namespace {
ErrorBD DeError(const QSqlError &e)
{
    return ErrorBD::DelMotor(NumeroDe(e), TextoMotor(e), EsViolacionClave(e));
}
} // namespace

ErrorBD ErrorBD::DeConsulta(const QSqlQuery &q)
{
    if (const auto movida = DeArchivoMovido(ManejadorDe(q.driver()), NumeroDe(q.lastError())))
        return *movida;
    return DeError(q.lastError());
}

ErrorBD ErrorBD::DeBase(const QSqlDatabase &db)
{
    // QtSql's transaction calls keep the engine's words but drop its code;
    // the connection still holds it.
    if (NumeroDe(db.lastError()) == -1 && db.isOpen())
        if (sqlite3 *h = BaseDatos::ManejadorDe(db); sqlite3_errcode(h) != SQLITE_OK)
            return DeManejador(h);
    if (const auto movida = DeArchivoMovido(db.isOpen() ? ManejadorDe(db.driver()) : nullptr, NumeroDe(db.lastError())))
        return *movida;
    return DeError(db.lastError());
}

BaseDatos::BaseDatos(const QString &nombreConexion) : nombre_(nombreConexion)
{
    // Under every connection the program opens, from the first.
    CapaSqlite::Instala();
    // Two live sessions (a test beside another, a second file) never share a connection.
    static int siguiente = 1;
    while (QSqlDatabase::contains(nombre_))
        nombre_ = nombreConexion + QLatin1Char('_') + QString::number(++siguiente);
    // Taken at once: a second session made before this one opens must not get the same name.
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre_);
    Sesiones().push_back(this);
}

BaseDatos::~BaseDatos()
{
    Cierra();
    Sesiones().erase(std::remove(Sesiones().begin(), Sesiones().end(), this), Sesiones().end());
    if (QSqlDatabase::contains(nombre_))
        QSqlDatabase::removeDatabase(nombre_);
}

void BaseDatos::Abre(const QString &archivo)
{
    Cierra();
    const QFileInfo fi(archivo);
    if (!fi.exists() || !fi.isFile())
        throw ErrorBD(SQLITE_CANTOPEN, QStringLiteral("No existe el archivo %1").arg(archivo));
    if (!EsBaseVelmoran(archivo))
        throw ErrorBD(SQLITE_NOTADB,
                      QStringLiteral("El archivo %1 no es una Base de Datos de VELMORAN").arg(archivo));
    // SQLite writes its journal beside the database: a folder without writing cannot hold one.
    if (!ArchivoDestino::CarpetaConEscritura(fi.absolutePath()))
        throw ErrorBD(SQLITE_READONLY, ArchivoDestino::TextoCarpetaSinEscritura(fi.absolutePath()));

    QSqlDatabase db = Conexion();   // added by the constructor, kept until the destructor
    // mode=rw: SQLite must never create a missing file behind our back. The
    // wait for another program's lock is the connection's own busy handler,
    // set below (EsperaOcupada), not the driver's.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(QUrl::fromLocalFile(fi.absoluteFilePath()).toString(QUrl::FullyEncoded)
                       + QStringLiteral("?mode=rw"));
    if (!db.open())
        throw ErrorBD::DeBase(db);
    archivo_ = fi.absoluteFilePath();
    // The file SQLite opened, as it stood at its path then.
    const auto id = CapaSqlite::Identidad(ManejadorDe(db));
    if (!id) {
        db.close();
        archivo_.clear();
        throw ErrorBD(SQLITE_CANTOPEN, QStringLiteral("No existe el archivo %1").arg(archivo));
    }
    dispositivo_ = id->dispositivo;
    nodo_ = id->nodo;
    wal_.reset();
    shm_.reset();
    pendiente_ = false;
    diariosSueltos_ = false;
    // Every opening gets a number of its own, shared by no other session.
    static quint64 aperturas = 0;
    apertura_ = ++aperturas;
    cambios_.clear();
    try {
        sqlite3_update_hook(Manejador(), &BaseDatos::FilaCambiada, this);
        // In place of SQLite's checkpoint every thousand pages.
        sqlite3_wal_hook(Manejador(), &BaseDatos::AlConfirmar, this);
        sqlite3_busy_handler(Manejador(), &EsperaBloqueo, nullptr);
        RegistraFuncionesSql(db);
        Ejecuta(QStringLiteral("PRAGMA journal_mode=WAL"));
        // FULL flushes the log on every commit: a save the clerk was told
        // succeeded survives a power cut. Bulk writes are one transaction
        // each, so this costs one flush per logical write.
        Ejecuta(QStringLiteral("PRAGMA synchronous=FULL"));
        Ejecuta(QStringLiteral("PRAGMA foreign_keys=ON"));
        // Reading the schema proves the file is sound, not just its header.
        Ejecuta(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // That read opened the log and its index: which files they are.
        wal_ = IdentidadArchivo::En(archivo_ + QStringLiteral("-wal"));
        shm_ = IdentidadArchivo::En(archivo_ + QStringLiteral("-shm"));
        // A file put at its path while the program waits for the user.
        if (QCoreApplication::instance()) {
            vigia_ = std::make_unique<QFileSystemWatcher>(QStringList{fi.absolutePath()});
            QObject::connect(vigia_.get(), &QFileSystemWatcher::directoryChanged, [this] { SueltaDiarios(); });
        }
    } catch (...) {
        Cierra();
        throw;
    }
}

void BaseDatos::CierraConexion()
{
    if (!QSqlDatabase::contains(nombre_))
        return;
    QSqlDatabase db = QSqlDatabase::database(nombre_, false);
    vigia_.reset();
    if (db.isOpen()) {
        // A closing after the file was moved is Cierra's to handle; the
        // statistics go only into the file at the path.
        const bool enSuRuta = SigueEnSuRuta();
        if (enSuRuta)
            Optimiza();
        // SQLite does not close a connection that still has statements.
        FinalizaPreparadas();
        // Closing checkpoints through the journals at the path and deletes
        // the log there: not those of a file that left it.
        if (!enSuRuta)
            sqlite3_db_config(Manejador(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        db.close();
    }
    wal_.reset();
    shm_.reset();
    pendiente_ = false;
    diariosSueltos_ = false;
    archivo_.clear();
}

namespace {

// A sampled analysis reads the first rows of each index: for an index led by
// the unit it takes the first unit's share of the rows for every unit's (1,001
// events where one unit holds a million), and the planner then searches a
// unit through the index whatever its size. Each such index is given the
// share its units really have: the rows the analysis counted over the units
// there are, found by one search each.
void RepartoPorUnidad(const BaseDatos &bd)
{
    if (bd.Valor(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE name = 'sqlite_stat1'")).toInt() == 0)
        return;
    struct Fila {
        QString tabla, indice;
        QStringList cifras;
    };
    std::vector<Fila> filas;
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT s.tbl, s.idx, s.stat FROM main.sqlite_stat1 AS s, pragma_index_info(s.idx, 'main') AS c "
                                            "WHERE c.seqno = 0 AND c.name = 'CLUES' COLLATE NOCASE"));
    while (q.next())
        filas.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString().split(QLatin1Char(' '))});
    q.finish();
    // Units past these are many enough for the sample's share to hold.
    constexpr int MaximoUnidades = 100000;
    for (Fila &f : filas) {
        bool numeros = f.cifras.size() >= 2;
        const qint64 eventos = numeros ? f.cifras.at(0).toLongLong(&numeros) : 0;
        if (!numeros || eventos <= 0)
            continue;
        const QString tabla = QStringLiteral("main.") + CitaNombre(f.tabla);
        const qint64 unidades = bd.Valor(QStringLiteral("WITH RECURSIVE u(c) AS (SELECT min(CLUES) FROM %1 UNION ALL "
                                                        "SELECT (SELECT min(CLUES) FROM %1 WHERE CLUES > u.c) FROM u WHERE u.c IS NOT NULL "
                                                        "LIMIT %2) SELECT count(c) FROM u").arg(tabla).arg(MaximoUnidades + 1)).toLongLong();
        if (unidades < 1 || unidades > MaximoUnidades)
            continue;
        const QString reparto = QString::number(qMax<qint64>(1, (eventos + unidades - 1) / unidades));
        if (f.cifras.at(1) == reparto)
            continue;
        f.cifras[1] = reparto;
        bd.EjecutaAccion(QStringLiteral("UPDATE main.sqlite_stat1 SET stat = ? WHERE tbl = ? AND idx = ?"),
                         {f.cifras.join(QLatin1Char(' ')), f.tabla, f.indice});
    }
}

} // namespace

void BaseDatos::Optimiza(const QStringList &tablas) const
{
    if (!EstaAbierta())
        return;
    // Statistics are worth no wait for another program's lock: busy, they
    // are left for the next closing. The connection waits again however
    // this ends.
    const SinEspera sinEspera;
    try {
        // One write, so that the sampled statistics are never kept without
        // the units' shares; the connection's planner takes them at once.
        std::optional<Transaccion> escritura;
        if (sqlite3_get_autocommit(Manejador()))
            escritura.emplace(*this);
        // A sample of some thousand rows per index gives the planner what
        // it needs at a million events in milliseconds.
        Ejecuta(QStringLiteral("PRAGMA analysis_limit = 1000"));
        for (const QString &tabla : tablas)
            Ejecuta(QStringLiteral("ANALYZE main.") + CitaNombre(tabla));
        Ejecuta(QStringLiteral("PRAGMA main.optimize"));
        RepartoPorUnidad(*this);
        Ejecuta(QStringLiteral("ANALYZE main.sqlite_master"));
        if (escritura)
            escritura->Confirma();
    } catch (const ErrorBD &) {
        // Busy or read-only: the next closing tries again.
    }
}

void BaseDatos::Analiza() const
{
    Ejecuta(QStringLiteral("PRAGMA analysis_limit = 0"));
    Ejecuta(QStringLiteral("ANALYZE main"));
}

void BaseDatos::FinalizaPreparadas()
{
    for (sqlite3_stmt *s : std::as_const(preparadas_))
        sqlite3_finalize(s);
    preparadas_.clear();
}

sqlite3_stmt *BaseDatos::TomaPreparada(const QString &sql) const
{
    if (pendiente_)
        PasaAlArchivo();
    // Taken out while in use: the same text run inside it gets a statement of its own.
    return preparadas_.take(sql);
}

void BaseDatos::DevuelvePreparada(const QString &sql, sqlite3_stmt *sentencia) const
{
    // Kept only for the open connection, and a bounded number of texts.
    bool propia = false;
    try {
        propia = sqlite3_db_handle(sentencia) == Manejador();
    } catch (const ErrorBD &) {
    }
    if (!propia || preparadas_.size() >= 256 || preparadas_.contains(sql)) {
        sqlite3_finalize(sentencia);
        return;
    }
    preparadas_.insert(sql, sentencia);
}

bool BaseDatos::EstaAbierta() const
{
    return QSqlDatabase::contains(nombre_) && QSqlDatabase::database(nombre_, false).isOpen();
}

QSqlDatabase BaseDatos::Conexion() const
{
    return QSqlDatabase::database(nombre_, false);
}

sqlite3 *BaseDatos::ManejadorDe(const QSqlDatabase &db)
{
    if (!db.isOpen())
        throw ErrorBD(SQLITE_MISUSE, QStringLiteral("No hay una Base de Datos abierta"));
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw ErrorBD(SQLITE_MISUSE, QStringLiteral("El controlador de la Base de Datos no es SQLite"));
    sqlite3 *h = *static_cast<sqlite3 *const *>(v.data());
    if (!h)
        throw ErrorBD(SQLITE_MISUSE, QStringLiteral("No hay una Base de Datos abierta"));
    return h;
}

sqlite3 *BaseDatos::Manejador() const
{
    return ManejadorDe(Conexion());
}

QSqlQuery BaseDatos::Ejecuta(const QString &sql, const QVariantList &valores) const
{
    QSqlDatabase db = Conexion();
    if (!db.isOpen())
        throw ErrorBD(SQLITE_MISUSE, QStringLiteral("No hay una Base de Datos abierta"));
    if (pendiente_)
        PasaAlArchivo();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw ErrorBD::DeConsulta(q);
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!q.exec()) {
        const ErrorBD e = ErrorBD::DeConsulta(q);
        if (e.Numero() == SQLITE_CANTOPEN)
            SueltaDiarios();
        throw e;
    }
    return q;
}

int BaseDatos::EjecutaAccion(const QString &sql, const QVariantList &valores) const
{
    QSqlQuery q = Ejecuta(sql, valores);
    const int n = q.numRowsAffected();
    q.finish();
    return n;
}

QVariant BaseDatos::Valor(const QString &sql, const QVariantList &valores) const
{
    QSqlQuery q = Ejecuta(sql, valores);
    QVariant v;
    if (q.next())
        v = q.value(0);
    q.finish();
    return v;
}

int BaseDatos::AlConfirmar(void *yo, sqlite3 *db, const char *base, int paginas)
{
    if (std::strcmp(base, "main") == 0)
        static_cast<BaseDatos *>(yo)->PasaAlArchivo();
    else if (paginas >= 1000)
        sqlite3_wal_checkpoint(db, base);   // an attached file, as SQLite would
    return SQLITE_OK;
}

void BaseDatos::PasaAlArchivo() const
{
    // What was confirmed lies in the file, not in a log beside a path that
    // may be another database's tomorrow; TRUNCATE leaves nothing of ours in
    // it. Only while the file stands at its path, and without waiting for
    // anyone: while a reader holds it back, each statement and transaction
    // of the session that begins outside a transaction tries again.
    sqlite3 *h = ManejadorDe(Conexion());
    if (!sqlite3_get_autocommit(h))
        return;
    if (CapaSqlite::Movida(h)) {
        pendiente_ = true;
        return;
    }
    const SinEspera sinEspera;
    pendiente_ = sqlite3_wal_checkpoint_v2(h, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) != SQLITE_OK;
}

void BaseDatos::FilaCambiada(void *yo, int, const char *base, const char *tabla, long long)
{
    if (std::strcmp(base, "main") != 0)
        return;
    auto &cambios = static_cast<BaseDatos *>(yo)->cambios_;
    for (auto &c : cambios)
        if (std::strcmp(c.first.constData(), tabla) == 0) {
            ++c.second;
            return;
        }
    cambios.emplace_back(QByteArray(tabla), 1);
}

SelloTabla BaseDatos::Sello(const char *tabla) const
{
    sqlite3 *db = Manejador();
    SelloTabla s;
    s.apertura = apertura_;
    for (const auto &c : cambios_)
        if (qstricmp(c.first.constData(), tabla) == 0)
            s.cambios += c.second;
    // Kept prepared: the sheet seals D_EVENTO several times at each save and move.
    const QString sql = QStringLiteral("PRAGMA data_version");
    sqlite3_stmt *st = TomaPreparada(sql);
    if (!st && sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return s;
    }
    if (sqlite3_step(st) == SQLITE_ROW)
        s.version = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    DevuelvePreparada(sql, st);
    return s;
}

Transaccion::Transaccion(const BaseDatos &bd, Alcance alcance) : bd_(bd), db_(bd.Conexion()), alcance_(alcance)
{
    sqlite3 *h = BaseDatos::ManejadorDe(db_);
    // Its journals may be another database's: nothing is written through them.
    if (alcance_ != Alcance::Aparte && !bd_.SigueEnSuRuta()) {
        bd_.SueltaDiarios();
        throw ErrorBD(SQLITE_CANTOPEN, BaseDatos::TextoMovida(bd_.Archivo(), QStringLiteral("no se guardó nada")));
    }
    if (bd_.pendiente_)
        bd_.PasaAlArchivo();
    // What a work table holds is rebuilt at need: its commit need not reach
    // the disk at once (the next full commit takes its pages along).
    if (alcance_ == Alcance::Trabajo) {
        if (sqlite3_exec(h, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw ErrorBD::DeManejador(h);
        sinEsperaDisco_ = true;
    }
    const char *inicio = alcance_ == Alcance::Aparte ? "BEGIN" : "BEGIN IMMEDIATE";
    if (sqlite3_exec(h, inicio, nullptr, nullptr, nullptr) != SQLITE_OK) {
        const ErrorBD e = ErrorBD::DeManejador(h);
        Termina();
        throw e;
    }
    activa_ = true;
}

Transaccion::~Transaccion()
{
    if (activa_)
        db_.rollback();
    Termina();
}

void Transaccion::Termina()
{
    activa_ = false;
    if (!sinEsperaDisco_)
        return;
    sinEsperaDisco_ = false;
    try {
        sqlite3_exec(BaseDatos::ManejadorDe(db_), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    } catch (const ErrorBD &) {
        // Only a closed connection refuses it, and opening sets it again.
    }
}

namespace {
// A full disk, with what a new attempt needs: room for the log to grow until
// it is checkpointed, and for the database to take those pages in.
ErrorBD SinEspacio(const BaseDatos &bd, const ErrorBD &e)
{
    const qint64 pagina = bd.Valor(QStringLiteral("PRAGMA page_size")).toLongLong();
    // A write of many pages: SQLite's own checkpoint comes at a thousand.
    constexpr qint64 paginas = 1000;
    const qint64 mb = (2 * paginas * (pagina + 24) + 32768 + (1 << 20) - 1) >> 20;
    return ErrorBD(e.Numero(), e.Descripcion()
                                   + QStringLiteral(". No se guardó nada en %1. Libere al menos %2 MB en ese disco "
                                                    "(la Base de Datos los necesita para su diario -wal y para pasarlo "
                                                    "al archivo) y vuelva a intentarlo.")
                                         .arg(QDir::toNativeSeparators(bd.Archivo()))
                                         .arg(mb));
}
} // namespace

void Transaccion::Confirma()
{
    const auto falla = [this](const ErrorBD &e) {
        db_.rollback();
        Termina();
        throw (e.Numero() & 0xff) == SQLITE_FULL ? SinEspacio(bd_, e) : e;
    };
    sqlite3 *h = BaseDatos::ManejadorDe(db_);
    // Work tables still serve; what goes to the file must reach it.
    if (alcance_ == Alcance::Archivo && sqlite3_txn_state(h, "main") == SQLITE_TXN_WRITE && !bd_.SigueEnSuRuta())
        falla(ErrorBD(SQLITE_CANTOPEN, BaseDatos::TextoMovida(bd_.Archivo(), QStringLiteral("no se guardó nada"))));
    // Straight on SQLite: QtSql's commit keeps the engine's words, not its code.
    if (sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        falla(ErrorBD::DeManejador(h));
    Termina();
}
