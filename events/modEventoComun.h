#pragma once

// What the files of the record store share: the event's key in statements
// and the text of a database error.

#include "events/ConjuntoEventos.h"
#include "platform/BaseDatos.h"

#include <QString>
#include <QVariantList>

namespace AlmacenEventos {

inline const QString WhereClave = QStringLiteral(" WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?");

inline QVariantList ValoresClave(const ClaveEvento &c)
{
    return {c.clues, c.folio, c.FechaISO()};
}

inline QString TextoError(const ErrorBD &e)
{
    return QString::number(e.Numero()) + QStringLiteral(" -- ") + e.Descripcion();
}

} // namespace AlmacenEventos
