#include "events/MapaEvento.h"
#include "platform/CursorOcupado.h"
#include "platform/ExportaTabla.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"
#include "tools/AvisoHerramienta.h"
#include "tools/TablaCompleta.h"

#include <QCoreApplication>
#include <QDir>

void GeneraTablaCompleta(Contexto &ctx)
{
    CursorOcupado cursor;
    const AvisoHerramienta aviso(ctx);
    const bool enBase = ctx.TablaEnAccess;
    PeticionExportacion peticion;
    peticion.destino = QDir(ctx.CarpetaPrograma)
                           .filePath(enBase ? QStringLiteral("TablaCompletaVELMORAN.db")
                                            : QStringLiteral("TablaCompletaVELMORAN.xlsx"));
    peticion.formato = enBase ? FormatoExportacion::BaseDatos : FormatoExportacion::Excel;
    peticion.nombre = enBase ? QStringLiteral("TablaVELMORANCompleta") : QStringLiteral("TablaVELMORAN");
    peticion.protegidos = {ctx.ArchivoBD, ctx.ArchivoPlantilla()};
    peticion.avance = [](qint64) { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    // The event's dates (also the days of capture and edition) are stored as
    // ISO text; they go out as dates.
    for (const ColumnaEvento &c : ColumnasEvento())
        if (c.tipo == TipoValor::Fecha || c.tipo == TipoValor::Hoy)
            peticion.tipos.insert(QLatin1String(c.columna), TipoColumna::Fecha);
    peticion.declarados = {{QStringLiteral("MES"), QStringLiteral("CHAR(12)")},
                           {QStringLiteral("ANIO_ESTADISTICO"), QStringLiteral("CHAR(4)")}};
    try {
        const TablaCompleta tabla(ctx.ConexionBD);
        peticion.origen = tabla.Consulta();
        for (const QString &c : tabla.ColumnasFamilias())
            peticion.tipos.insert(c, tabla.ColumnasNumericas().contains(c) ? TipoColumna::Entero : TipoColumna::Texto);
        const ResultadoExportacion r = ExportaTabla(ctx.ConexionBD, peticion);
        if (!r.ok)
            throw ErrorBD(-1, r.error);
    } catch (const ErrorBD &e) {
        aviso.Falla(e);
        return;
    }
    // The application's own title and no icon, as the tool always said it.
    ctx.mensajes.Muestra(QStringLiteral("Puede revisar su tabla en: ") + peticion.destino, Mensajes::Icono::Ninguno,
                         TituloAplicacion());
}
