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

// Well past what a lazily fetched model would hold: every row counted,
// the last one reachable and searchable.
TEST_F(PruebaListas, LeeTodasLasFilasYLasCuenta)
{
    Transaccion t(bd());
    for (int i = 1; i <= 1500; ++i)
        p.Ejecuta("INSERT INTO CATCLUES (Clues, DescUnidad, CEDOCVE) VALUES (?, ?, '36')",
                  {QString("CLSSA%1").arg(i, 6, 10, QLatin1Char('0')), QString("UNIDAD NÚMERO %1").arg(i)});
    t.Confirma();
    ListaSeleccion l;
    l.Carga(bd(), "SELECT Clues, DescUnidad FROM CATCLUES WHERE CEDOCVE = ? ORDER BY Clues", {"36"});
    EXPECT_EQ(QList<int>({l.Total(), l.Cantidad(), l.Ultimo()}), QList<int>({1500, 1500, 1}));
    EXPECT_EQ(l.TextoActual(0), "CLSSA001500");
    EXPECT_EQ(l.Filtra({{1, Coincide::Contiene, "número 1499"}}), 1);
    EXPECT_EQ(l.Filtra({{0, Coincide::Empieza, "clssa0014"}}), 100);
    // The read finished: nothing holds the table.
    EXPECT_NO_THROW(bd().EjecutaAccion("DROP TABLE CATCLUES"));
}

// Each kind of stored value comes back as the lists compare it: numbers as
// numbers, NULL as an empty text, texts whole in any alphabet, a repeated
// short code the same text each time; a statement SQLite refuses says why.
TEST_F(PruebaListas, CadaClaseDeValorSeLeeComoSeGuardo)
{
    ListaSeleccion l;
    l.Carga(bd(), "SELECT 7 AS Entero, 2.5 AS Real, NULL AS Nulo, 'Ñ1' AS Corto, ? AS Largo "
                  "UNION ALL SELECT -1, 0.0, 'x', 'Ñ1', ''",
            {"MUNICIPIO DE PEÑÓN · ĀŞ 漢字"});
    ASSERT_EQ(l.Total(), 2);
    EXPECT_EQ(QStringList({l.NombreColumna(0), l.NombreColumna(1), l.NombreColumna(2), l.NombreColumna(3), l.NombreColumna(4)}),
              QStringList({"Entero", "Real", "Nulo", "Corto", "Largo"}));
    EXPECT_EQ(QList<int>({l.Valor(0, 0).typeId(), l.Valor(0, 1).typeId()}), QList<int>({QMetaType::LongLong, QMetaType::Double}));
    EXPECT_TRUE(l.Valor(0, 2).isNull());
    EXPECT_EQ(QStringList({l.Texto(0, 0), l.Texto(0, 1), l.Texto(0, 2), l.Texto(0, 3), l.Texto(0, 4), l.Texto(1, 3), l.Texto(1, 4)}),
              QStringList({"7", "2.5", "", "Ñ1", "MUNICIPIO DE PEÑÓN · ĀŞ 漢字", "Ñ1", ""}));
    EXPECT_EQ(l.Filtra({{0, Coincide::Igual, "-01"}}), 1);
    try {
        l.Carga(bd(), "SELECT * FROM NoEsTabla");
        FAIL() << "no se rehusó";
    } catch (const ErrorBD &e) {
        EXPECT_TRUE(e.Descripcion().contains("no such table: NoEsTabla")) << e.Descripcion().toStdString();
    }
}

// Short codes that differ in one byte or only in their length each read as
// stored, the same code coming back again after others; every row of one
// code shares one copy of its text.
TEST_F(PruebaListas, CodigosCortosSeDistinguenPorCadaByteYSuLargo)
{
    const QStringList codigos = {"0", "00", "", "000", "0000", "1", "10", "01", "Ñ", "ÑA", "ñ", "A", "a", "AÑ",
                                 "0", "ÑA", "", "0000", "1", "00000", "a"};
    QString sql;
    QVariantList valores;
    for (const QString &c : codigos) {
        sql += QString(sql.isEmpty() ? "SELECT ? AS Cod" : " UNION ALL SELECT ?");
        valores << c;
    }
    ListaSeleccion l;
    l.Carga(bd(), sql, valores);
    QStringList leidos;
    for (int f = 0; f < l.Total(); ++f)
        leidos << l.Texto(f, 0);
    EXPECT_EQ(leidos, codigos);
    EXPECT_TRUE(l.Texto(0, 0).isSharedWith(l.Texto(14, 0)));
    EXPECT_TRUE(l.Texto(9, 0).isSharedWith(l.Texto(15, 0)));
    EXPECT_TRUE(l.Texto(12, 0).isSharedWith(l.Texto(20, 0)));
}

TEST(ListaSeleccion, DescripcionSinDistinguirMayusculasNiAcentosPeroConÑ)
{
    ListaSeleccion l = Lista({{1, "PEÑA BLANCA"}, {2, "Peñuelas"}, {3, "PENAL"}, {4, "México"}, {5, "MEXICALI"}, {6, "Pingüino"}, {7, QVariant()}});
    const QList<QPair<QString, QString>> casos = {
        {"PEÑ", "1 2"}, {"peñ", "1 2"}, {"PEN", "3"}, {"MEXIC", "4 5"}, {"méxico", "4"}, {"ÜI", "6"}, {"", "1 2 3 4 5 6 7"}};
    for (const auto &c : casos) {
        l.Filtra({{1, Coincide::Contiene, c.first}});
        QStringList vistos;
        for (int f = 0; f < l.Cantidad(); ++f)
            vistos << l.Texto(f, 0);
        EXPECT_EQ(vistos.join(' '), c.second) << c.first.toStdString();
    }
}

TEST(ListaSeleccion, ClaveExactaComparaNumerosComoNumeros)
{
    ListaSeleccion l = Lista({{1, "UNO"}, {10, "DIEZ"}, {11, "ONCE"}});
    EXPECT_EQ(QList<int>({l.Filtra({{0, Coincide::Igual, "01"}}), l.Filtra({{0, Coincide::Igual, "A"}}), l.Actual()}), QList<int>({1, 0, -1}));
    EXPECT_EQ(Lista({{"G", "GRATUIDAD"}, {"GX", "OTRA"}}).Filtra({{0, Coincide::Igual, "g"}}), 1);
}

TEST(ListaSeleccion, MovimientosAvisanEnLosExtremos)
{
    ListaSeleccion l = Lista({{1, "A"}, {2, "B"}, {3, "C"}});
    EXPECT_EQ(QList<int>({l.Anterior(), l.Actual(), l.Ultimo(), l.Siguiente(), l.Actual()}), QList<int>({0, 0, 1, 0, 2}));
    // Past the end after a type-ahead that found nothing.
    EXPECT_EQ(QList<int>({l.BuscaPrefijo(0, "7"), l.Actual(), l.Anterior(), l.Actual()}), QList<int>({0, -1, 1, 2}));
}

// The geographic and coded lists keep the filter when a box turns blank; a
// search without match shows all again at the row current when it began.
TEST(BusquedaSeleccion, ReglasDeCajaVaciaYSinCoincidencia)
{
    ListaSeleccion l = Lista({{"01", "AGUASCALIENTES"}, {"09", "DISTRITO FEDERAL"}, {"15", "MÉXICO"}, {"16", "MICHOACÁN"}});
    BusquedaSeleccion geo(l, {{0, "Estado", 2, 0, Coincide::Empieza, {}, {}, 0, {}}, {1, "Descripción", 50, 1, Coincide::Contiene, {}, {}, 0, {}}}, {});
    auto cambia = [&](int caja, const QString &t) { return QString("%1:%2").arg(int(geo.Cambia(caja, t))).arg(l.Cantidad()); };
    EXPECT_EQ(QStringList({cambia(0, "1"), cambia(1, "mich"), cambia(1, "")}),
              QStringList({QString("%1:2").arg(int(R::Filtrada)), QString("%1:1").arg(int(R::Filtrada)), QString("%1:1").arg(int(R::Nada))}));
    EXPECT_EQ(cambia(0, "9"), QString("%1:4").arg(int(R::SinCoincidencia)));
    EXPECT_EQ(l.TextoActual(0) + "|" + geo.Texto(0) + "|" + geo.Texto(1), "16||");
}

TEST(BusquedaSeleccion, TeclasDeCadaCaja)
{
    ListaSeleccion l;
    BusquedaSeleccion b(l,
                        {{0, "Estado", 2, 0, Coincide::Empieza, TeclasDigitos(), {}, 0, {}},
                         {1, "Descripción", 50, 1, Coincide::Contiene, TeclasDescripcion(), {}, 0, {}},
                         {2, "Clave", 10, 0, Coincide::Igual, QString(), "'", 0, {}}},
                        {});
    // Box, key, what it leaves ('-': refused). ñ becomes Ñ; Ctrl+V (0x16) is refused, Backspace passes.
    const QList<std::tuple<int, QChar, QChar>> casos = {
        {0, '7', '7'}, {0, 'a', '-'}, {0, ' ', '-'}, {1, 'a', 'A'}, {1, QChar(0xF1), QChar(0xD1)}, {1, ' ', ' '}, {1, '.', '.'},
        {1, '%', '-'}, {1, '\'', '-'}, {1, QChar(0x16), '-'}, {0, QChar(8), QChar(8)}, {2, 'x', 'X'}, {2, '\'', '-'}, {2, '%', '%'}};
    for (auto [caja, tecla, queda] : casos) {
        QChar t = tecla;
        EXPECT_EQ(b.AceptaCaracter(caja, t) ? t : QChar('-'), queda) << caja << " " << tecla.unicode();
    }
}

} // namespace
