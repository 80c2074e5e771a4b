#pragma once

class Contexto;
class DialogoArchivos;
class frmGenConsultas;
class QWidget;

// The export generator's run ("Ejecutar"): refuses a run without a condition
// field ("Debe primero seleccionar al menos un campo de condición..."), without
// chosen fields ("Debe primero seleccionar al menos un campo para la tabla...")
// or without criteria ("No ha creado ninguna Consulta!"); otherwise builds the
// export table of the chosen fields over the events that meet the criteria, in
// the chosen order, and shows it in the result view (modal) when it has rows.
// A criteria or a build that fails shows the query windows' error box. The
// table is dropped when the view closes.
void EjecutaGenConsultas(Contexto &ctx, DialogoArchivos &dialogo, frmGenConsultas &ventana);

// The table view's "Exportar": the generator over all events, modal over it.
void AbreGenConsultasModal(Contexto &ctx, DialogoArchivos &dialogo, QWidget *padre);
