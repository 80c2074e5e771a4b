#include "shell/ParamInicio.h"

#include "platform/ArchivoDestino.h"
#include "platform/CursorOcupado.h"
#include "shell/frmParamInicio.h"
#include "shell/mdiPrincipal.h"
#include "shell/modGeneral.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString TituloParam = QStringLiteral("Parámetros de Inicio");
const QString NoSeAbrio = QStringLiteral("No se pudo abrir la Base de Datos, por favor verifique sus datos.");

bool SoloDigitos(const QString &t)
{
    if (t.isEmpty())
        return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

void LeeParamInicio(Contexto &ctx)
{
    const QString ano = ctx.ajustes.Lee(QStringLiteral("AnoActual"));
    ctx.AnoActual = ano.trimmed().isEmpty() ? QStringLiteral("2004") : ano;
    const QString estado = ctx.ajustes.Lee(QStringLiteral("EstadoActual"));
    ctx.EstadoActual = estado.trimmed().isEmpty() ? QStringLiteral("36") : estado;
    ctx.ArchivoBD = ctx.NombreArchivoBD(ctx.EstadoActual, ctx.AnoActual);
}

bool ParamInicio::ValidaEstado(const QString &texto) const
{
    const QString t = texto.trimmed();
    if (SoloDigitos(t) && t.toInt() >= 1 && t.toInt() <= 99)
        return true;
    ctx_.mensajes.Informa(QStringLiteral("El Estado no puede ser 0 (cero)"), TituloParam);
    return false;
}

bool ParamInicio::ValidaAno(const QString &texto) const
{
    // Statistical year Y+1 starts on 26 December of Y, so next year is valid too.
    const int ultimo = ctx_.reloj.Hoy().year() + 1;
    if (texto.size() == 4 && SoloDigitos(texto) && texto.toInt() >= 2000 && texto.toInt() <= ultimo)
        return true;
    ctx_.mensajes.Informa(QStringLiteral("El año es incorrecto"), TituloParam);
    return false;
}

QString ParamInicio::FormatoEstado(const QString &texto)
{
    return QStringLiteral("%1").arg(texto.trimmed().toInt(), 2, 10, QLatin1Char('0'));
}

bool ParamInicio::Reconecta(QString *error)
{
    CursorOcupado reloj;
    ctx_.ConexionBD.Cierra();
    ctx_.ArchivoBD = ctx_.NombreArchivoBD(ctx_.EstadoActual, ctx_.AnoActual);
    try {
        ctx_.ConexionBD.Abre(ctx_.ArchivoBD);
        return true;
    } catch (const ErrorBD &e) {
        *error = e.Descripcion();
        return false;
    }
}

bool ParamInicio::CreaBaseVacia(const QString &archivo)
{
    const QString plantilla = ctx_.ArchivoPlantilla();
    if (!QFileInfo::exists(plantilla)) {
        ctx_.mensajes.Informa(QStringLiteral("No se encontró la Base de Datos vacía %1, no se pudo crear la Base de Datos.")
                                  .arg(QDir::toNativeSeparators(plantilla)),
                              TituloParam);
        return false;
    }
    const QString noSeCreo = QStringLiteral("No se pudo crear la Base de Datos %1:\n").arg(QDir::toNativeSeparators(archivo));
    if (!ArchivoDestino::CarpetaConEscritura(ctx_.RutaDatos)) {
        ctx_.mensajes.Informa(noSeCreo + ArchivoDestino::TextoCarpetaSinEscritura(ctx_.RutaDatos), TituloParam);
        return false;
    }
    const QStringList &tablas = BaseDatos::TablasDeEventos();
    const QString danada = noSeCreo
                           + QStringLiteral("la Base de Datos vacía %1 está dañada; reponga ese archivo, "
                                            "verifique por favor.....")
                                 .arg(QDir::toNativeSeparators(plantilla));
    if (!BaseDatos::EsBaseSana(plantilla, tablas)) {
        ctx_.mensajes.Informa(danada, TituloParam);
        return false;
    }
    // Copied under a temporary name and put in place only once the copy opens
    // as a database: a failure leaves nothing behind (the temporary file goes
    // with `destino`).
    ArchivoDestino destino(archivo);
    const QString copia = destino.RutaTemporal();
    QString error;
    if (!QFile::copy(plantilla, copia)) {
        ctx_.mensajes.Informa(noSeCreo + QStringLiteral("no se pudo copiar la Base de Datos vacía, verifique por favor....."),
                              TituloParam);
        return false;
    }
    QFile::setPermissions(copia, QFile::permissions(copia) | QFileDevice::WriteOwner);
    if (!BaseDatos::EsBaseSana(copia, tablas)) {
        ctx_.mensajes.Informa(danada, TituloParam);
        return false;
    }
    if (!destino.Confirma(&error)) {
        ctx_.mensajes.Informa(noSeCreo + error, TituloParam);
        return false;
    }
    return true;
}

ParamInicio::Resultado ParamInicio::AplicaParamInicio(const QString &estado, const QString &ano)
{
    // The boxes are checked again here: the focus may never have entered them.
    if (!ValidaEstado(estado))
        return Resultado::EstadoInvalido;
    if (!ValidaAno(ano))
        return Resultado::AnoInvalido;

    ctx_.EstadoActual = FormatoEstado(estado);
    ctx_.AnoActual = ano;

    QString error;
    if (!Reconecta(&error)) {
        ParamInicioPendiente = true;
        // An existing file is never overwritten: it may hold the state's events.
        if (QFileInfo::exists(ctx_.ArchivoBD)) {
            ctx_.mensajes.Informa(NoSeAbrio + QStringLiteral("\n\n") + error, TituloParam);
            return Resultado::NoAbierta;
        }
        if (!ctx_.mensajes.Pregunta(NoSeAbrio + QStringLiteral("\n\n¿Desea crear la Base de Datos vacia?"),
                                    Mensajes::Icono::Informacion, TituloParam))
            return Resultado::NoAbierta;
        if (!CreaBaseVacia(ctx_.ArchivoBD))
            return Resultado::NoAbierta;
        if (!Reconecta(&error)) {
            ctx_.mensajes.Informa(NoSeAbrio + QStringLiteral("\n\n") + error, TituloParam);
            return Resultado::NoAbierta;
        }
    }

    ParamInicioPendiente = false;
    if (!ctx_.ajustes.Escribe(QStringLiteral("EstadoActual"), ctx_.EstadoActual)
        || !ctx_.ajustes.Escribe(QStringLiteral("AnoActual"), ctx_.AnoActual))
        ctx_.mensajes.Informa(QStringLiteral("No se pudieron guardar los Parámetros de Inicio; "
                                             "la Base de Datos quedó abierta para esta sesión."),
                              TituloParam);
    return Resultado::Abierta;
}

bool MuestraParamInicio(Contexto &ctx, mdiPrincipal *principal, bool pendiente)
{
    // A capture the user chose to keep keeps the parameters as they are.
    if (principal && !principal->CierraVentanasHijas())
        return true;
    frmParamInicio ventana(ctx, principal);
    // Without an open database there is nothing to go back to: Cancelar ends the program.
    ventana.logica.ParamInicioPendiente = pendiente || !ctx.ConexionBD.EstaAbierta();
    ventana.exec();
    if (ventana.Abierta() && principal)
        principal->MuestraEstadoAno();
    return !ventana.TerminaPrograma();
}
