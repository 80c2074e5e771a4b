// The eleven cross-tab reports: every cell against a count made here, cell by
// cell, over generated events with edge values; a whole run leaves nothing
// behind; a failing statement is caught; one golden text per layout.
#include "comun/BloqueoAjeno.h"
#include "reports/AmbienteReportes.h"
#include "reports/ReportesCruzados.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <random>

namespace {

class Cruzados : public AmbienteReportes {
protected:
    // Events over every code of the conditions and beyond: codes missing from
    // their catalog, NULLs, age markers, a unit missing from CATCLUES.
    void Genera(int n)
    {
        std::mt19937 azar(13);
        const QVariant no;
        const QList<std::pair<const char *, QVariantList>> valores{
            {"CodIntencionalidad", {1, 2, 3, 4, 5, 11, 7, no}}, {"CodSexo", {1, 2, 9, no}}, {"CodClaveEdad", {0, 1, 2, 3, 3, 3, 9, no}},
            {"Edad", {0, 1, 4, 5, 9, 10, 84, 85, 86, 99, 998, 999, no}}, {"CodDestino", {5, 5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, no}},
            {"CodEquipo", {1, 2, 4, 9, 88, 99, no}}, {"CodLesionadoVehiculo", {1, 2, 3, 9, no}}, {"CodUsoSeguridad", {1, 2, 9, no}},
            {"CodAgente", {1, 2, 5, 20, 77, no}}, {"CodSitio", {1, 2, 6, 13, 50, no}}, {"CodArea", {1, 3, 20, 60, no}},
            {"CodParentescoAgresor", {1, 5, 9, 42, no}}, {"CodVez", {1, 2, 9, 3, no}}};
        const QStringList unidades{"DFSSA000012", "DFSSA000024", "MCSSA000016", "MSSSA000011", "XXSSA999999"};
        Ejecuta("BEGIN");
        for (int folio = 1; folio <= n; ++folio) {
            QVariantMap v;
            for (const auto &[columna, posibles] : valores)
                v[columna] = posibles[int(azar() % posibles.size())];
            const QString clues = unidades[int(azar() % unidades.size())];
            const QString fecha = QDate(2004, 1, 1).addDays(folio % 300).toString(Qt::ISODate);
            Evento(clues, folio, fecha, v);
            for (int t : {6, 7, 8, 10})
                if (azar() % 3 == 0)
                    Detalle("D_TipoViolencia", "CodTipoViolencia", clues, folio, fecha, t);
            for (int t : {1, 2, 5, 9})
                if (azar() % 2 == 0)
                    Detalle("D_TipoAtencion", "CodTipoAtencion", clues, folio, fecha, t);
        }
        Ejecuta("COMMIT");
    }

    // Builds one report up to its work table, which stays for the test to read.
    QStringList Construye(const QString &titulo)
    {
        filtros.InicializaFiltros();
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(titulo)));
        EXPECT_TRUE(generador.ArmaFiltro() && generador.CreaPasoReporte());
        const ReporteCruzado &r = *std::find_if(ReportesCruzados().begin(), ReportesCruzados().end(),
                                                [&](const ReporteCruzado &x) { return x.titulo == titulo; });
        GeneraReporteCruzado(generador, r);
        return Filas("SELECT * FROM " + r.tabla + " ORDER BY rowid");
    }

    // Expected rows: each of `filas`, then one count per condition of `columnas`,
    // made by `cuenta` with {fila} the row's key, {tipo} its third field, {col} the condition.
    QStringList Espera(const QStringList &filas, const QString &cuenta, const QStringList &columnas)
    {
        QStringList r;
        for (const QString &f : filas) {
            QStringList celdas{f};
            for (const QString &c : columnas)
                celdas << Valor(QString(cuenta).replace("{fila}", f.section('|', 0, 0)).replace("{tipo}", f.section('|', 2, 2))
                                    .replace("{col}", c)).toString();
            r << celdas.join('|');
        }
        return r;
    }
};

QStringList Codigos(const QString &columna, std::initializer_list<int> codigos)
{
    QStringList r;
    for (int c : codigos)
        r << QStringLiteral("%1 = %2").arg(columna).arg(c);
    return r;
}

} // namespace

TEST_F(Cruzados, CadaCeldaIgualASuCuentaIndependiente)
{
    Genera(400);
    const QStringList intenciones = Codigos("CodIntencionalidad", {1, 2, 3, 4, 5, 11}), sexos = Codigos("CodSexo", {1, 2, 9});
    // The age groups, written out here apart from the code under test.
    QStringList edades{"1", "CodClaveEdad IN (0, 1, 2)"};
    for (int g = 1; g <= 20; ++g) {
        const int de = g <= 4 ? g : 5 * (g - 4), a = g <= 4 ? g : de + 4;
        edades << QStringLiteral("CodClaveEdad = 3 AND Edad BETWEEN %1 AND %2").arg(de).arg(a);
    }
    edades << "CodClaveEdad = 3 AND Edad >= 85 AND Edad <> 999"
           << "(Edad = 99 AND CodClaveEdad IN (0, 1, 2)) OR (Edad = 999 AND CodClaveEdad IN (3, 9))";
    // Violence types under family and non-family violence; the self-inflicted events in one row.
    QStringList violencias;
    for (const char *g : {"2|VIOLENCIA FAMILIAR|", "3|VIOLENCIA NO FAMILIAR|"})
        for (const QString &t : Filas("SELECT CodTipoViolencia, Descripcion FROM cTipoViolencia ORDER BY 1"))
            violencias << QString(g) + t;
    violencias << "4|AUTO INFLIGIDO|0|AUTO INFLIGIDO";
    auto catalogo = [this](const char *tabla, const char *codigo) {
        return Filas(QStringLiteral("SELECT %1, Descripcion FROM %2 ORDER BY 1").arg(codigo, tabla));
    };
    const QString por = "SELECT count(*) FROM D_EVENTO e WHERE %1 = {fila} AND ({col})", muertos = " AND CodDestino = 5";
    const struct {
        const char *titulo;
        QStringList filas;
        QString cuenta;
        QStringList columnas;
    } casos[] = {
        {"Agente de Lesión por Intencionalidad", catalogo("cAgente", "CodAgente"), por.arg("CodAgente"), intenciones},
        {"Intencionalidad por Sitio de Ocurrencia", catalogo("cSitio", "CodSitio"), por.arg("CodSitio"), intenciones},
        {"Intencionalidad por Área Anatómica", catalogo("cArea", "CodArea"), por.arg("CodArea"), intenciones},
        {"Defunción por Sitio de Ocurrencia", catalogo("cSitio", "CodSitio"), por.arg("CodSitio") + muertos, sexos},
        {"Intencionalidad por Parentesco", catalogo("cParentesco", "CodParentesco"), por.arg("CodParentescoAgresor"),
         Codigos("CodIntencionalidad", {2, 3})},
        {"Reporte del Agresor", catalogo("cParentesco", "CodParentesco"), por.arg("CodParentescoAgresor"), sexos},
        {"Defunción por Intencionalidad B", catalogo("cIntencionalidad", "CodIntencionalidad"), por.arg("CodIntencionalidad") + muertos,
         edades},
        // Row 88: drivers and occupants without safety equipment; row 99: every pedestrian.
        {"Accidente por vehiculo de motor", catalogo("cEquipo", "CodEquipo") << "88|NO USO" << "99|NO APLICA",
         "SELECT count(*) FROM D_EVENTO WHERE ({col}) AND CASE WHEN {fila} = 88 AND CodLesionadoVehiculo < 3 THEN CodUsoSeguridad = 2 "
         "WHEN {fila} = 99 AND CodLesionadoVehiculo = 3 THEN 1 ELSE CodEquipo = {fila} END", Codigos("CodLesionadoVehiculo", {1, 2, 3})},
        // By the state of the unit; the unit missing from CATCLUES gives a row with no state, with its counts.
        {"Defunción por Intencionalidad A", {"|ESTADO", "9|CIUDAD DE MEXICO", "15|MEXICO", "17|MORELOS"},
         "SELECT count(*) FROM D_EVENTO WHERE CASE substr(Clues, 1, 2) WHEN 'DF' THEN '9' WHEN 'MC' THEN '15' WHEN 'MS' THEN '17' "
         "ELSE '' END = '{fila}' AND ({col})" + muertos, intenciones},
        {"Violencia por primera vez", violencias, por.arg("CodIntencionalidad") + " AND ({fila} = 4 OR EXISTS (SELECT 1 FROM "
         "D_TipoViolencia v WHERE v.Folio = e.Folio AND v.CodTipoViolencia = {tipo}))", Codigos("CodVez", {1, 2, 9})},
        {"Tipo de Atención por Destino Posterior a la Atención", catalogo("cTipoAtencion", "CodTipoAtencion"),
         "SELECT count(*) FROM D_EVENTO e JOIN D_TipoAtencion t ON t.Folio = e.Folio WHERE t.CodTipoAtencion = {fila} AND ({col})",
         QStringList{"1"} + sexos + Codigos("CodDestino", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})},
    };
    // The same counts whatever plans the statistics give.
    for (const bool analizada : {false, true}) {
        if (analizada)
            Ejecuta("ANALYZE");
        for (const auto &c : casos)
            EXPECT_EQ(Construye(c.titulo), Espera(c.filas, c.cuenta, c.columnas)) << c.titulo << (analizada ? ", tras ANALYZE" : "");
    }
}

// Every report reads the chosen events in one statement, its grouped count;
// the rows, the fixed cells (the vehicles' rows 88 and 99, the self-inflicted
// row) and the states of the deaths come from the count table. A second read
// of the events costs as much as the count itself.
TEST_F(Cruzados, CadaReporteLeeLosEventosUnaSolaVez)
{
    Genera(60);
    for (const ReporteCruzado &r : ReportesCruzados()) {
        filtros.InicializaFiltros();
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(r.titulo)));
        ASSERT_TRUE(generador.ArmaFiltro() && generador.CreaPasoReporte());
        const QStringList eventos = Sentencias([&] { GeneraReporteCruzado(generador, r); })
                                        .filter(QRegularExpression("\\b(PASOREPORTE|D_EVENTO)\\b"));
        EXPECT_EQ(eventos, QStringList{SentenciaCuentas(r)}) << r.titulo.toStdString();
    }
}

// Without a death among the events the deaths by state have no row, and the
// other two deaths reports their catalog's rows with zeros.
TEST_F(Cruzados, SinDefuncionesNingunEstadoYLosCatalogosEnCero)
{
    Evento("DFSSA000012", 1, "2004-03-01", {{"CodDestino", 1}, {"CodIntencionalidad", 1}, {"CodSitio", 1}, {"CodSexo", 1}});
    Evento("XXSSA999999", 2, "2004-03-02", {{"CodIntencionalidad", 2}, {"CodSitio", 2}, {"CodSexo", 2}});
    EXPECT_EQ(Construye("Defunción por Intencionalidad A"), QStringList());
    for (const auto &[titulo, catalogo] : {std::pair{"Defunción por Sitio de Ocurrencia", "cSitio"},
                                           std::pair{"Defunción por Intencionalidad B", "cIntencionalidad"}}) {
        const QStringList filas = Construye(titulo);
        EXPECT_EQ(filas.size(), Cuenta(catalogo)) << titulo;
        for (const QString &f : filas)   // code|description|counts
            EXPECT_EQ(f.section('|', 2).remove(QRegularExpression("[0|]")), "") << titulo << " " << f.toStdString();
    }
}

// The reports over a detail table count from the chosen events, each
// probing the detail table's key index, with statistics or without: the
// other way round (every detail row, its event looked up by key) reads
// D_EVENTO in the detail rows' order, several times slower at a million
// events whose rows stand in any order.
TEST_F(Cruzados, LosDetallesSeBuscanDesdeLosEventosConYSinEstadisticas)
{
    Genera(200);
    int vistos = 0;
    for (const bool analizada : {false, true}) {
        if (analizada)
            Ejecuta("ANALYZE");
        for (const ReporteCruzado &r : ReportesCruzados()) {
            if (!r.origen.contains("D_"))
                continue;
            ++vistos;
            Construye(r.titulo);
            const QStringList plan =
                Filas("EXPLAIN QUERY PLAN " + SentenciaCuentas(r)).replaceInStrings(QRegularExpression("^.*\\|"), "");
            const auto linea = [&](const QString &inicio) {
                return int(std::find_if(plan.begin(), plan.end(), [&](const QString &l) { return l.startsWith(inicio); })
                           - plan.begin());
            };
            const QString alias = QRegularExpression("(D_\\w+) (\\w+)").match(r.origen).captured(2);
            EXPECT_LT(linea("SCAN E"), linea("SEARCH " + alias + " USING COVERING INDEX")) << plan.join('\n').toStdString();
            EXPECT_EQ(linea("SCAN " + alias), int(plan.size())) << plan.join('\n').toStdString();
        }
    }
    EXPECT_EQ(vistos, 4);
}

// A failing statement is caught and told; then a run of every report leaves
// no work table behind and the database as it was.
TEST_F(Cruzados, UnaSentenciaQueFallaSeAvisaYUnaCorridaNoDejaNada)
{
    Genera(60);
    const QStringList esquema = Filas("SELECT name FROM sqlite_master ORDER BY name");
    Ejecuta("ALTER TABLE cAgente RENAME TO cAgenteFuera");
    filtros.InicializaFiltros();
    filtros.EligeReporte(1);
    generador.Reporte();
    ASSERT_EQ(mensajes.cajas.size(), 1);
    EXPECT_TRUE(mensajes.cajas[0].titulo == "Reportes VELMORAN" && mensajes.Ultimo().startsWith("1 - La instrucción no se pudo ejecutar en la Base de Datos (no such table: cAgente"))
        << mensajes.Ultimo().toStdString();
    EXPECT_TRUE(TablasTemporales() == 0 && QGuiApplication::overrideCursor() == nullptr && mostrados.isEmpty());

    Ejecuta("ALTER TABLE cAgenteFuera RENAME TO cAgente");
    mensajes.Limpia();
    for (int i = 0; i < FiltrosReporte::TitulosReportes.size(); ++i) {
        filtros.EligeReporte(i);
        generador.Reporte();
        EXPECT_EQ(TablasTemporales(), 0) << i;
    }
    EXPECT_TRUE(mostrados.size() == 14 && mensajes.cajas.isEmpty()) << mensajes.Ultimo().toStdString();
    EXPECT_EQ(Filas("SELECT name FROM sqlite_master ORDER BY name") << QString::number(Cuenta("D_EVENTO")), esquema + QStringList{"60"});
}

// Every report, its count tables included, works apart from the working
// database: another program holding its write lock far longer than the
// connection's busy time stops none of them and draws no message.
TEST_F(Cruzados, NingunReporteEsperaAlOtroPrograma)
{
    Genera(60);
    BloqueoAjeno otro(ctx->ArchivoBD, 600);
    ASSERT_TRUE(otro.Tomado());
    filtros.InicializaFiltros();
    for (int i = 0; i < FiltrosReporte::TitulosReportes.size(); ++i) {
        filtros.EligeReporte(i);
        generador.Reporte();
    }
    EXPECT_EQ(mostrados, FiltrosReporte::TitulosReportes);
    EXPECT_TRUE(mensajes.cajas.isEmpty()) << mensajes.Ultimo().toStdString();
}

// One golden text per layout kind: plain rows, rows with a total column and
// row, groups with subtotals, and the wide age table.
TEST_F(Cruzados, TextoDelPdfComoElEsperado)
{
    Evento("DFSSA000012", 1, "2004-03-01", {{"CodIntencionalidad", 2}, {"CodSexo", 2}, {"CodClaveEdad", 3}, {"Edad", 30},
                                            {"CodDestino", 5}, {"CodAgente", 5}, {"CodVez", 1}, {"CodLesionadoVehiculo", 1},
                                            {"CodUsoSeguridad", 2}, {"CodEquipo", 1}});
    Evento("DFSSA000024", 2, "2004-04-15", {{"CodIntencionalidad", 1}, {"CodSexo", 1}, {"CodClaveEdad", 2}, {"Edad", 7},
                                            {"CodDestino", 5}, {"CodAgente", 5}, {"CodVez", 2}, {"CodLesionadoVehiculo", 3}});
    Detalle("D_TipoViolencia", "CodTipoViolencia", "DFSSA000012", 1, "2004-03-01", 6);
    Detalle("D_TipoViolencia", "CodTipoViolencia", "DFSSA000012", 1, "2004-03-01", 8);
    generador.Muestra = [](const DocumentoReporte &d) { ComparaTextoPdf(d, VELMORAN_ESPERADOS); };
    filtros.InicializaFiltros();
    for (int i : {0, 1, 6, 13}) {
        filtros.EligeReporte(i);
        generador.Reporte();
    }
    EXPECT_TRUE(mensajes.cajas.isEmpty());
}
