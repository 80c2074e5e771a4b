#pragma once

#include <QString>
#include <QStringList>

class BaseDatos;

// The outcome of one code-to-description lookup.
struct Descripcion {
    enum class Hallazgo { Encontrado, NoEncontrado, Error } hallazgo = Hallazgo::Error;
    // The description when found (empty when the stored one is NULL),
    // "CVE INEXISTENTE" when not found, "" when the query could not run.
    QString texto;

    bool Encontrada() const { return hallazgo == Hallazgo::Encontrado; }
    // The callers test for this marker only: a failed query counts as known.
    bool Inexistente() const { return hallazgo == Hallazgo::NoEncontrado; }
};

// The marker of a code missing from its catalog.
QString CveInexistente();

// Codes are compared as given: neither trimmed nor padded (the sheet pads
// geographic codes beforehand). Every code goes in as a bound value.
Descripcion DescEstado(const BaseDatos &bd, const QString &estado);
Descripcion DescMunicipio(const BaseDatos &bd, const QString &estado, const QString &municipio);
Descripcion DescLocalidad(const BaseDatos &bd, const QString &estado, const QString &municipio,
                          const QString &localidad);
Descripcion DescClues(const BaseDatos &bd, const QString &clues);
// Numeric comparison: a blank or non-numeric code cannot be compared (Error).
Descripcion DescClaveEdad(const BaseDatos &bd, const QString &clave);
// Any coded catalog by its name ("Sexo" is table cSexo, code column CodSexo).
// Unknown names are an Error; numeric catalogs need a numeric code, as above.
Descripcion DescCatalogo(const BaseDatos &bd, const QString &catalogo, const QString &codigo);

// The coded answer catalogs, by name (without the leading "c").
const QStringList &CatalogosCodificados();
// The catalog's canonical name, or an empty text when it is not one of them.
QString NombreCatalogo(const QString &catalogo);
QString TablaCatalogo(const QString &catalogo);    // "c" + name
QString ColumnaCodigo(const QString &catalogo);    // "Cod" + name
// True for the one catalog whose codes are text (Derechohabiencia).
bool CodigoTexto(const QString &catalogo);
// The coded catalog of a capture-sheet field (38 and 67 "Sexo", 59 "Equipo"),
// or an empty text for a field that has none.
QString CatalogoDeCampo(int indice);
