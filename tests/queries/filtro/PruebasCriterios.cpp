// The criteria builder and the criteria's translation into one bound condition.
#include "platform/BaseDatos.h"
#include "queries/CriteriosConsulta.h"

#include <gtest/gtest.h>

namespace {

const CampoConsulta &Campo(const QString &entrada, OrigenConsulta origen = OrigenConsulta::Hoja)
{
    const CampoConsulta *c = BuscaCampo(origen, entrada);
    EXPECT_NE(c, nullptr) << entrada.toStdString();
    return *c;
}

struct CasoCondicion {
    const char *antes, *campo, *operador, *valor;
    bool conY;
    const char *despues;
};

class Condicion : public ::testing::TestWithParam<CasoCondicion> {};

TEST_P(Condicion, SeEscribePorElTipoDelCampo)
{
    const CasoCondicion &c = GetParam();
    const OrigenConsulta origen = QString(c.campo).contains('.') ? OrigenConsulta::Hoja : OrigenConsulta::ListaCIE10;
    EXPECT_EQ(AgregaCondicion(QString::fromUtf8(c.antes), Campo(c.campo, origen), c.operador, QString::fromUtf8(c.valor), c.conY),
              QString::fromUtf8(c.despues));
}

INSTANTIATE_TEST_SUITE_P(
    Tipos, Condicion,
    ::testing::Values(
        CasoCondicion{"", "E.CodSexo", "=", "2", true, "E.CodSexo = 2"},
        CasoCondicion{"E.CodSexo = 2", "E.fechaAtencion", ">=", "01/01/2004", false,
                      "E.CodSexo = 2\n Or CDATE(E.fechaAtencion) >= CDATE('01/01/2004')"},
        CasoCondicion{"  E.Edad > 10  ", "E.FechaOcurrencia", "<", "05/02/2004", true,
                      "E.Edad > 10\nAnd CDATE(E.FechaOcurrencia) < CDATE('05/02/2004')"},
        CasoCondicion{"", "E.Paterno", "Like", "O'HARA", true, "E.Paterno Like 'O''HARA'"},
        CasoCondicion{"   ", "F.Diagnosticos", "=", "S011", true, "F.Diagnosticos = 'S011'"},
        CasoCondicion{"", "P.EfectosPaciente", "<>", "", true, "P.EfectosPaciente <> "},
        CasoCondicion{"", "D.CodDerechohabiencia", "=", "", false, "D.CodDerechohabiencia = ''"},
        CasoCondicion{"", "Causa", "=", "S011", true, "Causa = 'S011'"}),
    [](const auto &info) { return "caso" + std::to_string(info.index); });

struct CasoTraduccion {
    const char *criterio;
    const char *sql;
    const char *valores;   // joined by '|'
    const char *uniones;
};

class Traduccion : public ::testing::TestWithParam<CasoTraduccion> {};

TEST_P(Traduccion, DaUnaCondicionConValoresAsociados)
{
    const CasoTraduccion &c = GetParam();
    const CondicionSQL r = TraduceCriterio(QString::fromUtf8(c.criterio), OrigenConsulta::Hoja);
    EXPECT_EQ(r.sql, QString::fromUtf8(c.sql));
    QStringList valores;
    for (const QVariant &v : r.valores)
        valores << v.toString();
    EXPECT_EQ(valores.join('|'), QString::fromUtf8(c.valores));
    EXPECT_EQ(r.uniones.join(','), QString::fromUtf8(c.uniones));
}

INSTANTIATE_TEST_SUITE_P(
    Criterios, Traduccion,
    ::testing::Values(
        CasoTraduccion{"E.CodSexo = 2\nAnd E.Edad > 10", "(E.CodSexo = ? AND E.Edad > ?)", "2|10", ""},
        CasoTraduccion{"e.paterno like 'O''HA*?'", "(E.Paterno LIKE ? COLLATE NOCASE)", "O'HA%_", ""},
        CasoTraduccion{"CDATE(E.fechaAtencion) >= CDATE('01/02/2004')", "(E.fechaAtencion >= ?)", "2004-02-01", ""},
        CasoTraduccion{"P.EfectosPaciente = 3 And P.EfectosAgresor = 4 Or F.Diagnosticos = 'S011'",
                       "(P1.CodEfectos = ? AND P2.CodEfectos = ? OR F.CodDiagnostico = ? COLLATE NOCASE)", "3|4|S011", "P1,P2,F"},
        CasoTraduccion{"(D.CodDerechohabiencia IN ('1', \"2\") Or V.CodTipoViolencia Is Null) And T.CodTipoAtencion <> 1",
                       "(( D.CodDerechohabiencia IN ( ? COLLATE NOCASE , ? COLLATE NOCASE ) OR V.CodTipoViolencia IS NULL )"
                       " AND T.CodTipoAtencion <> ?)",
                       "1|2|1", "D,V,T"},
        CasoTraduccion{"Val(E.CURP) Between 1 And 2.5 And UCase(P.CodEfectos) = 1",
                       "(VAL ( E.CURP ) BETWEEN ? AND ? AND UPPER ( P.CodEfectos ) = ?)", "1|2.5|1", "P"},
        CasoTraduccion{"Edad > 3", "(E.Edad > ?)", "3", ""},
        CasoTraduccion{"E.fechaAtencion >= '01/06/2026'", "(E.fechaAtencion >= ?)", "2026-06-01", ""},
        CasoTraduccion{"'15/06/2026' = E.FechaOcurrencia", "(? = E.FechaOcurrencia)", "2026-06-15", ""},
        CasoTraduccion{"CDATE(F.fechaAtencion) <> '1/6/2026'", "(F.fechaAtencion <> ?)", "2026-06-01", "F"},
        CasoTraduccion{"E.fechaAtencion Between '01/06/2026' And '30/06/2026'", "(E.fechaAtencion BETWEEN ? AND ?)", "2026-06-01|2026-06-30", ""},
        CasoTraduccion{"E.fechaAtencion In ('01/06/2026', '02/06/2026')", "(E.fechaAtencion IN ( ? , ? ))", "2026-06-01|2026-06-02", ""},
        CasoTraduccion{"E.Paterno = '01/06/2026'", "(E.Paterno = ? COLLATE NOCASE)", "01/06/2026", ""}),
    [](const auto &info) { return "caso" + std::to_string(info.index); });

class Rechazo : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

// Nothing can be appended to the condition or smuggled into it.
TEST_P(Rechazo, CriterioQueNoEsUnaCondicion)
{
    try {
        TraduceCriterio(QString::fromUtf8(GetParam().first), OrigenConsulta::Hoja);
        FAIL() << GetParam().first;
    } catch (const ErrorBD &e) {
        EXPECT_EQ(e.Descripcion(), QString::fromUtf8(GetParam().second));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Criterios, Rechazo,
    ::testing::Values(
        std::make_pair("E.Paterno = 'O'HARA'", "Falta la comilla que cierra el valor '"),
        std::make_pair("E.Edad > 1) Or (1 = 1", "El criterio cierra un paréntesis que no abrió"),
        std::make_pair("(E.Edad > 1", "El criterio abre un paréntesis que no cierra"),
        std::make_pair("E.Edad > 1; DROP TABLE D_EVENTO", "El criterio tiene un carácter que no puede llevar: ;"),
        std::make_pair("E.fechaAtencion > #01/01/2004#", "El criterio tiene un carácter que no puede llevar: #"),
        std::make_pair("E.Folio IN (SELECT Folio FROM D_EVENTO)",
                       "El criterio nombra un campo que no existe en D_EVENTO: SELECT"),
        std::make_pair("Causa = 'S011'", "El criterio nombra un campo que no existe en D_EVENTO: Causa"),
        std::make_pair("E.fechaAtencion = 01.02.2004", "El criterio tiene un valor sin comillas: 01.02.2004"),
        std::make_pair("sqlite_version() = 1", "El criterio usa una función desconocida: sqlite_version"),
        std::make_pair("CDATE(E.fechaAtencion) = CDATE('31/02/2004')", "El valor '31/02/2004' no es una fecha dd/mm/aaaa"),
        std::make_pair("E.fechaAtencion = 'junio'", "El valor 'junio' no es una fecha dd/mm/aaaa")),
    [](const auto &info) { return "caso" + std::to_string(info.index); });

TEST(Sentencias, OrdenDescendente)
{
    EXPECT_EQ(TraduceCriterio("E.Edad > 1", OrigenConsulta::Hoja, "E.Edad", true).orden, "E.Edad DESC");
}

} // namespace
