#pragma once

#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"

#include <QString>

class Contexto;

inline const QString TituloHerramientas = QStringLiteral("Herramientas VELMORAN");

// The messages of a tool's run over the working database, from its first
// work on. A database file that left its path meanwhile (deleted, moved
// away) is written back there before any message is shown and when the run
// ends, however it ends: no message waits for the user while the file is
// missing, and a program killed while one waits leaves the database in place.
// A copy that cannot be written is said once; the run does not try it again.
class AvisoHerramienta {
public:
    explicit AvisoHerramienta(Contexto &ctx) : ctx_(ctx) {}
    ~AvisoHerramienta() { Vuelve(); }
    AvisoHerramienta(const AvisoHerramienta &) = delete;
    AvisoHerramienta &operator=(const AvisoHerramienta &) = delete;

    void Muestra(const QString &texto, Mensajes::Icono icono, const QString &titulo);
    void Informa(const QString &texto, const QString &titulo) { Muestra(texto, Mensajes::Icono::Informacion, titulo); }
    // Empties the panel and shows the error, titled "Herramientas VELMORAN".
    void Falla(const ErrorBD &e);
    // Writes the file back now, as before a message; false when the
    // connection stays on a file away from its path (another file stands
    // there, or the copy failed, which is said).
    bool Vuelve();
    // After the run's work on the database failed: true when the file had
    // left its path, nothing stood there, and it is open there again now
    // (written back, and said), so that the work can be done there.
    bool DeVueltaEnSuRuta();
    // Runs `paso`, a write of the run into the working database. A file that
    // left its path refuses it: written back where nothing stands, `paso`
    // runs once more there. Any other failure is thrown.
    template <typename Paso>
    void EnSuRuta(Paso &&paso)
    {
        try {
            paso();
        } catch (const ErrorBD &) {
            if (!DeVueltaEnSuRuta())
                throw;
            paso();
        }
    }

private:
    Contexto &ctx_;
    bool intenta_ = true;
};
