#pragma once
// Deletion of a substitute with everything the return holds for it.
#include "registry/archivio.h"

#include <optional>

namespace registro {

struct EsitoCancellazione {
    enum class Tipo {
        Cancellato, // righe: what each table lost
        NonTrovato, // no registry row with that key: nothing deleted
        Rifiutato   // the store refused: nothing deleted
    };
    Tipo tipo = Tipo::Cancellato;
    // In the order of deletion: QUADROLDIP1 to QUADROST (the substitute's
    // rows), PERCETTORI (its company's recipients), ANAGSOSTITUTI.
    QList<RigheTabella> righe;
    std::optional<store::ErroreArchivio> errore;
};

// Deletes the substitute (codazi, cfs) as the selection list shows the key
// (company code as stored, codice fiscale padded to 16): its section rows,
// every recipient of its company and its registry row, as one transaction.
EsitoCancellazione cancella(const Archivio& archivio, const QString& codazi, const QString& cfs);

} // namespace registro
