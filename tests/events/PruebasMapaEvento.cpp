#include "events/MapaEvento.h"
#include "events/modEvento.h"
#include "platform/BaseDatos.h"

#include <gtest/gtest.h>

namespace {

const ColumnaEvento &Columna(const char *nombre)
{
    for (const ColumnaEvento &c : ColumnasEvento())
        if (qstrcmp(c.columna, nombre) == 0)
            return c;
    throw std::logic_error(nombre);
}

struct CasoValor {
    const char *columna;
    QString texto;     // field text (the first field of a pair)
    QString texto2;    // second field of a time or the affiliation
    QVariant esperado; // invalid: the value must be refused
};

void PrintTo(const CasoValor &k, std::ostream *os)
{
    *os << k.columna << " '" << k.texto.toStdString() << "' '" << k.texto2.toStdString() << "'";
}

class ValorPorTipo : public ::testing::TestWithParam<CasoValor> {};

TEST_P(ValorPorTipo, DaElValorLigadoOFalla)
{
    const CasoValor &k = GetParam();
    const ColumnaEvento &c = Columna(k.columna);
    HojaDatos hoja;
    if (c.tipo == TipoValor::Fecha)
        hoja.PonFecha(c.campo, k.texto);
    else
        hoja.PonTexto(c.campo, k.texto);
    if (c.campo2)
        hoja.PonTexto(c.campo2, k.texto2);
    const QDate hoy(2004, 7, 1);
    if (!k.esperado.isValid()) {
        EXPECT_THROW(ValorColumna(c, hoja, hoy), ErrorBD);
        return;
    }
    const QVariant v = ValorColumna(c, hoja, hoy);
    EXPECT_EQ(v.isNull(), k.esperado.isNull());
    if (!k.esperado.isNull()) {
        EXPECT_EQ(v.toString(), k.esperado.toString());
    }
}

const QVariant Nulo = QVariant(QMetaType::fromType<qlonglong>());
const QVariant Falla;

INSTANTIATE_TEST_SUITE_P(
    Tipos, ValorPorTipo,
    ::testing::Values(
        // text: unchanged, not trimmed; blank is the empty text, not NULL
        CasoValor{"Paterno", " PEREZ ", {}, " PEREZ "},
        CasoValor{"Materno", QString(), {}, ""},
        CasoValor{"Afiliacion", "1234567890", "01", "123456789001"},
        // number: blank or not a number is refused
        CasoValor{"CodSexo", "2", {}, qlonglong(2)},
        CasoValor{"CodSexo", QString(), {}, Falla},
        CasoValor{"Edad", "3A", {}, Falla},
        // number or NULL: trimmed blank gives NULL, " 3" the number 3
        CasoValor{"CodEmbarazada", "  ", {}, Nulo},
        CasoValor{"CodEscolaridad", QString(), {}, Nulo},
        CasoValor{"HorasTraslado", " 3", {}, qlonglong(3)},
        CasoValor{"EdadAgresor", "X", {}, Falla},
        // number or 2
        CasoValor{"CodLeeEscribe", " ", {}, qlonglong(2)},
        CasoValor{"CodLeeEscribe", "1", {}, qlonglong(1)},
        // folio: leading digits
        CasoValor{"Folio", "00000123", {}, qlonglong(123)},
        CasoValor{"Folio", QString(), {}, qlonglong(0)},
        // dates: typed day first, stored ISO; anything else refused
        CasoValor{"fechaAtencion", "15/06/2004", {}, "2004-06-15"},
        CasoValor{"FechaOcurrencia", QString(), {}, Falla},
        CasoValor{"FechaOcurrencia", "31/02/2004", {}, Falla},
        // time: joined as typed
        CasoValor{"HoraOcurrencia", "07", "05", "07:05"},
        CasoValor{"HoraAtencion", QString(), QString(), ":"},
        // today
        CasoValor{"FechaCaptura", QString(), {}, "2004-07-01"}),
    [](const auto &info) { return std::string(info.param.columna) + "_" + std::to_string(info.index); });

// Every field of the sheet but the diagnosis entry feeds exactly one column.
TEST(MapaEvento, CadaCampoDeLaHojaVaAUnaColumna)
{
    QList<int> campos;
    for (const ColumnaEvento &k : ColumnasEvento()) {
        if (k.tipo != TipoValor::Fecha && k.tipo != TipoValor::Hoy) {
            campos << k.campo;
            if (k.campo2)
                campos << k.campo2;
        }
    }
    std::sort(campos.begin(), campos.end());
    QList<int> hoja;
    for (const CampoHoja &k : CamposHoja())
        if (k.indice != 76)
            hoja << k.indice;
    EXPECT_EQ(campos, hoja);
}

TEST(MapaEvento, CodigoDeElementoPorSusDosPrimerosCaracteres)
{
    EXPECT_EQ(CodigoElemento("1   MEDICA", false), QVariant(qlonglong(1)));
    EXPECT_EQ(CodigoElemento("12   OTRO", false), QVariant(qlonglong(12)));
    EXPECT_EQ(CodigoElemento("123   LARGO", false), QVariant(qlonglong(12)));
    EXPECT_EQ(CodigoElemento("G   BRESTAL", true), QVariant("G"));
    EXPECT_EQ(CodigoElemento("1   SERVICIO", true), QVariant("1"));
}

TEST(MesEstadistico, BordesDelAnoEstadistico)
{
    const struct {
        QDate fecha;
        const char *mes;
    } casos[] = {
        {QDate(2003, 12, 25), "NO ESPECIFICADO"}, {QDate(2003, 12, 26), "ENERO"},
        {QDate(2004, 1, 25), "ENERO"},            {QDate(2004, 1, 26), "FEBRERO"},
        {QDate(2004, 2, 25), "FEBRERO"},          {QDate(2004, 2, 29), "MARZO"},
        {QDate(2004, 6, 15), "JUNIO"},            {QDate(2004, 12, 25), "DICIEMBRE"},
        {QDate(2004, 12, 26), "NO ESPECIFICADO"}, {QDate(2003, 6, 15), "NO ESPECIFICADO"},
        {QDate(), "NO ESPECIFICADO"},
    };
    for (const auto &c : casos)
        EXPECT_EQ(MesEstadistico(c.fecha, 2004), QString::fromLatin1(c.mes)) << c.fecha.toString().toStdString();
}

} // namespace
