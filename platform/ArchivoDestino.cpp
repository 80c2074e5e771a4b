#include "platform/ArchivoDestino.h"

#include "platform/BaseDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

ArchivoDestino::ArchivoDestino(const QString &destino, const QString &extension) : destino_(destino)
{
    const QFileInfo fi(destino);
    temporal_ = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QStringLiteral(".")
                + QUuid::createUuid().toString(QUuid::Id128).left(12) + extension;
}

void ArchivoDestino::BorraRestos(const QString &destino, const QString &extension)
{
    const QFileInfo fi(destino);
    const QRegularExpression resto(QStringLiteral("^\\.") + QRegularExpression::escape(fi.fileName())
                                   + QStringLiteral("\\.[0-9a-f]{12}") + QRegularExpression::escape(extension)
                                   + QStringLiteral("(-journal|-wal|-shm)?$"));
    const QDir carpeta(fi.absolutePath());
    for (const QString &nombre : carpeta.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (resto.match(nombre).hasMatch())
            QFile::remove(carpeta.filePath(nombre));
}

ArchivoDestino::~ArchivoDestino()
{
    if (!confirmado_)
        QFile::remove(temporal_);
}

bool ArchivoDestino::Confirma(QString *error)
{
    if (!QFileInfo::exists(temporal_)) {
        if (error)
            *error = QStringLiteral("No se escribió el archivo %1").arg(destino_);
        return false;
    }
    // The data must be on the disk before the name points at it: a power cut
    // then leaves either the old file or the whole new one.
    {
        QFile f(temporal_);
        if (f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            ::fsync(f.handle());
    }
    // Replacing the working database would leave the program writing a deleted file.
    if (BaseDatos::EsArchivoDeBaseAbierta(destino_)) {
        if (error)
            *error = BaseDatos::TextoBaseAbierta(destino_);
        return false;
    }
    // rename() replaces an existing destination atomically on the same file system.
    if (std::rename(QFile::encodeName(temporal_).constData(), QFile::encodeName(destino_).constData()) != 0) {
        if (error)
            *error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                         .arg(destino_, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    confirmado_ = true;
    return true;
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
