#include "tools/Compacta.h"

#include "shell/Contexto.h"
#include "shell/mdiPrincipal.h"

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

// The refusal when another file stands at the open database's path.
QString TextoOtroEnSuRuta(const BaseDatos &bd)
{
    return QStringLiteral("%1 - ").arg(SQLITE_CANTOPEN) + BaseDatos::TextoMovida(bd.Archivo(), QStringLiteral("no se compactó"));
}
} // namespace

bool CompactaBaseDatos(Contexto &ctx, mdiPrincipal *principal, const std::function<void()> &paramInicio)
{
    const QString archivo = ctx.ArchivoBD;
    // Opened again, the connection would stand on the other file that now has
    // the name, and what was confirmed would be only in the copy that closing
    // writes beside it. With nothing there, closing puts the file back.
    if (ctx.ConexionBD.EstaAbierta() && ctx.ConexionBD.OtroEnSuRuta()) {
        ctx.mensajes.Informa(TextoOtroEnSuRuta(ctx.ConexionBD), TituloCompacta);
        return true;
    }
    bool abierta = false;
    try {
        ctx.mensajes.Beep();
        // The pointer and the text are painted before the work, and the window during it.
        Progreso trabajo = ctx.Trabajo(QStringLiteral("Compactanto Base de Datos"));
        VentanaInactiva inactiva(principal);
        if (principal)
            principal->CierraVentanasHijas(mdiPrincipal::Cierre::Todas);
        ctx.ConexionBD.Cierra();
        ctx.ConexionBD.Abre(archivo);
        abierta = true;
        trabajo.Vigila(ctx.ConexionBD);
        const auto compacta = [&ctx] {
            ctx.ConexionBD.EjecutaAccion(QStringLiteral("VACUUM"));
            // Fresh statistics of every table, for the planner.
            ctx.ConexionBD.Analiza();
            // The compacted pages go from the journal into the file, and the journal is emptied.
            ctx.ConexionBD.Valor(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        };
        try {
            compacta();
        } catch (const ErrorBD &) {
            // A file that left its path meanwhile takes no commit: put back
            // where nothing stands, it is compacted there. Another file
            // standing there is said below.
            if (ctx.ConexionBD.SigueEnSuRuta() || (!ctx.ConexionBD.OtroEnSuRuta() && !ctx.ConexionBD.VuelveASuRuta()))
                throw;
            if (ctx.ConexionBD.SigueEnSuRuta())
                compacta();
        }
        // The file may have left its path during the work: as before it, put
        // back where nothing stands, refused where another file does.
        if (!ctx.ConexionBD.VuelveASuRuta()) {
            trabajo.Termina();
            ctx.EscribePanel(QString());
            if (ctx.ConexionBD.OtroEnSuRuta())
                ctx.mensajes.Informa(TextoOtroEnSuRuta(ctx.ConexionBD), TituloCompacta);
            return true;
        }
        ctx.EscribePanel(QStringLiteral("Listo....."));
        return true;
    } catch (const ErrorBD &e) {
        ctx.EscribePanel(QString());
        ctx.mensajes.Informa(QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion(), TituloCompacta);
    }
    if (abierta)
        return true;
    if (paramInicio)
        paramInicio();
    return ctx.ConexionBD.EstaAbierta() && ctx.ConexionBD.Archivo() == archivo;
}
