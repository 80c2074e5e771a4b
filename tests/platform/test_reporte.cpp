#include "comun/ImprimeQt.h"
#include "platform/ReportePintor.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct CasoFormato {
    QVariant valor;
    const char *formato;
    const char *esperado;
};

const char *const Definicion = R"({
  "pagina": {"tamano": "carta", "orientacion": "vertical", "margenes": [10, 10, 10, 10]},
  "encabezado": [{"texto": "LISTA{p1}", "estilo": "titulo"},
                 {"texto": "{p3}", "omitirVacia": true}],
  "pie": [{"texto": "Página {pagina} de {paginas}", "alineacion": "derecha"}],
  "bandas": [{"texto": "CUENTAS", "desde": "a", "hasta": "TOTAL"}],
  "columnas": [{"campo": "nombre", "titulo": "NOMBRE", "ancho": 60},
               {"campo": "a", "titulo": "A", "ancho": 20, "alineacion": "derecha", "formato": "#,##0", "total": true},
               {"titulo": "TOTAL", "suma": ["a", "b"], "ancho": 20, "alineacion": "derecha", "formato": "#,##0", "total": true}],
  "grupos": [{"campo": "grupo", "encabezado": "GRUPO {grupo}", "subtotal": "SUMA {grupo}"}],
  "total": "TOTAL GENERAL"
})";

// Two groups of 60 rows: a = 1000 each, b = 1.
FuenteLista Filas()
{
    QVector<QVariantList> filas;
    for (int i = 0; i < 120; ++i)
        filas.append({i < 60 ? "X" : "Y", QStringLiteral("FILA %1").arg(i), 1000, 1});
    return FuenteLista({"grupo", "nombre", "a", "b"}, filas);
}

QStringList Textos(const PaginaReporte &p)
{
    QStringList t;
    for (const ElementoPagina &e : p.elementos)
        if (e.tipo == ElementoPagina::Tipo::Texto)
            t << e.texto;
    return t;
}

} // namespace

TEST(Reporte, FormateaValores)
{
    const CasoFormato casos[] = {
        {1234567, "#,##0", "1,234,567"}, {0, "#,##0", "0"}, {-1500, "#,##0", "-1,500"},
        {100.0 / 3, "0.00", "33.33"}, {2.0 / 3, "#,##0.0", "0.7"}, {5, "0000000#", "0000005"},
        {QVariant(), "#,##0", ""}, {"ABC", "#,##0", "ABC"}, {"  texto", "", "  texto"},
    };
    for (const CasoFormato &c : casos)
        EXPECT_EQ(FormateaValor(c.valor, c.formato), c.esperado) << c.esperado;
}

TEST(Reporte, SustituyeMarcasConocidasYVaciaLasDemas)
{
    EXPECT_EQ(SustituyeMarcas("{p2}{p1} - {nada}{", {{"p1", " POR X"}, {"p2", "TITULO"}}), "TITULO POR X - {");
}

TEST(Reporte, PaginasConEncabezadoGruposSubtotalesYTotal)
{
    const DefinicionReporte def = LeeDefinicionReporte(Definicion, "prueba");
    FuenteLista filas = Filas();
    const DocumentoReporte doc = MaquetaReporte(def, {{"p1", " POR LUGAR"}, {"p3", ""}}, filas, "Lista");
    ASSERT_GE(doc.Paginas(), 3);
    const QString deN = QStringLiteral(" de %1").arg(doc.Paginas());
    for (int i = 0; i < doc.Paginas(); ++i) {
        const QStringList t = Textos(doc.Pagina(i));
        EXPECT_EQ(t.mid(0, 3), QStringList({"LISTA POR LUGAR", QStringLiteral("Página %1").arg(i + 1) + deN, "CUENTAS"}));
        EXPECT_TRUE(t.contains("NOMBRE") && t.contains("TOTAL"));
        // every page names the group of its first row above that row
        const int fila = int(t.indexOf(QRegularExpression("FILA .*")));
        const int grupo = int(t.indexOf(t[fila].mid(5).toInt() < 60 ? "GRUPO X" : "GRUPO Y"));
        EXPECT_TRUE(grupo >= 0 && grupo < fila) << i;
    }
    QStringList todo;
    for (int i = 0; i < doc.Paginas(); ++i)
        todo << Textos(doc.Pagina(i));
    const QString unido = todo.join('|');
    EXPECT_TRUE(unido.contains("GRUPO X|FILA 0|1,000|1,001|"));
    EXPECT_TRUE(unido.contains("FILA 59|1,000|1,001|SUMA X|60,000|60,060|GRUPO Y|FILA 60|"));
    EXPECT_TRUE(unido.endsWith("FILA 119|1,000|1,001|SUMA Y|60,000|60,060|TOTAL GENERAL|120,000|120,120"));
}

TEST(Reporte, SaltoDePaginaPorGrupo)
{
    DefinicionReporte def = LeeDefinicionReporte(Definicion, "prueba");
    def.grupos[0].saltoPagina = true;
    FuenteLista pocas({"grupo", "nombre", "a", "b"}, {{"X", "UNO", 1, 1}, {"Y", "DOS", 2, 2}});
    const DocumentoReporte doc = MaquetaReporte(def, {}, pocas, "Lista");
    ASSERT_EQ(doc.Paginas(), 2);
    EXPECT_TRUE(Textos(doc.Pagina(1)).contains("GRUPO Y"));
}

TEST(Reporte, DefinicionesInvalidasSeExplican)
{
    FuenteLista sinCampo({"grupo", "nombre", "a"}, {});
    EXPECT_THROW(
        {
            try {
                MaquetaReporte(LeeDefinicionReporte(Definicion, "prueba"), {}, sinCampo, "x");
            } catch (const ErrorReporte &e) {
                EXPECT_EQ(e.Texto(), "El reporte pide el campo b (TOTAL), que sus datos no tienen");
                throw;
            }
        },
        ErrorReporte);
    EXPECT_THROW(LeeDefinicionReporte("{\"columnas\": [", "roto.json"), ErrorReporte);
    EXPECT_THROW(LeeDefinicionReporte(R"({"columnas": [{"campo": "a"}], "pagina": {"tamano": "A9"}})", "x"), ErrorReporte);
    EXPECT_THROW(CargaDefinicionReporte("/no/existe.json"), ErrorReporte);
}

TEST(Reporte, EstiloPorFilaRepetidosEnBlancoYCeldasAjustadas)
{
    const DefinicionReporte def = LeeDefinicionReporte(R"({
      "estilos": {"fuerte": {"negrita": true}},
      "columnas": [{"campo": "clave", "titulo": "CLAVE", "ancho": 20, "suprimeRepetidos": true},
                   {"campo": "nombre", "titulo": "NOMBRE", "ancho": 30, "ajusta": true}],
      "campoEstilo": "estilo"})", "prueba");
    const QString largo = QString("PALABRA ").repeated(12).trimmed();
    QVector<QVariantList> filas{{"A", "uno", "fuerte"}, {"A", "dos", ""}, {"A", "tres", ""}};
    for (int i = 0; i < 80; ++i)
        filas.append({"A", largo, ""});
    FuenteLista fuente({"clave", "nombre", "estilo"}, filas);
    const DocumentoReporte doc = MaquetaReporte(def, {}, fuente, "x");
    ASSERT_GE(doc.Paginas(), 2);
    QStringList celdas;
    QList<int> fuentes;
    for (const ElementoPagina &e : doc.Pagina(0).elementos)
        if (e.tipo == ElementoPagina::Tipo::Texto) {
            celdas << e.texto;
            fuentes << e.fuente;
        }
    // The styled row shows its value; the next plain row shows it again, the third leaves it blank.
    EXPECT_EQ(celdas.mid(2, 5), QStringList({"A", "uno", "A", "dos", "tres"}));
    EXPECT_TRUE(doc.fuentes[fuentes[2]].negrita);
    EXPECT_FALSE(doc.fuentes[fuentes[4]].negrita);
    EXPECT_GT(celdas[7].count('\n'), 0);
    EXPECT_EQ(QString(celdas[7]).replace('\n', ' '), largo);
    // A new page shows the value again.
    EXPECT_EQ(Textos(doc.Pagina(1)).value(2), "A");
}

// Seven-digit counts in every field and every row style of every definition:
// each text (numbers, captions, headings) fits its box as a 600 dpi device
// measures it, so the painter cuts none.
TEST(Reporte, CifrasDeSieteDigitosYTitulosCabenEnCadaDefinicion)
{
    QImage lienzo(1, 1, QImage::Format_RGB32);
    lienzo.setDotsPerMeterX(qRound(600 / 0.0254));
    lienzo.setDotsPerMeterY(qRound(600 / 0.0254));
    const QDir dir(VELMORAN_DEFINICIONES);
    ASSERT_EQ(dir.entryList({"*.json"}).size(), 20);
    for (const QString &archivo : dir.entryList({"*.json"})) {
        const DefinicionReporte def = CargaDefinicionReporte(dir.filePath(archivo));
        QStringList campos;
        for (const ColumnaReporte &c : def.columnas)
            campos << (c.suma.isEmpty() ? QStringList{c.campo} : c.suma);
        for (const GrupoReporte &g : def.grupos)
            campos << g.campo;
        campos << def.campoEstilo;
        campos.removeDuplicates();
        QVector<QVariantList> filas;
        for (const QString &estilo : def.estilos.keys()) {
            QVariantList fila;
            for (const QString &campo : campos)
                fila << (campo == def.campoEstilo ? QVariant(estilo) : QVariant(9999999));
            filas << fila;
        }
        FuenteLista fuente(campos, filas);
        const DocumentoReporte doc = MaquetaReporte(def, {}, fuente, archivo);
        for (const ElementoPagina &e : doc.Pagina(0).elementos) {
            if (e.tipo != ElementoPagina::Tipo::Texto)
                continue;
            const FuenteDocumento &f = doc.fuentes[e.fuente];
            QFont q(f.familia);
            q.setPointSizeF(f.puntos);
            q.setBold(f.negrita);
            for (const QString &linea : e.texto.split('\n'))
                EXPECT_LE(QFontMetricsF(q, &lienzo).horizontalAdvance(linea) * 72 / 600, e.caja.width())
                    << archivo.toStdString() << ": " << linea.toStdString();
        }
        if (qEnvironmentVariableIsSet("VELMORAN_CAPTURAS"))
            GuardaPdf(doc, qEnvironmentVariable("VELMORAN_CAPTURAS") + "/" + archivo + ".pdf");
    }
}

