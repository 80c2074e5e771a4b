#pragma once

#include <QFile>

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
