#include "queries/ModeloTablaTrabajo.h"

#include "platform/BaseDatos.h"
#include "queries/TablaTrabajo.h"

#include <QDate>
#include <algorithm>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {
constexpr int PaginasGuardadas = 16;
}

ModeloTablaTrabajo::ModeloTablaTrabajo(const BaseDatos &bd, QObject *padre) : QAbstractTableModel(padre), bd_(bd)
{
}

ModeloTablaTrabajo::~ModeloTablaTrabajo()
{
    Finaliza();   // before the source's resources go with the members
}

void ModeloTablaTrabajo::Finaliza()
{
    sqlite3_finalize(lee_);
    lee_ = nullptr;
}

QVector<qint64> ModeloTablaTrabajo::Claves(const QString &sql) const
{
    QVector<qint64> claves;
    QSqlQuery q = bd_.Ejecuta(sql, fuente_.valores);
    while (q.next())
        claves << q.value(0).toLongLong();
    return claves;
}

void ModeloTablaTrabajo::Carga(const LecturaFilas &fuente)
{
    beginResetModel();
    Finaliza();
    fuente_ = fuente;
    filas_.clear();
    paginas_.clear();
    usadas_.clear();
    try {
        filas_ = Claves(fuente.filas);
        crecen_ = std::is_sorted(filas_.begin(), filas_.end());
        const QByteArray sql = fuente.fila.toUtf8();
        sqlite3 *db = bd_.Manejador();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &lee_, nullptr) != SQLITE_OK)
            throw ErrorBD::DeManejador(db);
    } catch (...) {
        Finaliza();
        filas_.clear();
        fuente_ = {};
        endResetModel();
        throw;
    }
    endResetModel();
}

void ModeloTablaTrabajo::Cierra()
{
    beginResetModel();
    Finaliza();
    fuente_ = {};
    filas_.clear();
    paginas_.clear();
    usadas_.clear();
    endResetModel();
}

int ModeloTablaTrabajo::rowCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : int(filas_.size());
}

int ModeloTablaTrabajo::columnCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : int(fuente_.nombres.size());
}

const QVector<QVariant> &ModeloTablaTrabajo::Pagina(int pagina) const
{
    auto it = paginas_.find(pagina);
    if (it != paginas_.end()) {
        usadas_.removeOne(pagina);
        usadas_ << pagina;
        return *it;
    }
    if (usadas_.size() >= PaginasGuardadas)
        paginas_.remove(usadas_.takeFirst());
    QVector<QVariant> valores;
    const int columnas = int(fuente_.nombres.size());
    const int desde = pagina * FilasPagina;
    const int hasta = qMin(int(filas_.size()), desde + FilasPagina);
    valores.reserve((hasta - desde) * columnas);
    leidas_ += qMax(0, hasta - desde);
    for (int f = desde; f < hasta; ++f) {
        sqlite3_bind_int64(lee_, 1, filas_.at(f));
        const bool hay = lee_ && sqlite3_step(lee_) == SQLITE_ROW;
        for (int c = 0; c < columnas; ++c) {
            QVariant v;
            if (hay) {
                switch (sqlite3_column_type(lee_, c)) {
                case SQLITE_INTEGER: v = qlonglong(sqlite3_column_int64(lee_, c)); break;
                case SQLITE_FLOAT: v = sqlite3_column_double(lee_, c); break;
                case SQLITE_NULL: break;
                default: v = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(lee_, c)));
                }
            }
            valores << v;
        }
        sqlite3_reset(lee_);
    }
    usadas_ << pagina;
    return *paginas_.insert(pagina, valores);
}

QVariant ModeloTablaTrabajo::Valor(int fila, int columna) const
{
    // A grid repainted while a table is being built shows blanks for what it has not read.
    const int pagina = fila / FilasPagina;
    if (fila < 0 || fila >= filas_.size() || columna < 0 || columna >= fuente_.nombres.size()
        || (TablaTrabajo::Construyendo() && !paginas_.contains(pagina)))
        return {};
    return Pagina(pagina).value((fila % FilasPagina) * fuente_.nombres.size() + columna);
}

QVariant ModeloTablaTrabajo::data(const QModelIndex &indice, int rol) const
{
    if (rol != Qt::DisplayRole || !indice.isValid())
        return {};
    const QVariant v = Valor(indice.row(), indice.column());
    if (fuente_.fechas.value(indice.column())) {
        const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
        if (d.isValid())
            return d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    return v;
}

QVariant ModeloTablaTrabajo::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (rol != Qt::DisplayRole)
        return {};
    if (orientacion == Qt::Horizontal)
        return fuente_.nombres.value(seccion);
    return seccion + 1;
}

void ModeloTablaTrabajo::sort(int columna, Qt::SortOrder)
{
    if (columna < 0 || columna >= fuente_.nombres.size())
        return;
    QVector<qint64> filas;
    try {
        filas = Claves((crecen_ || fuente_.ordenesPorClave.isEmpty() ? fuente_.ordenes : fuente_.ordenesPorClave).value(columna));
    } catch (const ErrorBD &) {
        return;   // the rows keep the order they had
    }
    emit layoutAboutToBeChanged();
    filas_.swap(filas);
    paginas_.clear();
    usadas_.clear();
    emit layoutChanged();
}
