#pragma once
// The export of the list as shown to a workbook or a CSV file: a heading row,
// then one row per substitute with every field of the registry, in the
// list's order.
#include "registry/mostrati.h"
#include "registry/scrittura.h"

#include <optional>

namespace registro {

// The substitutes named by `chiavi`, in that order, one row each: codes,
// names and places as texts, trimmed (Null as an empty text; the marker
// for a substitute without a name, in the surname's column), the date of
// birth as a day (empty for no date, the stored value as a text when it is
// no date). A substitute removed meanwhile is left out. Raises
// store::ErroreArchivio.
Tabella tabellaSostituti(store::Database& db, const std::vector<ChiaveSostituto>& chiavi);

struct EsitoEsportazione {
    enum class Tipo { Scritto, NonScritto, Rifiutato };
    Tipo tipo = Tipo::Scritto;
    qsizetype scritti = 0;                       // substitutes written
    qsizetype mancanti = 0;                      // named by the list but no longer in the archive
    QString messaggio;                           // Scritto and NonScritto: what the operator reads
    std::optional<store::ErroreArchivio> errore; // Rifiutato: the archive could not be read
};

// Writes the substitutes named by `chiavi`, in that order, to the file in
// the format given (see scriviTabella: whole or not at all). The archive is
// read before the file is touched.
EsitoEsportazione esporta(store::Database& db, const std::vector<ChiaveSostituto>& chiavi, const QString& percorso,
                          Formato formato);

// Writes a table already read to the file, as esporta() does; `righe` says
// what its rows are, after their number (" segnalazioni scritte nel file").
EsitoEsportazione esportaTabella(const Tabella& tabella, const QString& percorso, Formato formato,
                                 const QString& righe);

} // namespace registro
