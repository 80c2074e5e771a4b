#pragma once

#include "events/FilasPorBloques.h"
#include "platform/BaseDatos.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVector>
#include <optional>

// The table of the care events, as the seals of its rows name it.
inline constexpr const char *TablaEventos = "D_EVENTO";

// The key of one care event: CLUES, Folio and date of care.
struct ClaveEvento {
    QString clues;
    qint64 folio = 0;
    QDate fechaAtencion;

    // The date of care as the columns store it (yyyy-MM-dd).
    QString FechaISO() const { return fechaAtencion.toString(Qt::ISODate); }
    // Folio as the sheet shows it: at least eight digits with leading zeros.
    QString FolioTexto() const;
    bool operator==(const ClaveEvento &o) const;
    bool operator!=(const ClaveEvento &o) const { return !(*this == o); }
};

// A SELECT statement with its bound values. The text is written by the code
// (or built by the filter window from fixed column names); every value that a
// user typed travels in `valores`, one per `?`.
struct ConsultaSQL {
    QString sql;
    QVariantList valores;
    bool operator==(const ConsultaSQL &o) const { return sql == o.sql && valores == o.valores; }
    bool operator!=(const ConsultaSQL &o) const { return !(*this == o); }
};

// The capture sheet's record set (rsAtencion): the keys of the events that a
// statement yields, in CLUES, Folio and date-of-care order whatever order the
// statement asks for. Only keys are held, so opening a large table costs keys,
// not rows; a row is read by its key when it is shown.
//
// Positions follow the old record sets: 1..Cuenta() on a row, BOF before the
// first and EOF after the last; an empty set is at BOF and EOF at once.
//
// The session's own writes are followed in place (Sigue), so that a save at
// a million events does not read a million keys again; a set that missed a
// write (another window's, another program's) is read again on its next use.
class ConjuntoEventos {
public:
    // Opens the set on the statement's rows (which must carry the columns
    // Clues, Folio and fechaAtencion) and stands on the first row. Throws
    // ErrorBD when the statement cannot run; the set is then left as it was.
    void Abre(const BaseDatos &bd, const ConsultaSQL &consulta);
    void Cierra();
    // The statement Abre reads the keys with, in key order.
    static QString SentenciaLlaves(const ConsultaSQL &consulta);

    // True when the set is open on that statement and D_EVENTO has not
    // changed since it was read or last followed: reading it again would
    // give the same keys.
    bool AlDia(const BaseDatos &bd, const ConsultaSQL &consulta) const;
    bool AlDia(const BaseDatos &bd) const { return AlDia(bd, consulta_); }
    // The statement the set was opened on; empty while closed.
    const ConsultaSQL &Consulta() const { return consulta_; }
    // Follows a write of this session that was made while the set was
    // AlDia: `quitada` leaves the set, `puesta` enters it at its place when
    // the set's statement yields it. The current row stays current while it
    // is in the set. Throws ErrorBD (the set is then out of date) when the
    // statement cannot run.
    void Sigue(const BaseDatos &bd, const std::optional<ClaveEvento> &quitada,
               const std::optional<ClaveEvento> &puesta);

    int Cuenta() const { return filas_.Cuenta(); }   // RecordCount
    // AbsolutePosition: 1-based, 0 at BOF or EOF.
    int Posicion() const { return EnFila() ? pos_ : 0; }
    bool Bof() const { return pos_ <= 0 || filas_.Vacia(); }
    bool Eof() const { return pos_ > Cuenta() || filas_.Vacia(); }
    bool EnFila() const { return !Bof() && !Eof(); }

    void MueveInicio();      // MoveFirst (BOF when empty)
    void MueveAnterior();    // MovePrevious: BOF before the first row
    void MueveSiguiente();   // MoveNext: EOF after the last row
    void MueveFinal();       // MoveLast (EOF when empty)
    // Move by n rows (negative: back); stops at BOF or EOF past either end.
    void Mueve(int n);
    // Stands on a 1-based position; false (and unmoved) when out of range.
    bool IrA(int posicion);

    // The key of the current row; no value at BOF or EOF.
    std::optional<ClaveEvento> Actual() const;
    // Bookmark: stands on the row of that key; false and unmoved when absent.
    bool Busca(const ClaveEvento &clave);

private:
    struct Fila {
        qint64 folio;
        qint32 clues;   // index into clues_
        qint32 dia;     // Julian day of the date of care
    };
    int Compara(const Fila &f, int cluesClave, const QByteArray &cluesUtf8, qint64 folio, qint32 dia) const;
    // Index of the key's row, or of the first row after it (with false).
    std::pair<int, bool> Ubica(const ClaveEvento &clave) const;
    // Index of the key's row; -1 when absent.
    int Indice(const ClaveEvento &clave) const;
    // Whether the set's statement yields the key.
    bool Incluye(const BaseDatos &bd, const ClaveEvento &clave) const;

    // In blocks: a save at a million events inserts its key without moving
    // every later one.
    FilasPorBloques<Fila> filas_;
    QVector<QString> clues_;
    QVector<QByteArray> cluesUtf8_;
    int pos_ = 0;
    // The statement the keys come from and the seal of D_EVENTO they match;
    // no seal while closed or out of date.
    ConsultaSQL consulta_;
    std::optional<SelloTabla> sello_;
};
