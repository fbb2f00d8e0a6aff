#pragma once
// What other workstations' changes mean for a data sheet left open: the
// substitute it shows changed, deleted or re-keyed meanwhile. Only told: the
// sheet's typed values stay, and its save asks as it always does.
#include "registry/archivio.h"
#include "registry/sostituto.h"
#include "store/avvisi.h"

#include <optional>

namespace registro {

struct AvvisoScheda {
    enum class Tipo {
        Nessuno,        // the archive holds what the sheet was loaded from
        Modificata,     // saved with other data
        Cancellata,     // deleted
        CodiceCambiato, // given the code nuovoCfs
        Sparita,        // gone, deleted or re-keyed (a file does not say which)
        Registrata      // a new substitute's key registered by another workstation
    };
    Tipo tipo = Tipo::Nessuno;
    QString nuovoCfs;
};

// The sheet of the substitute (codazi, cfs) expects `atteso` (nothing for a
// new substitute not saved yet), as its save does; `avvisi`: what other
// workstations did since. The registry is read only when one of them
// concerns that key or does not say which it concerns.
AvvisoScheda avvisoScheda(const Archivio& archivio, const QString& codazi, const QString& cfs,
                          const std::optional<Istantanea>& atteso, const QList<store::Avviso>& avvisi);

} // namespace registro
