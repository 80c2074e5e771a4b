// The files of the sessions: which files are theirs, and what becomes of a
// file moved, deleted or replaced under an open session.
#include "platform/BaseDatos.h"

#include "platform/ArchivoDestino.h"
#include "platform/CapaSqlite.h"
#include "platform/SesionesBaseDatos.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QtEndian>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using SesionesBaseDatos::Sesiones;

namespace {

// The same file on the disk, whatever the path (links, relative names).
bool MismoArchivo(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

enum class ParteBase { Ninguna, Base, Diario };

// Which file of an open session the path names.
ParteBase ParteDeBaseAbierta(const QString &ruta)
{
    for (const BaseDatos *s : Sesiones()) {
        const QString base = s->Archivo();
        if (base.isEmpty())
            continue;
        if (MismoArchivo(ruta, base))
            return ParteBase::Base;
        for (const char *sufijo : {"-wal", "-shm", "-journal"}) {
            const QLatin1String suf(sufijo);
            if (MismoArchivo(ruta, base + suf) || (ruta.endsWith(suf) && MismoArchivo(ruta.chopped(suf.size()), base)))
                return ParteBase::Diario;
        }
    }
    return ParteBase::Ninguna;
}

QByteArray CabeceraDe(const QString &archivo, int bytes)
{
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

int AppIdDe(const QString &archivo)
{
    switch (ParteDeBaseAbierta(archivo)) {
    case ParteBase::Base: return BaseDatos::IdAplicacion;   // a session already checked it
    case ParteBase::Diario: return 0;
    case ParteBase::Ninguna: break;
    }
    const QByteArray cab = CabeceraDe(archivo, 100);
    if (cab.size() < 100 || !cab.startsWith("SQLite format 3"))
        return 0;
    // application_id is a big-endian integer at offset 68 of the header.
    const auto *b = reinterpret_cast<const unsigned char *>(cab.constData() + 68);
    return int((quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]));
}

} // namespace

bool BaseDatos::EsBaseVelmoran(const QString &archivo)
{
    return AppIdDe(archivo) == IdAplicacion;
}

bool BaseDatos::EsArchivoDeBaseAbierta(const QString &ruta)
{
    return ParteDeBaseAbierta(ruta) != ParteBase::Ninguna;
}

QString BaseDatos::TextoBaseAbierta(const QString &ruta)
{
    return QStringLiteral("El archivo %1 es la Base de Datos que el programa tiene abierta, elija otro archivo, "
                          "verifique por favor.....")
        .arg(QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()));
}

bool BaseDatos::EsArchivoSqlite(const QString &ruta)
{
    return EsArchivoDeBaseAbierta(ruta) || CabeceraDe(ruta, 16) == QByteArray("SQLite format 3", 16);
}

bool BaseDatos::EsBaseSana(const QString &archivo, const QStringList &tablas)
{
    if (!EsBaseVelmoran(archivo))
        return false;
    static int siguiente = 0;
    const QString nombre = QStringLiteral("RevisaBase_%1").arg(++siguiente);
    bool sana = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(archivo).absoluteFilePath()).toString(QUrl::FullyEncoded)
                           + QStringLiteral("?mode=ro"));
        if (db.open()) {
            QSqlQuery q(db);
            sana = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next()
                   && q.value(0).toString() == QLatin1String("ok");
            for (const QString &tabla : tablas) {
                if (!sana)
                    break;
                q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
                q.addBindValue(tabla);
                sana = q.exec() && q.next();
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return sana;
}

const QStringList &BaseDatos::TablasDeEventos()
{
    static const QStringList tablas = {QStringLiteral("D_EVENTO"),         QStringLiteral("D_Derechohabiencia"),
                                       QStringLiteral("D_TipoViolencia"),  QStringLiteral("D_BajoEfectos"),
                                       QStringLiteral("D_TipoAtencion"),   QStringLiteral("D_Diagnosticos")};
    return tablas;
}

namespace {
bool NadaEn(const QString &ruta)
{
    const QFileInfo fi(ruta);
    return !fi.exists() && !fi.isSymLink();
}

// A name beside `archivo` that nothing stands at, nor journals of a database
// there: "<name>-recuperada.<ext>", then "-recuperada-2" and on.
QString NombreLibreJunto(const QString &archivo)
{
    const QFileInfo fi(archivo);
    for (int n = 1;; ++n) {
        const QString ruta = fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral("-recuperada")
                             + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QLatin1Char('.') + fi.suffix();
        if (NadaEn(ruta) && NadaEn(ruta + QStringLiteral("-wal")) && NadaEn(ruta + QStringLiteral("-shm"))
            && NadaEn(ruta + QStringLiteral("-journal")))
            return ruta;
    }
}
} // namespace

QString BaseDatos::TextoMovida(const QString &archivo, const QString &queNo)
{
    return QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba abierto; "
                          "%2. Devuelva el archivo a su lugar y vuelva a intentarlo, o cierre el programa: al cerrarlo, "
                          "lo que ya estaba guardado se escribe de nuevo en ese lugar o, si otro archivo lo ocupa, en un "
                          "archivo nuevo junto a él, y se le dice dónde.....")
        .arg(QDir::toNativeSeparators(archivo), queNo);
}

void BaseDatos::Cierra()
{
    // SQLite closes a moved file without a checkpoint (its journals at the
    // path may be another database's): what it holds is what was confirmed,
    // and a copy of it goes to the path, or beside it when another file
    // stands there.
    if (EstaAbierta() && !SigueEnSuRuta() && !DeVuelta())
        GuardaLoConfirmado();
    CierraConexion();
}

void BaseDatos::SueltaDiarios() const
{
    if (diariosSueltos_ || !EstaAbierta() || !OtroEnSuRuta())
        return;
    const Colocacion hecho = ColocaYQuitaDiarios(QString(), QString(), {archivo_, wal_, shm_, pendiente_});
    // Left (in use by that database, or the disk did not answer): tried
    // again as the connection closes.
    using D = Colocacion::Diario;
    if (hecho.respondio && hecho.wal != D::Dejado && hecho.shm != D::Dejado) {
        diariosSueltos_ = true;
        CapaSqlite::Suelta(Manejador());
    }
}

bool BaseDatos::DeVuelta() const
{
    return diariosSueltos_ && IdentidadArchivo::En(archivo_) == IdentidadArchivo{dispositivo_, nodo_};
}

VuelveAlTerminar::~VuelveAlTerminar()
{
    try {
        bd_.VuelveASuRuta();
    } catch (const ErrorBD &e) {
        // Written back, but not opened again there: said as a closing says it.
        if (bd_.AvisoAlCerrar)
            bd_.AvisoAlCerrar(e.Descripcion());
    }
}

bool BaseDatos::VuelveASuRuta()
{
    if (!EstaAbierta() || SigueEnSuRuta())
        return true;
    if (!DeVuelta() && (OtroEnSuRuta() || GuardaLoConfirmado() != Escrito::EnSuRuta))
        return false;
    // The copy stands at the path now, or the file itself again: closing
    // must not write it once more, and the connection takes it anew.
    const QString archivo = archivo_;
    CierraConexion();
    Abre(archivo);
    return true;
}

bool BaseDatos::OtroEnSuRuta() const
{
    const QFileInfo enSuRuta(archivo_);
    return !SigueEnSuRuta() && (enSuRuta.exists() || enSuRuta.isSymLink()) && !DeVuelta();
}

namespace {

// A descriptor this process holds on the file of that identity: SQLite's
// own. Read through it, the moved file is read without a descriptor of ours,
// whose closing would drop every lock SQLite holds on it.
std::vector<int> DescriptoresDe(const IdentidadArchivo &id)
{
    std::vector<int> fds;
    DIR *d = ::opendir("/proc/self/fd");
    if (!d)
        return fds;
    while (const dirent *e = ::readdir(d)) {
        char *fin = nullptr;
        const long fd = std::strtol(e->d_name, &fin, 10);
        struct stat st {};
        if (fin != e->d_name && !*fin && fd != ::dirfd(d) && ::fstat(int(fd), &st) == 0 && S_ISREG(st.st_mode)
            && id == IdentidadArchivo{quint64(st.st_dev), quint64(st.st_ino)})
            fds.push_back(int(fd));
    }
    ::closedir(d);
    return fds;
}

// Where the file of that descriptor stands now; empty when it was deleted.
QString RutaDe(int fd)
{
    struct stat st {};
    char ruta[4096];
    const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), ruta, sizeof ruta);
    if (::fstat(fd, &st) != 0 || st.st_nlink == 0 || n <= 0 || n >= qint64(sizeof ruta))
        return QString();
    return QFile::decodeName(QByteArray(ruta, int(n)));
}

// Copies the database in the file open as `fd` into `destino`, a new file:
// the pages its header counts, then its header marked for a rollback journal,
// so that reading the copy makes no log beside it (the program sets WAL again
// when it opens it). Copied again when the file changed meanwhile (another
// program's checkpoint). Returns errno, or 0.
int CopiaDe(int fd, const QString &destino)
{
    for (int intento = 0; intento < 3; ++intento) {
        struct stat antes {}, despues {};
        unsigned char cabecera[100];
        if (::fstat(fd, &antes) != 0)
            return errno;
        if (::pread(fd, cabecera, sizeof cabecera, 0) != qint64(sizeof cabecera))
            return EIO;
        // The header's numbers are big-endian; a page size of 1 means 65536.
        const quint32 tamano = qFromBigEndian<quint16>(cabecera + 16), pagina = tamano == 1 ? 65536 : tamano;
        const quint32 paginas = qFromBigEndian<quint32>(cabecera + 28);
        // The count holds when its commit wrote it (SQLite's own rule).
        qint64 bytes = antes.st_size;
        if (paginas > 0 && qFromBigEndian<quint32>(cabecera + 24) == qFromBigEndian<quint32>(cabecera + 92))
            bytes = qMin<qint64>(bytes, qint64(paginas) * pagina);
        const int salida = ::open(QFile::encodeName(destino).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (salida < 0)
            return errno;
        int error = 0;
        QByteArray bloque(1 << 20, Qt::Uninitialized);
        for (qint64 hecho = 0; hecho < bytes && !error;) {
            const ssize_t n = ::pread(fd, bloque.data(), size_t(qMin<qint64>(bloque.size(), bytes - hecho)), hecho);
            if (n <= 0) {
                error = n < 0 ? errno : EIO;
                break;
            }
            for (ssize_t escrito = 0; escrito < n && !error;) {
                const ssize_t m = ::write(salida, bloque.constData() + escrito, size_t(n - escrito));
                if (m < 0 && errno != EINTR)
                    error = errno;
                escrito += qMax<ssize_t>(m, 0);
            }
            hecho += n;
        }
        const unsigned char rollback[2] = {1, 1};
        if (!error && ::pwrite(salida, rollback, 2, 18) != 2)
            error = errno;
        if (::close(salida) != 0 && !error)
            error = errno;
        if (error)
            return error;
        if (::fstat(fd, &despues) != 0)
            return errno;
        if (despues.st_size == antes.st_size && despues.st_mtim.tv_sec == antes.st_mtim.tv_sec
            && despues.st_mtim.tv_nsec == antes.st_mtim.tv_nsec)
            return 0;
        ::unlink(QFile::encodeName(destino).constData());
    }
    return EBUSY;
}

} // namespace

QString BaseDatos::CopiaDelArchivo(const QString &destino) const
{
    // SQLite's own descriptor of the file: nothing is read from the journals
    // at its path, and the file holds what was confirmed.
    const std::vector<int> fds = DescriptoresDe({dispositivo_, nodo_});
    if (fds.empty())
        return QStringLiteral("no se encontró el archivo abierto");
    int e = EBADF;
    for (const int fd : fds)
        if ((e = CopiaDe(fd, destino)) != EBADF)
            break;
    if (e != 0)
        return TextoErrorSistema(e);
    if (!EsBaseSana(destino, TablasDeEventos()))
        return QStringLiteral("la copia no resultó una Base de Datos sana");
    return QString();
}

BaseDatos::Escrito BaseDatos::GuardaLoConfirmado()
{
    const QString ruta = QDir::toNativeSeparators(archivo_);
    const DiariosDejados diarios{archivo_, wal_, shm_, pendiente_};
    bool ocupada = OtroEnSuRuta();
    QString destino, error, movidoA;
    Colocacion hecho;
    bool intentado = false;
    const std::vector<int> fds = DescriptoresDe({dispositivo_, nodo_});
    if (!fds.empty())
        movidoA = RutaDe(fds.front());
    {
        ArchivoDestino copia(archivo_);
        error = CopiaDelArchivo(copia.RutaTemporal());
        // At the path when nothing stands there; beside it otherwise, also
        // when a file was put there while the copy was made.
        for (int vez = 0; error.isEmpty() && vez < 8; ++vez) {
            destino = ocupada ? NombreLibreJunto(archivo_) : archivo_;
            intentado = true;
            copia.Coloca([&](const QString &temporal) {
                hecho = ColocaYQuitaDiarios(temporal, destino, diarios);
                return hecho.error;
            });
            if (hecho.colocada || hecho.error != EEXIST)
                break;
            ocupada = ocupada || destino == archivo_;
        }
        if (error.isEmpty() && !hecho.colocada)
            error = TextoErrorSistema(hecho.error);
    }
    // Without a copy the journals at the path are still dealt with, unless
    // the disk did not answer already.
    if (!hecho.colocada && (!intentado || hecho.respondio))
        hecho = ColocaYQuitaDiarios(QString(), QString(), diarios);
    AvisaLoGuardado(ruta, error.isEmpty() ? destino : QString(), error, movidoA, ocupada,
                    pendiente_ && hecho.wal == Colocacion::Diario::Dejado);
    if (!error.isEmpty())
        return Escrito::No;
    return destino == archivo_ ? Escrito::EnSuRuta : Escrito::Junto;
}

void BaseDatos::AvisaLoGuardado(const QString &ruta, const QString &destino, const QString &error, const QString &movidoA,
                                bool ocupada, bool quedoEnElDiario) const
{
    const QString movido = QDir::toNativeSeparators(movidoA), nuevo = QDir::toNativeSeparators(destino);
    QString texto;
    if (!error.isEmpty()) {
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba "
                               "abierto, y lo que estaba guardado no se pudo escribir en %2: %3.")
                    .arg(ruta, nuevo.isEmpty() ? ruta : nuevo, error);
        if (!movido.isEmpty())
            texto += QStringLiteral(" Todo lo guardado sigue en el archivo %1, que quedó como estaba.").arg(movido);
        if (ocupada)
            texto += QStringLiteral(" El archivo que ocupa ahora %1 no se modificó.").arg(ruta);
    } else if (ocupada && movido.isEmpty()) {
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue reemplazado por otro mientras el programa estaba "
                               "abierto. Lo que estaba guardado se escribió en el archivo nuevo %2; el archivo que "
                               "ocupa ahora %1 no se modificó.")
                    .arg(ruta, nuevo);
    } else if (ocupada) {
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue movido a %3 y otro archivo ocupa ahora su lugar. "
                               "Lo que estaba guardado se escribió en el archivo nuevo %2; el archivo %3 quedó como "
                               "estaba y el que ocupa ahora %1 no se modificó.")
                    .arg(ruta, nuevo, movido);
    } else if (movido.isEmpty()) {
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras el programa estaba "
                               "abierto. Lo que estaba guardado se escribió de nuevo en %1.")
                    .arg(ruta);
    } else {
        texto = QStringLiteral("El archivo de la Base de Datos %1 fue movido a %2 mientras el programa estaba abierto. "
                               "Lo que estaba guardado se escribió de nuevo en %1; el archivo %2 quedó como estaba.")
                    .arg(ruta, movido);
    }
    if (quedoEnElDiario)
        texto += QStringLiteral(" Lo último que se guardó mientras otro programa leía la Base de Datos no había pasado "
                                "todavía al archivo: quedó en el diario %1-wal, que se dejó como estaba.")
                     .arg(ruta);
    if (AvisoAlCerrar)
        AvisoAlCerrar(texto);
}

bool BaseDatos::SigueEnSuRuta() const
{
    // The file the connection holds is the one it opened: its device and
    // inode must still be those of the path.
    struct stat st {};
    if (::stat(QFile::encodeName(archivo_).constData(), &st) != 0 || st.st_dev != dispositivo_ || st.st_ino != nodo_)
        return false;
    int movido = 0;
    return sqlite3_file_control(Manejador(), "main", SQLITE_FCNTL_HAS_MOVED, &movido) == SQLITE_OK && !movido;
}
