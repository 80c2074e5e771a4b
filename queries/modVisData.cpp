#include "queries/modVisData.h"

#include "capture/ManejadorRegistro.h"
#include "platform/SentenciaSqlite.h"
#include "platform/BaseDatos.h"
#include "platform/CursorOcupado.h"
#include "platform/DialogoArchivos.h"
#include "platform/Mensajes.h"
#include "queries/CriteriosConsulta.h"
#include "queries/frmQuery.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <QDate>

void MuestraError(Mensajes &mensajes, const ErrorBD &error)
{
    mensajes.Beep();
    mensajes.Muestra(QStringLiteral("The following Error occurred:\n\n%1\nNumber: %2")
                         .arg(error.Descripcion())
                         .arg(error.Numero()),
                     Mensajes::Icono::Ninguno, TituloAplicacion());
}

namespace {

const QString TituloConsultas = QStringLiteral("Consultas");

void AvisaSinRegistros(Mensajes &mensajes)
{
    mensajes.Beep();
    mensajes.Informa(QStringLiteral("La consulta creada no encontro registros\nque cumplan las condiciones señaladas"),
                     TituloConsultas);
}

} // namespace

bool SinCriterio(Mensajes &mensajes, const QString &criterio)
{
    if (!criterio.trimmed().isEmpty())
        return false;
    mensajes.Muestra(QStringLiteral("No ha creado ninguna Consulta!"), Mensajes::Icono::Exclamacion, TituloAplicacion());
    return true;
}

bool ConsultaConRegistros(Contexto &ctx, const ConsultaSQL &consulta)
{
    CursorOcupado ocupado;
    try {
        SentenciaSqlite s(ctx.ConexionBD.Manejador(), consulta.sql, consulta.valores);
        if (s.Paso())
            return true;
    } catch (const ErrorBD &e) {
        MuestraError(ctx.mensajes, e);
        return false;
    }
    AvisaSinRegistros(ctx.mensajes);
    return false;
}

QStringList ValoresPosibles(const BaseDatos &bd, OrigenConsulta origen, const CampoConsulta &campo)
{
    CursorOcupado ocupado;
    SentenciaSqlite s(bd.Manejador(), SentenciaValoresPosibles(origen, campo));
    QStringList valores;
    while (s.Paso()) {
        const QVariant v = s.Valor(0);
        QString texto = v.isNull() ? QString() : v.toString();
        if (texto.trimmed().isEmpty())
            continue;
        if (campo.tipo == TipoCampo::Fecha) {
            const QDate d = QDate::fromString(texto, Qt::ISODate);
            if (d.isValid())
                texto = d.toString(QStringLiteral("dd/MM/yyyy"));
        }
        valores << texto;
    }
    return valores;
}

bool EjecutaFiltro(Contexto &ctx, const QString &criterio, const DestinoFiltro &destino)
{
    if (SinCriterio(ctx.mensajes, criterio))
        return false;
    const OrigenConsulta origen = destino.Origen();
    std::optional<ConsultaSQL> lista;
    ConjuntoEventos eventos;
    ConsultaSQL consulta;
    // The criteria run: one that cannot run, like one that finds nothing,
    // ends in the closing box below.
    try {
        CursorOcupado ocupado;
        const CondicionSQL condicion = TraduceCriterio(criterio, origen);
        if (origen == OrigenConsulta::Hoja) {
            // The events are opened once, keys only, and handed to the sheet as they are.
            consulta = SentenciaEventos(condicion);
            eventos.Abre(ctx.ConexionBD, consulta);
            if (eventos.Cuenta() == 0)
                AvisaSinRegistros(ctx.mensajes);
        } else {
            SentenciaSqlite prueba(ctx.ConexionBD.Manejador(),
                                   QStringLiteral("SELECT Causa FROM CATCIE10 WHERE ") + condicion.sql,
                                   condicion.valores);
            if (prueba.Paso())
                lista = SentenciaListaCIE10(condicion);
            else
                AvisaSinRegistros(ctx.mensajes);
        }
    } catch (const ErrorBD &e) {
        MuestraError(ctx.mensajes, e);
    }
    if (lista) {
        destino.listaCIE10(*lista);
        return true;
    }
    if (eventos.Cuenta() == 0) {
        ctx.mensajes.Informa(QStringLiteral("No hay registros que cumplan la condición establecida, verifique por favor....."),
                             TituloConsultas);
        return false;
    }
    // The hand-back: a failure here has its error box alone.
    try {
        CursorOcupado ocupado;
        modEvento &registro = destino.hoja->eventos;
        registro.rsAtencion = std::move(eventos);
        registro.ConsultaEventos = consulta;
        destino.hoja->vida.FiltroEventos = TextoCriterio(criterio);
        registro.LeeEvento();
        destino.hoja->vida.Actualiza_Ubicacion();
    } catch (const ErrorBD &e) {
        MuestraError(ctx.mensajes, e);
        return false;
    }
    return true;
}

void MuestraConsulta(Contexto &ctx, DialogoArchivos &dialogo, const DestinoFiltro &destino, QWidget *padre)
{
    frmQuery ventana(ctx, dialogo, destino, padre);
    ventana.exec();
}

void MuestraConsultaCIE10(Contexto &ctx, const RecibeFiltroCIE10 &recibe, QWidget *padre)
{
    DialogoArchivosQt dialogo;
    MuestraConsulta(ctx, dialogo, DestinoFiltro{nullptr, recibe}, padre);
}
