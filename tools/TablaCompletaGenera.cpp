#include "events/MapaEvento.h"
#include "platform/ExportaTabla.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"
#include "tools/AvisoHerramienta.h"
#include "tools/TablaCompleta.h"

#include <QDir>

void GeneraTablaCompleta(Contexto &ctx)
{
    AvisoHerramienta aviso(ctx);
    const bool enBase = ctx.TablaEnAccess;
    PeticionExportacion peticion;
    peticion.destino = QDir(ctx.CarpetaPrograma)
                           .filePath(enBase ? QStringLiteral("TablaCompletaVELMORAN.db")
                                            : QStringLiteral("TablaCompletaVELMORAN.xlsx"));
    peticion.formato = enBase ? FormatoExportacion::BaseDatos : FormatoExportacion::Excel;
    peticion.nombre = enBase ? QStringLiteral("TablaVELMORANCompleta") : QStringLiteral("TablaVELMORAN");
    peticion.protegidos = {ctx.ArchivoBD, ctx.ArchivoPlantilla()};
    peticion.nombreDestino = NombreDestino::Fijo;
    // The event's dates (also the days of capture and edition) are stored as
    // ISO text; they go out as dates.
    for (const ColumnaEvento &c : ColumnasEvento())
        if (c.tipo == TipoValor::Fecha || c.tipo == TipoValor::Hoy)
            peticion.tipos.insert(QLatin1String(c.columna), TipoColumna::Fecha);
    peticion.declarados = {{QStringLiteral("MES"), QStringLiteral("CHAR(12)")},
                           {QStringLiteral("ANIO_ESTADISTICO"), QStringLiteral("CHAR(4)")}};
    // A file that may not be written is refused before the table is built.
    if (const QString rechazo = RevisaDestino(peticion.destino, peticion.protegidos, peticion.nombreDestino); !rechazo.isEmpty())
        return aviso.Falla(ErrorBD(-1, rechazo));
    try {
        Progreso trabajo = ctx.Trabajo(QStringLiteral("Generando la Tabla Completa: eventos"));
        const TablaCompleta tabla(ctx.ConexionBD, [&](qint64 hechos, qint64 total) { trabajo.Cuenta(hechos, total); });
        peticion.origen = tabla.Consulta();
        for (const QString &c : tabla.ColumnasFamilias())
            peticion.tipos.insert(c, tabla.ColumnasNumericas().contains(c) ? TipoColumna::Entero : TipoColumna::Texto);
        trabajo.Etapa(QStringLiteral("Escribiendo la Tabla Completa en %1: registros")
                          .arg(QDir::toNativeSeparators(peticion.destino)));
        peticion.avance = [&](qint64 filas) { trabajo.Cuenta(filas, tabla.Eventos()); };
        // Packing a large workbook or finishing the file takes seconds of its own.
        peticion.alCerrar = [&](qint64 filas) {
            trabajo.Cuenta(filas, tabla.Eventos());
            trabajo.Etapa(QStringLiteral("Guardando la Tabla Completa en %1, un momento por favor.....")
                              .arg(QDir::toNativeSeparators(peticion.destino)));
        };
        const ResultadoExportacion r = ExportaTabla(ctx.ConexionBD, peticion);
        if (!r.ok && !ctx.ConexionBD.SigueEnSuRuta())
            // Read through the connection, the table met the file away from its path.
            throw ErrorBD::DeArchivoMovido(ctx.ConexionBD.Archivo(), QStringLiteral("no se escribió la tabla"));
        if (!r.ok)
            throw ErrorBD(-1, r.error);
        trabajo.Etapa(QStringLiteral("Listo....."));
    } catch (const ErrorBD &e) {
        aviso.Falla(e);
        return;
    }
    // The application's own title and no icon, as the tool always said it.
    aviso.Muestra(QStringLiteral("Puede revisar su tabla en: ") + peticion.destino, Mensajes::Icono::Ninguno,
                  TituloAplicacion());
}
