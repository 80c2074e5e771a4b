#include "platform/IdiomaQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <cstring>

namespace {

struct Texto {
    const char *contexto;
    const char *fuente;
    const char *desambiguacion;   // nullptr: any
    const char *espanol;
};

const Texto Textos[] = {
    // Missing from the catalogue.
    {"QPrintSettingsOutput", "Pages", nullptr, "Páginas"},
    {"QPrintSettingsOutput", "Double Sided Printing", nullptr, "Impresión a doble cara"},
    {"QPrintSettingsOutput", "Off", nullptr, "Desactivada"},
    {"QPrintSettingsOutput", "Long side binding", nullptr, "Encuadernación por el lado largo"},
    {"QPrintSettingsOutput", "Short side binding", nullptr, "Encuadernación por el lado corto"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
     "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     nullptr,
     "Indique páginas o intervalos separados por comas. Un intervalo son dos números separados por un guion. "
     "Por ejemplo: 3,5-7,9 imprime las páginas 3, 5, 6, 7 y 9."},
    {"QPrintPropertiesWidget", "Advanced", nullptr, "Avanzadas"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.", nullptr,
     "Hay opciones en conflicto. Corríjalas, por favor."},
    {"QPrintPropertiesDialog", "Page Setup Conflicts", nullptr, "Conflictos en la configuración de página"},
    {"QPrintPropertiesDialog", "There are conflicts in page setup options. Do you want to fix them?", nullptr,
     "Hay opciones de la configuración de página en conflicto. ¿Desea corregirlas?"},
    {"QPrintPropertiesDialog", "Advanced Option Conflicts", nullptr, "Conflictos en las opciones avanzadas"},
    {"QPrintPropertiesDialog", "There are conflicts in some advanced options. Do you want to fix them?", nullptr,
     "Hay opciones avanzadas en conflicto. ¿Desea corregirlas?"},
    {"QPrintDialog", "Invalid Pages Definition", nullptr, "Lista de páginas no válida"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges "
     "and make sure ranges do not intersect with each other.",
     nullptr,
     "%1 no está bien escrito. Separe páginas e intervalos con ',', marque los intervalos con '-' y cuide "
     "que los intervalos no se encimen."},
    {"QPrintDialog", "Duplex Settings Conflicts", nullptr, "Conflictos en la impresión a doble cara"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?", nullptr,
     "Hay opciones de la impresión a doble cara en conflicto. ¿Desea corregirlas?"},
    {"QPrintDialog",
     "Options 'Pages Per Sheet' and 'Page Set' cannot be used together.\nPlease turn one of those options off.",
     nullptr,
     "Las opciones 'Páginas por hoja' y 'Set de páginas' no pueden usarse juntas.\nDesactive una de ellas."},
    {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.", nullptr,
     "%1 es una carpeta.\nElija otro nombre de archivo."},
    {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.", nullptr,
     "No se puede escribir el archivo %1.\nElija otro nombre de archivo."},
    {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?", nullptr,
     "%1 ya existe.\n¿Desea reemplazarlo?"},
    {"QCupsJobWidget", "Banner page at start", nullptr, "Página de portada al inicio"},
    {"QCupsJobWidget", "Banner page at end", nullptr, "Página de portada al final"},
    {"QAbstractFileIconProvider", "Folder", nullptr, "Carpeta"},
    {"QAbstractFileIconProvider", "Drive", nullptr, "Unidad"},
    // Wrong in the catalogue.
    {"QFileDialog", "Go to the parent directory", nullptr, "Ir al directorio superior"},
    {"QPageSize", "Architect D", nullptr, "Arquitecto D"},
};

} // namespace

QString TextosQt::translate(const char *contexto, const char *fuente, const char *desambiguacion, int) const
{
    if (!contexto || !fuente)
        return {};
    for (const Texto &t : Textos)
        if (std::strcmp(t.contexto, contexto) == 0 && std::strcmp(t.fuente, fuente) == 0
            && (!t.desambiguacion || (desambiguacion && std::strcmp(t.desambiguacion, desambiguacion) == 0)))
            return QString::fromUtf8(t.espanol);
    return {};
}

void PreparaIdiomaQt()
{
    // Qt's widgets take the default locale; the file system model takes the
    // machine's, which the file dialog mends (see DialogoArchivos).
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));
    auto *catalogo = new QTranslator(QCoreApplication::instance());
    if (catalogo->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(catalogo);
    // The last installed is asked first.
    QCoreApplication::installTranslator(new TextosQt(QCoreApplication::instance()));
}
