#pragma once

#include "MensajesConsola.h"

#include "platform/Ajustes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <cstdio>
#include <exception>

// What a benchmark program is asked on its command line:
//   N [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado] [--una-unidad]
// N events (default 100000) of state EE (default 36) and statistical year
// AAAA (default 2004), in the order of capture unless --ordenado;
// --desordenado then rewrites every D_* table in a shuffled order, without
// statistics, as a database that has lived long may stand; --una-unidad
// gives every event to one unit, as the year of a state with one hospital. With
// --conserva the events are generated once into CARPETA/Datos (the program
// can be opened on that folder); a run that finds that database there uses
// it as it stands, through a copy of its own, so that one generated
// database serves every benchmark.
struct OpcionesBanco {
    int eventos = 100000;
    QString estado = QStringLiteral("36");
    int ano = 2004;
    QString conserva;
    bool ordenado = false;            // events written in key order, not in capture order
    bool desordenado = false;         // every D_* table rewritten in a shuffled order, no statistics
    bool unaUnidad = false;           // every event at the state's first unit
    QMap<QString, QString> propias;   // the program's own options (name -> value)
};
// False, after printing the usage, on an argument it does not understand.
// `propias` names the program's own options, each with a value.
bool LeeOpciones(int argc, char **argv, OpcionesBanco &opciones, const QStringList &propias = {});

// The last day of statistical year `ano` that is not in the future.
QDate UltimoDiaDelAno(int ano);

// A program folder for one bench run, always a temporary one: Datos/ with
// the working database of the options' state and year; the clock stands on
// the last day of that year not in the future.
class ProgramaBanco {
public:
    explicit ProgramaBanco(const OpcionesBanco &o = {})
        : opciones(o),
          ajustes(QDir(dir.path()).filePath(QStringLiteral("ajustes.ini"))),
          reloj(QDateTime(UltimoDiaDelAno(o.ano), QTime(10, 0))),
          ctx(dir.path(), mensajes, ajustes, reloj)
    {
        QDir(ctx.CarpetaPrograma).mkpath(QStringLiteral("Datos"));
        ctx.EstadoActual = o.estado;
        ctx.AnoActual = QString::number(o.ano);
        ctx.ArchivoBD = ctx.NombreArchivoBD(ctx.EstadoActual, ctx.AnoActual);
    }
    // The database kept with --conserva ("" without it).
    QString Conservada() const
    {
        return opciones.conserva.isEmpty()
                   ? QString()
                   : QDir(opciones.conserva).absoluteFilePath(QStringLiteral("Datos/") + QFileInfo(ctx.ArchivoBD).fileName());
    }
    // Copies the template into the run's folder and opens it; false, and
    // says why, when the template is not built.
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

// The main() of a bench program: offscreen, its options read (the usage
// printed on one it does not know; `propias` are its own), and an error
// printed rather than a failed run.
inline int MainBanco(int argc, char *argv[], int (*corre)(const OpcionesBanco &), const QStringList &propias = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    OpcionesBanco opciones;
    if (!LeeOpciones(argc, argv, opciones, propias))
        return 0;
    try {
        return corre(opciones);
    } catch (const std::exception &e) {
        std::printf("el banco de pruebas se detuvo: %s\n", e.what());
        return 0;
    }
}
