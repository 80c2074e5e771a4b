// The benchmarks' year of care events: written as a year is captured (or in
// key order on request, the same rows), spread as a year is, and every event
// one the capture sheet saves.
#include "GeneraEventos.h"
#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

// Each table's key columns (its primary key), for the key order.
const std::pair<const char *, const char *> Tablas[] = {
    {"D_EVENTO", "Clues, Folio, fechaAtencion"},
    {"D_Derechohabiencia", "CLUES, Folio, fechaAtencion, CodDerechohabiencia"},
    {"D_TipoViolencia", "CLUES, Folio, fechaAtencion, CodTipoViolencia"},
    {"D_BajoEfectos", "CLUES, Folio, fechaAtencion, CodAfectadoAgresor, CodEfectos"},
    {"D_TipoAtencion", "CLUES, Folio, fechaAtencion, CodTipoAtencion"},
    {"D_Diagnosticos", "CLUES, Folio, fechaAtencion, Orden"},
};

QStringList Filas(const ProgramaTemporal &p, const QString &tabla, const QString &orden)
{
    return p.Filas(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(tabla, orden));
}

// Places where a row's key is below the row before it.
int Quiebres(const ProgramaTemporal &p)
{
    return p.Valor("SELECT count(*) FROM (SELECT Clues, Folio, lag(Clues) OVER (ORDER BY rowid) AS c, "
                   "lag(Folio) OVER (ORDER BY rowid) AS f FROM D_EVENTO) WHERE Clues < c OR (Clues = c AND Folio < f)")
        .toInt();
}

TEST(GeneradorAnual, EscribeEnOrdenDeCapturaYOrdenadoLasMismasFilasEnOrdenDeLlave)
{
    ProgramaTemporal captura, ordenado;
    captura.AbreBase();
    ordenado.AbreBase();
    EXPECT_EQ(GeneraEventos(captura.bd(), 3000, EventoValido()), 3000);
    GeneraEventos(ordenado.bd(), 3000, EventoValido(), "36", 2004, true);

    for (const auto &[tabla, llave] : Tablas) {
        const QStringList escritas = Filas(captura, tabla, "rowid"), porLlave = Filas(captura, tabla, llave);
        EXPECT_TRUE(Filas(ordenado, tabla, "rowid") == porLlave) << tabla;
        EXPECT_TRUE(escritas != porLlave) << tabla;
        QStringList a = escritas, b = Filas(ordenado, tabla, "rowid");
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_TRUE(a == b) << tabla;
    }
    // Units interleave through the day: the key order breaks often.
    EXPECT_GT(Quiebres(captura), 3000 / 20);
    EXPECT_EQ(Quiebres(ordenado), 0);
    // Written day by day as captured, the detail rows in the order of their events.
    EXPECT_EQ(captura.Valor("SELECT count(*) FROM (SELECT FechaCaptura, lag(FechaCaptura) OVER (ORDER BY rowid) AS a "
                            "FROM D_EVENTO) WHERE FechaCaptura < a").toInt(), 0);
    for (const auto &[tabla, llave] : Tablas)
        EXPECT_EQ(captura.Valor(QStringLiteral(
                      "SELECT count(*) FROM (SELECT E.rowid AS r, lag(E.rowid) OVER (ORDER BY D.rowid) AS a FROM %1 D "
                      "JOIN D_EVENTO E ON E.Clues = D.CLUES AND E.Folio = D.Folio AND E.fechaAtencion = D.fechaAtencion) "
                      "WHERE r < a").arg(tabla)).toInt(), 0) << tabla;
}

// A year of one unit: every event there, its folios 1 to N in the order of
// capture (--desordenado then shuffles them, as a long-lived database stands).
TEST(GeneradorAnual, UnaUnidadNumeraSusFoliosEnOrdenDeCaptura)
{
    ProgramaTemporal p;
    p.AbreBase();
    EXPECT_EQ(GeneraEventos(p.bd(), 3000, EventoValido(), "36", 2004, false, true), 3000);
    EXPECT_EQ(p.Filas("SELECT count(DISTINCT Clues), min(Folio), max(Folio), count(DISTINCT Folio) FROM D_EVENTO"),
              QStringList{"1|1|3000|3000"});
    EXPECT_EQ(p.Valor("SELECT count(*) FROM (SELECT Folio, lag(Folio) OVER (ORDER BY rowid) AS a FROM D_EVENTO) WHERE Folio < a").toInt(), 0);
}

TEST(GeneradorAnual, DesordenadoLasMismasFilasEnOtroOrdenSinEstadisticasYElMismoEsquema)
{
    ProgramaTemporal p;
    p.AbreBase();
    GeneraEventos(p.bd(), 2000, EventoValido());
    p.Ejecuta("ANALYZE");
    const QString esquema = "SELECT type, name, tbl_name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite_stat%' ORDER BY name";
    const QStringList antes = p.Filas(esquema);
    std::map<QString, QStringList> escritas;
    for (const auto &[tabla, llave] : Tablas)
        escritas[tabla] = Filas(p, tabla, "rowid");

    DesordenaTablas(p.bd());
    EXPECT_EQ(p.Valor("SELECT count(*) FROM sqlite_stat1").toInt(), 0);
    EXPECT_TRUE(p.Filas(esquema) == antes);
    EXPECT_EQ(p.Valor("PRAGMA foreign_keys").toInt(), 1);
    for (const auto &[tabla, llave] : Tablas) {
        const QStringList ahora = Filas(p, tabla, "rowid");
        EXPECT_TRUE(ahora != escritas[tabla]) << tabla;
        EXPECT_TRUE(ahora != Filas(p, tabla, llave)) << tabla;
        QStringList a = ahora, b = escritas[tabla];
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_TRUE(a == b) << tabla;
    }
    EXPECT_EQ(p.Valor("PRAGMA foreign_key_check").toString(), QString());
}

TEST(GeneradorAnual, UnAnoRepartidoComoElReal)
{
    ProgramaTemporal p;
    p.AbreBase();
    GeneraEventos(p.bd(), 20000, EventoValido());
    auto valor = [&](const char *sql) { return p.Valor(sql).toDouble(); };

    // 0 to 3 rows of an event in each detail table; a few events without any.
    for (const auto &[tabla, llave] : Tablas) {
        if (QLatin1String(tabla) == QLatin1String("D_EVENTO"))
            continue;
        const QString grupo = QString::fromLatin1(llave).section(',', 0, 2)
                              + (QLatin1String(tabla) == QLatin1String("D_BajoEfectos") ? ", CodAfectadoAgresor" : "");
        EXPECT_EQ(p.Valor(QStringLiteral("SELECT max(n) FROM (SELECT count(*) AS n FROM %1 GROUP BY %2)").arg(tabla, grupo)).toInt(), 3)
            << tabla;
    }
    const double sinDetalles = valor("SELECT count(*) FROM D_EVENTO E WHERE NOT EXISTS (SELECT 1 FROM D_Diagnosticos D "
                                     "WHERE D.CLUES = E.Clues AND D.Folio = E.Folio AND D.fechaAtencion = E.fechaAtencion) "
                                     "AND NOT EXISTS (SELECT 1 FROM D_Derechohabiencia D WHERE D.CLUES = E.Clues "
                                     "AND D.Folio = E.Folio AND D.fechaAtencion = E.fechaAtencion)");
    EXPECT_TRUE(sinDetalles >= 1 && sinDetalles < 20000 / 200) << sinDetalles;
    // Codes skewed: the commonest diagnosis far above the tenth.
    const QStringList diagnosticos = p.Filas("SELECT count(*) FROM D_Diagnosticos GROUP BY CodDiagnostico ORDER BY 1 DESC");
    ASSERT_GT(diagnosticos.size(), 100);
    EXPECT_GT(diagnosticos[0].toInt(), 4 * diagnosticos[9].toInt());
    // Both sexes, every intentionality, children to the old, care through the whole year.
    EXPECT_TRUE(valor("SELECT avg(CodSexo = 2) FROM D_EVENTO") > 0.3 && valor("SELECT avg(CodSexo = 2) FROM D_EVENTO") < 0.7);
    EXPECT_EQ(p.Filas("SELECT DISTINCT CodIntencionalidad FROM D_EVENTO ORDER BY 1"), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_GT(valor("SELECT avg(Edad < 15) FROM D_EVENTO"), 0.05);
    EXPECT_GT(valor("SELECT avg(Edad > 64) FROM D_EVENTO"), 0.02);
    EXPECT_EQ(p.Filas("SELECT min(fechaAtencion), max(fechaAtencion) FROM D_EVENTO"), QStringList({"2003-12-26|2004-12-25"}));
    EXPECT_GT(valor("SELECT count(DISTINCT Clues) FROM D_EVENTO"), 20);
}

TEST(GeneradorAnual, LaHojaGuardaLosEventosGeneradosSinQueUnaReglaLosDetenga)
{
    HojaEnBase h;
    h.prog.AbreBase();
    GeneraEventos(h.prog.bd(), 1500, EventoValido());
    h.Vida().Abre();
    ConjuntoEventos &rs = h.Reg().eventos.rsAtencion;
    int revisados = 0;
    for (int pos = 1; pos <= rs.Cuenta(); pos += 7) {
        rs.IrA(pos);
        h.Reg().eventos.LeeEvento();
        h.Vida().Actualiza_Ubicacion();
        const QList<ElementoLista> &dh = h.Hoja().Elementos(ListaHoja::Derechohabiencia);
        if (std::none_of(dh.begin(), dh.end(), [](const ElementoLista &e) { return e.marcado; }))
            continue;   // received without detail rows: the clerk completes it first
        h.Msj().Limpia();
        h.Vida().BotonPulsado(6);
        h.Hoja().PonTexto(29, "SOTO");
        h.Vida().BotonPulsado(8);
        ASSERT_FALSE(h.Hoja().EnCambio) << pos << ": " << qPrintable(h.Msj().Ultimo());
        ++revisados;
    }
    EXPECT_GT(revisados, 200);
    EXPECT_EQ(h.prog.Cuenta("D_EVENTO", "Paterno = 'SOTO'"), revisados);
}

} // namespace
