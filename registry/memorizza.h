#pragma once
// Saving a substitute: its existing row, or a new one for a substitute just
// registered, never over what another workstation stored meanwhile.
#include "registry/archivio.h"
#include "registry/sostituto.h"

#include <optional>

namespace registro {

struct EsitoMemorizza {
    enum class Tipo {
        Memorizzato, // written
        Modificato,  // the row differs from the one the sheet was loaded from
        Cancellato,  // the row the sheet was loaded from is gone
        Registrato,  // a row was expected to be missing, and is there
        InUso,       // a new substitute's code has been given meanwhile: messaggio, with the stop icon
        Rifiutato    // the store refused: nothing written
    };
    Tipo tipo = Tipo::Memorizzato;
    QString messaggio; // InUso: the insertion's "already present" text
    // What the archive holds now (Modificato, Registrato); a save that
    // expects it goes through.
    std::optional<Istantanea> presente;
    std::optional<store::ErroreArchivio> errore; // Rifiutato
};

// Writes the substitute into its row, found by its key in key form, or into
// a new row keyed by its company code in key form and its codice fiscale
// trimmed. atteso: the row as loaded, or nothing for a substitute that has no
// row yet; when the archive holds something else, nothing is written. A
// substitute that has no row yet is checked again as its insertion was (its
// codes against the front pages and the registry), since another workstation
// may have registered one of them meanwhile. The checks and the write are one
// transaction under the write lock.
EsitoMemorizza memorizza(const Archivio& archivio, const Sostituto& sostituto, const std::optional<Istantanea>& atteso);

} // namespace registro
