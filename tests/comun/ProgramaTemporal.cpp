#include "comun/ProgramaTemporal.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

ProgramaTemporal::ProgramaTemporal() : reloj(QDateTime(QDate(2026, 12, 6), QTime(10, 0)))
{
    QDir(dir_.path()).mkpath(QStringLiteral("Datos"));
    QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), QDir(dir_.path()).filePath(QStringLiteral("Datos/VELMORAN00.db")));
    ajustes = std::make_unique<Ajustes>(QDir(dir_.path()).filePath(QStringLiteral("ajustes.ini")));
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
