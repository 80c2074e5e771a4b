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

// The pages are kept encoded (a few bytes per element, texts in UTF-8), so
// that a document of thousands of pages stays small; a page is decoded only
// while it is painted or read. "{pagina}" and "{paginas}" in the header and
// footer lines are filled in as a page is decoded, once the count is known.
class DocumentoReporte {
public:
    QString titulo;
    QPageLayout pagina;       // paper and orientation; no margins: the model places everything
    QVector<FuenteDocumento> fuentes;

    int Paginas() const { return int(paginas_.size()); }
    PaginaReporte Pagina(int i) const;
    // Adds a page; `numerados` marks the elements whose texts carry page numbers.
    void AgregaPagina(const PaginaReporte &p, const QVector<int> &numerados = {});
    // Bytes held by the encoded pages.
    qint64 Bytes() const;

private:
    QVector<QByteArray> paginas_;
};

// Lays a report out into pages: the definition, its named texts (p1..p8,
// formulas) and the rows. Throws ErrorReporte when the definition names a
// field the rows do not have, ErrorBD when the source fails.
//
DocumentoReporte MaquetaReporte(const DefinicionReporte &def, const QMap<QString, QString> &textos,
                                FuenteFilas &filas, const QString &titulo);
