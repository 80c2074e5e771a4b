#pragma once

#include "MensajesConsola.h"

#include "platform/Ajustes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <exception>

// What a benchmark program is asked on its command line:
//   N [--estado EE] [--ano AAAA] [--conserva CARPETA]
// N events (default 100000) of state EE (default 36) and statistical year
// AAAA (default 2004); with --conserva the program folder CARPETA keeps the
// working database in its Datos/ after the run (an existing one is never
// overwritten), so that the program can be opened on it.
struct OpcionesBanco {
    int eventos = 100000;
    QString estado = QStringLiteral("36");
    int ano = 2004;
    QString conserva;
};
// False, after printing the usage, on an argument it does not understand.
bool LeeOpciones(int argc, char **argv, OpcionesBanco &opciones);

// The last day of statistical year `ano` that is not in the future.
QDate UltimoDiaDelAno(int ano);

// A program folder for one bench run (a temporary one unless kept): Datos/
// with the working database of the options' state and year, copied from the
// template; the clock stands on the last day of that year not in the future.
class ProgramaBanco {
public:
    explicit ProgramaBanco(const OpcionesBanco &o = {})
        : opciones(o),
          ajustes(QDir(dir.path()).filePath(QStringLiteral("ajustes.ini"))),
          reloj(QDateTime(UltimoDiaDelAno(o.ano), QTime(10, 0))),
          ctx(o.conserva.isEmpty() ? dir.path() : QDir(o.conserva).absolutePath(), mensajes, ajustes, reloj)
    {
        QDir(ctx.CarpetaPrograma).mkpath(QStringLiteral("Datos"));
        ctx.EstadoActual = o.estado;
        ctx.AnoActual = QString::number(o.ano);
        ctx.ArchivoBD = ctx.NombreArchivoBD(ctx.EstadoActual, ctx.AnoActual);
    }
    // Copies the template and opens it; false, and says why, when the
    // template is not built or a kept database would be overwritten.
    bool AbreBase()
    {
        if (QFile::exists(ctx.ArchivoBD)) {
            std::printf("ya existe %s: bórrelo o elija otra carpeta\n", qPrintable(ctx.ArchivoBD));
            return false;
        }
        if (!QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), ctx.ArchivoBD)) {
            std::printf("no se encontró la plantilla %s: constrúyala primero (make build)\n", VELMORAN_PLANTILLA);
            return false;
        }
        QFile::setPermissions(ctx.ArchivoBD, QFile::permissions(ctx.ArchivoBD) | QFileDevice::WriteOwner);
        ctx.ConexionBD.Abre(ctx.ArchivoBD);
        return true;
    }
    // The report definitions built beside the template, copied into Reportes/.
    void CopiaReportes() const
    {
        const QDir origen(QFileInfo(QStringLiteral(VELMORAN_PLANTILLA)).dir().filePath(QStringLiteral("../Reportes")));
        QDir(ctx.CarpetaPrograma).mkpath(QStringLiteral("Reportes"));
        for (const QString &f : origen.entryList({QStringLiteral("*.json")}))
            QFile::copy(origen.filePath(f), QDir(ctx.CarpetaReportes()).filePath(f));
    }
    // The first day of the statistical year and the clock's day.
    QDate Inicio() const { return QDate(opciones.ano - 1, 12, 26); }
    QDate Hoy() const { return reloj.Hoy(); }

    const OpcionesBanco opciones;
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
