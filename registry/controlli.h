#pragma once
// The data sheet's checks before a save, in their fixed order.
#include "registry/archivio.h"
#include "registry/sostituto.h"
#include "startup/msgbox_fn.h"

namespace registro {

// The first check that failed: the data-sheet field it names (Text1 index,
// 1 to 10), its message and the message box style. campo 0: accepted.
struct Rifiuto {
    int campo = 0;
    QString messaggio;
    int stile = vbInformation;
    bool accettato() const { return campo == 0; }
};

// Checks the substitute as the sheet holds it and leaves it as the checks
// do: a company (no first name) loses its birth data, a linked company code
// without a front page is emptied. Reads the province and front-page tables
// only; their index is "CHIAVE" again afterwards.
Rifiuto controllaScheda(const Archivio& archivio, Sostituto& sostituto);

} // namespace registro
