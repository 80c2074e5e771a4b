#include "platform/ArchivoDestino.h"
#include "platform/ExportaTabla.h"
#include "shell/Contexto.h"
#include "tools/AvisoHerramienta.h"
#include "tools/LibroDinamico.h"
#include "tools/SqlTablas.h"
#include "tools/TablaDinamica.h"

#include <QDir>

void GeneraTablaDinamica(Contexto &ctx)
{
    GeneraTablaDinamica(ctx, FilasHojaLibro);
}

void GeneraTablaDinamica(Contexto &ctx, qint64 filasHoja)
{
    AvisoHerramienta aviso(ctx);
    try {
        const QString destinoLibro = QDir(ctx.CarpetaPrograma).filePath(QStringLiteral("TablaDinamicaVELMORAN.xlsx"));
        const QString destinoBase = QDir(ctx.RutaDatos).filePath(QStringLiteral("DinamicaVELMORAN.db"));
        // Either file refused (its folder, or a file there that cannot be
        // replaced) before the tables are built: the two files always come
        // from one run.
        const QStringList protegidos = {ctx.ArchivoBD, ctx.ArchivoPlantilla()};
        for (const QString &destino : {destinoBase, destinoLibro})
            if (const QString rechazo = RevisaDestino(destino, protegidos, NombreDestino::Fijo); !rechazo.isEmpty())
                throw ErrorBD(-1, rechazo);
        ResultadoLibro r;
        {
            Progreso trabajo = ctx.Trabajo(
                QStringLiteral("Preparando información para la generación de la tabla dinámica............."));
            const auto etapa = [&](const QString &t) {
                ctx.mensajes.Beep();
                trabajo.Etapa(t);
            };
            ArchivoDestino base(destinoBase);
            ArchivoDestino libro(destinoLibro);
            {
                const QString esquema = QStringLiteral("dinamica");
                BaseAdjunta adjunta(ctx.ConexionBD, base.RutaTemporal(), esquema);
                ConstruyeBaseDinamica(ctx.ConexionBD, esquema, etapa);
                etapa(QStringLiteral("GENERANDO TABLA DINAMICA............."));
                const QString encabezado = QStringLiteral("*DELVARIA ") + ctx.AnoActual + QStringLiteral(" Creado el : ")
                                         + ctx.reloj.Ahora().date().toString(QStringLiteral("dd/MM/yyyy"));
                r = EscribeLibroDinamico(ctx.ConexionBD, esquema, libro.RutaTemporal(), encabezado, filasHoja);
            }
            QString error;
            if (!base.Confirma(&error) || !libro.Confirma(&error))
                throw ErrorBD(-1, error);
            etapa(QStringLiteral("Listo....."));
        }
        QString texto = QStringLiteral("La Tabla Dinámica, puede revisarla en la siguiente dirección: ") + destinoLibro;
        if (r.Recortado())
            texto += QStringLiteral("\n\n") + AvisoLimiteHoja(r);
        aviso.Informa(texto, TituloHerramientas);
    } catch (const ErrorBD &e) {
        aviso.Falla(e);
    }
}
