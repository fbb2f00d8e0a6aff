#pragma once
// The sequence that checks a typed tax code on confirmation (insertion frame,
// change-of-codice-fiscale frame): partita IVA when the text is numeric,
// codice fiscale otherwise, with the operator's option to go on with a code
// that fails its check.
#include "startup/msgbox_fn.h"

#include <QString>

struct ESITOCONTROLLOCODICE {
    bool prosegui = true;      // false: the confirmation stops here
    bool evidenzia = false;    // highlight the field and give it the focus
};

// chiedi shows one message box (text, style, title) and returns the answer.
ESITOCONTROLLOCODICE CONTROLLOCODICE(const QString& codice, const QString& titolo,
                                     const MSGBOXFN& chiedi);
