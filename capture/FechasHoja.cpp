#include "capture/FechasHoja.h"

#include "capture/VidaRegistro.h"
#include "events/HojaDatos.h"
#include "events/modEvento.h"
#include "platform/FechaTexto.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

QString DiaSemana(const QDate &fecha)
{
    static const char *const dias[] = {"LUNES", "MARTES", "MIÉRCOLES", "JUEVES", "VIERNES", "SÁBADO", "DOMINGO"};
    if (!fecha.isValid())
        return QString();
    return QString::fromUtf8(dias[fecha.dayOfWeek() - 1]);
}

QDate FechaDeCaja(const QString &texto)
{
    return FechaDeTexto(texto.trimmed());
}

FechasHoja::FechasHoja(Contexto &ctx, HojaDatos &hoja, modEvento &eventos)
    : ctx_(ctx), hoja_(hoja), eventos_(eventos)
{
}

void FechasHoja::PonDiaSemana()
{
    const QDate ocurrencia = FechaDeCaja(hoja_.Fecha(0));
    if (ocurrencia.isValid())
        hoja_.PonEtiqueta(0, DiaSemana(ocurrencia));
}

void FechasHoja::FechaCambiada(int indice)
{
    // An occurrence that cannot be read skips straight to emptying the box's own label.
    const bool ocurrenciaIlegible = !hoja_.FechaEnBlanco(0) && !FechaDeCaja(hoja_.Fecha(0)).isValid();
    if (!ocurrenciaIlegible) {
        PonDiaSemana();
        if (hoja_.FechaEnBlanco(1))
            hoja_.PonEtiqueta(1, QString());
    }
    hoja_.PonEtiqueta(indice, QString());
}

void FechasHoja::Rechaza(const QString &texto, int indiceFoco)
{
    ctx_.mensajes.Informa(texto, TituloHojaRegistro());
    // A box can take the focus while its frame is open: care in frmClues, occurrence in frmEvento.
    const Marco marco = indiceFoco == 1 ? Marco::Clues : Marco::Evento;
    if (hoja_.MarcoHabilitado(marco) && hoja_.MarcoHabilitado(MarcoExterior(marco)))
        hoja_.EnfocaFecha(indiceFoco);
}

bool FechasHoja::SaleFecha(int indice)
{
    if (hoja_.FechaEnBlanco(indice)) {
        hoja_.PonEtiqueta(indice, QString());
        return true;
    }
    const QString texto = hoja_.Fecha(indice);
    if (!ValidaFecha(texto, ctx_.mensajes, ctx_.reloj)) {
        Rechaza(QStringLiteral("La Fecha no es valida, verifique por favor...."), indice);
        return false;
    }
    const QDate fecha = FechaDeCaja(texto);
    const int ano = ctx_.AnoActual.toInt();
    if (indice == 1) {
        if (fecha < QDate(ano - 1, 12, 26) || fecha > QDate(ano, 12, 25)) {
            Rechaza(QStringLiteral("La Fecha de Atención debe ser del año estadistico en curso...."), 1);
            return false;
        }
        if (fecha > ctx_.reloj.Hoy()) {
            Rechaza(QStringLiteral("La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor...."),
                    1);
            return false;
        }
        if (!hoja_.FechaEnBlanco(0)) {
            const QDate ocurrencia = FechaDeCaja(hoja_.Fecha(0));
            if (!ocurrencia.isValid())
                return true;   // the occurrence box is checked when it is left
            if (ocurrencia > fecha) {
                Rechaza(QStringLiteral("La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, "
                                       "verifique por favor...."),
                        0);
                return false;
            }
        }
    }
    PonDiaSemana();
    if (indice == 1 && !ExisteRegistro(ctx_, hoja_))
        eventos_.AsignaPeriodo(fecha);
    return true;
}
