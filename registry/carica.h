#pragma once
// Loading a substitute, and the moves to the previous or next one in the
// order of the registry's primary key.
#include "registry/sostituto.h"
#include "store/recordset.h"

#include <optional>

namespace registro {

// Seeks the substitute by (company code, codice fiscale), both put in key
// form; nothing when there is none. The record set stays on its row.
std::optional<Caricato> carica(store::TableRecordset& sostituti, const QString& codazi, const QString& cfs);

struct Spostamento {
    bool estremo = false;             // the first (previous) or last (next) was already shown
    std::optional<Caricato> caricato; // the substitute now shown; nothing when its row is gone
};
// From the substitute (codazi, cfs) on which the record set stands, one step
// back or forward in key order; at either end the same substitute again.
Spostamento sposta(store::TableRecordset& sostituti, bool avanti, const QString& codazi, const QString& cfs);

} // namespace registro
