#pragma once

// What the benchmarks share besides the program folder and the memory
// figures: the time of one operation (with the repaint it causes, or the
// median of a few runs), and keys typed as a user types them.

#include "Memoria.h"
#include "ProgramaBanco.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

inline void Cifra(const char *nombre, double ms)
{
    std::printf("%-52s %8.1f ms\n", nombre, ms);
    std::fflush(stdout);
}

inline double Milisegundos(const std::function<void()> &op)
{
    QElapsedTimer t;
    t.start();
    op();
    QApplication::processEvents();   // the window repaints within the figure
    return double(t.nsecsElapsed()) / 1e6;
}

// The median of `veces` runs of the operation, in ms.
inline double MedianaMs(int veces, const std::function<void()> &op)
{
    std::vector<double> t;
    QElapsedTimer reloj;
    for (int i = 0; i < veces; ++i) {
        reloj.start();
        op();
        t.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// One key as the user types it: the key event, then the repaint.
inline double Tecla(QWidget *caja, QChar c)
{
    return Milisegundos([&] {
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
