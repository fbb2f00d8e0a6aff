#pragma once
// Form variables of the Substitute registry window.
#include "registry/filtro.h"
#include "registry/sostituto.h"
#include "registry/verifica.h"

#include <QString>
#include <optional>

struct ANAGSOST_STATO {
    QString CODAZISOST;  // company code of the substitute shown or picked
    QString CFSSOST;     // its codice fiscale
    QString CODAZIPREC;  // the pair before a move to the previous/next substitute
    QString CFSPREC;
    QString MESSAGGIO;   // text of a message being composed
    QString RIGASEL;     // list line picked for the change of codice fiscale
    QString CFNUOVO;     // the new codice fiscale, padded to 16
    QString CFDSOST;     // codice fiscale of the linked declarant
    // The substitute the header and the data sheet show, as loaded: its
    // stored row is what a save expects to find.
    std::optional<registro::Caricato> CARICATO;
    int FORMCARICATO = 0;  // 0 while the first list is filled at load
    int TABELLAAPERTA = 0; // lookup button that filled the lookup list last
    // The selection list's rows as last read, kept for the search; the
    // positions among them of the rows the list shows, in its order.
    registro::ElencoFiltrato ELENCO;
    std::vector<qsizetype> MOSTRATE;
    // The findings of the last check of the archive, as the list shows them;
    // DAVERIFICA: the data sheet was opened from them, and "Altra anagrafica"
    // goes back to them.
    std::vector<registro::Segnalazione> SEGNALAZIONI;
    bool DAVERIFICA = false;
    QString FILEESPORTATO; // the file the last export wrote: its name proposed again
    QString CARTELLAFILE;  // the folder the last export or print to a file wrote into
};
