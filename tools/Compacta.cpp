#include "tools/Compacta.h"

#include "shell/Contexto.h"
#include "shell/mdiPrincipal.h"
#include "tools/AvisoHerramienta.h"

#include <sqlite3.h>

namespace {
const QString TituloCompacta = QStringLiteral("Herramientas VELMORAN - Compactar BD");

// The main window takes no input while the file is rewritten.
class VentanaInactiva {
public:
    explicit VentanaInactiva(QWidget *ventana) : ventana_(ventana)
    {
        if (ventana_)
            ventana_->setEnabled(false);
    }
    ~VentanaInactiva()
    {
        if (ventana_)
            ventana_->setEnabled(true);
    }

private:
    QWidget *ventana_;
};

// The refusal when the open file is away from its path and cannot come back
// to it: another file stands there, or the copy failed.
QString TextoNoCompacta(const BaseDatos &bd)
{
    return QStringLiteral("%1 - ").arg(SQLITE_CANTOPEN) + BaseDatos::TextoMovida(bd.Archivo(), QStringLiteral("no se compactó"));
}
} // namespace

bool CompactaBaseDatos(Contexto &ctx, mdiPrincipal *principal, const std::function<void()> &paramInicio)
{
    const QString archivo = ctx.ArchivoBD;
    // Every message, a failure's too, comes once a file that left its path
    // meanwhile is back there; so does the end of the run, however it ends.
    AvisoHerramienta aviso(ctx);
    // Closed away from its path, the file would be written back by the
    // closing, or lost where that copy fails; opened again, the connection
    // would stand on the other file that now has the name. Back first, or
    // left as it is.
    if (ctx.ConexionBD.EstaAbierta() && !aviso.Vuelve()) {
        aviso.Informa(TextoNoCompacta(ctx.ConexionBD), TituloCompacta);
        return true;
    }
    try {
        ctx.mensajes.Beep();
        // The pointer and the text are painted before the work, and the window during it.
        Progreso trabajo = ctx.Trabajo(QStringLiteral("Compactanto Base de Datos"));
        VentanaInactiva inactiva(principal);
        if (principal)
            principal->CierraVentanasHijas(mdiPrincipal::Cierre::Todas);
        ctx.ConexionBD.Cierra();
        ctx.ConexionBD.Abre(archivo);
        trabajo.Vigila(ctx.ConexionBD);
        const auto compacta = [&ctx] {
            ctx.ConexionBD.EjecutaAccion(QStringLiteral("VACUUM"));
            // Fresh statistics of every table, for the planner.
            ctx.ConexionBD.Analiza();
            // The compacted pages go from the journal into the file, and the journal is emptied.
            ctx.ConexionBD.Valor(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        };
        // A file that left its path meanwhile takes no commit: put back where
        // nothing stands, it is compacted there. Another file standing there
        // is said below.
        try {
            aviso.EnSuRuta(compacta);
        } catch (const ErrorBD &) {
            if (!ctx.ConexionBD.OtroEnSuRuta())
                throw;
        }
        // The end, said while the work still stands, with the file where it was.
        if (ctx.ConexionBD.SigueEnSuRuta()) {
            ctx.EscribePanel(QStringLiteral("Listo....."));
            return true;
        }
    } catch (const ErrorBD &e) {
        ctx.EscribePanel(QString());
        aviso.Informa(QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion(), TituloCompacta);
        // Open again, compacted or not; or the user picks a database.
        if (ctx.ConexionBD.EstaAbierta())
            return true;
        if (paramInicio)
            paramInicio();
        return ctx.ConexionBD.EstaAbierta() && ctx.ConexionBD.Archivo() == archivo;
    }
    // The file may have left its path during the work: as before it, put
    // back where nothing stands, refused where another file does.
    if (!aviso.Vuelve()) {
        ctx.EscribePanel(QString());
        if (ctx.ConexionBD.OtroEnSuRuta())
            aviso.Informa(TextoNoCompacta(ctx.ConexionBD), TituloCompacta);
        return true;
    }
    ctx.EscribePanel(QStringLiteral("Listo....."));
    return true;
}
