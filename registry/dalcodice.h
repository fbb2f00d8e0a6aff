#pragma once
// What the codice fiscale says about the substitute the data sheet shows: the
// lines shown under the sheet's fields, and the birth data a new substitute's
// sheet is completed with. Neither is a check: nothing here refuses a save,
// and a code that legitimately does not match the sheet is stored as typed.
#include "checks/coerenzacf.h"
#include "registry/sostituto.h"

#include <QList>
#include <QString>

#include <optional>

namespace registro {

// The sheet's birth data as the comparison takes them: a date that is no day
// ("00/00/0000", or typed wrong) is not compared.
checks::SchedaNascita schedaNascita(const Sostituto& sostituto);

// The sheet compared with its substitute's code (cfs).
struct DalCodice {
    QString riga;        // "Dal codice fiscale: nato il 01/01/1980 a ROMA (RM)"
    QString discordanze; // "Non corrispondono al codice fiscale: ..."; empty when all agree
    QList<checks::DatoAnagrafico> discordanti; // the sheet's fields that disagree, in its order
};
// Empty for a company's partita IVA or a code that does not decode: the code
// says nothing to show.
std::optional<DalCodice> dalCodice(const Sostituto& sostituto);

// A new substitute's birth data taken from its code where the sheet leaves
// them empty (blank sex, no date, blank town or province of birth); whatever
// is already there is left alone. A place the table does not know fills
// neither town nor province; a name longer than the town field's limit is
// given without its remark in brackets, which the comparison does not need,
// and not given at all when still too long. Returns the fields filled, in the
// sheet's order; none for a partita IVA or a code that does not decode.
QList<checks::DatoAnagrafico> completaDalCodice(Sostituto& sostituto, int lunghezzaComune);

} // namespace registro
