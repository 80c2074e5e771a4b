#include "comun/ImprimeQt.h"
#include "platform/ReportePintor.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const char *const Definicion = R"({
  "pagina": {"tamano": "carta", "orientacion": "vertical", "margenes": [10, 10, 10, 10]},
  "columnas": [{"campo": "nombre", "titulo": "NOMBRE", "ancho": 60},
               {"campo": "a", "titulo": "A", "ancho": 20, "alineacion": "derecha", "formato": "#,##0", "total": true},
               {"titulo": "TOTAL", "suma": ["a", "b"], "ancho": 20, "alineacion": "derecha", "formato": "#,##0", "total": true}],
  "grupos": [{"campo": "grupo", "encabezado": "GRUPO {grupo}", "subtotal": "SUMA {grupo}"}],
  "total": "TOTAL GENERAL"
})";

QStringList Textos(const PaginaReporte &p)
{
    QStringList t;
    for (const ElementoPagina &e : p.elementos)
        if (e.tipo == ElementoPagina::Tipo::Texto)
            t << e.texto;
    return t;
}

} // namespace

// Groups of 40 and 80 rows (a = 1000, b = 1) over pages that break within the second.
TEST(Reporte, PaginasConEncabezadoGruposSubtotalesYTotal)
{
    QVector<QVariantList> filas;
    for (int i = 0; i < 120; ++i)
        filas.append({i < 40 ? "X" : "Y", QStringLiteral("FILA %1").arg(i), 1000, 1});
    FuenteLista fuente({"grupo", "nombre", "a", "b"}, filas);
    const DocumentoReporte doc = MaquetaReporte(LeeDefinicionReporte(Definicion, "prueba"), {}, fuente, "Lista");
    ASSERT_GE(doc.Paginas(), 2);
    QStringList todo;
    for (int i = 0; i < doc.Paginas(); ++i) {
        const QStringList t = Textos(doc.Pagina(i));
        // every page names the group of its first row above that row
        const int fila = int(t.indexOf(QRegularExpression("FILA .*")));
        const int grupo = int(t.indexOf(t[fila].mid(5).toInt() < 40 ? "GRUPO X" : "GRUPO Y"));
        EXPECT_TRUE(grupo >= 0 && grupo < fila) << i;
        todo << t;
    }
    const QString unido = todo.join('|');
    EXPECT_TRUE(unido.contains("GRUPO X|FILA 0|1,000|1,001|"));
    EXPECT_TRUE(unido.contains("FILA 39|1,000|1,001|SUMA X|40,000|40,040|GRUPO Y|FILA 40|"));
    EXPECT_TRUE(unido.endsWith("FILA 119|1,000|1,001|SUMA Y|80,000|80,080|TOTAL GENERAL|120,000|120,120"));
}

TEST(Reporte, DefinicionesInvalidasSeExplican)
{
    FuenteLista sinCampo({"grupo", "nombre", "a"}, {});
    try {
        MaquetaReporte(LeeDefinicionReporte(Definicion, "prueba"), {}, sinCampo, "x");
        ADD_FAILURE();
    } catch (const ErrorReporte &e) {
        EXPECT_EQ(e.Texto(), "El reporte pide el campo b (TOTAL), que sus datos no tienen");
    }
}

// A row's style comes from its data; a value repeated below a plain row is
// left blank, but not on a new page.
TEST(Reporte, EstiloPorFilaYRepetidosEnBlancoSalvoEnPaginaNueva)
{
    const DefinicionReporte def = LeeDefinicionReporte(R"({"estilos": {"fuerte": {"negrita": true}}, "campoEstilo": "estilo",
      "columnas": [{"campo": "clave", "titulo": "CLAVE", "ancho": 20, "suprimeRepetidos": true}]})", "prueba");
    QVector<QVariantList> filas(200, {"A", ""});
    filas[0] = {"A", "fuerte"};
    FuenteLista fuente({"clave", "estilo"}, filas);
    const DocumentoReporte doc = MaquetaReporte(def, {}, fuente, "x");
    QStringList celdas;
    for (const ElementoPagina &e : doc.Pagina(0).elementos)
        if (e.tipo == ElementoPagina::Tipo::Texto)
            celdas << e.texto + (doc.fuentes[e.fuente].negrita ? "*" : "");
    EXPECT_EQ(celdas, QStringList({"CLAVE*", "A*", "A"}));
    ASSERT_GE(doc.Paginas(), 2);
    EXPECT_EQ(Textos(doc.Pagina(1)), QStringList({"CLAVE", "A"}));
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
    }
}

