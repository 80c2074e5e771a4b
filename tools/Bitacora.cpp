#include "tools/Bitacora.h"

#include "shell/modGeneral.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>

void RegistraBitacora(const BaseDatos &bd, const RenglonBitacora &r, const QDateTime &momento)
{
    const QFileInfo fi(r.archivo);
    const QString ruta = QDir::toNativeSeparators(fi.absolutePath() + QLatin1Char('/'));
    const QString fecha = momento.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (r.tipo == TipoBitacora::Respaldo) {
        EjecutaSQL(bd, QStringLiteral("INSERT INTO BITACORA(TIPO,NOMBRE,RUTA,FECHA,EVENTOS) VALUES(1,?,?,?,?)"),
                   {fi.fileName(), ruta, fecha, r.eventos});
        return;
    }
    EjecutaSQL(bd,
               QStringLiteral("INSERT INTO BITACORA(TIPO,NOMBRE,RUTA,FECHA,UNIDADES,EVENTOS,FECHAINI,FECHAFIN,CATALOGOS) "
                              "VALUES(?,?,?,?,?,?,?,?,?)"),
               {int(r.tipo), fi.fileName(), ruta, fecha, r.unidades, r.eventos, r.fechaIni, r.fechaFin, r.catalogos});
}

QVector<TablaBitacora> LeeBitacora(const BaseDatos &bd)
{
    // FECHA is stored as ISO text and shown day first.
    static const char *const Consultas[3] = {
        "SELECT NOMBRE,RUTA,strftime('%d/%m/%Y %H:%M:%S',FECHA) AS FECHA FROM BITACORA WHERE TIPO=1 ORDER BY rowid",
        "SELECT NOMBRE,RUTA,strftime('%d/%m/%Y %H:%M:%S',FECHA) AS FECHA,CATALOGOS,UNIDADES,FECHAINI,FECHAFIN,EVENTOS "
        "FROM BITACORA WHERE TIPO=2 ORDER BY rowid",
        "SELECT NOMBRE,RUTA,strftime('%d/%m/%Y %H:%M:%S',FECHA) AS FECHA,CATALOGOS,UNIDADES,EVENTOS "
        "FROM BITACORA WHERE TIPO=3 ORDER BY rowid",
    };
    QVector<TablaBitacora> tablas;
    for (const char *sql : Consultas) {
        QSqlQuery q = bd.Ejecuta(QString::fromLatin1(sql));
        TablaBitacora t;
        const QSqlRecord registro = q.record();
        for (int c = 0; c < registro.count(); ++c)
            t.columnas << registro.fieldName(c);
        while (q.next()) {
            QStringList fila;
            for (int c = 0; c < registro.count(); ++c)
                fila << q.value(c).toString();
            t.filas << fila;
        }
        q.finish();
        tablas << t;
    }
    return tablas;
}

void BorraBitacora(const BaseDatos &bd)
{
    EjecutaSQL(bd, QStringLiteral("DELETE FROM BITACORA"));
}
