#pragma once
// Small guards used by the window's operations.
#include <QApplication>

// Busy pointer for as long as the guard lives.
class CursoreOccupato {
public:
    CursoreOccupato() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreOccupato() { QApplication::restoreOverrideCursor(); }
    CursoreOccupato(const CursoreOccupato&) = delete;
    CursoreOccupato& operator=(const CursoreOccupato&) = delete;
};
