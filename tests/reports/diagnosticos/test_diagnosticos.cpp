// The detailed list and the principal diagnoses: the sums at every level
// against counts made here, the named cases, the ranking ties, golden texts.
#include "reports/AmbienteReportes.h"

#include <QRegularExpression>
#include <random>

namespace {

const int ListaDetallada = 8, PorCausaExterna = 9, PorVelmoran = 10;

class Diagnosticos : public AmbienteReportes {
protected:
    void Ev(const QString &clues, const QVariant &causa, const QVariant &sexo, int clave = 3, int edad = 30,
            const QVariant &externa = QVariant(), const QString &estado = "09")
    {
        Evento(clues, Cuenta("D_EVENTO") + 1, "2004-05-01", {{"CodAfecprin", causa}, {"CodSexo", sexo}, {"CodClaveEdad", clave},
                                           {"Edad", edad}, {"CodCausaExt", externa}, {"CodEstado", estado}});
    }
    // Runs a report up to its work table, which stays for the test to read.
    void Corre(int titulo, bool atencion = true, bool afeccion = true)
    {
        filtros.InicializaFiltros();
        filtros.EligeReporte(titulo);
        filtros.EligeEntidadAtencion(atencion);
        filtros.EligeAfeccionPrincipal(afeccion);
        ASSERT_TRUE(generador.ArmaFiltro() && generador.CreaPasoReporte());
        generador.GeneraReporte();
    }
};

} // namespace

TEST_F(Diagnosticos, ListaDetallada_LasSumasCuadranEnCadaNivel)
{
    std::mt19937 azar(7);
    // Codes written elsewhere (a package, another program) may come padded or in lower case.
    const QVariantList causas{"X590", "X591", "X59", "W010", "T009", "S000", "Y09", "Q999", "", QVariant(),
                              " s001", "s001 ", "s001", "S001"};
    const QVariantList sexos{1, 2, 9, QVariant()};
    const QStringList unidades{"DFSSA000012", "MCSSA000016", "MSSSA000011", "XXSSA999999"};
    const int edades[] = {0, 1, 4, 7, 30, 84, 85, 99, 999};
    Ejecuta("BEGIN");
    for (int i = 0; i < 600; ++i)
        Ev(unidades[azar() % 4], causas[azar() % causas.size()], sexos[azar() % 4], int(azar() % 5) == 0 ? 9 : int(azar() % 4),
           edades[azar() % 9], causas[azar() % causas.size()], QStringList{"09", "15", "17"}[azar() % 3]);
    Ejecuta("COMMIT");
    for (bool atencion : {true, false})
        for (bool afeccion : {true, false}) {
            Corre(ListaDetallada, atencion, afeccion);
            // Cause rows by sex against a count made here, on the trimmed, upper-cased code.
            const QString causa = "upper(trim(e." + QString(afeccion ? "CodAfecprin" : "CodCausaExt") + "))";
            const QString estado = atencion ? "(SELECT CEDOCVE FROM CATCLUES c WHERE c.Clues = e.Clues)" : "e.CodEstado";
            const QString validos = " FROM D_EVENTO e WHERE " + causa + " IN (SELECT Causa FROM CATCIE10) "
                                    "AND e.Clues IN (SELECT Clues FROM CATCLUES)";
            EXPECT_EQ(Filas("SELECT IdEstado, Causa, Totales FROM REPLISDET WHERE Nivel = 3 AND IdSexo IS NOT 'A' "
                            "ORDER BY Orden"),
                      Filas("SELECT " + estado + ", " + causa + ", count(*)" + validos + " GROUP BY 1, 2, e.CodSexo "
                            "ORDER BY 1, (SELECT Capitulo FROM CATCIE10 WHERE Causa = " + causa + "), 2, "
                            "CASE e.CodSexo WHEN 1 THEN 1 WHEN 2 THEN 2 WHEN 9 THEN 3 ELSE 4 END"));
            EXPECT_EQ(Valor("SELECT sum(Totales) FROM REPLISDET WHERE Nivel = 0 AND IdSexo = 'A'"),
                      Valor("SELECT count(*)" + validos));
            // Every level, every column: all sexes = the sexes; category, chapter
            // and state total = their causes.
            const std::tuple<const char *, const char *, const char *> cuadres[] = {
                {"IdEstado, Causa", "Nivel = 3 AND IdSexo IS NOT 'A'", "Nivel = 3 AND IdSexo = 'A'"},
                {"IdEstado, substr(Causa, 1, 3), IdSexo", "Nivel = 3", "Nivel = 2"},
                {"IdEstado, Capitulo, IdSexo", "Nivel = 3", "Nivel = 1"},
                {"IdEstado, IdSexo", "Nivel = 1", "Nivel = 0"}};
            for (const QString &c : Filas("SELECT name FROM pragma_table_info('REPLISDET', 'temp') WHERE name GLOB 'EDAD*' OR name = 'Totales'"))
                for (const auto &[grupo, partes, todo] : cuadres) {
                    const QString q = QStringLiteral("SELECT %1, sum(%2) FROM REPLISDET WHERE %3 GROUP BY %1 ORDER BY %1").arg(grupo, c);
                    EXPECT_EQ(Filas(q.arg(partes)), Filas(q.arg(todo))) << c.toStdString() << grupo;
                }
        }
}

// Sex code 7 keeps its digit; 99 with key 9 is an age not specified; a cause
// missing from CATCIE10, no cause and a unit missing from CATCLUES are left out.
TEST_F(Diagnosticos, ListaDetallada_CasosNombrados)
{
    Ev("DFSSA000012", "X590", 1);
    Ev("DFSSA000012", "X590", 2, 3, 85);
    Ev("DFSSA000012", "X59", 9, 3, 999);
    Ev("DFSSA000012", "X591", 7, 9, 99);
    Ev("DFSSA000012", "ZZZZ", 1);
    Ev("DFSSA000012", QVariant(), 1);
    Ev("XXSSA999999", "X590", 1);
    Corre(ListaDetallada);
    EXPECT_EQ(Filas("SELECT IdSexo, Totales, EDAD30_34, EDAD85, EDAD_NE FROM REPLISDET WHERE Nivel = 0 ORDER BY Orden"),
              QStringList({"H|1|1|0|0", "M|1|0|1|0", "N|1|0|0|1", "7|1|0|0|1", "A|4|1|1|2"}));
}

// Each report reads the chosen events in one grouped statement; the total of
// the principal diagnoses is summed from their groups, not counted again.
TEST_F(Diagnosticos, CadaReporteLeeLosEventosUnaSolaVez)
{
    Ev("DFSSA000012", "X590", 1, 3, 30, "W010");
    Ev("MCSSA000016", "S000", 2, 3, 85, "X590");
    for (int titulo : {ListaDetallada, PorCausaExterna, PorVelmoran}) {
        filtros.InicializaFiltros();
        filtros.EligeReporte(titulo);
        ASSERT_TRUE(generador.ArmaFiltro() && generador.CreaPasoReporte());
        const QStringList eventos = Sentencias([&] { generador.GeneraReporte(); })
                                        .filter(QRegularExpression("\\b(PASOREPORTE|D_EVENTO)\\b"));
        ASSERT_EQ(eventos.size(), 1) << titulo << eventos.join('\n').toStdString();
        EXPECT_TRUE(eventos[0].startsWith("INSERT INTO PASO")) << eventos[0].toStdString();
    }
    EXPECT_EQ(generador.TotalReporte, 2);
}

TEST_F(Diagnosticos, Principales_Ranking)
{
    // 21 categories W00 .. W20 of two events each, and the ranking of the first twenty.
    QVector<QPair<QVariant, int>> empate;
    QStringList ranking;
    for (int i = 0; i < 21; ++i) {
        empate.append({QStringLiteral("W%1").arg(i, 2, 10, QChar('0')) + "0", 2});
        ranking << QStringLiteral("%1|W%2|2").arg(i + 1).arg(i, 2, 10, QChar('0'));
    }
    const struct {
        const char *nombre;
        QVector<QPair<QVariant, int>> codigos;   // code and its number of events
        QStringList esperado;                    // Numero|Principal|Volumen, without the last two lines
        int resto;
    } casos[] = {
        {"X590 y X59 juntas, por cuenta y luego por categoría", {{"X590", 1}, {"X59", 1}, {"W010", 2}, {"A000", 3}},
         {"1|A00|3", "2|W01|2", "3|X59|2"}, 0},
        {"vacío y sin código, un grupo", {{"", 1}, {QVariant(), 2}, {"X590", 1}}, {"1||3", "2|X59|1"}, 0},
        {"minúsculas y blancos, su categoría", {{"S001", 1}, {"s001", 2}, {" s001", 1}, {"s001 ", 1}}, {"1|S00|5"}, 0},
        {"empate en el 20 y el 21: W20 va al resto", empate, ranking.mid(0, 20), 2},
        {"exactamente veinte", empate.mid(0, 20), ranking.mid(0, 20), 0},
    };
    for (const auto &c : casos) {
        Ejecuta("DELETE FROM D_EVENTO");
        for (const auto &[codigo, n] : c.codigos)
            for (int i = 0; i < n; ++i)
                Ev("DFSSA000012", QVariant(), 1, 3, 30, codigo);
        Corre(PorCausaExterna);
        EXPECT_EQ(Filas("SELECT Numero, Principal, Volumen FROM REP_Principales ORDER BY rowid"),
                  c.esperado + QStringList({"  ||", "||" + QString::number(c.resto)})) << c.nombre;
        EXPECT_NEAR(Valor("SELECT sum(Porcentaje) FROM REP_Principales").toDouble(), 100.0, 1e-9) << c.nombre;
    }
}

// The percentages and the closing rows are in the golden text.
TEST_F(Diagnosticos, Principales_PorAfeccionConSusNombres)
{
    for (const char *causa : {"X590", "X590", "T009", ""})   // the principal affection ranks in this report
        Ev("DFSSA000012", causa, 1);
    Ejecuta("DELETE FROM CATCIE10 WHERE Causa = 'T00'");   // a category not itself in the catalog
    Corre(PorVelmoran);
    EXPECT_EQ(Filas("SELECT Principal, Descrip FROM REP_Principales WHERE Volumen > 0 ORDER BY rowid"),
              QStringList({"X59|EXPOSICION A FACTORES NO ESPECIFICADOS", "|",
                           "T00|" + Valor("SELECT nombre FROM CATCIE10 WHERE Causa LIKE 'T00_' ORDER BY Causa").toString()}));
}

TEST_F(Diagnosticos, TextoDelPdfComoElEsperado)
{
    Ev("DFSSA000012", "X590", 1, 3, 30, "W010");
    Ev("DFSSA000012", "X590", 2, 2, 5, "W010");
    Ev("MCSSA000016", "X59", 1, 3, 999, "Y09");
    Ev("MCSSA000016", "S000", 9, 3, 85, QVariant());
    generador.Muestra = [](const DocumentoReporte &d) { ComparaTextoPdf(d, VELMORAN_ESPERADOS); };
    filtros.InicializaFiltros();
    for (int i : {ListaDetallada, PorCausaExterna}) {
        filtros.EligeReporte(i);
        generador.Reporte();
    }
    EXPECT_TRUE(mensajes.cajas.isEmpty()) << mensajes.Ultimo().toStdString();
}
