#include "tools/TablaCompleta.h"

#include "platform/BaseDatos.h"
#include "tools/SqlTablas.h"

namespace {

// A detail family: its column prefix, source, code column, and the order in
// which an event's distinct codes fill its columns (the code itself when null).
struct Familia {
    const char *prefijo;
    const char *tabla;
    const char *codigo;
    const char *condicion;
    const char *orden;
    bool numerica;
};

const Familia Familias[] = {
    {"Derhab0", "D_Derechohabiencia", "CodDerechohabiencia", "1", nullptr, false},
    {"EfectoPaciente0", "D_BajoEfectos", "CodEfectos", "CodAfectadoAgresor = 1", nullptr, true},
    // Diagnoses keep their order of importance.
    {"CIE10_0", "D_Diagnosticos", "CodDiagnostico", "1", "min(Orden)", false},
    {"TipoAtencion0", "D_TipoAtencion", "CodTipoAtencion", "1", nullptr, true},
    {"TipoViolencia0", "D_TipoViolencia", "CodTipoViolencia", "1", nullptr, true},
    {"EfectoAgresor0", "D_BajoEfectos", "CodEfectos", "CodAfectadoAgresor = 2", nullptr, true},
};

const QString Llave = QStringLiteral("CLUES, Folio, fechaAtencion");

} // namespace

TablaCompleta::TablaCompleta(const BaseDatos &bd) : bd_(bd)
{
    QStringList columnas = {QStringLiteral("E.*")}, uniones;
    try {
        for (int f = 0; f < int(std::size(Familias)); ++f) {
            const Familia &fam = Familias[f];
            const QString distintos = QStringLiteral("SELECT %1, %2 AS Codigo, %3 AS Orden FROM main.%4 WHERE %5 "
                                                     "GROUP BY %1, %2")
                                          .arg(Llave, QLatin1String(fam.codigo), QLatin1String(fam.orden ? fam.orden : fam.codigo),
                                               QLatin1String(fam.tabla), QLatin1String(fam.condicion));
            const int n = bd_.Valor(QStringLiteral("SELECT max(c) FROM (SELECT count(*) AS c FROM (%1) GROUP BY %2)")
                                        .arg(distintos, Llave))
                              .toInt();
            if (n == 0)
                continue;
            const QString tabla = QStringLiteral("TABLACOMPLETA_%1").arg(f + 1);
            QStringList repartidas;
            for (int k = 1; k <= n; ++k) {
                const QString nombre = QLatin1String(fam.prefijo) + QString::number(k);
                repartidas << QStringLiteral("max(CASE WHEN Posicion = %1 THEN Codigo END) AS %2").arg(k).arg(nombre);
                columnas << QStringLiteral("F%1.%2").arg(f + 1).arg(nombre);
                familias_ << nombre;
                if (fam.numerica)
                    numericas_ << nombre;
            }
            temporales_ << tabla;
            bd_.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(tabla));
            bd_.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT %2, %3 FROM (SELECT *, row_number() "
                                             "OVER (PARTITION BY %2 ORDER BY Orden, Codigo) AS Posicion FROM (%4)) "
                                             "GROUP BY %2")
                                  .arg(tabla, Llave, repartidas.join(QStringLiteral(", ")), distintos));
            bd_.EjecutaAccion(QStringLiteral("CREATE UNIQUE INDEX temp.%1_LLAVE ON %1 (%2)").arg(tabla, Llave));
            uniones << QStringLiteral("LEFT JOIN temp.%1 AS F%2 ON F%2.CLUES = E.Clues AND F%2.Folio = E.Folio "
                                      "AND F%2.fechaAtencion = E.fechaAtencion")
                           .arg(tabla)
                           .arg(f + 1);
        }
    } catch (...) {
        Borra();
        throw;
    }
    columnas << MesEstadisticoSql(QStringLiteral("E.fechaAtencion")) + QStringLiteral(" AS MES")
             << AnioEstadisticoSql(QStringLiteral("E.fechaAtencion")) + QStringLiteral(" AS ANIO_ESTADISTICO");
    consulta_ = QStringLiteral("SELECT %1 FROM main.D_EVENTO AS E %2 ORDER BY E.rowid")
                    .arg(columnas.join(QStringLiteral(", ")), uniones.join(QLatin1Char(' ')));
}

TablaCompleta::~TablaCompleta()
{
    Borra();
}

void TablaCompleta::Borra()
{
    for (const QString &t : std::as_const(temporales_)) {
        try {
            bd_.EjecutaAccion(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(t));
        } catch (const ErrorBD &) {
            // A temporary table goes with the connection anyway.
        }
    }
    temporales_.clear();
}
