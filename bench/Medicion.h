#pragma once

// What the window benchmarks share: silent messages, a program folder with a
// copy of the template, timing of one operation with the repaint it causes,
// keys typed as a user types them, and the memory in use.

#include "platform/Ajustes.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

class MensajesMudos : public Mensajes {
public:
    void Muestra(const QString &, Icono, const QString &) override {}
    bool Pregunta(const QString &, Icono, const QString &) override { return true; }
    void Beep() override {}
};

// A temporary program folder whose working database (state 09) is a copy of the template.
class ProgramaBench {
public:
    ProgramaBench()
        : ajustes_(QDir(dir_.path()).filePath(QStringLiteral("ajustes.ini"))), ctx(dir_.path(), mensajes, ajustes_, reloj_)
    {
        QDir(dir_.path()).mkpath(QStringLiteral("Datos"));
        ctx.EstadoActual = QStringLiteral("09");
        ctx.ArchivoBD = ctx.NombreArchivoBD(ctx.EstadoActual, ctx.AnoActual);
    }
    // Copies the template and opens it; false after saying why.
    bool Abre()
    {
        if (!QFile::copy(QStringLiteral(VELMORAN_PLANTILLA), ctx.ArchivoBD)) {
            std::fprintf(stderr, "No se pudo copiar la plantilla %s\n", VELMORAN_PLANTILLA);
            return false;
        }
        QFile::setPermissions(ctx.ArchivoBD, QFile::permissions(ctx.ArchivoBD) | QFileDevice::WriteOwner);
        try {
            ctx.ConexionBD.Abre(ctx.ArchivoBD);
        } catch (const ErrorBD &e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.Descripcion()));
            return false;
        }
        return true;
    }

private:
    QTemporaryDir dir_;
    Ajustes ajustes_;
    Reloj reloj_;

public:
    MensajesMudos mensajes;
    Contexto ctx;
};

inline void Cifra(const char *nombre, double ms)
{
    std::printf("%-52s %8.1f ms\n", nombre, ms);
    std::fflush(stdout);
}

inline double Mide(const std::function<void()> &op)
{
    QElapsedTimer t;
    t.start();
    op();
    QApplication::processEvents();   // the window repaints within the figure
    return double(t.nsecsElapsed()) / 1e6;
}

// One key as the user types it: the key event, then the repaint.
inline double Tecla(QWidget *caja, QChar c)
{
    return Mide([&] {
        QKeyEvent pulsa(QEvent::KeyPress, c == QChar(8) ? int(Qt::Key_Backspace) : 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(caja, &pulsa);
    });
}

// Types the text key by key into the box, entered first as the user would
// (a box that selects its text on entry must not lose the first key to that);
// prints the slowest and the mean keystroke.
inline void Teclea(const char *nombre, QLineEdit *caja, const QString &texto)
{
    caja->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    std::vector<double> t;
    for (QChar c : texto)
        t.push_back(Tecla(caja, c));
    double suma = 0;
    for (double v : t)
        suma += v;
    std::printf("%-52s %8.1f ms max  %6.1f ms mean  (%d keys)\n", nombre, *std::max_element(t.begin(), t.end()),
                suma / double(t.size()), int(t.size()));
    std::fflush(stdout);
}

// Resident memory of the process now ("VmRSS") or at its peak ("VmHWM"), in MB.
inline double MemoriaMB(const char *campo = "VmRSS:")
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith(campo))
            return l.mid(int(qstrlen(campo))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
