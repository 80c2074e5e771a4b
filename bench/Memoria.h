#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <functional>

// A memory figure of this process from /proc/self/status ("VmRSS:", "VmHWM:"), in MB.
inline double MemoriaMB(const char *campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray nombre(campo);
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith(nombre))
            return l.mid(nombre.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Runs the work once and prints its time and the peak memory it reached
// (the peak starts again from the present size); returns the time in s.
inline double Mide(const char *nombre, const std::function<void()> &op)
{
    QFile limpia(QStringLiteral("/proc/self/clear_refs"));
    if (limpia.open(QIODevice::WriteOnly))
        limpia.write("5");
    limpia.close();
    QElapsedTimer t;
    t.start();
    op();
    const double s = double(t.nsecsElapsed()) / 1e9;
    std::printf("%-44s %8.2f s  pico %7.1f MB\n", nombre, s, MemoriaMB("VmHWM:"));
    std::fflush(stdout);
    return s;
}
