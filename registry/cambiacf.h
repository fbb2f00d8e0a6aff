#pragma once
// Change of a substitute's codice fiscale throughout the return: the checks
// of the new code, then the re-keying of its section rows and its registry row.
#include "registry/archivio.h"
#include "registry/inserimento.h"

#include <optional>

namespace registro {

struct ControlloCambio {
    enum class Tipo {
        Accettato,       // cfd: the linked declarant's codice fiscale
        Vuoto,            // no code typed
        InUso,            // a declarant or a substitute has the code: messaggio, with the stop icon
        SenzaDichiarante, // the linked company has no front page: messaggio, with the stop icon
        Sparito,          // the substitute's registry row is gone: messaggio
        CodiceRifiutato   // the code failed its form check and the operator did not go on
    };
    Tipo tipo = Tipo::Accettato;
    QString messaggio;
    QString cfd;
    bool accettato() const { return tipo == Tipo::Accettato; }
};

// The checks in their order, for the substitute (codazi, cfs) as the
// selection list shows the key and the new code as typed: not a declarant's
// code, nobody's in the registry, the linked company has a front page (its
// codice fiscale is the declarant's whose section rows are re-keyed), the
// code's form. Reads only; the record sets are on "CHIAVE" afterwards.
ControlloCambio controllaCambio(const Archivio& archivio, const QString& codazi, const QString& cfs,
                                const QString& nuovo, const Domanda& domanda);

struct EsitoCambio {
    enum class Tipo {
        Eseguito,  // righe: the rows each table re-keyed
        Sparito,   // the registry row was gone when its turn came: nothing changed
        InUso,     // the new code has been given meanwhile: messaggio, with the stop icon; nothing changed
        Rifiutato  // the store refused: nothing changed
    };
    Tipo tipo = Tipo::Eseguito;
    QString messaggio; // InUso
    // QUADROLDIP1 to QUADROST, then ANAGSOSTITUTI.
    QList<RigheTabella> righe;
    std::optional<store::ErroreArchivio> errore; // Rifiutato; Sparito: the conflict
};

// Gives the substitute (codazi, cfs, as the list shows them) the code nuovo
// (padded to 16) in its section rows under the declarant cfd and in its
// registry row, as one transaction. The code is checked again under its
// write lock, as controllaCambio checked it (nobody's, declarant or
// substitute), since another workstation may have given it meanwhile.
EsitoCambio cambiaCodiceFiscale(const Archivio& archivio, const QString& codazi, const QString& cfs, const QString& cfd,
                                const QString& nuovo);

} // namespace registro
