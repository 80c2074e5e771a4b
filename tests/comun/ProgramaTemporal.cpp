#include "comun/ProgramaTemporal.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

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
