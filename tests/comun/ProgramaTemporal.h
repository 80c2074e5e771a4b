#pragma once

#include "comun/ImprimeQt.h"
#include "comun/MensajesFalsos.h"
#include "platform/Ajustes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QTemporaryDir>
#include <memory>

// A fresh program folder for one test: Datos/ with the template database,
// a settings file of its own, the fake messages and a fixed clock.
class ProgramaTemporal {
public:
    // The default clock: 6 December 2026, 10:00.
    ProgramaTemporal();

    QString Carpeta() const { return dir_.path(); }
    // Copies the template to the working database of that state and year.
    QString CreaBase(const QString &estado = QStringLiteral("36"), const QString &ano = QStringLiteral("2004"));
    // Copies the template for the defaults and opens it on the context.
    void AbreBase(const QString &estado = QStringLiteral("36"), const QString &ano = QStringLiteral("2004"));

    MensajesFalsos mensajes;
    RelojFijo reloj;
    std::unique_ptr<Ajustes> ajustes;
    std::unique_ptr<Contexto> ctx;

private:
    QTemporaryDir dir_;
};
