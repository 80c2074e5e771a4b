#pragma once

#include "events/ConjuntoEventos.h"
#include "events/HojaDatos.h"

#include <QObject>
#include <QString>
#include <functional>

class Contexto;
class ErrorBD;
class Mensajes;
class modEvento;

// Duplicate-key test of a new event, or of an edited one whose key was changed
// on the sheet: only with a complete key (CLUES of 11, Folio of 8, a filled
// date of care). When the key stands in D_EVENTO it says "Los Datos de este
// Evento ya existen (CLUES, Folio y Fecha de Atención" / "verifique por
// favor.....", asks the focus for the Folio and returns true.
bool ExisteRegistro(Contexto &ctx, HojaDatos &hoja);
// The sheet's question before a capture is thrown away (Esc, closing the
// sheet or the program): true for Yes.
bool PreguntaTerminarOperacion(Mensajes &mensajes);

// What the toolbar's error handler says about a database error: the duplicate
// message for a key violation, "<number> -- <description>" for anything else.
QString TextoErrorBarra(const ErrorBD &error);

// The record life of the capture sheet without widgets: browsing, adding,
// editing, saving, cancelling and deleting, the toolbar by position, the
// navigation keys, the page buttons and the caption. It works on the sheet
// state (HojaDatos) that the window mirrors and on the record store.
class VidaRegistro : public QObject {
    Q_OBJECT
public:
    // Rows moved by PgUp and PgDn.
    static constexpr int PasoPagina = 10;

    VidaRegistro(Contexto &ctx, HojaDatos &hoja, modEvento &eventos, QObject *padre = nullptr);

    // Opens the health-unit pick-list writing into field 23 (modal). Unset, a
    // CLUES missing from the catalog only greys the field.
    std::function<void()> AbreSeleccionClues;

    // The sheet on all events: record set on "Select * from D_Evento", first
    // page, browsing toolbar, frames disabled, caption.
    void Abre();
    // The sheet opened again from the menu: as Abre, on all events with no
    // filter. A capture in progress goes only when the user agrees, as on
    // closing; false when it stays, untouched.
    bool Reabre();
    // Reads the record set again on its own statement (a filter stays) when
    // D_EVENTO changed under it, as a reception does. Browsing, the event
    // shown is read again, or the first when it is gone; during a capture
    // only the keys are read, and what was typed stays untouched. Then the
    // caption is rewritten. Nothing happens while the set is up to date.
    void Recarga();
    // Rewrites the caption: position, count and the day's count; a record set
    // standing before its first or after its last row is put on that row first.
    void Actualiza_Ubicacion();

    // Closing the sheet (its close box, Ctrl+F4, the main window): while
    // adding or editing asks the Esc question, and Yes cancels the capture.
    // False when the sheet must stay open.
    bool PuedeCerrar();

    // Toolbar button by position 1 to 13 (tbrDatos_ButtonClick).
    void BotonPulsado(int posicion);
    // Item 1 to 4 of the "Buscar" drop-down (tbrDatos_ButtonMenuClick).
    void MenuBuscar(int posicion);
    // Navigation keys (Qt::Key): Home, End, Up, Down, PgUp, PgDn; only while browsing.
    void Mueve_Registros(int tecla);
    // The sheet's Ctrl+G: while adding or editing, a beep and "Grabar".
    void AtajoGrabar();
    // Page buttons cmdCambiar(0) and (1).
    void Cambiar(int indice);

    void AgregarEvento();
    void ValidaClues();
    void LimpiaDatos_D_EVENTO();
    // Closes the dependent fields and lists of a new event.
    void ActivaControles();

    // The toolbar mode (1 editing, 2 browsing) the window shows.
    int ModoBarra() const { return modoBarra_; }
    // True while the record set holds at least one event.
    bool HayEventos() const;

    // The criteria text of the last successful filter run over the events,
    // on one line ("Quitar Filtro" empties it), and the CLUES proposed for
    // the next new event.
    QString FiltroEventos;
    QString UltimaClues;

signals:
    // The toolbar mode or the presence of events changed.
    void BarraCambiada();
    // Button 13: the window closes.
    void PideCierre();

private:
    void Accion(int posicion);
    void PonModo(int modo);
    void HabilitaMarcos(bool si);
    void Primero(bool alFinal);
    void Paso(bool adelante);
    void Altas();
    void Cambios();
    void Grabar();
    void Cancelar();
    void Bajas();
    void QuitaFiltro();
    void TerminaCaptura();
    // The caption with that position, the set's count and the day's count.
    void EscribeTitulo(int posicion);

    Contexto &ctx_;
    HojaDatos &hoja_;
    modEvento &eventos_;
    int modoBarra_ = 2;
    // The position the caption names: that of the event the sheet showed
    // when a new event began, all through its capture.
    int posicionTitulo_ = 0;
};
