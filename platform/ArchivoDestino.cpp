#include "platform/ArchivoDestino.h"

#include "platform/BaseDatos.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The hex digits that follow the random digits in every temporary name of the
// program: a file of another program that only looks alike lacks them.
QString Firma(const QString &nombre, const QString &azar)
{
    return QString::fromLatin1(
        QCryptographicHash::hash((QStringLiteral("VELMORAN:") + nombre + QLatin1Char(':') + azar).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(6));
}

// What SQLite (journals), libzip (its own temporary name, six characters
// after a dot) and the writer's lock write beside a temporary file.
const QString Acompanantes = QStringLiteral("(-journal|-wal|-shm|\\.lck|\\.[A-Za-z0-9]{6})?$");
const QString Candado = QStringLiteral(".lck");

// A temporary name of ours, its companion's suffix apart.
const QRegularExpression &Temporal()
{
    static const QRegularExpression temporal(QStringLiteral("^(\\.(.+)\\.([0-9a-f]{6})([0-9a-f]{6})\\.[A-Za-z0-9]+)")
                                             + Acompanantes);
    return temporal;
}
} // namespace

ArchivoDestino::ArchivoDestino(const QString &destino, const QString &extension) : destino_(destino)
{
    const QFileInfo fi(destino);
    const QString azar = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1 << 24), 6, 16, QLatin1Char('0'));
    temporal_ = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QLatin1Char('.') + azar
                + Firma(fi.fileName(), azar) + extension;
    // Taken before the temporary file exists: a cleanup that finds the file
    // finds its lock held. Where no lock can be had the file is written all
    // the same; a cleanup then cannot tell it is in use and leaves it.
    candado_.Toma(temporal_ + Candado);
}

bool ArchivoDestino::EsTemporalPropio(const QString &nombre)
{
    const QRegularExpressionMatch m = Temporal().match(nombre);
    return m.hasMatch() && Firma(m.captured(2), m.captured(3)) == m.captured(4);
}

void ArchivoDestino::BorraRestos(const QString &destino)
{
    const QDir carpeta(QFileInfo(destino).absolutePath());
    // The files of each temporary name go together, once its lock is free.
    QMap<QString, QStringList> grupos;
    for (const QString &nombre : carpeta.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (EsTemporalPropio(nombre))
            grupos[Temporal().match(nombre).captured(1)] << nombre;
    for (auto g = grupos.cbegin(); g != grupos.cend(); ++g) {
        CandadoArchivo candado;
        if (!candado.TomaSiEstaLibre(carpeta.filePath(g.key() + Candado)))
            continue;   // being written
        for (const QString &nombre : g.value())
            if (!nombre.endsWith(Candado))
                QFile::remove(carpeta.filePath(nombre));
    }   // the lock file goes as the lock is let go
}

bool ArchivoDestino::CarpetaConEscritura(const QString &carpeta)
{
    QTemporaryFile prueba(QDir(carpeta).filePath(QStringLiteral(".velmoran-XXXXXX")));
    return prueba.open();
}

QString ArchivoDestino::TextoCarpetaSinEscritura(const QString &carpeta)
{
    return QStringLiteral("No se puede escribir en la carpeta %1: esa carpeta debe permitir escritura, "
                          "verifique por favor.....")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(carpeta)));
}

QString ArchivoDestino::RevisaCarpeta(const QString &destino)
{
    const QFileInfo fi(destino);
    if (!QFileInfo(fi.absolutePath()).isDir())
        return QStringLiteral("No existe la carpeta %1; elija una carpeta que exista para el archivo %2.")
            .arg(QDir::toNativeSeparators(fi.absolutePath()), fi.fileName());
    if (!CarpetaConEscritura(fi.absolutePath()))
        return TextoCarpetaSinEscritura(fi.absolutePath());
    return {};
}

ArchivoDestino::~ArchivoDestino()
{
    if (!confirmado_)
        QFile::remove(temporal_);
    candado_.Suelta();
}

int RenombraSinReemplazar(const char *de, const char *a)
{
    if (::renameat2(AT_FDCWD, de, AT_FDCWD, a, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // link() fails on an existing name in one step, as rename() cannot.
    if (::link(de, a) == 0) {
        ::unlink(de);
        return 0;
    }
    if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A file system with neither (FAT, some network and FUSE mounts): the
    // name is looked at first, as before.
    struct stat st {};
    if (::lstat(a, &st) == 0)
        return EEXIST;
    return std::rename(de, a) == 0 ? 0 : errno;
}

bool ArchivoDestino::Asienta(QString *error) const
{
    if (!QFileInfo::exists(temporal_)) {
        if (error)
            *error = QStringLiteral("No se escribió el archivo %1").arg(destino_);
        return false;
    }
    // The data must be on the disk before the name points at it: a power cut
    // then leaves either the old file or the whole new one.
    QFile f(temporal_);
    if (f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        ::fsync(f.handle());
    return true;
}

bool ArchivoDestino::Coloca(const std::function<int(const QString &temporal)> &coloca, QString *error)
{
    if (!Asienta(error))
        return false;
    if (const int e = coloca(temporal_)) {
        if (error)
            *error = TextoErrorSistema(e);
        return false;
    }
    confirmado_ = true;
    return true;
}

bool ArchivoDestino::Confirma(QString *error, Reemplazo reemplazo)
{
    if (!Asienta(error))
        return false;
    // Replacing the working database would leave the program writing a deleted file.
    if (BaseDatos::EsArchivoDeBaseAbierta(destino_)) {
        if (error)
            *error = BaseDatos::TextoBaseAbierta(destino_);
        return false;
    }
    // rename() replaces an existing destination atomically on the same file system.
    const QByteArray de = QFile::encodeName(temporal_), a = QFile::encodeName(destino_);
    const int fallo = reemplazo == Reemplazo::Si ? (std::rename(de.constData(), a.constData()) == 0 ? 0 : errno)
                                                 : RenombraSinReemplazar(de.constData(), a.constData());
    if (fallo != 0) {
        if (error)
            *error = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(destino_, TextoErrorSistema(fallo));
        return false;
    }
    confirmado_ = true;
    return true;
}

QString TextoErrorSistema(int numero)
{
    switch (numero) {
    case EACCES:
        return QStringLiteral("no hay permiso para escribirlo");
    case EPERM:
        return QStringLiteral("el archivo está protegido contra cambios");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("no queda espacio en el disco");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("su carpeta ya no existe");
    case EISDIR:
        return QStringLiteral("en su lugar hay una carpeta");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("el archivo está en uso");
    case EEXIST:
        return QStringLiteral("ya existe un archivo con ese nombre");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case EIO:
        return QStringLiteral("el disco dio un error de lectura o escritura");
    case ETIMEDOUT:
        return QStringLiteral("el disco no respondió a tiempo");
    default:
        return QString::fromLocal8Bit(std::strerror(numero));
    }
}

bool DiscoLleno(const QString &archivo)
{
    // Writers fail with a block or two still free: less than this is full.
    constexpr qint64 Minimo = qint64(1) << 20;
    const QStorageInfo disco(QFileInfo(archivo).absolutePath());
    return disco.isValid() && disco.bytesAvailable() < Minimo;
}

QString TextoDiscoLleno(const QString &archivo, const QString &detalle)
{
    QString texto = QStringLiteral("No hay espacio suficiente en el disco para escribir el archivo %1; libere espacio "
                                   "en ese disco y vuelva a intentarlo")
                        .arg(QDir::toNativeSeparators(archivo));
    if (!detalle.isEmpty())
        texto += QStringLiteral(" (") + detalle + QLatin1Char(')');
    texto += QLatin1Char('.');
    return texto;
}
