#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Who opened a query window, which decides its record source: the capture
// sheet (care events), the ICD-10 detailed list (the catalog CATCIE10) or the
// table view (care events, export generator only). Query files store the number.
enum class OrigenConsulta { Hoja = 1, ListaCIE10 = 2, Tabla = 6 };

inline bool SobreEventos(OrigenConsulta origen)
{
    return origen != OrigenConsulta::ListaCIE10;
}

// How a value typed for a field is written into a condition.
enum class TipoCampo {
    Numero,   // bare
    Texto,    // between single quotes
    Fecha     // CDATE(field) op CDATE('dd/mm/yyyy')
};

// One entry of the field lists: "E.Edad" for a care event (alias of the table
// that holds it, then the column), the bare column for CATCIE10.
struct CampoConsulta {
    QString alias;     // "E", "D", "V", "P", "T", "F"; empty for CATCIE10
    QString columna;   // the column, or a pseudo-field (EfectosPaciente, EfectosAgresor, Diagnosticos)
    TipoCampo tipo;

    QString Entrada() const { return alias.isEmpty() ? columna : alias + QLatin1Char('.') + columna; }
};

// The one field table of the query windows: the 53 fields of a care event in
// their fixed order, or the columns of CATCIE10 in table order.
const std::vector<CampoConsulta> &CamposConsulta(OrigenConsulta origen);
// The entry of that text (letter case ignored), or null.
const CampoConsulta *BuscaCampo(OrigenConsulta origen, const QString &entrada);
// The entries in list order.
QStringList EntradasCampos(OrigenConsulta origen);

// The table the window names in its table list and in the query-file messages.
QString TablaOrigen(OrigenConsulta origen);

// The statement that lists the values a field holds (the "possible values"),
// each once, in order.
QString SentenciaValoresPosibles(OrigenConsulta origen, const CampoConsulta &campo);
