#include "tools/Compacta.h"

#include "shell/Contexto.h"
#include "shell/mdiPrincipal.h"

namespace {
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
} // namespace

bool CompactaBaseDatos(Contexto &ctx, mdiPrincipal *principal, const std::function<void()> &paramInicio)
{
    const QString archivo = ctx.ArchivoBD;
    bool abierta = false;
    try {
        ctx.mensajes.Beep();
        // The pointer and the text are painted before the work, and the window during it.
        Progreso trabajo = ctx.Trabajo(QStringLiteral("Compactanto Base de Datos"));
        VentanaInactiva inactiva(principal);
        if (principal)
            principal->CierraVentanasHijas();
        ctx.ConexionBD.Cierra();
        ctx.ConexionBD.Abre(archivo);
        abierta = true;
        trabajo.Vigila(ctx.ConexionBD);
        ctx.ConexionBD.EjecutaAccion(QStringLiteral("VACUUM"));
        // The compacted pages go from the journal into the file, and the journal is emptied.
        ctx.ConexionBD.Valor(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        ctx.EscribePanel(QStringLiteral("Listo....."));
        return true;
    } catch (const ErrorBD &e) {
        ctx.EscribePanel(QString());
        ctx.mensajes.Informa(QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion(),
                             QStringLiteral("Herramientas VELMORAN - Compactar BD"));
    }
    if (abierta)
        return true;
    if (paramInicio)
        paramInicio();
    return ctx.ConexionBD.EstaAbierta() && ctx.ConexionBD.Archivo() == archivo;
}
