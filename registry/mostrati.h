#pragma once
// The substitutes a list shows, with every field of the registry: what the
// export and the print write, in the list's order. The window and the export
// tool find them the same way: the list's rows read in an order, the search
// run on them, the keys of the lines kept.
#include "registry/filtro.h"
#include "registry/sostituto.h"
#include "store/database.h"

#include <functional>
#include <vector>

namespace registro {

// The selection list's rows in the order asked for, each with its line,
// ready for the search. Raises store::ErroreArchivio.
ElencoFiltrato leggiElencoFiltrato(store::Database& db, Ordine ordine);
// The substitutes the list shows in that order with that text searched
// (every one for an empty text), in the list's order.
std::vector<ChiaveSostituto> chiaviMostrate(store::Database& db, Ordine ordine, QStringView testo);

// Reads the registry once, in one statement, and hands each substitute
// named in `chiavi` to `sostituto` with its position there; a substitute
// removed meanwhile is left out. The calls follow the archive's order, not
// the list's: the position says where each goes. Returns how many were
// found. Raises store::ErroreArchivio.
qsizetype leggiMostrati(store::Database& db, const std::vector<ChiaveSostituto>& chiavi,
                        const std::function<void(std::size_t posizione, const Sostituto&)>& sostituto);

// The date of birth as a list or a spreadsheet shows it: GG/MM/AAAA, nothing
// for no date, the stored value as it is when it is not a date.
QString testoData(const DataNascita& data);

} // namespace registro
