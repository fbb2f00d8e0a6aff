#pragma once
// Small guards used by the window's operations.
#include "store/recordset.h"

#include <QApplication>

// Busy pointer for as long as the guard lives.
class CursoreOccupato {
public:
    CursoreOccupato() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreOccupato() { QApplication::restoreOverrideCursor(); }
    CursoreOccupato(const CursoreOccupato&) = delete;
    CursoreOccupato& operator=(const CursoreOccupato&) = delete;
};

// Puts a table record set back on its primary index "CHIAVE" however the
// operation that switched it ends, so that every other operation can rely on it.
class IndicePrincipale {
public:
    explicit IndicePrincipale(store::TableRecordset& tabella) : m_tabella(tabella) {}
    ~IndicePrincipale()
    {
        try {
            m_tabella.setIndex(QStringLiteral("CHIAVE"));
        } catch (const store::ErroreArchivio&) {
        }
    }
    IndicePrincipale(const IndicePrincipale&) = delete;
    IndicePrincipale& operator=(const IndicePrincipale&) = delete;

private:
    store::TableRecordset& m_tabella;
};
