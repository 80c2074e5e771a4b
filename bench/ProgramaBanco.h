#pragma once

#include "MensajesConsola.h"

#include "platform/Ajustes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <exception>

// A program folder for one bench run: Datos/ with the working database of
// state 36, year 2004, copied from the template; the clock stands on 20/12/2004.
class ProgramaBanco {
public:
    ProgramaBanco()
        : ajustes(QDir(dir.path()).filePath(QStringLiteral("ajustes.ini"))),
          reloj(QDateTime(QDate(2004, 12, 20), QTime(10, 0))), ctx(dir.path(), mensajes, ajustes, reloj)
    {
        QDir(dir.path()).mkpath(QStringLiteral("Datos"));
        ctx.ArchivoBD = ctx.NombreArchivoBD(ctx.EstadoActual, ctx.AnoActual);
    }
    // Copies the template and opens it; false, and says why, when the template is not built.
    bool AbreBase()
    {
        if (!QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), ctx.ArchivoBD)) {
            std::printf("no se encontró la plantilla %s: constrúyala primero (make build)\n", VELMORAN_PLANTILLA);
            return false;
        }
        QFile::setPermissions(ctx.ArchivoBD, QFile::permissions(ctx.ArchivoBD) | QFileDevice::WriteOwner);
        ctx.ConexionBD.Abre(ctx.ArchivoBD);
        return true;
    }

    QTemporaryDir dir;
    MensajesConsola mensajes;
    Ajustes ajustes;
    RelojFijo reloj;
    Contexto ctx;
};

// The main() of a bench program: offscreen, N events from argv[1] (default
// 100000), and an error printed rather than a failed run.
inline int MainBanco(int argc, char *argv[], int (*corre)(int))
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        return corre(argc > 1 ? qMax(1, std::atoi(argv[1])) : 100000);
    } catch (const std::exception &e) {
        std::printf("el banco de pruebas se detuvo: %s\n", e.what());
        return 0;
    }
}
