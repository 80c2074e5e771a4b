#pragma once

#include "platform/ReporteDefinicion.h"

#include <QPageLayout>
#include <QRectF>
#include <QSqlQuery>
#include <QVector>
#include <memory>

class BaseDatos;

// The rows a report prints, pulled one at a time so that a source never has
// to hold them all.
class FuenteFilas {
public:
    virtual ~FuenteFilas() = default;
    virtual QStringList Campos() const = 0;
    // The next row, its values in the order of Campos(); false at the end.
    virtual bool Siguiente(QVariantList &fila) = 0;
};

// Rows already in memory (small catalogs, tests).
class FuenteLista : public FuenteFilas {
public:
    FuenteLista(QStringList campos, QVector<QVariantList> filas) : campos_(std::move(campos)), filas_(std::move(filas)) {}
    QStringList Campos() const override { return campos_; }
    bool Siguiente(QVariantList &fila) override;

private:
    QStringList campos_;
    QVector<QVariantList> filas_;
    int siguiente_ = 0;
};

// Rows of a query read forward only; the statement comes from the code.
// Throws ErrorBD when it cannot run. The query is finished at its end.
class FuenteConsulta : public FuenteFilas {
public:
    FuenteConsulta(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {});
    QStringList Campos() const override { return campos_; }
    bool Siguiente(QVariantList &fila) override;

private:
    QSqlQuery q_;
    QStringList campos_;
};

// The page model: what each page shows, in points (1/72 inch) from the
// paper's top left corner, independent of the device it is painted on.
struct ElementoPagina {
    enum class Tipo : quint8 { Texto, Linea, Relleno };
    Tipo tipo = Tipo::Texto;
    quint8 fuente = 0;        // index into DocumentoReporte::fuentes
    Alineacion alineacion = Alineacion::Izquierda;
    QRectF caja;              // a line runs from the top left to the bottom right corner
    QString texto;
    QRgb color = 0;           // fill colour of a Relleno
};

struct PaginaReporte {
    QVector<ElementoPagina> elementos;
};

struct FuenteDocumento {
    QString familia;
    double puntos = 8;
    bool negrita = false;
};

struct DocumentoReporte {
    QString titulo;
    QPageLayout pagina;       // paper and orientation; no margins: the model places everything
    QVector<FuenteDocumento> fuentes;
    QVector<PaginaReporte> paginas;
};

// Lays a report out into pages: the definition, its named texts (p1..p8,
// formulas) and the rows. Throws ErrorReporte when the definition names a
// field the rows do not have, ErrorBD when the source fails.
//
// Row styles by level, suppressed repeated values, wrapped cells and a
// streaming (bounded memory) page model plug in here: the per-row steps are
// Maquetador's private members.
DocumentoReporte MaquetaReporte(const DefinicionReporte &def, const QMap<QString, QString> &textos,
                                FuenteFilas &filas, const QString &titulo);

// The line height of a style, in points, as the layout uses it.
double AltoLinea(const QString &familia, const EstiloReporte &estilo);
