// The eleven cross-tab reports: every cell against counts computed here,
// independently, over generated events with edge values; a whole run leaves
// nothing behind; a failing statement is caught; one golden text per layout.
#include "reports/AmbienteReportes.h"
#include "reports/ReportesCruzados.h"
#include "platform/ReportePintor.h"

#include <QGuiApplication>
#include <functional>
#include <random>

namespace {

struct Ev {
    QString clues;
    QVariantMap v;
    QList<int> violencias, atenciones;
    bool Es(const char *columna, int valor) const { return !v.value(columna).isNull() && v.value(columna).toInt() == valor; }
    int N(const char *columna) const { return v.value(columna).isNull() ? -1 : v.value(columna).toInt(); }
};
using Condicion = std::function<bool(const Ev &)>;

class Cruzados : public AmbienteReportes {
protected:
    // Events over every code of the conditions and beyond: codes missing from
    // their catalog, NULLs, age markers, a unit missing from CATCLUES.
    void Genera(int n)
    {
        std::mt19937 azar(13);
        auto uno = [&](std::initializer_list<QVariant> l) { return *(l.begin() + azar() % l.size()); };
        const QStringList unidades{"DFSSA000012", "DFSSA000024", "MCSSA000016", "MSSSA000011", "XXSSA999999"};
        const QVariant nulo;
        Ejecuta("BEGIN");
        for (int i = 0; i < n; ++i) {
            Ev e;
            e.clues = unidades[int(azar() % unidades.size())];
            e.v = {{"CodIntencionalidad", uno({1, 2, 3, 4, 5, 11, 7, nulo})},
                   {"CodSexo", uno({1, 2, 9, nulo})},
                   {"CodClaveEdad", uno({0, 1, 2, 3, 3, 3, 9, nulo})},
                   {"Edad", uno({0, 1, 4, 5, 9, 10, 84, 85, 86, 99, 998, 999, nulo})},
                   {"CodDestino", uno({5, 5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, nulo})},
                   {"CodEquipo", uno({1, 2, 4, 9, 88, 99, nulo})},
                   {"CodLesionadoVehiculo", uno({1, 2, 3, 9, nulo})},
                   {"CodUsoSeguridad", uno({1, 2, 9, nulo})},
                   {"CodAgente", uno({1, 2, 5, 20, 77, nulo})},
                   {"CodSitio", uno({1, 2, 6, 13, 50, nulo})},
                   {"CodArea", uno({1, 3, 20, 60, nulo})},
                   {"CodParentescoAgresor", uno({1, 5, 9, 42, nulo})},
                   {"CodVez", uno({1, 2, 9, 3, nulo})}};
            for (int t : {6, 7, 8, 10})
                if (azar() % 3 == 0)
                    e.violencias << t;
            for (int t : {1, 2, 5, 9})
                if (azar() % 2 == 0)
                    e.atenciones << t;
            const QString fecha = QDate(2004, 1, 1).addDays(i % 300).toString(Qt::ISODate);
            Evento(e.clues, i + 1, fecha, e.v);
            for (int t : e.violencias)
                Detalle("D_TipoViolencia", "CodTipoViolencia", e.clues, i + 1, fecha, t);
            for (int t : e.atenciones)
                Detalle("D_TipoAtencion", "CodTipoAtencion", e.clues, i + 1, fecha, t);
            eventos << e;
        }
        Ejecuta("COMMIT");
    }

    // Builds one report up to its work table, which stays for the test to read.
    QStringList Construye(const QString &titulo)
    {
        const ReporteCruzado &r = *std::find_if(ReportesCruzados().begin(), ReportesCruzados().end(),
                                                [&](const ReporteCruzado &x) { return x.titulo == titulo; });
        filtros.InicializaFiltros();
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(r.titulo)));
        EXPECT_TRUE(generador.ArmaFiltro() && generador.CreaPasoReporte());
        GeneraReporteCruzado(generador, r);
        return Filas("SELECT * FROM " + r.tabla + " ORDER BY rowid");
    }

    // Expected rows: key and description, then one count per condition.
    QStringList Espera(const QStringList &filas, const std::function<QList<int>(const QString &fila)> &cuentas)
    {
        QStringList r;
        for (const QString &f : filas) {
            QStringList celdas{f};
            for (int c : cuentas(f))
                celdas << QString::number(c);
            r << celdas.join('|');
        }
        return r;
    }
    int Cuantos(const Condicion &c) const { return int(std::count_if(eventos.begin(), eventos.end(), c)); }
    QList<int> PorColumna(const std::function<bool(const Ev &)> &fila, const QList<Condicion> &columnas,
                          bool soloDefunciones = false) const
    {
        QList<int> r;
        for (const Condicion &c : columnas)
            r << Cuantos([&](const Ev &e) { return (!soloDefunciones || e.Es("CodDestino", 5)) && fila(e) && c(e); });
        return r;
    }
    static QList<Condicion> Codigos(const char *columna, std::initializer_list<int> codigos)
    {
        QList<Condicion> r;
        for (int c : codigos)
            r << [columna, c](const Ev &e) { return e.Es(columna, c); };
        return r;
    }
    QList<Ev> eventos;
};

const std::initializer_list<int> IntencionesCodigos = {1, 2, 3, 4, 5, 11};

// Reports whose rows are one catalog's codes matched against one event column.
struct CasoCatalogo {
    const char *titulo, *catalogo, *columnaEvento, *columnaCondicion;
    std::initializer_list<int> codigos;
    bool defunciones;
};

} // namespace

TEST_F(Cruzados, CadaCeldaIgualASuCuentaIndependiente_PorCatalogo)
{
    Genera(400);
    const CasoCatalogo casos[] = {
        {"Agente de Lesión por Intencionalidad", "SELECT CodAgente, Descripcion FROM cAgente ORDER BY 1", "CodAgente",
         "CodIntencionalidad", IntencionesCodigos, false},
        {"Intencionalidad por Sitio de Ocurrencia", "SELECT CodSitio, Descripcion FROM cSitio ORDER BY 1", "CodSitio",
         "CodIntencionalidad", IntencionesCodigos, false},
        {"Intencionalidad por Área Anatómica", "SELECT CodArea, Descripcion FROM cArea ORDER BY 1", "CodArea",
         "CodIntencionalidad", IntencionesCodigos, false},
        {"Defunción por Sitio de Ocurrencia", "SELECT CodSitio, Descripcion FROM cSitio ORDER BY 1", "CodSitio", "CodSexo",
         {1, 2, 9}, true},
        {"Intencionalidad por Parentesco", "SELECT CodParentesco, Descripcion FROM cParentesco ORDER BY 1",
         "CodParentescoAgresor", "CodIntencionalidad", {2, 3}, false},
        {"Reporte del Agresor", "SELECT CodParentesco, Descripcion FROM cParentesco ORDER BY 1", "CodParentescoAgresor",
         "CodSexo", {1, 2, 9}, false},
        {"Defunción por Intencionalidad B", "SELECT CodIntencionalidad, Descripcion FROM cIntencionalidad ORDER BY 1",
         "CodIntencionalidad", nullptr, {}, true},
    };
    // The age groups, written out here apart from the code under test.
    QList<Condicion> edades{[](const Ev &) { return true; },
                            [](const Ev &e) { return e.N("CodClaveEdad") >= 0 && e.N("CodClaveEdad") <= 2; }};
    for (int g = 1; g <= 20; ++g) {
        const int de = g <= 4 ? g : 5 * (g - 4), a = g <= 4 ? g : de + 4;
        edades << [de, a](const Ev &e) { return e.Es("CodClaveEdad", 3) && e.N("Edad") >= de && e.N("Edad") <= a; };
    }
    edades << [](const Ev &e) { return e.Es("CodClaveEdad", 3) && e.N("Edad") >= 85 && e.N("Edad") != 999; }
           << [](const Ev &e) {
                  const int c = e.N("CodClaveEdad");
                  return (e.Es("Edad", 99) && c >= 0 && c <= 2) || (e.Es("Edad", 999) && (c == 3 || c == 9));
              };
    for (const CasoCatalogo &c : casos) {
        const QList<Condicion> columnas = c.columnaCondicion ? Codigos(c.columnaCondicion, c.codigos) : edades;
        const QStringList esperado = Espera(Filas(c.catalogo), [&](const QString &fila) {
            const int codigo = fila.section('|', 0, 0).toInt();
            return PorColumna([&](const Ev &e) { return e.Es(c.columnaEvento, codigo); }, columnas, c.defunciones);
        });
        EXPECT_EQ(Construye(c.titulo), esperado) << c.titulo;
    }
}

TEST_F(Cruzados, CadaCeldaIgualASuCuentaIndependiente_FilasPropias)
{
    Genera(400);
    // Vehicles: equipment rows, then 88 (no safety equipment used) and 99 (pedestrians).
    QStringList filas = Filas("SELECT CodEquipo, Descripcion FROM cEquipo ORDER BY 1") << "88|NO USO" << "99|NO APLICA";
    const auto roles = Codigos("CodLesionadoVehiculo", {1, 2, 3});
    EXPECT_EQ(Construye("Accidente por vehiculo de motor"), Espera(filas, [&](const QString &f) {
                  const int codigo = f.section('|', 0, 0).toInt();
                  QList<int> r = PorColumna([&](const Ev &e) { return e.Es("CodEquipo", codigo); }, roles);
                  if (codigo == 88)
                      for (int rol : {1, 2})
                          r[rol - 1] = Cuantos([&](const Ev &e) { return e.Es("CodLesionadoVehiculo", rol) && e.Es("CodUsoSeguridad", 2); });
                  if (codigo == 99)
                      r[2] = Cuantos([](const Ev &e) { return e.Es("CodLesionadoVehiculo", 3); });
                  return r;
              }));

    // Deaths by the state of the unit; the unit missing from CATCLUES gives a row with no state, with its counts.
    EXPECT_EQ(Construye("Defunción por Intencionalidad A"),
              Espera({"|ESTADO", "9|CIUDAD DE MEXICO", "15|MEXICO", "17|MORELOS"}, [&](const QString &f) {
                  const QString estado = f.section('|', 0, 0);
                  auto delEstado = [&](const Ev &e) {
                      const QString c = e.clues.left(2);
                      return estado == (c == "DF" ? "9" : c == "MC" ? "15" : c == "MS" ? "17" : "");
                  };
                  return PorColumna(delEstado, Codigos("CodIntencionalidad", IntencionesCodigos), true);
              }));

    // Violence types are counted per detail row; self-inflicted per event.
    filas.clear();
    const QStringList tipos = Filas("SELECT CodTipoViolencia, Descripcion FROM cTipoViolencia ORDER BY 1");
    for (const char *g : {"2|VIOLENCIA FAMILIAR|", "3|VIOLENCIA NO FAMILIAR|"})
        for (const QString &t : tipos)
            filas << QString(g) + t;
    filas << "4|AUTO INFLIGIDO|0|AUTO INFLIGIDO";
    EXPECT_EQ(Construye("Violencia por primera vez"), Espera(filas, [&](const QString &f) {
                  const int intencion = f.section('|', 0, 0).toInt(), tipo = f.section('|', 2, 2).toInt();
                  QList<int> r;
                  for (int vez : {1, 2, 9})
                      r << (intencion == 4 ? Cuantos([&](const Ev &e) { return e.Es("CodIntencionalidad", 4) && e.Es("CodVez", vez); })
                                           : Cuantos([&](const Ev &e) {
                                                 return e.Es("CodIntencionalidad", intencion) && e.Es("CodVez", vez)
                                                     && e.violencias.contains(tipo);
                                             }));
                  return r;
              }));

    // Care types: per detail row, by the event's sex and destination.
    QList<Condicion> columnas{[](const Ev &) { return true; }};
    columnas << Codigos("CodSexo", {1, 2, 9}) << Codigos("CodDestino", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    EXPECT_EQ(Construye("Tipo de Atención por Destino Posterior a la Atención"),
              Espera(Filas("SELECT CodTipoAtencion, Descripcion FROM cTipoAtencion ORDER BY 1"), [&](const QString &f) {
                  const int tipo = f.section('|', 0, 0).toInt();
                  return PorColumna([&](const Ev &e) { return e.atenciones.contains(tipo); }, columnas);
              }));
}

TEST_F(Cruzados, UnaCorridaNoDejaTablasNiCambiaLaBase)
{
    Genera(60);
    const QStringList esquema = Filas("SELECT name FROM sqlite_master ORDER BY name");
    filtros.InicializaFiltros();
    for (int i = 0; i < FiltrosReporte::TitulosReportes.size(); ++i) {
        filtros.EligeReporte(i);
        generador.Reporte();
        EXPECT_EQ(TablasTemporales(), 0) << i;
    }
    EXPECT_EQ(mostrados.size(), 14);
    EXPECT_TRUE(mensajes.cajas.isEmpty()) << mensajes.Ultimo().toStdString();
    EXPECT_EQ(Filas("SELECT name FROM sqlite_master ORDER BY name") << QString::number(Cuenta("D_EVENTO")), esquema + QStringList{"60"});
}

TEST_F(Cruzados, UnaSentenciaQueFallaSeAvisaYNoDejaNada)
{
    Genera(20);
    Ejecuta("ALTER TABLE cAgente RENAME TO cAgenteFuera");
    filtros.InicializaFiltros();
    filtros.EligeReporte(1);
    generador.Reporte();
    ASSERT_EQ(mensajes.cajas.size(), 1);
    EXPECT_TRUE(mensajes.cajas[0].titulo == "Reportes VELMORAN" && mensajes.Ultimo().startsWith("1 - La instrucción no se pudo ejecutar en la Base de Datos (no such table: cAgente"))
        << mensajes.Ultimo().toStdString();
    EXPECT_TRUE(TablasTemporales() == 0 && QGuiApplication::overrideCursor() == nullptr && mostrados.isEmpty());
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
