#include "shell/Contexto.h"

#include <QDir>

Contexto::Contexto(const QString &carpetaPrograma, Mensajes &m, Ajustes &a, const Reloj &r)
    : CarpetaPrograma(QDir::cleanPath(carpetaPrograma)), mensajes(m), ajustes(a), reloj(r),
      RutaDatos(QDir(CarpetaPrograma).filePath(QStringLiteral("Datos")))
{
    ConexionBD.AvisoAlCerrar = [this](const QString &texto) { mensajes.Informa(texto, QStringLiteral("VELMORAN")); };
}

void Contexto::EscribePanel(const QString &texto) const
{
    if (PanelMensajes)
        PanelMensajes(texto);
}

Progreso Contexto::Trabajo(const QString &etapa) const
{
    return Progreso([this](const QString &t) { EscribePanel(t); },
                    [this](bool empieza) {
                        if (TrabajoLargo)
                            TrabajoLargo(empieza);
                    },
                    etapa, ConexionBD.EstaAbierta() ? &ConexionBD : nullptr);
}

QString Contexto::NombreArchivoBD(const QString &estado, const QString &ano) const
{
    return QDir(CarpetaPrograma).filePath(QStringLiteral("Datos/VELMORAN") + ano.mid(2, 2) + estado
                                          + QStringLiteral(".db"));
}

QString Contexto::ArchivoPlantilla() const
{
    return QDir(CarpetaPrograma).filePath(QStringLiteral("Datos/VELMORAN00.db"));
}

QString Contexto::CarpetaReportes() const
{
    return QDir(CarpetaPrograma).filePath(QStringLiteral("Reportes"));
}

QString Contexto::CarpetaRecursos() const
{
    return QDir(CarpetaPrograma).filePath(QStringLiteral("RECURSOS"));
}
