#pragma once

#include <QCursor>
#include <QGuiApplication>

// The hourglass pointer for the life of a scope; restored also on error.
class CursorOcupado {
public:
    CursorOcupado() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~CursorOcupado() { QGuiApplication::restoreOverrideCursor(); }
    CursorOcupado(const CursorOcupado &) = delete;
    CursorOcupado &operator=(const CursorOcupado &) = delete;
};
