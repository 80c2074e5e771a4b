#pragma once

#include "platform/Ajustes.h"
#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/Progreso.h"
#include "platform/Reloj.h"

#include <QString>
#include <functional>

// Process-wide state of one running program: the shared connection, the start
// parameters and the services every window borrows. The application owns one;
// tests build their own.
class Contexto {
public:
    Contexto(const QString &carpetaPrograma, Mensajes &mensajes, Ajustes &ajustes, const Reloj &reloj);

    const QString CarpetaPrograma;
    BaseDatos ConexionBD;
    Mensajes &mensajes;
    Ajustes &ajustes;
    const Reloj &reloj;

    // Start parameters: two-digit state code and four-digit statistical year.
    QString EstadoActual = QStringLiteral("36");
    QString AnoActual = QStringLiteral("2004");
    QString RutaDatos;   // program folder + /Datos
    QString ArchivoBD;   // the working database file

    // The filter window's criteria text, kept between its openings.
    QString CriterioConsulta;

    // Which output the full flat table goes to (true: database file).
    bool TablaEnAccess = false;

    // The main window's message panel; a no-op until the window sets it.
    std::function<void(const QString &)> PanelMensajes;
    void EscribePanel(const QString &texto) const;
    // Called with true when long work starts and false when it ends: the main
    // window holds its panel timer meanwhile and starts it again at the end.
    std::function<void(bool)> TrabajoLargo;
    // The subsystems' own work at start-up, once this is the only copy of the
    // program running here and before the database opens: the wiring of the
    // menus sets it.
    std::function<void()> AlArrancar;
    // Long work, starting at stage `etapa`, with the shared connection watched
    // when open: see Progreso. Its stages and counts go to the message panel.
    Progreso Trabajo(const QString &etapa) const;

    // Datos/VELMORAN + the year's last two digits + the state code + ".db".
    QString NombreArchivoBD(const QString &estado, const QString &ano) const;
    QString ArchivoPlantilla() const;     // Datos/VELMORAN00.db
    QString CarpetaReportes() const;
    QString CarpetaRecursos() const;
};
