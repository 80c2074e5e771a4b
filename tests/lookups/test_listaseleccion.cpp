#include "DatosListas.h"

#include "lookups/ListaSeleccion.h"
#include "platform/BaseDatos.h"

namespace {

using Coincide = ListaSeleccion::Coincide;
using R = BusquedaSeleccion::Resultado;

ListaSeleccion Lista(const QList<QVariantList> &filas)
{
    ListaSeleccion l;
    QVector<QVector<QVariant>> f;
    for (const QVariantList &fila : filas)
        f.push_back(QVector<QVariant>(fila.begin(), fila.end()));
    l.PonFilas({"Cod", "Descripcion"}, f);
    return l;
}

class ListaLeida : public PruebaListas {};

// Well past what a lazily fetched model would hold: every row counted,
// the last one reachable and searchable.
TEST_F(ListaLeida, LeeTodasLasFilasYLasCuenta)
{
    AgregaUnidades(bd(), 1500);
    ListaSeleccion l;
    l.Carga(bd(), "SELECT Clues, DescUnidad FROM CATCLUES WHERE CEDOCVE = ? ORDER BY Clues", {"36"});
    EXPECT_EQ(QList<int>({l.Total(), l.Cantidad(), l.Ultimo()}), QList<int>({1500, 1500, 1}));
    EXPECT_EQ(l.TextoActual(0), "CLSSA001500");
    EXPECT_EQ(l.Filtra({{1, Coincide::Contiene, "número 1499"}}), 1);
    EXPECT_EQ(l.TextoActual(0), "CLSSA001499");
    EXPECT_EQ(l.Filtra({{0, Coincide::Empieza, "clssa0014"}}), 100);
    // The read finished: nothing holds the table.
    EXPECT_NO_THROW(bd().EjecutaAccion("DROP TABLE CATCLUES"));
    EXPECT_THROW(l.Carga(bd(), "SELECT * FROM CATCLUES"), ErrorBD);
}

TEST(ListaSeleccion, DescripcionSinDistinguirMayusculasNiAcentosPeroConÑ)
{
    ListaSeleccion l = Lista({{1, "PEÑA BLANCA"}, {2, "Peñuelas"}, {3, "PENAL"}, {4, "México"},
                              {5, "MEXICALI"}, {6, "Pingüino"}, {7, QVariant()}});
    struct Caso {
        QString texto;
        QList<int> codigos;
    };
    const QList<Caso> casos = {
        {"PEÑ", {1, 2}}, {"peñ", {1, 2}}, {"PEN", {3}}, {"MEXIC", {4, 5}}, {"méxico", {4}},
        {"GUI", {6}}, {"ÜI", {6}}, {"", {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Caso &c : casos) {
        l.Filtra({{1, Coincide::Contiene, c.texto}});
        QList<int> vistos;
        for (int f = 0; f < l.Cantidad(); ++f)
            vistos << l.Valor(f, 0).toInt();
        EXPECT_EQ(vistos, c.codigos) << c.texto.toStdString();
    }
}

TEST(ListaSeleccion, ClaveExactaComparaNumerosComoNumeros)
{
    ListaSeleccion l = Lista({{1, "UNO"}, {10, "DIEZ"}, {11, "ONCE"}});
    EXPECT_EQ(l.Filtra({{0, Coincide::Igual, "01"}}), 1);
    EXPECT_EQ(l.TextoActual(1), "UNO");
    EXPECT_EQ(QList<int>({l.Filtra({{0, Coincide::Igual, "A"}}), l.Actual()}), QList<int>({0, -1}));
    EXPECT_EQ(Lista({{"G", "GRATUIDAD"}, {"GX", "OTRA"}}).Filtra({{0, Coincide::Igual, "g"}}), 1);
}

TEST(ListaSeleccion, MovimientosAvisanEnLosExtremos)
{
    ListaSeleccion l = Lista({{1, "A"}, {2, "B"}, {3, "C"}});
    EXPECT_EQ(QList<int>({l.Anterior(), l.Actual(), l.Ultimo(), l.Siguiente(), l.Actual()}), QList<int>({0, 0, 1, 0, 2}));
    // Past the end after a type-ahead that found nothing.
    EXPECT_EQ(QList<int>({l.BuscaPrefijo(0, "7"), l.Actual(), l.TextoActual(0).isEmpty(), l.Anterior(), l.Actual()}),
              QList<int>({0, -1, 1, 1, 2}));
}

// The geographic and coded lists keep the filter when a box turns blank (the
// CLUES and ICD-10 lists drop it: their window tests show it).
TEST(BusquedaSeleccion, ReglasDeCajaVaciaYSinCoincidencia)
{
    ListaSeleccion l = Lista({{"01", "AGUASCALIENTES"}, {"09", "DISTRITO FEDERAL"}, {"15", "MÉXICO"},
                              {"16", "MICHOACÁN"}});
    const QVector<CajaBusqueda> cajas = {{0, "Estado", 2, 0, Coincide::Empieza, TeclasDigitos(), {}, 0, QString()},
                                         {1, "Descripción", 50, 1, Coincide::Contiene, TeclasDescripcion(), {}, 0, QString()}};
    BusquedaSeleccion geo(l, cajas, {});
    l.PonActual(3);
    // Result and rows left after each change; both boxes take part; a blank box keeps the filter.
    auto cambia = [&](int caja, const QString &t) { return QString("%1:%2").arg(int(geo.Cambia(caja, t))).arg(l.Cantidad()); };
    EXPECT_EQ(QStringList({cambia(0, "1"), cambia(1, "mich"), cambia(1, "")}),
              QStringList({QString("%1:2").arg(int(R::Filtrada)), QString("%1:1").arg(int(R::Filtrada)),
                           QString("%1:1").arg(int(R::Nada))}));
    l.PonActual(0);   // 16 MICHOACÁN
    EXPECT_EQ(cambia(0, "9"), QString("%1:4").arg(int(R::SinCoincidencia)));
    EXPECT_FALSE(l.Filtrada());
    EXPECT_EQ(l.TextoActual(0) + "|" + geo.Texto(0) + "|" + geo.Texto(1), "16||");   // back to the row current before
}

TEST(BusquedaSeleccion, TeclasDeCadaCaja)
{
    ListaSeleccion l;
    BusquedaSeleccion b(l,
                        {{0, "Estado", 2, 0, Coincide::Empieza, TeclasDigitos(), {}, 0, QString()},
                         {1, "Descripción", 50, 1, Coincide::Contiene, TeclasDescripcion(), {}, 0, QString()},
                         {2, "Clave", 10, 0, Coincide::Igual, QString(), "'", 0, QString()}},
                        {});
    struct Caso {
        int caja;
        QChar tecla;
        bool acepta;
        QChar queda;
    };
    const QList<Caso> casos = {
        {0, '7', true, '7'},       {0, 'a', false, 'a'},       {0, ' ', false, ' '},
        {1, 'a', true, 'A'},       {1, QChar(0xF1), true, QChar(0xD1)},   // ñ -> Ñ
        {1, ' ', true, ' '},       {1, '.', true, '.'},        {1, '%', false, '%'},
        {1, '\'', false, '\''},    {1, QChar(0x16), false, QChar(0x16)},  // Ctrl+V
        {0, QChar(8), true, QChar(8)},
        {2, 'x', true, 'X'},       {2, '\'', false, '\''},     {2, '%', true, '%'},
    };
    for (const Caso &c : casos) {
        QChar t = c.tecla;
        EXPECT_EQ(b.AceptaCaracter(c.caja, t), c.acepta) << c.caja << " " << c.tecla.unicode();
        if (c.acepta) {
            EXPECT_EQ(t, c.queda) << c.caja << " " << c.tecla.unicode();
        }
    }
}

} // namespace
