// The check of a typed tax code on confirmation: a numeric text is taken as a
// partita IVA (11 digits), any other as a codice fiscale (16 characters).
#include "checks/controllocodice.h"

#include "checks/codicifiscali.h"

namespace {

ESITOCONTROLLOCODICE fermati()
{
    ESITOCONTROLLOCODICE esito;
    esito.prosegui = false;
    esito.evidenzia = true;
    return esito;
}

// The operator goes on with a code that fails its check only by answering
// Yes; closing the box any other way counts as No.
ESITOCONTROLLOCODICE chiediSeProseguire(const QString& testo, int stile, const QString& titolo,
                                        const MSGBOXFN& chiedi)
{
    if (chiedi(testo, stile, titolo) == vbYes)
        return {};
    return fermati();
}

} // namespace

ESITOCONTROLLOCODICE CONTROLLOCODICE(const QString& codice, const QString& titolo,
                                     const MSGBOXFN& chiedi)
{
    const QString codiceRidotto = codice.trimmed();
    if (codiceRidotto.isEmpty())
        return {};

    // The code is stored trimmed, so the trimmed text is the one checked: a
    // blank typed before the code must neither fail a correct code nor shift
    // the positions of a wrong one into a passing check.
    if (ISNUMERIC(codice)) {
        if (codiceRidotto.size() != 11) {
            chiedi(QStringLiteral("Lunghezza partita IVA errata"), vbOKOnly + vbInformation, titolo);
            return fermati();
        }
        if (CONTROLLOPIVA(codiceRidotto) == 1) {
            return chiediSeProseguire(QStringLiteral("Partita IVA formalmente errata") + CR + CR
                                          + QStringLiteral("Vuoi proseguire ugualmente ?"),
                                      vbYesNo + vbQuestion, titolo, chiedi);
        }
        return {};
    }

    if (codiceRidotto.size() != 16) {
        chiedi(QStringLiteral("Lunghezza codice fiscale errata"), vbOKOnly + vbInformation, titolo);
        return fermati();
    }
    if (CONTROLLOCF(codiceRidotto) == 1) {
        return chiediSeProseguire(QStringLiteral("Codice fiscale formalmente errato") + CR + CR
                                      + QStringLiteral("Vuoi proseguire ugualmente"),
                                  vbYesNo + vbInformation, titolo, chiedi);
    }
    return {};
}
