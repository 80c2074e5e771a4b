#include "queries/ExportaConsulta.h"

#include "platform/DialogoArchivos.h"
#include "shell/Contexto.h"

#include <QFileInfo>

namespace {

const QString TituloExportar = QStringLiteral("Exportar");

const char *Extension(FormatoExportacion f)
{
    switch (f) {
    case FormatoExportacion::BaseDatos: return "db";
    case FormatoExportacion::Excel: return "xlsx";
    case FormatoExportacion::Dbase: return "dbf";
    }
    return "";
}

} // namespace

QString RutaConExtension(const QString &elegida, FormatoExportacion formato)
{
    const QFileInfo fi(elegida);
    const QString propia = QLatin1String(Extension(formato));
    const QString sufijo = fi.suffix().toLower();
    if (sufijo == propia)
        return elegida;
    // The formats these files had before: the same content under its real name.
    const bool antigua = (formato == FormatoExportacion::BaseDatos && sufijo == QLatin1String("mdb"))
                         || (formato == FormatoExportacion::Excel && sufijo == QLatin1String("xls"));
    if (antigua)
        return elegida.left(elegida.size() - sufijo.size()) + propia;
    return elegida + QLatin1Char('.') + propia;
}

bool ExportaConsulta(Contexto &ctx, DialogoArchivos &dialogo, FormatoExportacion formato, const QString &tabla)
{
    static const char *filtros[] = {"Base de Datos SQLite (*.db)", "Libro de Excel (*.xlsx)", "Archivo Dbase (*.dbf)"};
    const QString elegida = dialogo.GuardarSinConfirmar(QStringLiteral("Exportar Datos"), ctx.RutaDatos, QStringLiteral("DB1"),
                                                        QLatin1String(filtros[int(formato)]));
    if (elegida.isEmpty())
        return false;
    const QString ruta = RutaConExtension(elegida, formato);

    // Checked before anything is asked; the name typed is checked too, so that
    // the working database is refused whatever extension the format adds.
    const QStringList protegidos = {ctx.ArchivoBD, ctx.ArchivoPlantilla()};
    QString rechazo = RevisaDestino(elegida, protegidos);
    if (rechazo.isEmpty() && ruta != elegida)
        rechazo = RevisaDestino(ruta, protegidos);
    if (!rechazo.isEmpty()) {
        ctx.mensajes.Informa(rechazo, TituloExportar);
        return false;
    }
    // A typed extension is never changed without saying so.
    if (ruta != elegida && !QFileInfo(elegida).suffix().isEmpty()
        && !ctx.mensajes.Confirma(QStringLiteral("El nombre %1 no lleva la extensión del formato elegido: el archivo se "
                                                 "grabará como %2.\n¿Desea continuar?").arg(elegida, ruta),
                                  TituloExportar))
        return false;
    if (QFileInfo::exists(ruta)
        && !ctx.mensajes.Confirma(PreguntaReemplazo(ruta), TituloExportar))
        return false;

    PeticionExportacion p;
    p.origen = tabla;
    p.destino = ruta;
    p.formato = formato;
    p.nombre = formato == FormatoExportacion::Excel ? QStringLiteral("ExcelTabla")
                                                    : QFileInfo(ruta).fileName().section(QLatin1Char('.'), 0, 0);
    p.protegidos = protegidos;
    ResultadoExportacion r;
    {
        Progreso trabajo = ctx.Trabajo(QStringLiteral("Exportando la consulta a %1: registros").arg(ruta));
        p.avance = [&trabajo](qint64 filas) { trabajo.Cuenta(filas); };
        r = ExportaTabla(ctx.ConexionBD, p);
    }
    if (!r.ok) {
        ctx.EscribePanel(QString());
        ctx.mensajes.Informa(QStringLiteral("No se pudo exportar la consulta:\n%1").arg(r.error), TituloExportar);
        return false;
    }
    ctx.EscribePanel(QStringLiteral("Listo....."));
    const QString cuantos = r.filas == 1 ? QStringLiteral("Se exportó 1 registro") : QStringLiteral("Se exportaron %1 registros").arg(r.filas);
    ctx.mensajes.Informa(cuantos + QStringLiteral(" al archivo:\n") + ruta, TituloExportar);
    return true;
}
