#include "tools/frmBitacora.h"

#include "lookups/VentanaSeleccion.h"
#include "shell/Contexto.h"
#include "tools/AvisoHerramienta.h"
#include "tools/Bitacora.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString TituloBitacora = QStringLiteral("Bitácora VELMORAN");

QTableView *CreaGrid(const QString &nombre, QWidget *padre)
{
    auto *grid = new QTableView(padre);
    grid->setObjectName(nombre);
    grid->setModel(new QStandardItemModel(grid));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    return grid;
}

void Muestra(QTableView *grid, const TablaBitacora &tabla)
{
    auto *modelo = static_cast<QStandardItemModel *>(grid->model());
    modelo->clear();
    modelo->setHorizontalHeaderLabels(tabla.columnas);
    for (const QStringList &fila : tabla.filas) {
        QList<QStandardItem *> celdas;
        for (const QString &valor : fila)
            celdas << new QStandardItem(valor);
        modelo->appendRow(celdas);
    }
    // Each column is as wide as its caption's letters at 180 twips each, and
    // wider where a value needs it: a path cut short cannot be read.
    for (int c = 0; c < tabla.columnas.size(); ++c) {
        grid->resizeColumnToContents(c);
        grid->setColumnWidth(c, qMax(grid->columnWidth(c), Twips(int(tabla.columnas[c].size()) * 180)));
    }
}
} // namespace

frmBitacora::frmBitacora(Contexto &ctx, QWidget *padre) : QDialog(padre), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmBitacora"));
    setWindowTitle(QStringLiteral("frmBitacora"));
    setModal(true);
    resize(920, 560);

    grdRespaldos = CreaGrid(QStringLiteral("grdRespaldos"), this);
    grdEnvios = CreaGrid(QStringLiteral("grdEnvios"), this);
    grdRecepciones = CreaGrid(QStringLiteral("grdRecepciones"), this);
    cmdLimpiar = new QPushButton(QStringLiteral("Borrar Bitácora"), this);
    cmdLimpiar->setObjectName(QStringLiteral("cmdLimpiar"));
    cmdCerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));

    auto *v = new QVBoxLayout(this);
    const std::pair<const char *, QTableView *> grids[3] = {
        {"Respaldos", grdRespaldos}, {"Envíos", grdEnvios}, {"Recepciones", grdRecepciones}};
    for (const auto &[titulo, grid] : grids) {
        v->addWidget(new QLabel(QString::fromUtf8(titulo), this));
        v->addWidget(grid, 1);
    }
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdLimpiar);
    botones->addWidget(cmdCerrar);
    v->addLayout(botones);

    // Enter closes: the log is emptied without a question, so only a deliberate click does it.
    cmdLimpiar->setAutoDefault(false);
    cmdCerrar->setDefault(true);
    connect(cmdLimpiar, &QPushButton::clicked, this, &frmBitacora::Limpiar);
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::close);
    CargaBitacora();
}

void frmBitacora::CargaBitacora()
{
    QVector<TablaBitacora> tablas;
    // A file that left its path is read nowhere: written back there first
    // (where nothing stands), it is read there.
    AvisoHerramienta aviso(ctx_);
    aviso.Vuelve();
    try {
        tablas = LeeBitacora(ctx_.ConexionBD);
    } catch (const ErrorBD &e) {
        aviso.Informa(QStringLiteral("No se pudo leer la Bitácora:\n\n") + e.Descripcion(), TituloBitacora);
        return;
    }
    Muestra(grdRespaldos, tablas[0]);
    Muestra(grdEnvios, tablas[1]);
    Muestra(grdRecepciones, tablas[2]);
}

void frmBitacora::Limpiar()
{
    // The file, if it left its path, is back there before the grids read it
    // again, and the log is emptied there.
    {
        AvisoHerramienta aviso(ctx_);
        try {
            aviso.EnSuRuta([this] { BorraBitacora(ctx_.ConexionBD); });
        } catch (const ErrorBD &e) {
            aviso.Informa(QStringLiteral("No se pudo borrar la Bitácora:\n\n") + e.Descripcion(), TituloBitacora);
        }
    }
    CargaBitacora();
}
