#pragma once

#include "events/ConjuntoEventos.h"
#include "queries/CamposConsulta.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

// The criteria text of the query windows and what it becomes in SQL.
//
// The user writes (or builds with And / Or) a criteria such as
//     E.CodSexo = 2
//     And CDATE(E.fechaAtencion) >= CDATE('01/01/2004')
// over the field entries of CamposConsulta. It is never pasted into a
// statement: TraduceCriterio reads it as the grammar groups it, accepts only
// known fields, functions, operators and balanced parentheses, and turns
// every typed value into a bound value, so that it runs as one parenthesised
// condition beside the program's own and nothing can be appended to it.

// The operator list, in order; "=" first.
const QStringList &Operadores();

// The And / Or buttons: the criteria trimmed, a line break and "And " or
// " Or " (nothing before the first condition), then the condition written by
// the field's kind: "E.Edad > 10", "E.Paterno = 'O''HARA'" (quotes doubled),
// "CDATE(E.fechaAtencion) >= CDATE('01/01/2004')".
QString AgregaCondicion(const QString &criterio, const CampoConsulta &campo, const QString &operador,
                        const QString &valor, bool conY);

// The criteria as it is run and kept: no blanks around it, each line break one blank.
QString TextoCriterio(const QString &criterio);

// A criteria in SQL.
struct CondicionSQL {
    QString sql;             // "(...)" with one ? per value
    QVariantList valores;
    QString orden;           // "E.Edad DESC", empty for no order
    QStringList uniones;     // detail joins the condition or the order needs, see FromEventos
};

// Translates a criteria over the source's fields, and the order field when
// one is given (an entry of the field list; "(ninguno)" or empty is none).
// Throws ErrorBD with a Spanish description when the text is no condition
// over the known fields: an unknown field or function, a function given more
// or fewer arguments than it takes, an operator of the dialect that criteria
// do not take (Mod), an unclosed quote or parenthesis, a character that has
// no place in a condition, a date that is not dd/mm/yyyy, a LIKE pattern that
// no dd/mm/yyyy date can match, a sum with a date, a day number outside the
// calendar, a date compared with what changes with the event and is no date,
// a list of values in parentheses anywhere but after IN, and what SQLite's
// grammar refuses (naming the piece where it stops, or that the criteria
// ends unfinished, or that it nests deeper than the engine reads). The
// operands of each comparison, BETWEEN and IN are taken as the grammar
// groups them: a date column beside LIKE or handed to a text function reads
// day first, as the user sees it ("15/06/%", Right(E.FechaOcurrencia, 4));
// what stands beside a date and is the same for every event (a number, a
// quoted date, a function of them, in parentheses or with a sign) is
// computed and bound as the day it names; a whole number beyond 64 bits is
// the real it is; "/" divides exactly.
CondicionSQL TraduceCriterio(const QString &criterio, OrigenConsulta origen, const QString &campoOrden = {},
                             bool descendente = false);

// " FROM D_Evento AS E" with the LEFT JOINs of the detail tables the
// condition names, each on the event key: D D_Derechohabiencia,
// V D_TipoViolencia, P D_BajoEfectos, T D_TipoAtencion, F D_Diagnosticos, and
// P1 / P2 the patient's / the aggressor's rows of D_BajoEfectos, which the
// pseudo-fields EfectosPaciente and EfectosAgresor stand for. An event may
// come once per matching combination of detail rows.
QString FromEventos(const CondicionSQL &condicion);

// The keys of the events that meet the condition (the capture sheet's record set).
ConsultaSQL SentenciaEventos(const CondicionSQL &condicion);

// The ICD-10 detailed list's statement on the causes that meet the condition:
// Causa, nombre, lsex (F, M or A), Edad_I, Cve_EDI, Edad_F, Cve_EDF, a (1 or 0),
// in Causa order.
ConsultaSQL SentenciaListaCIE10(const CondicionSQL &condicion);
