#include "comun/ProgramaTemporal.h"

#include "platform/UsoDeArchivo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

bool EscribeArchivo(const QString &ruta, const QByteArray &contenido)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(contenido) == contenido.size();
}

QByteArray LeeArchivo(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString ParteZip(const QString &zip, const QString &parte)
{
    QByteArray datos;
    if (zip_t *z = zip_open(QFile::encodeName(zip).constData(), ZIP_RDONLY, nullptr)) {
        zip_stat_t st;
        zip_file_t *f = zip_stat(z, parte.toUtf8().constData(), 0, &st) == 0 ? zip_fopen_index(z, st.index, 0) : nullptr;
        if (f) {
            datos.resize(qsizetype(st.size));
            zip_fread(f, datos.data(), st.size);
            zip_fclose(f);
        }
        zip_discard(z);
    }
    return QString::fromUtf8(datos);
}

QString BloqueosPerdidos(const QString &archivoBD, qint64 pid)
{
    pid = pid ? pid : QCoreApplication::applicationPid();
    QStringList fallas;
    const QString proc = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &fd : QDir(proc).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        char enlace[4096];
        const ssize_t n = ::readlink(QFile::encodeName(proc + QLatin1Char('/') + fd).constData(), enlace, sizeof enlace);
        const QString destino = QFile::decodeName(QByteArray(enlace, n > 0 ? int(n) : 0));
        if (destino.startsWith(archivoBD) && destino.endsWith(QLatin1String(" (deleted)")))
            fallas << destino;
    }
    // What another program meets on the files themselves: the kernel's own
    // answer for each, unlike its lock table, which skips entries while
    // other processes lock.
    const QStringList archivos{archivoBD, archivoBD + QStringLiteral("-shm")};
    const std::vector<UsoDeArchivo> usos = UsoDeArchivos({{archivos[0], {}}, {archivos[1], {}}});
    for (int i = 0; i < archivos.size(); ++i) {
        const UsoDeArchivo &uso = usos[size_t(i)];
        if (uso.estado == UsoDeArchivo::Estado::NoExiste)
            fallas << archivos[i] + QStringLiteral(" no existe");
        else if (uso.estado != UsoDeArchivo::Estado::Tomado)
            fallas << QStringLiteral("sin candados en ") + archivos[i];
        else if (uso.proceso != pid)
            fallas << QStringLiteral("los candados de %1 son del proceso %2").arg(archivos[i]).arg(uso.proceso);
    }
    if (!QFileInfo::exists(archivoBD + QStringLiteral("-wal")))
        fallas << archivoBD + QStringLiteral("-wal no existe");
    return fallas.join(QStringLiteral("; "));
}

bool ExisteTabla(const BaseDatos &bd, const QString &tabla)
{
    const QString sql = QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE NOCASE");
    return bd.Valor(sql, {tabla}).isValid();
}

QStringList Filas(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
{
    QStringList filas;
    QSqlQuery q = bd.Ejecuta(sql, valores);
    while (q.next()) {
        QStringList columnas;
        for (int i = 0; i < q.record().count(); ++i)
            columnas << q.value(i).toString();
        filas << columnas.join(QLatin1Char('|'));
    }
    return filas;
}

ProgramaTemporal::ProgramaTemporal() : reloj(QDateTime(QDate(2026, 12, 6), QTime(10, 0)))
{
    QDir(dir_.path()).mkpath("Datos");
    QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), QDir(dir_.path()).filePath("Datos/VELMORAN00.db"));
    ajustes = std::make_unique<Ajustes>(QDir(dir_.path()).filePath("ajustes.ini"));
    ctx = std::make_unique<Contexto>(dir_.path(), mensajes, *ajustes, reloj);
}

QString ProgramaTemporal::CreaBase(const QString &estado, const QString &ano)
{
    const QString destino = ctx->NombreArchivoBD(estado, ano);
    QFile::remove(destino);
    if (!QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), destino))
        ADD_FAILURE() << "No se pudo copiar la plantilla a " << destino.toStdString();
    QFile::setPermissions(destino, QFile::permissions(destino) | QFileDevice::WriteOwner);
    return destino;
}

void ProgramaTemporal::AbreBase(const QString &estado, const QString &ano)
{
    ctx->EstadoActual = estado;
    ctx->AnoActual = ano;
    ctx->ArchivoBD = CreaBase(estado, ano);
    ctx->ConexionBD.Abre(ctx->ArchivoBD);
}

int ProgramaTemporal::Cuenta(const QString &tabla, const QString &donde, const QVariantList &valores) const
{
    const QString sql = "SELECT count(*) FROM " + tabla;
    return Valor(donde.isEmpty() ? sql : sql + " WHERE " + donde, valores).toInt();
}

DiscoPequeno::DiscoPequeno(const QString &carpeta, const QByteArray &tamano) : carpeta_(carpeta)
{
    QDir().mkpath(carpeta);
    montado_ = ::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", 0,
                       ("size=" + tamano).constData()) == 0;
}

DiscoPequeno::~DiscoPequeno()
{
    if (montado_)
        ::umount2(QFile::encodeName(carpeta_).constData(), MNT_DETACH);
}

void DiscoPequeno::Llena()
{
    QFile f(QDir(carpeta_).filePath(".relleno"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return;
    const QByteArray bloque(4096, '\0');
    for (qint64 n = bloque.size(); n > 0;)   // smaller writes for the last bytes
        if (f.write(bloque.constData(), n) != n)
            n /= 2;
}

void DiscoPequeno::Libera()
{
    QFile::remove(QDir(carpeta_).filePath(".relleno"));
}

namespace {
// The immutable flag of a folder or a file (chattr +i / -i).
bool PonInmutable(const QString &ruta, bool inmutable)
{
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int banderas = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &banderas) == 0;
    if (ok) {
        banderas = inmutable ? (banderas | FS_IMMUTABLE_FL) : (banderas & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &banderas) == 0;
    }
    ::close(fd);
    return ok;
}
} // namespace

CarpetaSoloLectura::CarpetaSoloLectura(const QString &carpeta, Con con) : carpeta_(carpeta)
{
    QDir().mkpath(carpeta);
    montada_ = con == Con::Montaje
               && ::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", MS_RDONLY, "size=1m") == 0;
    if (!montada_)
        inmutable_ = PonInmutable(carpeta, true);
}

CarpetaSoloLectura::~CarpetaSoloLectura()
{
    if (montada_)
        ::umount2(QFile::encodeName(carpeta_).constData(), MNT_DETACH);
    if (inmutable_)
        PonInmutable(carpeta_, false);
}

ArchivoInmutable::ArchivoInmutable(const QString &archivo) : archivo_(archivo), inmutable_(PonInmutable(archivo, true))
{
}

ArchivoInmutable::~ArchivoInmutable()
{
    if (inmutable_)
        PonInmutable(archivo_, false);
}
