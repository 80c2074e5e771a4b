#pragma once

#include "events/CIE10.h"
#include "events/ConjuntoEventos.h"
#include "events/HojaDatos.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Contexto;

// The capture sheet's title; it also heads the store's messages.
QString TituloHojaRegistro();

// The statistical month of a date of care within working year `ano`
// (26th of the month before to the 25th), or "NO ESPECIFICADO".
QString MesEstadistico(const QDate &fecha, int ano);

// The care-event record store: the sheet's record set, reading an event into
// the sheet state, the option lists, inserting, updating and deleting events
// with their detail rows, the diagnosis work table and the ICD-10 checks.
// One instance lives beside the capture sheet's HojaDatos; the filter and
// table windows reach it through the sheet.
//
// Every write runs in one transaction: on any failure nothing is left half
// written, the error is shown and the call returns false.
class modEvento {
public:
    modEvento(Contexto &ctx, HojaDatos &hoja);

    HojaDatos &Hoja() const { return hoja_; }

    // The statement behind the sheet's reloads after a save or a delete:
    // "Select * from D_Evento" until a filter run from the sheet replaces it.
    ConsultaSQL ConsultaEventos;
    static ConsultaSQL TodosLosEventos();

    // The sheet's record set: keys only, in CLUES, Folio, date-of-care order.
    ConjuntoEventos rsAtencion;

    // Replaces rsAtencion by the statement's events (a set already open on
    // that statement and up to date is not read again). With events, stands on
    // `clave` when given and present (else on the first) and reads it into
    // the sheet; with none, fills the five lists unticked (care types below 7)
    // and touches nothing else. When the statement cannot run, shows
    // "<number> -- <description>" titled with the sheet title, keeps the old
    // record set and returns false.
    bool CargaEventos(const ConsultaSQL &consulta, const std::optional<ClaveEvento> &clave = std::nullopt);

    // Reads the current event of rsAtencion into the sheet: fields in the
    // column order (each write runs the sheet's change handling), both dates,
    // the statistical month, the five lists filled and ticked, and the
    // diagnosis list rebuilt (GridAfeccionesEditado set false). Does nothing
    // at BOF or EOF. On a failure shows "<number> -- <description>" titled
    // with the sheet title and returns false.
    bool LeeEvento();

    // Option lists. `catalogo` without the leading "c" and `columna` its code
    // column ("TipoAtencion", "CodTipoAtencion") must name one of the coded
    // catalogs; `condicion` is SQL written by the code ("CodTipoAtencion < 7").
    // Empty the list first; false (list left empty) when the query cannot run.
    bool CargaLista(const QString &catalogo, const QString &columna, ListaHoja lista);
    bool CargaListaCondicion(const QString &catalogo, const QString &columna, const QString &condicion,
                             ListaHoja lista);
    // Ticks the items whose codes the event holds in detail table "D_" + tabla
    // (with `condicion`, e.g. "CodAfectadoAgresor = 1"); unticks all when it
    // holds none. A stored code the list does not offer is added after the
    // offered items, with its catalog description (or "CVE INEXISTENTE"), and
    // ticked: a save keeps what the user did not untick. False when the
    // query cannot run.
    bool MarcaLista(const QString &tabla, const QString &columna, const QString &condicion, ListaHoja lista,
                    const ClaveEvento &clave);
    // The five lists from their catalogs, nothing ticked, care types below 7.
    bool CargaListas();

    // Inserts the sheet as a new event with its detail rows. On failure shows
    // "<number> -- <description>" titled with the sheet title + " -- Alta".
    bool AltaEvento();
    // Updates the event of the sheet's MarcaEvento (else of the sheet's key)
    // and replaces its detail rows; a key changed on the sheet moves the
    // event and its detail rows to it. An event that is no longer stored is a
    // failure. On failure shows "<number> -- <description>" titled with the
    // sheet title + " -- Cambios".
    bool ModificaEvento();
    // The sheet's "Bajas": detail rows and event row of the sheet's key. On
    // failure shows "<number> -- <description>" titled with the sheet title.
    bool BorraEvento();

    // The key on the sheet: CLUES as typed (field 23), the numeric value of
    // field 22, the date of care box. No value when the date is not a date.
    std::optional<ClaveEvento> ClaveHoja() const;
    // Whether the key stands in D_EVENTO; no value when the query cannot run.
    std::optional<bool> ExisteEvento(const ClaveEvento &clave) const;
    // D_EVENTO rows captured today; no value when the query cannot run.
    // Counted again only when the table changed by other writes than this
    // store's saves, or the day changed.
    std::optional<int> CapturadosHoy() const;

    // Writes the statistical month of the date into lblDatos(1).
    void AsignaPeriodo(const QDate &fecha);

    // ICD-10: the cause's name (three outcomes) and the checks of one sheet
    // field (76 final diagnosis, 77 principal affection, 78 external cause)
    // with the patient of fields 36 to 39. ValidaDiagnostico shows the
    // message of the first failing rule (or asks about an eradicated cause)
    // and returns false; a catalog that cannot be read refuses the code.
    Descripcion NombreCIE10(const QString &codigo) const;
    VeredictoCIE10 ConsultaCIE10(const QString &codigo) const;
    bool ValidaDiagnostico(const QString &codigo, int campo);

    // The diagnosis work table TMPGRIDAFEC (NUMAFEC, AFECCION), a table of the
    // working database, its rows in list order. On the first use in each
    // opening of the connection it is made to hold the list the sheet shows
    // (what a crash, another sheet or an older copy of the file left goes).
    // Unless GridAfeccionesEditado, rebuilds it from D_Diagnosticos of the
    // sheet's key (by Orden); then shows it on the sheet and puts the first
    // row's code (or nothing) into field 76. On failure beeps and returns false.
    // The rebuild never waits for another program's lock: under one the list
    // shows the stored diagnoses, read straight, and the table takes them
    // before its next use.
    bool RefrescaGridAfecciones();
    // The rows in list order; no value when the table cannot be read. While
    // another program's lock keeps the table from taking the sheet's list,
    // that list, which it will hold.
    std::optional<QList<FilaAfeccion>> LeeAfecciones() const;
    // Appends a code (trimmed) with NUMAFEC the highest plus 1 (1 when empty).
    bool AgregaAfeccion(const QString &codigo);
    // Replace the code of, or delete, the line(s) of that NUMAFEC; false when
    // no line has it or the table cannot be written.
    bool ModificaAfeccion(int numafec, const QString &codigo);
    bool BorraAfeccion(int numafec);
    // Replaces the whole list (tests, generated data).
    bool PonAfeccionesTmp(const QStringList &codigos);

private:
    int Accion(const QString &sql, const QVariantList &valores = {}) const;
    QVariant Primero(const QString &sql, const QVariantList &valores = {}) const;
    QList<FilaAfeccion> FilasTmp() const;
    // Diagnosis rows (number, code) of a statement, in its order.
    QList<FilaAfeccion> LeeFilas(const QString &sql, const QVariantList &valores = {}) const;
    void AseguraTmpGridAfec() const;
    void EscribeDetalle(const ClaveEvento &clave) const;
    void BorraDetalle(const ClaveEvento &clave) const;
    ClaveEvento ClaveParaGrabar() const;
    void AgregaFaltantes(ListaHoja lista, const QStringList &codigos);
    // What a write does to the sheet's key in rsAtencion.
    // Reemplaza: the key the event had when editing began leaves, the saved one enters.
    enum class EnConjunto { Nada, Pone, Reemplaza, Quita };
    // One write about the sheet's key in one transaction, followed in
    // rsAtencion; on failure shows "<number> -- <description>" under that
    // title.
    bool EscribeEnTransaccion(const std::function<void(const ClaveEvento &)> &escribe, const QString &tituloError,
                              EnConjunto efecto = EnConjunto::Nada);
    void MuestraError(const QString &numeroDescripcion, const QString &titulo) const;
    // Whether the day's count kept still holds: the same day, D_EVENTO as it was counted.
    bool CuentaDelDiaAlDia() const;

    Contexto &ctx_;
    HojaDatos &hoja_;
    // Names checked against the fixed lists, by what the callers pass.
    QHash<QString, std::pair<QString, QString>> catalogos_;   // catalog: table, code column
    QHash<QString, QString> sentenciasMarca_;                 // table|column|condition: statement
    // The day's count and where D_EVENTO stood when it was counted or
    // followed: counting walks every event of the day in the index.
    struct CuentaDelDia {
        QDate dia;
        int cuenta = 0;
        SelloTabla sello;
    };
    mutable std::optional<CuentaDelDia> delDia_;
};
