#include "platform/DialogoArchivos.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>

namespace {
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

// SQLite's journals beside a database are never something to pick.
class SinDiarios : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

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
