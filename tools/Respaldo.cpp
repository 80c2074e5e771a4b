#include "tools/Respaldo.h"

#include "platform/ArchivoDestino.h"
#include "platform/Empaque.h"
#include "platform/SentenciaSqlite.h"
#include "shell/Contexto.h"
#include "tools/AvisoHerramienta.h"
#include "tools/Bitacora.h"
#include "tools/EnvioPaquete.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <sqlite3.h>

namespace {
const QString TituloRespaldo = QStringLiteral("Respaldos VELMORAN");

// The events in the database file `archivo`, read on a connection of its
// own: the program's may stand on a file that left its path, which it no
// longer reads (nor the schemas of files it would attach).
int EventosEn(const QString &archivo)
{
    sqlite3 *db = nullptr;
    const auto cierra = qScopeGuard([&db] { sqlite3_close(db); });
    if (sqlite3_open_v2(QFile::encodeName(archivo).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw ErrorBD::DeManejador(db);
    SentenciaSqlite cuenta(db, QStringLiteral("SELECT COUNT(*) FROM D_EVENTO"));
    return cuenta.Paso() ? cuenta.Valor(0).toInt() : 0;
}
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
    // Both folders written, the destination's and Datos (the copy), before
    // the compaction and the copy rather than after them.
    for (const QString &ruta : {destino, RutaCopia()})
        if (const QString rechazo = ArchivoDestino::RevisaCarpeta(ruta); !rechazo.isEmpty())
            return rechazo;
    return {};
}

QString Respaldo::Miembro() const
{
    return QStringLiteral("BKUP") + ctx_.AnoActual.mid(2, 2) + ctx_.EstadoActual + QStringLiteral(".db");
}

QString Respaldo::RutaCopia() const
{
    return QDir(ctx_.RutaDatos).filePath(Miembro());
}

bool Respaldo::Falla(AvisoHerramienta &aviso, const QString &motivo)
{
    ctx_.EscribePanel(QString());
    aviso.Informa(QStringLiteral("No se pudo hacer el Respaldo de la Base de Datos.\n\n") + motivo, TituloRespaldo);
    return false;
}

QString Respaldo::Copia(Progreso &trabajo, const QString &destino, int *eventos)
{
    trabajo.Etapa(QStringLiteral("Respaldando Base de Datos..........."));
    trabajo.Vigila(ctx_.ConexionBD);   // the compaction opened it anew
    const QString miembro = Miembro();
    // The copy and the archive get unique temporary names that an interrupted
    // backup leaves behind; this one removes them first, and what a killed
    // send or reception left in Datos.
    const QString rutaCopia = RutaCopia();
    BorraRestosEnDatos(ctx_.RutaDatos);
    ArchivoDestino::BorraRestos(destino);
    // VACUUM INTO writes a name that does not exist yet; never confirmed, it is removed on return.
    const ArchivoDestino copia(rutaCopia);
    try {
        bool copiada = false;
        if (ctx_.ConexionBD.SigueEnSuRuta()) {
            try {
                *eventos = ctx_.ConexionBD.Valor(QStringLiteral("SELECT COUNT(*) FROM D_EVENTO")).toInt();
                // A consistent, compacted copy of the open database in one statement.
                ctx_.ConexionBD.EjecutaAccion(QStringLiteral("VACUUM INTO ?"), {copia.RutaTemporal()});
                copiada = true;
            } catch (const ErrorBD &) {
                // Refused because the file left its path meanwhile: copied
                // as below, in place of what the statement began.
                if (ctx_.ConexionBD.SigueEnSuRuta())
                    throw;
                QFile::remove(copia.RutaTemporal());
            }
        }
        if (!copiada) {
            // Away from its path, before the copy or during it, the file is
            // copied from its own bytes and the copy read: the journals at
            // the path may be another's.
            if (const QString error = ctx_.ConexionBD.CopiaDelArchivo(copia.RutaTemporal()); !error.isEmpty())
                return error;
            *eventos = EventosEn(copia.RutaTemporal());
        }
    } catch (const ErrorBD &e) {
        return QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion();
    }
    trabajo.Etapa(QStringLiteral("Empacando el Respaldo en %1...........").arg(QDir::toNativeSeparators(destino)));
    QString error;
    EmpacaArchivo(copia.RutaTemporal(), miembro, destino, &error);
    return error;
}

bool Respaldo::Respalda(const QString &destino)
{
    // The compaction writes back a file deleted during it; this one, during the copy.
    AvisoHerramienta aviso(ctx_);
    const QString rechazo = DestinoRechazado(destino);
    if (!rechazo.isEmpty())
        return Falla(aviso, rechazo);
    int eventos = 0;
    QString motivo;
    {
        ctx_.mensajes.Beep();
        Progreso trabajo = ctx_.Trabajo(QString());
        if (compacta_ && !compacta_())
            return false;   // the working database is no longer open: nothing to back up
        motivo = Copia(trabajo, destino, &eventos);
    }
    if (!motivo.isEmpty())
        return Falla(aviso, motivo);

    try {
        // Into the file at its path, written back there first if it left it.
        aviso.EnSuRuta([&] {
            RegistraBitacora(ctx_.ConexionBD, {TipoBitacora::Respaldo, destino, eventos, 0, QString(), QString(), 0},
                             ctx_.reloj.Ahora());
        });
    } catch (const ErrorBD &e) {
        ctx_.EscribePanel(QString());
        aviso.Informa(QStringLiteral("El Respaldo se guardó en %1, pero no se pudo anotar en la Bitácora.\n\n")
                              .arg(QDir::toNativeSeparators(destino))
                          + e.Descripcion(),
                      TituloRespaldo);
        return false;
    }
    ctx_.EscribePanel(QString());
    ctx_.mensajes.Beep();
    aviso.Informa(QStringLiteral("Se terminó el Respaldo de la Base de Datos"), TituloRespaldo);
    ctx_.EscribePanel(QStringLiteral("Listo.........."));
    return true;
}
