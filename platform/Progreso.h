#pragma once

#include "platform/CursorOcupado.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <optional>

class BaseDatos;

// Long work on the user-interface thread, for its life: the busy pointer; the
// stage it is in and how far it has got, written to the message panel; the
// windows kept painted (no user input is taken), also during one long SQLite
// statement of a watched connection. `ocupado(true)` is called when the
// outermost work starts and `ocupado(false)` when it ends, so that the main
// window holds its panel timer meanwhile and starts it again afterwards.
class Progreso {
public:
    using Panel = std::function<void(const QString &)>;
    // Starts at stage `etapa` (when not empty), watching `bd` (when given).
    Progreso(Panel panel, std::function<void(bool)> ocupado, const QString &etapa = {}, const BaseDatos *bd = nullptr);
    ~Progreso();
    Progreso(const Progreso &) = delete;
    Progreso &operator=(const Progreso &) = delete;

    // Writes the stage and paints it at once.
    void Etapa(const QString &texto);
    // "<stage> 250,000 de 1,000,000" (without " de …" when the total is not
    // known, `total` < 0); written at most a few times a second.
    void Cuenta(qint64 hecho, qint64 total = -1);
    // Keeps the windows painted during the statements of the open connection
    // while the work lasts. A connection closed and opened again is a new
    // one, to be watched again.
    void Vigila(const BaseDatos &bd);

    // Ends the work before the object goes (a message box to show): the
    // pointer comes back and the panel timer starts again.
    void Termina();

    // Paints what waits to be painted; no input, timer or socket is handled.
    static void Repinta();

private:
    static int Llama(void *);

    Panel panel_;
    std::function<void(bool)> ocupado_;
    std::optional<CursorOcupado> cursor_;
    QString etapa_;
    const BaseDatos *vigilada_ = nullptr;
    QElapsedTimer cuenta_;   // since the count was last written; invalid before the first
};
