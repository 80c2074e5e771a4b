#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The settings store: application "VELMORAN", section "ParamInicio".
// Tests pass an INI file of their own.
class Ajustes {
public:
    Ajustes();                                   // the user's settings store
    explicit Ajustes(const QString &archivoIni); // a given file (tests)

    // The stored text, or a null QString when the key is missing.
    QString Lee(const QString &clave) const;
    // Writes and flushes; false when the store could not be written.
    bool Escribe(const QString &clave, const QString &valor);

private:
    std::unique_ptr<QSettings> s_;
};
