// The record store's writing: an event with its detail rows inserted,
// updated or deleted in one transaction, and what follows a write (the
// record set, the day's count).
#include "events/modEvento.h"
#include "events/modEventoComun.h"

#include "events/MapaEvento.h"
#include "platform/FechaTexto.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <sqlite3.h>

using namespace AlmacenEventos;

namespace {

// The detail tables written from the sheet's lists, in the order of the save.
struct DetalleLista {
    ListaHoja lista;
    const char *tabla;
    const char *columna;
    int afectadoAgresor;   // D_BajoEfectos: 1 patient, 2 aggressor; 0 elsewhere
    bool codigoTexto;
};

const DetalleLista DetallesListas[] = {
    {ListaHoja::Derechohabiencia, "D_Derechohabiencia", "CodDerechohabiencia", 0, true},
    {ListaHoja::TipoViolencia, "D_TipoViolencia", "CodTipoViolencia", 0, false},
    {ListaHoja::PacienteEfectos, "D_BajoEfectos", "CodEfectos", 1, false},
    {ListaHoja::AgresorEfectos, "D_BajoEfectos", "CodEfectos", 2, false},
    {ListaHoja::TipoAtencion, "D_TipoAtencion", "CodTipoAtencion", 0, false},
};

} // namespace

ClaveEvento modEvento::ClaveParaGrabar() const
{
    const std::vector<ColumnaEvento> &c = ColumnasEvento();
    const QDate hoy = ctx_.reloj.Hoy();
    return {ValorColumna(c[0], hoja_, hoy).toString(), ValorColumna(c[1], hoja_, hoy).toLongLong(),
            QDate::fromString(ValorColumna(c[2], hoja_, hoy).toString(), Qt::ISODate)};
}

std::optional<ClaveEvento> modEvento::ClaveHoja() const
{
    const QDate fecha = FechaDeTexto(hoja_.Fecha(1));
    if (!fecha.isValid())
        return std::nullopt;
    return ClaveEvento{hoja_.Texto(23), ValorEntero(hoja_.Texto(22)), fecha};
}

void modEvento::EscribeDetalle(const ClaveEvento &clave) const
{
    const QVariantList k = ValoresClave(clave);
    // The diagnoses, renumbered 1..n in list order, closing the gaps of deleted lines.
    AseguraTmpGridAfec();
    Accion(QStringLiteral("UPDATE TMPGRIDAFEC SET NUMAFEC = "
                          "(SELECT count(*) FROM TMPGRIDAFEC t WHERE t.rowid <= TMPGRIDAFEC.rowid)"));
    Accion(QStringLiteral("INSERT INTO D_Diagnosticos (CLUES, Folio, fechaAtencion, CodDiagnostico, Orden) "
                          "SELECT ?, ?, ?, AFECCION, NUMAFEC FROM TMPGRIDAFEC ORDER BY rowid"),
           k);
    for (const DetalleLista &d : DetallesListas) {
        const QString tabla = QString::fromLatin1(d.tabla);
        const QString sql =
            d.afectadoAgresor
                ? QStringLiteral("INSERT INTO %1 (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, %2) VALUES (?, ?, ?, ?, ?)")
                      .arg(tabla, QString::fromLatin1(d.columna))
                : QStringLiteral("INSERT INTO %1 (CLUES, Folio, fechaAtencion, %2) VALUES (?, ?, ?, ?)")
                      .arg(tabla, QString::fromLatin1(d.columna));
        for (const ElementoLista &e : hoja_.Elementos(d.lista)) {
            if (!e.marcado)
                continue;
            QVariantList v = k;
            if (d.afectadoAgresor)
                v << d.afectadoAgresor;
            v << CodigoElemento(e.texto, d.codigoTexto);
            Accion(sql, v);
        }
    }
}

void modEvento::BorraDetalle(const ClaveEvento &clave) const
{
    for (const char *tabla :
         {"D_BajoEfectos", "D_Derechohabiencia", "D_Diagnosticos", "D_TipoAtencion", "D_TipoViolencia"})
        Accion(QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(tabla)) + WhereClave, ValoresClave(clave));
}

bool modEvento::EscribeEnTransaccion(const std::function<void(const ClaveEvento &)> &escribe,
                                     const QString &tituloError, EnConjunto efecto)
{
    try {
        const ClaveEvento clave = ClaveParaGrabar();
        // Only a set that matched the table before the write can follow it.
        const bool sigue = efecto != EnConjunto::Nada && rsAtencion.AlDia(ctx_.ConexionBD);
        // The day's count follows a new event, captured today, and an edit,
        // which keeps the capture date; a delete has it counted again.
        const bool sigueDia =
            (efecto == EnConjunto::Pone || efecto == EnConjunto::Reemplaza) && CuentaDelDiaAlDia();
        // An edit may move the event from the key it had when editing began.
        const ClaveEvento anterior = efecto == EnConjunto::Reemplaza ? hoja_.MarcaEvento.value_or(clave) : clave;
        Transaccion t(ctx_.ConexionBD);
        escribe(clave);
        t.Confirma();
        if (sigueDia) {
            delDia_->cuenta += efecto == EnConjunto::Pone ? 1 : 0;
            delDia_->sello = ctx_.ConexionBD.Sello(TablaEventos);
        } else {
            delDia_.reset();
        }
        if (sigue) {
            const bool quita = efecto == EnConjunto::Quita || efecto == EnConjunto::Reemplaza;
            const bool pone = efecto == EnConjunto::Pone || efecto == EnConjunto::Reemplaza;
            try {
                rsAtencion.Sigue(ctx_.ConexionBD, quita ? std::optional(anterior) : std::nullopt,
                                 pone ? std::optional(clave) : std::nullopt);
            } catch (const ErrorBD &) {
                // The write stands; the set is read again on its next reload.
            }
        }
        return true;
    } catch (const ErrorBD &e) {
        MuestraError(TextoError(e), tituloError);
        return false;
    }
}

namespace {
// A statement about the event that touched no row means the event is gone.
void ExigeElEvento(int filas, const QString &accion)
{
    if (filas != 1)
        throw ErrorBD(SQLITE_NOTFOUND,
                      QStringLiteral("No se encontró el Evento (CLUES, Folio y Fecha de Atención) que se ") + accion);
}
} // namespace

bool modEvento::AltaEvento()
{
    return EscribeEnTransaccion(
        [this](const ClaveEvento &clave) {
            const QVariantList valores = ValoresEvento(hoja_, ctx_.reloj.Hoy(), false);
            Accion(QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (?%2)")
                       .arg(ListaColumnasEvento(), QStringLiteral(",?").repeated(int(valores.size()) - 1)),
                   valores);
            EscribeDetalle(clave);
        },
        TituloHojaRegistro() + QStringLiteral(" -- Alta"), EnConjunto::Pone);
}

bool modEvento::ModificaEvento()
{
    return EscribeEnTransaccion(
        [this](const ClaveEvento &clave) {
            const ClaveEvento guardada = hoja_.MarcaEvento.value_or(clave);
            QStringList columnas;
            QVariantList valores = ValoresEvento(hoja_, ctx_.reloj.Hoy(), true, &columnas);
            // The key columns are written only when the key moves, so that an
            // unchanged event keeps its stored values as they are.
            if (guardada != clave) {
                columnas << QStringLiteral("Clues") << QStringLiteral("Folio") << QStringLiteral("fechaAtencion");
                valores << ValoresClave(clave);
            }
            valores << ValoresClave(guardada);
            // The detail rows go first: they refer to the key being moved.
            BorraDetalle(guardada);
            ExigeElEvento(Accion(QStringLiteral("UPDATE D_EVENTO SET ") + columnas.join(QStringLiteral(" = ?,"))
                                     + QStringLiteral(" = ?") + WhereClave,
                                 valores),
                          QStringLiteral("modifica"));
            EscribeDetalle(clave);
        },
        // An edit may move the event to another key, or out of a filter's set.
        TituloHojaRegistro() + QStringLiteral(" -- Cambios"), EnConjunto::Reemplaza);
}

bool modEvento::BorraEvento()
{
    return EscribeEnTransaccion(
        [this](const ClaveEvento &clave) {
            BorraDetalle(clave);
            ExigeElEvento(Accion(QStringLiteral("DELETE FROM D_EVENTO") + WhereClave, ValoresClave(clave)),
                          QStringLiteral("borra"));
        },
        TituloHojaRegistro(), EnConjunto::Quita);
}

std::optional<bool> modEvento::ExisteEvento(const ClaveEvento &clave) const
{
    try {
        return Primero(QStringLiteral("SELECT 1 FROM D_EVENTO") + WhereClave, ValoresClave(clave)).isValid();
    } catch (const ErrorBD &) {
        return std::nullopt;
    }
}

std::optional<int> modEvento::CapturadosHoy() const
{
    if (CuentaDelDiaAlDia())
        return delDia_->cuenta;
    delDia_.reset();
    if (!ctx_.ConexionBD.EstaAbierta())
        return std::nullopt;
    try {
        const QDate hoy = ctx_.reloj.Hoy();
        // Sealed before the count: a write in between makes it count again.
        const SelloTabla sello = ctx_.ConexionBD.Sello(TablaEventos);
        const int cuenta =
            Primero(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE FechaCaptura = ?"), {hoy.toString(Qt::ISODate)})
                .toInt();
        delDia_ = CuentaDelDia{hoy, cuenta, sello};
        return cuenta;
    } catch (const ErrorBD &) {
        return std::nullopt;
    }
}

bool modEvento::CuentaDelDiaAlDia() const
{
    return delDia_ && delDia_->dia == ctx_.reloj.Hoy() && ctx_.ConexionBD.EstaAbierta()
           && ctx_.ConexionBD.Sello(TablaEventos) == delDia_->sello;
}
