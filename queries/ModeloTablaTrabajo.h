#pragma once

#include "queries/TablaTrabajo.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVector>

class BaseDatos;
struct sqlite3_stmt;

// The grid model of the result view and the table view: the rows of a source
// read a page at a time as the grid shows them, so that a million rows cost
// their keys, not their values. Sorting by a column orders the keys in the database.
class ModeloTablaTrabajo : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloTablaTrabajo(const BaseDatos &bd, QObject *padre = nullptr);
    ~ModeloTablaTrabajo() override;

    // Shows the rows of the source in its order; throws ErrorBD.
    void Carga(const LecturaFilas &fuente);
    // Lets the source go (a statement left open would keep a table from being dropped).
    void Cierra();

    int rowCount(const QModelIndex &padre = {}) const override;
    int columnCount(const QModelIndex &padre = {}) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    // Ascending by that column, ties in the table's order; the direction asked is not used.
    void sort(int columna, Qt::SortOrder orden = Qt::AscendingOrder) override;

    QString Nombre(int columna) const { return fuente_.nombres.value(columna); }
    // The stored value (dates as yyyy-MM-dd); invalid for a null.
    QVariant Valor(int fila, int columna) const;
    // Rows read from the database so far: a grid in sight reads a few pages.
    qint64 FilasLeidas() const { return leidas_; }

private:
    static constexpr int FilasPagina = 128;
    const QVector<QVariant> &Pagina(int pagina) const;
    void Finaliza();

    // The keys of `sql`, in its order.
    QVector<qint64> Claves(const QString &sql) const;

    const BaseDatos &bd_;
    LecturaFilas fuente_;
    QVector<qint64> filas_;   // keys in the order shown
    bool crecen_ = false;     // the keys rose in the source's first order
    sqlite3_stmt *lee_ = nullptr;
    mutable QHash<int, QVector<QVariant>> paginas_;
    mutable QList<int> usadas_;   // most recent last
    mutable qint64 leidas_ = 0;
};
