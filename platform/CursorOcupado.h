#pragma once

#include "platform/EsperaAcotada.h"

#include <QCursor>
#include <QGuiApplication>

// A pointer of the program's own for the life of a scope; the one before
// comes back, also on error.
class PunteroTemporal {
public:
    explicit PunteroTemporal(Qt::CursorShape forma) { QGuiApplication::setOverrideCursor(QCursor(forma)); }
    ~PunteroTemporal() { QGuiApplication::restoreOverrideCursor(); }
    PunteroTemporal(const PunteroTemporal &) = delete;
    PunteroTemporal &operator=(const PunteroTemporal &) = delete;
};

// The hourglass pointer for the life of a scope; restored also on error.
// What runs under it is one run: its waits for another program's lock on
// the database share one busy time (EsperaAcotada), so that the hourglass
// never stays for minutes.
class CursorOcupado : public PunteroTemporal {
public:
    CursorOcupado() : PunteroTemporal(Qt::WaitCursor) {}

private:
    EsperaAcotada espera_;
};
