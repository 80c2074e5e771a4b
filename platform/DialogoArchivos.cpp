#include "platform/DialogoArchivos.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

QString DialogoArchivosQt::Guardar(const QString &titulo, const QString &carpeta, const QString &nombre,
                                   const QString &filtro)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), titulo, QDir(carpeta).filePath(nombre), filtro);
}

QString DialogoArchivosQt::Abrir(const QString &titulo, const QString &carpeta, const QString &filtro)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), titulo, carpeta, filtro);
}
