#include "tools/SqlTablas.h"

#include "events/modEvento.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QStringList>

const QStringList &NombresMeses()
{
    static const QStringList nombres = [] {
        QStringList l;
        for (int m = 1; m <= 12; ++m)
            l << MesEstadistico(QDate(2004, m, 1), 2004);
        return l;
    }();
    return nombres;
}

QString MesEstadisticoSql(const QString &columna, const QString &sinFecha)
{
    // Month number plus one from the 26th on: 13 is January of the next year.
    QString sql = QStringLiteral("CASE CAST(substr(%1, 6, 2) AS INTEGER) + (CAST(substr(%1, 9, 2) AS INTEGER) >= 26)")
                      .arg(columna);
    for (int m = 1; m <= 13; ++m)
        sql += QStringLiteral(" WHEN %1 THEN '%2'").arg(m).arg(NombresMeses().at((m - 1) % 12));
    return sql + QStringLiteral(" ELSE %1 END").arg(sinFecha);
}

QString AnioEstadisticoSql(const QString &columna)
{
    return QStringLiteral("CAST(CAST(substr(%1, 1, 4) AS INTEGER) + (substr(%1, 6, 2) = '12' AND "
                          "CAST(substr(%1, 9, 2) AS INTEGER) >= 26) AS TEXT)")
        .arg(columna);
}

BaseAdjunta::BaseAdjunta(const BaseDatos &bd, const QString &archivo, const QString &esquema, bool soloLectura)
    : bd_(bd), esquema_(esquema)
{
    const QString nombre = soloLectura ? QUrl::fromLocalFile(QFileInfo(archivo).absoluteFilePath()).toString(QUrl::FullyEncoded)
                                             + QStringLiteral("?mode=ro")
                                       : archivo;
    try {
        bd_.EjecutaAccion(QStringLiteral("ATTACH DATABASE ? AS ") + esquema_, {nombre});
    } catch (const ErrorBD &e) {
        // The engine names the file by the URI it was given; the user knows its path.
        const QString ruta = QDir::toNativeSeparators(QFileInfo(archivo).absoluteFilePath());
        throw ErrorBD(e.Numero(), QStringLiteral("No se pudo abrir la Base de Datos %1 (%2).")
                                      .arg(ruta, QString(e.TextoMotor()).replace(nombre, ruta)));
    }
}

BaseAdjunta::~BaseAdjunta()
{
    try {
        bd_.EjecutaAccion(QStringLiteral("DETACH DATABASE ") + esquema_);
    } catch (const ErrorBD &) {
        // Nothing left to undo: the attached file is discarded by its owner.
    }
}
