#include "tools/AvisoHerramienta.h"

#include "shell/Contexto.h"

#include <QStringList>
#include <utility>

bool AvisoHerramienta::Vuelve()
{
    BaseDatos &bd = ctx_.ConexionBD;
    if (!bd.EstaAbierta() || bd.SigueEnSuRuta())
        return true;
    if (!intenta_)
        return false;
    // Written back under the busy pointer, with the windows painted (a copy
    // of the whole file takes a while); said once the pointer is back. The
    // guard's end is the writing back, a failure of it said as a closing says it.
    QStringList dicho;
    const auto aviso = std::exchange(bd.AvisoAlCerrar, [&dicho](const QString &t) { dicho << t; });
    {
        const Progreso trabajo = ctx_.Trabajo(QString());
        const VuelveAlTerminar vuelve(bd);
    }
    bd.AvisoAlCerrar = aviso;
    for (const QString &t : std::as_const(dicho))
        if (aviso)
            aviso(t);
    const bool enSuRuta = !bd.EstaAbierta() || bd.SigueEnSuRuta();
    // A copy that failed was said once: the run's later messages do not try
    // it again (closing the program does).
    intenta_ = enSuRuta || dicho.isEmpty();
    return enSuRuta;
}

bool AvisoHerramienta::DeVueltaEnSuRuta()
{
    const BaseDatos &bd = ctx_.ConexionBD;
    if (!bd.EstaAbierta() || bd.SigueEnSuRuta() || bd.OtroEnSuRuta())
        return false;
    return Vuelve() && bd.EstaAbierta();
}

void AvisoHerramienta::Muestra(const QString &texto, Mensajes::Icono icono, const QString &titulo)
{
    Vuelve();
    ctx_.mensajes.Muestra(texto, icono, titulo);
}

void AvisoHerramienta::Falla(const ErrorBD &e)
{
    ctx_.EscribePanel(QString());
    // Errors of our own (files, workbook) carry no engine number.
    const QString texto = e.Numero() < 0 ? e.Descripcion()
                                         : QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion();
    Informa(texto, TituloHerramientas);
}
