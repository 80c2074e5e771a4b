#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVector>

class BaseDatos;
struct sqlite3_stmt;

// The grid model of the result view and the table view: the rows of a work
// table read a page at a time as the grid shows them, so that a million rows
// cost their row numbers, not their values. Sorting by a column orders the row
// numbers in the database.
class ModeloTablaTrabajo : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloTablaTrabajo(const BaseDatos &bd, QObject *padre = nullptr);
    ~ModeloTablaTrabajo() override;

    // Shows the rows of that work table in its own order; throws ErrorBD.
    void Carga(const QString &tabla);
    // Lets the table go (a statement left open would keep it from being dropped).
    void Cierra();

    int rowCount(const QModelIndex &padre = {}) const override;
    int columnCount(const QModelIndex &padre = {}) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    // Ascending by that column, ties in the table's order; the direction asked is not used.
    void sort(int columna, Qt::SortOrder orden = Qt::AscendingOrder) override;

    QString Nombre(int columna) const { return nombres_.value(columna); }
    // The stored value (dates as yyyy-MM-dd); invalid for a null.
    QVariant Valor(int fila, int columna) const;

private:
    static constexpr int FilasPagina = 128;
    const QVector<QVariant> &Pagina(int pagina) const;
    void Finaliza();

    const BaseDatos &bd_;
    QString tabla_;
    QStringList nombres_;
    QVector<bool> fechas_;
    QVector<qint64> filas_;   // rowids in the order shown
    sqlite3_stmt *lee_ = nullptr;
    mutable QHash<int, QVector<QVariant>> paginas_;
    mutable QList<int> usadas_;   // most recent last
};
