#include "reports/ReportesDiagnosticos.h"

#include "reports/GeneradorReportes.h"
#include "reports/ReportesCruzados.h"

namespace {

// Totales and the 23 age-group columns, in their order.
QStringList ColumnasCuenta()
{
    QStringList r{QStringLiteral("Totales")};
    for (const ColumnaCuenta &c : ColumnasEdad(QStringLiteral("e")))
        r << c.columna;
    return r;
}

// "sum(<prefijo>Totales) AS Totales, ..." over every count column.
QString Sumas(const QString &prefijo = QString())
{
    QStringList r;
    for (const QString &c : ColumnasCuenta())
        r << QStringLiteral("sum(%1%2) AS %2").arg(prefijo, c);
    return r.join(QStringLiteral(", "));
}

} // namespace

void Reporte_ListaDetallada(GeneradorReportes &g)
{
    const FiltrosReporte &f = g.filtros;
    // Column names from this fixed choice only.
    const QString estado = f.optAtencion ? QStringLiteral("c.CEDOCVE") : QStringLiteral("e.CodEstado");
    const QString causa = f.optAfeccionPrincipal ? QStringLiteral("e.CodAfecprin") : QStringLiteral("e.CodCausaExt");
    const QString columnas = ColumnasCuenta().join(QStringLiteral(", "));

    QStringList definicion{QStringLiteral("IdEstado char(2) NULL, DesEstado char(50) NULL, Capitulo char(3) NULL, "
                                          "DesCapitulo char(150) NULL, Causa char(4) NULL, DesCausa char(250) NULL, "
                                          "IdSexo char(1) NULL")};
    for (const QString &c : ColumnasCuenta())
        definicion << c + QStringLiteral(" long NULL");
    definicion << QStringLiteral("Nivel int NOT NULL, Orden text NULL");
    g.CreaTablaTrabajo(QStringLiteral("REPLISDET"), definicion.join(QStringLiteral(", ")));
    // Every insert names its columns Nivel, IdEstado, DesEstado, Capitulo,
    // DesCapitulo, Causa, DesCausa, IdSexo and the counts, and gets its sort
    // key as it goes in (no pass over the table afterwards): state; then
    // chapter, category, level and cause, the state totals last; then the
    // sexes H, M, N, others, A.
    const QString inserta = QStringLiteral(
        "INSERT INTO REPLISDET (Nivel, IdEstado, DesEstado, Capitulo, DesCapitulo, Causa, DesCausa, IdSexo, %1, Orden) "
        "SELECT *, printf('%-2s', coalesce(IdEstado, '')) || CASE Nivel WHEN 0 THEN '~' ELSE "
        "printf('%-3s%-3s%d%-4s', coalesce(Capitulo, ''), CASE WHEN Nivel = 1 THEN '' ELSE substr(Causa, 1, 3) END, "
        "Nivel, CASE WHEN Nivel = 3 THEN Causa ELSE '' END) END "
        "|| CASE IdSexo WHEN 'H' THEN '1' WHEN 'M' THEN '2' WHEN 'N' THEN '3' WHEN 'A' THEN '5' ELSE '4' END "
        "|| coalesce(IdSexo, '') FROM (").arg(columnas);

    // Causes by sex, into the narrow PASOLISTA. One grouped pass over the
    // events on the code as written (CROSS JOIN keeps the events as the outer
    // loop: the view has no index to offer); the code is then trimmed and
    // looked up in CATCIE10 once per group rather than once per event, and
    // the groups of one cause merged, so that a code written padded or in
    // lower case elsewhere counts under its cause. An event whose cause is not
    // in CATCIE10, or whose unit is not in CATCLUES, is left out. Then all
    // sexes of each cause ("A").
    QStringList cuentas{QStringLiteral("count(*) AS Totales")};
    for (const ColumnaCuenta &c : ColumnasEdad(QStringLiteral("e"), true))
        cuentas << QStringLiteral("count(CASE WHEN %1 THEN 1 END) AS %2").arg(c.condicion, c.columna);
    g.CreaTablaTrabajo(QStringLiteral("PASOLISTA"), QStringLiteral("IdEstado, Capitulo, Causa, IdSexo, ") + columnas);
    g.EjecutaConsulta(QStringLiteral(
        "INSERT INTO PASOLISTA SELECT a.IdEstado, l.Capitulo, l.Causa, "
        "CASE a.CodSexo WHEN 1 THEN 'H' WHEN 2 THEN 'M' WHEN 9 THEN 'N' ELSE CAST(a.CodSexo AS TEXT) END, %1 "
        "FROM (SELECT %2 AS IdEstado, %4 AS Codigo, e.CodSexo AS CodSexo, %3 "
        "FROM PASOREPORTE e CROSS JOIN CATCLUES c ON c.Clues = e.Clues GROUP BY 1, 2, 3) a "
        "CROSS JOIN CATCIE10 l ON l.Causa = trim(a.Codigo) GROUP BY a.IdEstado, l.Causa, a.CodSexo")
        .arg(Sumas(QStringLiteral("a.")), estado, cuentas.join(QStringLiteral(", ")), causa));
    g.EjecutaConsulta(QStringLiteral("INSERT INTO PASOLISTA SELECT IdEstado, Capitulo, Causa, 'A', %1 FROM PASOLISTA "
                                     "GROUP BY IdEstado, Causa").arg(Sumas()));

    // Each level of the report from PASOLISTA, every sex letter and "A", so
    // that every level adds up the same events: the causes, the categories
    // that stand in CATCIE10, the chapters and the state totals (causes of
    // any length). The categories of every cause are summed once into the
    // narrow PASOCATEGORIA, and the chapters and states from it, a few rows
    // per cause fewer. The rows are summed narrow and named afterwards.
    const auto nivel = [&](int n, const QString &fuente, const QString &nombre, const QString &une) {
        g.EjecutaConsulta(inserta + QStringLiteral(
            "SELECT %1 AS Nivel, p.IdEstado, s.Descripcion AS DesEstado, p.Capitulo, k.DESCRIP AS DesCapitulo, p.Causa, "
            "%2 AS DesCausa, p.IdSexo, %3 FROM %4 p %5"
            "LEFT JOIN cEstados s ON s.CodEstado = p.IdEstado LEFT JOIN CAPITULO k ON k.IdCapitulo = p.Capitulo)")
            .arg(n).arg(nombre, QStringLiteral("p.") + ColumnasCuenta().join(QStringLiteral(", p.")), fuente, une));
    };
    const QString suma = QStringLiteral("SELECT IdEstado, %1, IdSexo, ") + Sumas() + QStringLiteral(" FROM %2 GROUP BY %3");
    const QString categorias = QStringLiteral("PASOCATEGORIA");
    g.CreaTablaTrabajo(categorias, QStringLiteral("IdEstado, Capitulo, Causa, IdSexo, ") + columnas);
    g.EjecutaConsulta(QStringLiteral("INSERT INTO %1 ").arg(categorias)
                      + suma.arg(QStringLiteral("Capitulo, substr(Causa, 1, 3) AS Causa"), QStringLiteral("PASOLISTA"),
                                 QStringLiteral("IdEstado, Capitulo, substr(Causa, 1, 3), IdSexo")));
    const QString nombreCatalogo = QStringLiteral("l.nombre"), catalogo = QStringLiteral("JOIN CATCIE10 l ON l.Causa = p.Causa ");
    nivel(NivelCausa, QStringLiteral("PASOLISTA"), nombreCatalogo, catalogo);
    nivel(NivelCategoria, categorias, nombreCatalogo, catalogo);
    nivel(NivelCapitulo, QLatin1Char('(') + suma.arg(QStringLiteral("Capitulo, '' AS Causa"), categorias,
                                                    QStringLiteral("IdEstado, Capitulo, IdSexo")) + QLatin1Char(')'),
          QStringLiteral("k.DESCRIP"), QString());
    nivel(NivelEstado, QLatin1Char('(') + suma.arg(QStringLiteral("NULL AS Capitulo, '' AS Causa"), categorias,
                                                  QStringLiteral("IdEstado, IdSexo")) + QLatin1Char(')'),
          QStringLiteral("'TOTALES'"), QString());

    // Only what the pages show is read back.
    g.MuestraReporte(QStringLiteral("rptDetallada.json"),
                     QStringLiteral("SELECT IdEstado, DesEstado, Causa, DesCausa, IdSexo, %1, CASE Nivel WHEN 0 THEN 'estado' "
                                    "WHEN 1 THEN 'capitulo' WHEN 2 THEN 'categoria' ELSE 'normal' END AS Estilo "
                                    "FROM REPLISDET ORDER BY Orden").arg(columnas));
}

void Reporte_Principales(GeneradorReportes &g, const QString &tipo)
{
    const QString codigo = tipo == QLatin1String("Lesion") ? QStringLiteral("CodAfecprin") : QStringLiteral("CodCausaExt");
    // The events by category in one grouped pass into PASO_Principales; the
    // total and the ranking read it, not the events again. An empty and a
    // missing code are one group; the category is upper-cased like the
    // catalog's codes, so that "s001" counts under S00.
    g.CreaTablaTrabajo(QStringLiteral("PASO_Principales"), QStringLiteral("Categoria, Volumen"));
    g.EjecutaConsulta(QStringLiteral("INSERT INTO PASO_Principales SELECT Categoria, count(*) FROM "
                                     "(SELECT coalesce(upper(substr(trim(%1), 1, 3)), '') AS Categoria FROM PASOREPORTE) "
                                     "GROUP BY Categoria").arg(codigo));
    g.TotalReporte = qMax<qint64>(0, g.Cuenta(QStringLiteral("SELECT coalesce(sum(Volumen), 0) FROM PASO_Principales")));
    const double total = double(qMax<qint64>(1, g.TotalReporte));
    g.CreaTablaTrabajo(QStringLiteral("REP_Principales"), QStringLiteral(
        "Numero char(3) NULL, Descrip char(200) NULL, Principal char(7) NULL, Volumen LONG NULL, Porcentaje FLOAT NULL"));

    // Ordered first (count descending, category ascending), then numbered in
    // that order.
    g.EjecutaConsulta(QStringLiteral(
        "INSERT INTO REP_Principales (Numero, Descrip, Principal, Volumen, Porcentaje) "
        "SELECT CAST(row_number() OVER (ORDER BY Volumen DESC, Categoria) AS TEXT), '', Categoria, Volumen, "
        "Volumen * 100.0 / ? FROM PASO_Principales ORDER BY Volumen DESC, Categoria LIMIT 20"), {total});
    g.EjecutaConsulta(QStringLiteral("INSERT INTO REP_Principales (Numero, Descrip, Principal) VALUES ('  ', '  ', '')"));
    const qint64 resto = g.TotalReporte - g.Cuenta(QStringLiteral("SELECT coalesce(sum(Volumen), 0) FROM REP_Principales"));
    g.EjecutaConsulta(QStringLiteral("INSERT INTO REP_Principales (Numero, Descrip, Principal, Volumen, Porcentaje) "
                                     "VALUES ('', 'Las demás causas', '', ?, ? * 100.0 / ?)"),
                      {resto, resto, total});
    // The category's own name, else that of the first code that begins with it.
    g.EjecutaConsulta(QStringLiteral(
        "UPDATE REP_Principales SET Descrip = coalesce((SELECT nombre FROM CATCIE10 WHERE Causa = Principal), "
        "(SELECT nombre FROM CATCIE10 WHERE substr(Causa, 1, 3) = Principal ORDER BY Causa LIMIT 1), '') "
        "WHERE Principal <> '' AND Volumen IS NOT NULL"));
    g.MuestraReporte(QStringLiteral("rptPrincipales.json"), QStringLiteral("SELECT * FROM REP_Principales ORDER BY rowid"));
}

void RegistraReportesDiagnosticos(GeneradorReportes &g)
{
    g.Registra(QStringLiteral("Lista Detallada"), Reporte_ListaDetallada);
    g.Registra(QStringLiteral("Principales Diagnosticos por Causa Externa"),
               [](GeneradorReportes &gen) { Reporte_Principales(gen, QStringLiteral("Externa")); });
    g.Registra(QStringLiteral("Principales Diagnosticos por VELMORAN"),
               [](GeneradorReportes &gen) { Reporte_Principales(gen, QStringLiteral("Lesion")); });
}
