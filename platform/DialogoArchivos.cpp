#include "platform/DialogoArchivos.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMimeDatabase>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeView>

namespace {
QString TextoFecha(const QDateTime &fecha)
{
    return QLocale().toString(fecha, QLocale::ShortFormat);
}

QString TextoTamano(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes);
}

// Qt's provider asks QMimeDatabase for the type, which reads the file when its
// name does not settle it; this one goes by the name alone.
class IconosPorNombre : public QFileIconProvider {
public:
    IconosPorNombre() { setOptions(DontUseCustomDirectoryIcons); }
    QIcon icon(IconType tipo) const override { return QFileIconProvider::icon(tipo); }
    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QStringLiteral("Carpeta");
        return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment();
    }
};

// SQLite's journals beside a database are never something to pick. Sizes and
// dates read in the program's locale: the file system model writes them in
// the machine's.
class SinDiarios : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant data(const QModelIndex &indice, int rol) const override
    {
        const auto *archivos = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (rol != Qt::DisplayRole || !archivos || (indice.column() != 1 && indice.column() != 3))
            return QSortFilterProxyModel::data(indice, rol);
        const QModelIndex origen = mapToSource(indice);
        if (indice.column() == 3)
            return TextoFecha(archivos->lastModified(origen));
        return archivos->isDir(origen) ? QSortFilterProxyModel::data(indice, rol)
                                       : QVariant(TextoTamano(archivos->size(origen)));
    }

protected:
    bool filterAcceptsRow(int fila, const QModelIndex &padre) const override
    {
        static const QRegularExpression diario(QStringLiteral("-(wal|shm|journal)$"),
                                               QRegularExpression::CaseInsensitiveOption);
        const QModelIndex i = sourceModel()->index(fila, 0, padre);
        return !diario.match(i.data(QFileSystemModel::FileNameRole).toString()).hasMatch();
    }
};

// Qt's dialog takes a typed "*.pdf" for the name of a file. As in any file
// dialog, a name with a wildcard is a pattern: the listing shows what matches
// it (in the folder typed before it, if any) and the dialog stays open.
class DialogoConPatrones : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        auto *nombre = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString escrito = nombre ? nombre->text().trimmed() : QString();
        const int barra = escrito.lastIndexOf(QLatin1Char('/'));
        const QString patron = escrito.mid(barra + 1);
        if (!patron.contains(QLatin1Char('*')) && !patron.contains(QLatin1Char('?')))
            return QFileDialog::accept();
        if (barra >= 0)
            setDirectory(directory().absoluteFilePath(escrito.left(barra + 1)));
        if (filtros_.isEmpty())
            filtros_ = nameFilters();
        setNameFilters(QStringList{patron} + filtros_);
        nombre->setText(patron);
    }

private:
    QStringList filtros_;   // the caller's, offered after the pattern
};

// When the dialog is first shown, laid out at its size, it grows by what its
// list lacks to show every column whole, within the screen, and stays centred.
class AnchoAlMostrar : public QObject {
public:
    AnchoAlMostrar(QTreeView *lista, QWidget *dialogo) : QObject(dialogo), lista_(lista) {}

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (evento->type() != QEvent::Show || !lista_)
            return false;
        auto *dialogo = static_cast<QWidget *>(objeto);
        dialogo->removeEventFilter(this);
        const QHeaderView *cabecera = lista_->header();
        int columnas = 0;
        for (int c = 0; c < cabecera->count(); ++c)
            columnas += cabecera->isSectionHidden(c) ? 0 : cabecera->sectionSize(c);
        const int falta = columnas + lista_->verticalScrollBar()->sizeHint().width() + 2 * lista_->frameWidth()
                          - lista_->width();
        if (falta <= 0)
            return false;
        QRect marco = dialogo->geometry();
        int ancho = marco.width() + falta;
        if (const QScreen *pantalla = dialogo->screen())
            ancho = qMin(ancho, pantalla->availableGeometry().width());
        marco.setLeft(marco.left() - (ancho - marco.width()) / 2);
        marco.setWidth(ancho);
        if (const QScreen *pantalla = dialogo->screen())
            marco.moveLeft(qBound(pantalla->availableGeometry().left(), marco.left(),
                                  pantalla->availableGeometry().right() + 1 - ancho));
        dialogo->setGeometry(marco);
        return false;
    }

private:
    QPointer<QTreeView> lista_;
};

// Qt sizes the size, type and date columns for English texts and the dialog
// for no columns at all: each column is made wide enough for the longest text
// it can show here, and the dialog for the list's columns whole.
void AnchoParaColumnas(QFileDialog &dialogo, const QFileIconProvider &iconos)
{
    auto *lista = dialogo.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!lista)
        return;
    QHeaderView *cabecera = lista->header();
    const QFontMetrics fm(lista->font());
    // The room a cell and a header section take besides their text.
    const int celda = 2 * (lista->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lista) + 1) + 8;
    auto ajusta = [&](int columna, const QStringList &textos) {
        const QStyle *estilo = cabecera->style();
        int ancho = cabecera->fontMetrics().horizontalAdvance(
                        cabecera->model()->headerData(columna, Qt::Horizontal).toString())
                    + 2 * estilo->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecera)
                    + estilo->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, cabecera);
        for (const QString &t : textos)
            ancho = qMax(ancho, fm.horizontalAdvance(t) + celda);
        cabecera->resizeSection(columna, ancho);
    };
    QStringList tamanos;
    for (qint64 unidad = 1; unidad <= (qint64(1) << 40); unidad <<= 10)
        tamanos << TextoTamano(unidad * 1024 - 1) << TextoTamano(unidad * 1000 - 1);
    ajusta(1, tamanos);
    QStringList tipos = {iconos.type(QFileInfo(QDir::tempPath()))};
    for (const char *nombre : {"a.db", "a.zip", "a.pdf", "a.xlsx", "a.dbf", "a.sql", "a.txt", "a"})
        tipos << iconos.type(QFileInfo(QDir::temp().filePath(QString::fromLatin1(nombre))));
    ajusta(2, tipos);
    ajusta(3, {TextoFecha(QDateTime(QDate(2028, 12, 28), QTime(23, 58, 58)))});

    dialogo.installEventFilter(new AnchoAlMostrar(lista, &dialogo));
}
} // namespace

QString DialogoArchivosQt::Muestra(bool guardar, const QString &titulo, const QString &ruta, const QString &filtro,
                                  bool confirmaReemplazo)
{
    IconosPorNombre iconos;
    // The dialog starts listing its folder as soon as it exists, with Qt's
    // provider: it is born over an empty folder and moved once ours is set.
    const QTemporaryDir vacia;
    DialogoConPatrones dialogo(padre_ ? padre_ : QApplication::activeWindow(), titulo, vacia.path(), filtro);
    dialogo.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontUseCustomDirectoryIcons
                       | (confirmaReemplazo ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite));
    dialogo.setIconProvider(&iconos);
    dialogo.setProxyModel(new SinDiarios(&dialogo));
    AnchoParaColumnas(dialogo, iconos);
    dialogo.setDirectory(guardar ? QFileInfo(ruta).absolutePath() : ruta);
    dialogo.setAcceptMode(guardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialogo.setFileMode(guardar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!sufijo_.isEmpty())
        dialogo.setDefaultSuffix(sufijo_);
    if (guardar)
        dialogo.selectFile(ruta);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}

QString DialogoArchivosQt::Guardar(const QString &titulo, const QString &carpeta, const QString &nombre,
                                   const QString &filtro)
{
    return Muestra(true, titulo, QDir(carpeta).filePath(nombre), filtro);
}

QString DialogoArchivosQt::Abrir(const QString &titulo, const QString &carpeta, const QString &filtro)
{
    return Muestra(false, titulo, carpeta, filtro);
}

QString DialogoArchivosQt::GuardarSinConfirmar(const QString &titulo, const QString &carpeta, const QString &nombre,
                                               const QString &filtro)
{
    return Muestra(true, titulo, QDir(carpeta).filePath(nombre), filtro, false);
}
