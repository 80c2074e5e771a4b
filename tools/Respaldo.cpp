#include "tools/Respaldo.h"

#include "platform/ArchivoDestino.h"
#include "platform/CursorOcupado.h"
#include "platform/Empaque.h"
#include "shell/Contexto.h"
#include "tools/Bitacora.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
const QString TituloRespaldo = QStringLiteral("Respaldos VELMORAN");
} // namespace

Respaldo::Respaldo(Contexto &ctx, std::function<bool()> compacta) : ctx_(ctx), compacta_(std::move(compacta))
{
    NombreArchivo = QStringLiteral("VELMORAN") + ctx.AnoActual.mid(2, 2) + ctx.EstadoActual + QLatin1Char('_')
                    + ctx.reloj.Hoy().toString(QStringLiteral("ddMMyy")) + QStringLiteral(".ZIP");
}

QString Respaldo::RutaInicial() const
{
    return QDir(ctx_.RutaDatos).filePath(NombreArchivo);
}

QString Respaldo::RutaElegida(const QString &elegida)
{
    if (elegida.isEmpty())
        return RutaInicial();
    NombreArchivo = QFileInfo(elegida).fileName();
    return elegida;
}

QString Respaldo::Destino(const QString &texto) const
{
    const QString ruta = texto.trimmed();
    return ruta.endsWith(QLatin1Char('/')) ? ruta + NombreArchivo : ruta;
}

QString Respaldo::DestinoRechazado(const QString &destino) const
{
    if (destino.isEmpty())
        return QStringLiteral("Escriba la ruta del Respaldo, verifique por favor.....");
    const QFileInfo fi(destino);
    // Every name ending in .db (and its journals) in Datos is a database's.
    const bool enDatos = QFileInfo(fi.absolutePath()).canonicalFilePath() == QFileInfo(ctx_.RutaDatos).canonicalFilePath();
    static const QRegularExpression base(QStringLiteral("\\.db(-wal|-shm|-journal)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    if ((enDatos && base.match(fi.fileName()).hasMatch()) || BaseDatos::EsArchivoSqlite(destino))
        return QStringLiteral("El Respaldo no puede guardarse sobre la Base de Datos %1, elija otro archivo, "
                              "verifique por favor.....")
            .arg(QDir::toNativeSeparators(fi.absoluteFilePath()));
    if (fi.isDir())
        return QStringLiteral("%1 es una carpeta; escriba también el nombre del archivo, verifique por favor.....")
            .arg(QDir::toNativeSeparators(destino));
    if (!QFileInfo(fi.absolutePath()).isDir())
        return QStringLiteral("No existe la carpeta %1, verifique por favor.....")
            .arg(QDir::toNativeSeparators(fi.absolutePath()));
    return {};
}

bool Respaldo::Falla(const QString &motivo)
{
    reloj_.reset();
    ctx_.EscribePanel(QString());
    ctx_.mensajes.Informa(QStringLiteral("No se pudo hacer el Respaldo de la Base de Datos.\n\n") + motivo, TituloRespaldo);
    return false;
}

bool Respaldo::Respalda(const QString &destino)
{
    const QString rechazo = DestinoRechazado(destino);
    if (!rechazo.isEmpty())
        return Falla(rechazo);
    reloj_.emplace();
    ctx_.mensajes.Beep();
    if (compacta_ && !compacta_()) {
        reloj_.reset();
        return false;
    }   // the working database is no longer open: nothing to back up
    ctx_.EscribePanel(QStringLiteral("Respaldando Base de Datos..........."));

    const QString miembro = QStringLiteral("BKUP") + ctx_.AnoActual.mid(2, 2) + ctx_.EstadoActual + QStringLiteral(".db");
    // The copy and the archive get unique temporary names that an interrupted
    // backup leaves behind; this one removes them first.
    const QString rutaCopia = QDir(ctx_.RutaDatos).filePath(miembro);
    ArchivoDestino::BorraRestos(rutaCopia);
    ArchivoDestino::BorraRestos(destino);
    int eventos = 0;
    {
        // VACUUM INTO writes a name that does not exist yet; never confirmed, it goes at the end of this block.
        const ArchivoDestino copia(rutaCopia);
        try {
            eventos = ctx_.ConexionBD.Valor(QStringLiteral("SELECT COUNT(*) FROM D_EVENTO")).toInt();
            // A consistent, compacted copy of the open database in one statement.
            ctx_.ConexionBD.EjecutaAccion(QStringLiteral("VACUUM INTO ?"), {copia.RutaTemporal()});
        } catch (const ErrorBD &e) {
            return Falla(QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion());
        }
        QString error;
        if (!EmpacaArchivo(copia.RutaTemporal(), miembro, destino, &error))
            return Falla(error);
    }

    reloj_.reset();
    try {
        RegistraBitacora(ctx_.ConexionBD, {TipoBitacora::Respaldo, destino, eventos}, ctx_.reloj.Ahora());
    } catch (const ErrorBD &e) {
        ctx_.EscribePanel(QString());
        ctx_.mensajes.Informa(QStringLiteral("El Respaldo se guardó en %1, pero no se pudo anotar en la Bitácora.\n\n")
                                  .arg(QDir::toNativeSeparators(destino))
                                  + e.Descripcion(),
                              TituloRespaldo);
        return false;
    }
    ctx_.EscribePanel(QString());
    ctx_.mensajes.Beep();
    ctx_.mensajes.Informa(QStringLiteral("Se terminó el Respaldo de la Base de Datos"), TituloRespaldo);
    ctx_.EscribePanel(QStringLiteral("Listo.........."));
    return true;
}
