#pragma once

#include "events/ConjuntoEventos.h"
#include "queries/CamposConsulta.h"

#include <QString>
#include <QStringList>
#include <functional>

class BaseDatos;
class Contexto;
class DialogoArchivos;
class ErrorBD;
class HojaRegistro;
class Mensajes;
class QWidget;

// The services the query windows share.

// The query windows' error box: a beep and "The following Error occurred:",
// a blank line, the description, "Number: " and the number; no icon.
void MuestraError(Mensajes &mensajes, const ErrorBD &error);

// True, after the box "No ha creado ninguna Consulta!", when the criteria is blank.
bool SinCriterio(Mensajes &mensajes, const QString &criterio);

// Whether the statement selects any row. With none: a beep and "La consulta
// creada no encontro registros" / "que cumplan las condiciones señaladas"
// (title "Consultas"); when it cannot run, the error box. Both give false.
bool ConsultaConRegistros(Contexto &ctx, const ConsultaSQL &consulta);

// The values a field holds, as text, blanks and nulls left out; dates as
// dd/mm/yyyy. Throws ErrorBD.
QStringList ValoresPosibles(const BaseDatos &bd, OrigenConsulta origen, const CampoConsulta &campo);

// How the ICD-10 detailed list receives a filter's result.
//
// Its "Buscar" opens the filter window over CATCIE10 (MuestraConsultaCIE10)
// and passes this function. When a run of the criteria finds causes, the
// window calls it once with the list's new statement (SentenciaListaCIE10:
// Causa, nombre, lsex, Edad_I, Cve_EDI, Edad_F, Cve_EDF, a of the causes that
// meet the criteria, with its values bound, in Causa order) and closes; the
// list reloads itself on it. A run that finds nothing, or fails, has said so
// and does not call it; neither does closing the window.
using RecibeFiltroCIE10 = std::function<void(const ConsultaSQL &lista)>;

// Where the filter window hands its result: the capture sheet, reloaded on
// the chosen events, or the ICD-10 detailed list.
struct DestinoFiltro {
    HojaRegistro *hoja = nullptr;
    RecibeFiltroCIE10 listaCIE10;

    OrigenConsulta Origen() const { return hoja ? OrigenConsulta::Hoja : OrigenConsulta::ListaCIE10; }
};

// The run of the filter window ("Ejecutar"): an empty criteria says "No ha
// creado ninguna Consulta!"; a criteria that selects nothing says so in two
// boxes; one that cannot run shows the error box and then the second of
// those; in all three the sheet or the list keeps what it showed. With rows, the sheet's record set is
// replaced by the chosen events (their keys only), the first is read, the
// caption rewritten, and ConsultaEventos and FiltroEventos take the run's
// statement and criteria; or the ICD-10 list receives its statement. True
// when it handed the rows back.
bool EjecutaFiltro(Contexto &ctx, const QString &criterio, const DestinoFiltro &destino);

// Opens the filter window modally, with the criteria the last one left.
void MuestraConsulta(Contexto &ctx, DialogoArchivos &dialogo, const DestinoFiltro &destino, QWidget *padre);
// The same over CATCIE10 for the ICD-10 detailed list, with the program's file dialog.
void MuestraConsultaCIE10(Contexto &ctx, const RecibeFiltroCIE10 &recibe, QWidget *padre);
