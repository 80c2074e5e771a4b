#include "queries/EjecutaGenConsultas.h"

#include "queries/CriteriosConsulta.h"
#include "queries/PanelCriterio.h"
#include "queries/TablaTrabajo.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmMuestraGenCons.h"
#include "queries/modVisData.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <QComboBox>

void EjecutaGenConsultas(Contexto &ctx, DialogoArchivos &dialogo, frmGenConsultas &ventana)
{
    const QString titulo = QStringLiteral("Genera Consultas");
    PanelCriterio &panel = *ventana.Panel();
    if (panel.cboField->currentText().isEmpty()) {
        ctx.mensajes.Informa(QStringLiteral("Debe primero seleccionar al menos un campo de condición..."), titulo);
        return;
    }
    const QStringList campos = ventana.Seleccion();
    if (campos.isEmpty()) {
        ctx.mensajes.Informa(QStringLiteral("Debe primero seleccionar al menos un campo para la tabla..."), titulo);
        return;
    }
    const QString criterio = panel.Criterio();
    if (SinCriterio(ctx.mensajes, criterio))
        return;
    try {
        {
            const Progreso trabajo = ctx.Trabajo(QStringLiteral("Generando la consulta, un momento por favor....."));
            const CondicionSQL c = TraduceCriterio(criterio, ventana.Origen(), panel.CampoOrden(), panel.Descendente());
            TablaTrabajo::ConstruyeGenConsul(ctx.ConexionBD, campos, {FromEventos(c), c.sql, c.valores, c.orden});
        }
        ctx.EscribePanel(QStringLiteral("Listo....."));
        if (ConsultaConRegistros(ctx, {QStringLiteral("SELECT * FROM ") + TablaTrabajo::GenConsul, {}})) {
            frmMuestraGenCons vista(ctx, dialogo, FormatoExportacion(ventana.Formato()), &ventana);
            vista.exec();
        }
    } catch (const ErrorBD &e) {
        ctx.EscribePanel(QString());
        MuestraError(ctx.mensajes, e);
    }
}

void AbreGenConsultasModal(Contexto &ctx, DialogoArchivos &dialogo, QWidget *padre)
{
    frmGenConsultas generador(ctx, dialogo, OrigenConsulta::Tabla, padre);
    generador.PonEjecucion([&ctx, &dialogo](frmGenConsultas &v) { EjecutaGenConsultas(ctx, dialogo, v); });
    generador.exec();
}
