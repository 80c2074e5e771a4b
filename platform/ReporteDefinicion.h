#pragma once

#include <QColor>
#include <QMap>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

// A report definition: the declarative file in Reportes/ (JSON) that says how
// the rows of a work table are printed. Lengths are in millimetres, font sizes
// in points. Texts may hold placeholders "{nombre}": the named texts handed to
// the report (p1 to p8, formulas such as lnTotal or Catalogo), "{pagina}" and
// "{paginas}", and in group texts the fields of the group's first row.
//
//   {
//     "pagina":   {"tamano": "carta" | "oficio", "orientacion": "vertical" | "horizontal",
//                  "margenes": [izquierdo, superior, derecho, inferior]},
//     "fuente":   "DejaVu Sans",
//     "estilos":  {"nombre": {"puntos": 8, "negrita": true, "fondo": "#D9D9D9"}, ...},
//     "encabezado": [{"texto": "{p2}{p1}", "estilo": "titulo", "alineacion": "centro",
//                     "omitirVacia": true}, ...],        every page, above the columns
//     "pie":      [{"texto": "Página {pagina} de {paginas}", "alineacion": "derecha"}],
//     "bandas":   [{"texto": "INTENCIONALIDAD", "desde": "Accidental", "hasta": "Trata"}],
//     "columnas": [{"campo": "Descripcion", "titulo": "AGENTE", "ancho": 60},
//                  {"campo": "Trata", "titulo": "TRATA", "ancho": 16, "alineacion": "derecha",
//                   "formato": "#,##0", "total": true},
//                  {"titulo": "TOTAL", "suma": ["Accidental", "Trata"], ...}],
//     "grupos":   [{"campo": "CodIntencionalidad", "encabezado": "{DescripcionInt}",
//                   "subtotal": "TOTAL {DescripcionInt}", "saltoPagina": false}],
//     "total":    "TOTAL",                                caption of the grand total row
//     "campoEstilo": "Estilo"                             a field naming each row's style
//   }
// A column may also say "suprimeRepetidos": true (blank when it repeats the
// row above in the same style) and "ajusta": true (long texts wrap).
//
// The styles "normal", "titulo", "columnas", "grupo" and "total" are always
// defined (a file may change them); a row, a caption or a line names others.

enum class Alineacion { Izquierda, Centro, Derecha };

struct EstiloReporte {
    double puntos = 8;
    bool negrita = false;
    QColor fondo;   // invalid: no fill
};

struct LineaReporte {
    QString texto;
    QString estilo = QStringLiteral("normal");
    Alineacion alineacion = Alineacion::Centro;
    bool omitirVacia = false;   // a line whose text comes out blank takes no room
};

struct BandaReporte {
    QString texto;
    QString desde, hasta;   // campo or titulo of the first and last column it spans
};

struct ColumnaReporte {
    QString campo;          // field of the row; empty for a computed column
    QString titulo;         // caption; "\n" breaks it into lines
    double ancho = 20;      // relative width in mm: the columns are scaled to the page
    Alineacion alineacion = Alineacion::Izquierda;
    QString formato;        // "" as it stands, "#,##0", "#,##0.00", "0.0", "0000000#"
    QStringList suma;       // computed column: the sum of these fields of the row
    bool total = false;     // summed in the subtotal and total rows
    bool suprimeRepetidos = false;   // blank when it repeats the row above (same style, same page)
    bool ajusta = false;    // a long text wraps onto more lines and the row grows
};

struct GrupoReporte {
    QString campo;          // a new group starts when this field changes
    QString encabezado;     // row above the group; empty: none
    QString subtotal;       // caption of the row below the group; empty: none
    bool saltoPagina = false;
};

struct DefinicionReporte {
    QPageSize::PageSizeId tamano = QPageSize::Letter;
    QPageLayout::Orientation orientacion = QPageLayout::Portrait;
    QMarginsF margenes{12, 12, 12, 12};
    QString fuente = QStringLiteral("DejaVu Sans");
    QMap<QString, EstiloReporte> estilos;
    QVector<LineaReporte> encabezado;
    QVector<LineaReporte> pie;
    QVector<BandaReporte> bandas;
    QVector<ColumnaReporte> columnas;
    QVector<GrupoReporte> grupos;
    QString total;          // caption of the grand total row; empty: none
    QString campoEstilo;    // field whose value names the row's style (by level); empty: "normal"

    // The style by name; an unknown name gives "normal".
    EstiloReporte Estilo(const QString &nombre) const;
};

// A report that cannot be produced: a missing or malformed definition, or a
// definition that asks for a field the data does not have.
class ErrorReporte : public std::runtime_error {
public:
    explicit ErrorReporte(const QString &texto) : std::runtime_error(texto.toStdString()), texto_(texto) {}
    QString Texto() const { return texto_; }

private:
    QString texto_;
};

// Reads a definition file; throws ErrorReporte naming the file and the fault.
DefinicionReporte CargaDefinicionReporte(const QString &ruta);
// The same from the file's contents (`origen` names it in messages).
DefinicionReporte LeeDefinicionReporte(const QByteArray &json, const QString &origen);

// A value as the column's format shows it: a null value is blank; a format
// with "," groups thousands with ","; the digits after "." are the decimals;
// the zeros before it the least number of digits. A value that is no number
// shows as it stands.
QString FormateaValor(const QVariant &valor, const QString &formato);

// Replaces every "{nombre}" by its text; unknown names give an empty text.
QString SustituyeMarcas(const QString &texto, const QMap<QString, QString> &valores);
