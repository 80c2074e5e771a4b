#include "tools/EnvioPaquete.h"

#include "platform/ArchivoDestino.h"
#include "tools/Recepcion.h"

#include <QDate>
#include <QDir>

const QStringList TablasEvento = {
    QStringLiteral("D_EVENTO"),       QStringLiteral("D_BAJOEFECTOS"),  QStringLiteral("D_DERECHOHABIENCIA"),
    QStringLiteral("D_DIAGNOSTICOS"), QStringLiteral("D_TIPOATENCION"), QStringLiteral("D_TIPOVIOLENCIA"),
};

QStringList TablasCatalogo(const BaseDatos &bd)
{
    QStringList tablas;
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table' "
                                            "AND name LIKE 'C%' ORDER BY name COLLATE NOCASE"));
    while (q.next())
        tablas << q.value(0).toString();
    return tablas;
}

QStringList ColumnasTabla(const BaseDatos &bd, const QString &esquema, const QString &tabla)
{
    // The table-valued pragma takes both names as bound values.
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name FROM pragma_table_info(?, ?) ORDER BY cid"), {tabla, esquema});
    QStringList columnas;
    while (q.next())
        columnas << q.value(0).toString();
    return columnas;
}

QString ListaNombres(const QStringList &nombres, const QString &prefijo)
{
    QStringList citados;
    for (const QString &n : nombres)
        citados << prefijo + CitaNombre(n);
    return citados.join(QLatin1Char(','));
}

QString NombrePaquete(const QString &ano, const QString &estado, const QDate &dia)
{
    return QStringLiteral("ENVIO") + ano.mid(2, 2) + estado + QLatin1Char('_') + dia.toString(QStringLiteral("ddMMyy"))
           + QStringLiteral("VEL.ZIP");
}

bool EsNombrePaquete(const QString &nombre)
{
    return nombre.size() == 23 && nombre.mid(16, 3) == QLatin1String("VEL");
}

QString BaseDelPaquete(const QString &nombrePaquete)
{
    return QStringLiteral("ENV") + nombrePaquete.mid(5, 4) + QStringLiteral(".db");
}

void BorraRestosEnDatos(const QString &datos)
{
    // Any name in the folder: every temporary file there is looked at.
    ArchivoDestino::BorraRestos(QDir(datos).filePath(QStringLiteral("ENV.db")));
    Recepcion::BorraDesempacados(datos);
}
