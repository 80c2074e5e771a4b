#include "reports/ReportesCruzados.h"

#include "reports/GeneradorReportes.h"

namespace {

QVector<ColumnaCuenta> PorCodigo(const QString &expresion, const QVector<QPair<QString, int>> &columnas)
{
    QVector<ColumnaCuenta> r;
    for (const auto &[columna, codigo] : columnas)
        r.append({columna, QStringLiteral("%1 = %2").arg(expresion).arg(codigo)});
    return r;
}

QVector<ColumnaCuenta> Intenciones()
{
    return PorCodigo(QStringLiteral("p.CodIntencionalidad"), {{"Accidental", 1}, {"ViolenciaFamiliar", 2},
                                                               {"ViolenciaNoFamiliar", 3}, {"AutoInfligido", 4},
                                                               {"SeIgnora", 5}, {"Trata", 11}});
}

QVector<ColumnaCuenta> Sexos(const QString &masculino, const QString &femenino)
{
    return PorCodigo(QStringLiteral("p.CodSexo"), {{masculino, 1}, {femenino, 2}, {"noEsp", 9}});
}

// A report named `nombre`: its work table REP_<nombre>, its definition rpt<nombre>.json.
ReporteCruzado Nombrado(const QString &titulo, const QString &nombre, bool defunciones = false)
{
    ReporteCruzado r;
    r.titulo = titulo;
    r.tabla = QStringLiteral("REP_") + nombre;
    r.archivo = QStringLiteral("rpt%1.json").arg(nombre);
    r.defunciones = defunciones;
    return r;
}

// A report whose rows are the codes of one catalog, counted by one event column.
ReporteCruzado PorCatalogo(const QString &titulo, const QString &nombre, const QString &catalogo, const QString &codigo,
                           int ancho, const QString &columnaEvento, const QVector<ColumnaCuenta> &cuentas,
                           bool defunciones = false)
{
    ReporteCruzado r = Nombrado(titulo, nombre, defunciones);
    const QString clave = columnaEvento.mid(2);
    r.columnasFila = QStringLiteral("%1 int NULL, Descripcion char(%2) NULL").arg(clave).arg(ancho);
    r.claves = QStringList{clave};
    r.filas = QStringList{QStringLiteral("SELECT %1, Descripcion%2 FROM %3 ORDER BY %1").arg(codigo, QStringLiteral("%1"), catalogo)};
    r.origen = QStringLiteral("PASOREPORTE p");
    r.clavesEvento = QStringList{columnaEvento};
    r.cuentas = cuentas;
    return r;
}

// A report counted over the detail rows of `detalle` (alias `alias`) of the
// events, joined by `junta`. CROSS JOIN (and LEFT JOIN alike) keeps the chosen
// events as the outer loop, each probing the detail table's key index:
// without statistics SQLite would otherwise scan every detail row and look its
// event up by key, a read of D_EVENTO in the order of the detail rows, several
// times slower on a table whose rows stand in any order.
QString DetalleDeEventos(const QString &detalle, const QString &alias, const QString &junta = QStringLiteral("CROSS JOIN"))
{
    return QStringLiteral("PASOREPORTE p %3 %1 %2 ON %2.Clues = p.Clues AND %2.Folio = p.Folio "
                          "AND %2.fechaAtencion = p.fechaAtencion").arg(detalle, alias, junta);
}

QVector<ReporteCruzado> Construye()
{
    QVector<ReporteCruzado> v;

    ReporteCruzado vehiculo = PorCatalogo("Accidente por vehiculo de motor", "Vehiculo", "cEquipo", "CodEquipo", 40,
                                          "p.CodEquipo",
                                          PorCodigo("p.CodLesionadoVehiculo", {{"conductor", 1}, {"ocupante", 2}, {"peaton", 3}}));
    // Row 88: drivers and occupants without safety equipment; row 99: every
    // pedestrian. Counted in the same pass as the rest and summed over its
    // groups, so that the events are read once.
    vehiculo.extras = {{"conductorSinEquipo", "p.CodLesionadoVehiculo = 1 AND p.CodUsoSeguridad = 2"},
                       {"ocupanteSinEquipo", "p.CodLesionadoVehiculo = 2 AND p.CodUsoSeguridad = 2"}};
    vehiculo.filas << "SELECT 88, 'NO USO'%1" << "SELECT 99, 'NO APLICA'%1";
    vehiculo.finales = QStringList{
        "UPDATE REP_Vehiculo SET "
        "conductor = CASE CodEquipo WHEN 88 THEN a.c1 ELSE conductor END, "
        "ocupante = CASE CodEquipo WHEN 88 THEN a.c2 ELSE ocupante END, "
        "peaton = CASE CodEquipo WHEN 99 THEN a.c3 ELSE peaton END "
        "FROM (SELECT coalesce(sum(conductorSinEquipo), 0) AS c1, coalesce(sum(ocupanteSinEquipo), 0) AS c2, "
        "coalesce(sum(peaton), 0) AS c3 FROM PASO_Vehiculo) AS a "
        "WHERE CodEquipo IN (88, 99)"};
    v << vehiculo;

    v << PorCatalogo("Agente de Lesión por Intencionalidad", "AgenteIntencionalidad", "cAgente", "CodAgente", 50,
                     "p.CodAgente", Intenciones());

    // Rows: the states of the units of the deaths (an unknown unit gives a
    // row without a state), from the counts grouped by the state's code as
    // written; the counts go by the code read as a whole number.
    ReporteCruzado defuncionA = Nombrado("Defunción por Intencionalidad A", "DefuncionA", true);
    defuncionA.columnasFila = "CodEstado int NULL, Descripcion char(50) NULL";
    defuncionA.claves = QStringList{"CodEstado"};
    defuncionA.filas = QStringList{"SELECT k0, 'ESTADO'%1 FROM PASO_DefuncionA ORDER BY k0 COLLATE NOCASE"};
    defuncionA.origen = "PASOREPORTE p LEFT JOIN CATCLUES c ON p.Clues = c.Clues";
    defuncionA.clavesEvento = QStringList{"c.CEDOCVE"};
    defuncionA.clavesFila = QStringList{"CAST(k0 AS INTEGER)"};
    defuncionA.cuentas = Intenciones();
    defuncionA.finales = QStringList{"UPDATE REP_DefuncionA SET Descripcion = s.Descripcion FROM cEstados s "
                                     "WHERE REP_DefuncionA.CodEstado = CAST(s.CodEstado AS INTEGER)"};
    v << defuncionA;

    v << PorCatalogo("Defunción por Sitio de Ocurrencia", "DefuncionSitio", "cSitio", "CodSitio", 40, "p.CodSitio",
                     Sexos("masculino", "femenino"), true);
    v << PorCatalogo("Intencionalidad por Parentesco", "IntencionalidadParentesco", "cParentesco", "CodParentesco", 40,
                     "p.CodParentescoAgresor", PorCodigo("p.CodIntencionalidad", {{"Familiar", 2}, {"NoFamiliar", 3}}));
    v << PorCatalogo("Intencionalidad por Sitio de Ocurrencia", "IntencionalidadSitio", "cSitio", "CodSitio", 50,
                     "p.CodSitio", Intenciones());

    // Violence types (detail rows) under family and non-family violence, and
    // the self-inflicted events in one row of their own (key 4, 0), all in one
    // pass: the LEFT JOIN gives each self-inflicted event one row without
    // detail.
    ReporteCruzado violencia = Nombrado("Violencia por primera vez", "ViolenciaVez");
    violencia.columnasFila = "CodIntencionalidad int NULL, DescripcionInt char(40) NULL, CodTipoViolencia int NULL, "
                             "DescripcionTV char(40) NULL";
    violencia.claves = QStringList{"CodIntencionalidad", "CodTipoViolencia"};
    for (const char *grupo : {"2, 'VIOLENCIA FAMILIAR'", "3, 'VIOLENCIA NO FAMILIAR'"})
        violencia.filas << QStringLiteral("SELECT %1, CodTipoViolencia, Descripcion%2 FROM cTipoViolencia "
                                          "ORDER BY CodTipoViolencia").arg(QLatin1String(grupo), QStringLiteral("%1"));
    violencia.filas << "SELECT 4, 'AUTO INFLIGIDO', 0, 'AUTO INFLIGIDO'%1";
    violencia.origen = DetalleDeEventos("D_TipoViolencia", "v", "LEFT JOIN") + " AND p.CodIntencionalidad <> 4";
    violencia.clavesEvento = QStringList{"p.CodIntencionalidad", "CASE WHEN p.CodIntencionalidad = 4 THEN 0 ELSE v.CodTipoViolencia END"};
    violencia.donde = "p.CodIntencionalidad IN (2, 3, 4)";
    violencia.cuentas = PorCodigo("p.CodVez", {{"unica", 1}, {"repetido", 2}, {"noEsp", 9}});
    v << violencia;

    v << PorCatalogo("Intencionalidad por Área Anatómica", "IntencionalidadArea", "cArea", "CodArea", 50, "p.CodArea",
                     Intenciones());
    ReporteCruzado agresor = PorCatalogo("Reporte del Agresor", "Agresor", "cParentesco", "CodParentesco", 40,
                                         "p.CodParentescoAgresor", Sexos("Masculino", "Femenino"));
    agresor.columnasFila = "CodParentesco int NULL, Descripcion char(40) NULL";
    agresor.claves = QStringList{"CodParentesco"};
    v << agresor;

    // Care-type detail rows of the events, by the event's sex and destination.
    ReporteCruzado atencion = PorCatalogo("Tipo de Atención por Destino Posterior a la Atención", "AtencionDestino",
                                          "cTipoAtencion", "CodTipoAtencion", 40, "t.CodTipoAtencion", {});
    atencion.origen = DetalleDeEventos("D_TipoAtencion", "t");
    atencion.cuentas << ColumnaCuenta{"Atenciones", "1"} << Sexos("Masculino", "Femenino")
                     << PorCodigo("p.CodDestino", {{"domicilio", 1}, {"traslado", 2}, {"especializado", 3}, {"externa", 4},
                                                   {"defuncion", 5}, {"refugio", 6}, {"dif", 7}, {"hospitalizacion", 8},
                                                   {"ministerio", 9}, {"grupo", 10}, {"otro", 11}});
    v << atencion;

    ReporteCruzado defuncionB = PorCatalogo("Defunción por Intencionalidad B", "DefuncionB", "cIntencionalidad",
                                            "CodIntencionalidad", 50, "p.CodIntencionalidad", {}, true);
    defuncionB.cuentas << ColumnaCuenta{"Totales", "1"} << ColumnasEdad("p");
    v << defuncionB;
    return v;
}

} // namespace

QVector<ColumnaCuenta> ColumnasEdad(const QString &e, bool neConClave9)
{
    const QString clave = e + QStringLiteral(".CodClaveEdad"), edad = e + QStringLiteral(".Edad");
    QVector<ColumnaCuenta> r;
    r.append({"EDAD0", QStringLiteral("%1 IN (0, 1, 2)").arg(clave)});
    for (int g = 1; g <= 20; ++g) {
        const int inferior = g <= 4 ? g : 5 * (g - 4);
        const int superior = g <= 4 ? g : inferior + 4;
        const QString columna = inferior == superior ? QStringLiteral("EDAD%1").arg(inferior)
                                                     : QStringLiteral("EDAD%1_%2").arg(inferior).arg(superior);
        r.append({columna, QStringLiteral("%1 = 3 AND %2 BETWEEN %3 AND %4").arg(clave, edad).arg(inferior).arg(superior)});
    }
    r.append({"EDAD85", QStringLiteral("%1 = 3 AND %2 >= 85 AND %2 <> 999").arg(clave, edad)});
    r.append({"EDAD_NE", QStringLiteral("(%2 = 99 AND %1 IN (0, 1, 2%3)) OR (%2 = 999 AND %1 IN (3, 9))")
                             .arg(clave, edad, neConClave9 ? QStringLiteral(", 9") : QString())});
    return r;
}

const QVector<ReporteCruzado> &ReportesCruzados()
{
    static const QVector<ReporteCruzado> reportes = Construye();
    return reportes;
}

QString TablaCuentas(const ReporteCruzado &r)
{
    return QStringLiteral("PASO_") + r.tabla.mid(4);
}

QString SentenciaCuentas(const ReporteCruzado &r)
{
    // The deaths reports count only events whose destination is death (5);
    // a destination not recorded is no death.
    QStringList donde;
    if (r.defunciones)
        donde << QStringLiteral("p.CodDestino = 5");
    if (!r.donde.isEmpty())
        donde << r.donde;
    QStringList columnas, grupo;
    for (int i = 0; i < r.clavesEvento.size(); ++i) {
        columnas << QStringLiteral("%1 AS k%2").arg(r.clavesEvento[i]).arg(i);
        grupo << QStringLiteral("k%1").arg(i);
    }
    for (const ColumnaCuenta &c : r.cuentas + r.extras)
        columnas << QStringLiteral("count(CASE WHEN %1 THEN 1 END) AS %2").arg(c.condicion, c.columna);
    return QStringLiteral("INSERT INTO %1 SELECT %2 FROM %3%4 GROUP BY %5")
        .arg(TablaCuentas(r), columnas.join(QStringLiteral(", ")), r.origen,
             donde.isEmpty() ? QString() : QStringLiteral(" WHERE ") + donde.join(QStringLiteral(" AND ")),
             grupo.join(QStringLiteral(", ")));
}

namespace {

// Copies the counts into the rows of the work table; groups whose keys give
// the same row (the states of the deaths by state, compared as whole numbers)
// add up. Rows without events keep their zeros.
QString SentenciaFilas(const ReporteCruzado &r)
{
    QStringList asigna, columnas, une, grupo;
    for (int i = 0; i < r.claves.size(); ++i) {
        const QString clave = QStringLiteral("k%1").arg(i);
        columnas << QStringLiteral("%1 AS f%2").arg(r.clavesFila.isEmpty() ? clave : r.clavesFila[i]).arg(i);
        // IS: the row of the deaths' units missing from CATCLUES (no state) keeps its counts.
        une << QStringLiteral("%1.%2 IS a.f%3").arg(r.tabla, r.claves[i]).arg(i);
        grupo << QStringLiteral("f%1").arg(i);
    }
    for (const ColumnaCuenta &c : r.cuentas) {
        asigna << QStringLiteral("%1 = a.%1").arg(c.columna);
        columnas << QStringLiteral("sum(%1) AS %1").arg(c.columna);
    }
    return QStringLiteral("UPDATE %1 SET %2 FROM (SELECT %3 FROM %4 GROUP BY %5) AS a WHERE %6")
        .arg(r.tabla, asigna.join(QStringLiteral(", ")), columnas.join(QStringLiteral(", ")), TablaCuentas(r),
             grupo.join(QStringLiteral(", ")), une.join(QStringLiteral(" AND ")));
}

} // namespace

void GeneraReporteCruzado(GeneradorReportes &g, const ReporteCruzado &r)
{
    QStringList definiciones{r.columnasFila};
    for (const ColumnaCuenta &c : r.cuentas)
        definiciones << c.columna + QStringLiteral(" long NULL");
    g.CreaTablaTrabajo(r.tabla, definiciones.join(QStringLiteral(", ")));

    // Every count in one grouped pass over the events; what follows reads the
    // count table only.
    QStringList cuentas;
    for (int i = 0; i < r.clavesEvento.size(); ++i)
        cuentas << QStringLiteral("k%1").arg(i);
    for (const ColumnaCuenta &c : r.cuentas + r.extras)
        cuentas << c.columna;
    g.CreaTablaTrabajo(TablaCuentas(r), cuentas.join(QStringLiteral(", ")));
    g.EjecutaConsulta(SentenciaCuentas(r));

    // Seeded rows with zero counts, in code order.
    const QString ceros = QStringLiteral(", 0").repeated(int(r.cuentas.size()));
    for (const QString &filas : r.filas)
        g.EjecutaConsulta(QStringLiteral("INSERT INTO %1 ").arg(r.tabla) + QString(filas).arg(ceros));

    g.EjecutaConsulta(SentenciaFilas(r));
    for (const QString &sql : r.finales)
        g.EjecutaConsulta(sql);
    g.MuestraReporte(r.archivo, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(r.tabla));
}

void RegistraReportesCruzados(GeneradorReportes &g)
{
    for (const ReporteCruzado &r : ReportesCruzados())
        g.Registra(r.titulo, [&r](GeneradorReportes &gen) { GeneraReporteCruzado(gen, r); });
}
