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

// Each kind of column: the value bound for the field's text, or a refusal.
TEST(MapaEvento, ValorLigadoPorTipoDeColumna)
{
    const QVariant nulo = QVariant(QMetaType::fromType<qlonglong>()), falla;
    const struct {
        const char *columna;
        QString texto, texto2;   // the field's text; the second field of a time or the affiliation
        QVariant esperado;       // invalid: the value must be refused
    } casos[] = {
        // text: unchanged, not trimmed; blank is the empty text, not NULL
        {"Paterno", " PEREZ ", {}, " PEREZ "}, {"Materno", QString(), {}, ""}, {"Afiliacion", "1234567890", "01", "123456789001"},
        // number: blank or not a number is refused; number or NULL: trimmed blank gives NULL
        {"CodSexo", "2", {}, qlonglong(2)}, {"CodSexo", QString(), {}, falla}, {"Edad", "3A", {}, falla},
        {"CodEmbarazada", "  ", {}, nulo}, {"HorasTraslado", " 3", {}, qlonglong(3)}, {"EdadAgresor", "X", {}, falla},
        // number or 2; folio: leading digits
        {"CodLeeEscribe", " ", {}, qlonglong(2)}, {"CodLeeEscribe", "1", {}, qlonglong(1)}, {"Folio", QString(), {}, qlonglong(0)},
        // dates: typed day first, stored ISO; anything else refused; time: joined as typed; today
        {"fechaAtencion", "15/06/2004", {}, "2004-06-15"}, {"FechaOcurrencia", QString(), {}, falla},
        {"FechaOcurrencia", "31/02/2004", {}, falla}, {"HoraOcurrencia", "07", "05", "07:05"},
        {"HoraAtencion", QString(), QString(), ":"}, {"FechaCaptura", QString(), {}, "2004-07-01"},
    };
    const QDate hoy(2004, 7, 1);
    for (const auto &k : casos) {
        const ColumnaEvento &c = Columna(k.columna);
        HojaDatos hoja;
        if (c.tipo == TipoValor::Fecha)
            hoja.PonFecha(c.campo, k.texto);
        else
            hoja.PonTexto(c.campo, k.texto);
        if (c.campo2)
            hoja.PonTexto(c.campo2, k.texto2);
        if (!k.esperado.isValid()) {
            EXPECT_THROW(ValorColumna(c, hoja, hoy), ErrorBD) << k.columna;
            continue;
        }
        const QVariant v = ValorColumna(c, hoja, hoy);
        EXPECT_EQ(QString::number(v.isNull()) + v.toString(), QString::number(k.esperado.isNull()) + k.esperado.toString()) << k.columna;
    }
}

TEST(MapaEvento, CodigoDeElementoPorSusDosPrimerosCaracteres)
{
    EXPECT_EQ(CodigoElemento("123   LARGO", false), QVariant(qlonglong(12)));
    EXPECT_EQ(CodigoElemento("G   BRESTAL", true), QVariant("G"));
    EXPECT_EQ(CodigoElemento("1   SERVICIO", true), QVariant("1"));
}

TEST(MesEstadistico, BordesDelAnoEstadistico)
{
    const std::pair<QDate, const char *> casos[] = {
        {QDate(2003, 12, 25), "NO ESPECIFICADO"}, {QDate(2003, 12, 26), "ENERO"}, {QDate(2004, 1, 25), "ENERO"},
        {QDate(2004, 1, 26), "FEBRERO"}, {QDate(2004, 2, 29), "MARZO"}, {QDate(2004, 12, 25), "DICIEMBRE"},
        {QDate(2004, 12, 26), "NO ESPECIFICADO"}, {QDate(), "NO ESPECIFICADO"},
    };
    for (const auto &[fecha, mes] : casos)
        EXPECT_EQ(MesEstadistico(fecha, 2004), QString::fromLatin1(mes)) << fecha.toString().toStdString();
}

} // namespace
