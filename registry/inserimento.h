#pragma once
// The checks of a new substitute before it is handed to the data sheet:
// the form of its code, the mandatory fields, its codes against the front
// pages and the registered substitutes, its linked company. Nothing is
// written: the row is added by the sheet's first save.
#include "registry/archivio.h"

#include <functional>
#include <optional>

namespace registro {

// The insertion frame's fields, as typed.
struct NuovoSostituto {
    QString codazi;    // TEXTAZI
    QString cfs;       // TEXTCF
    QString cognome;   // TextCOGNO
    QString nome;      // TextNOME
    QString collegata; // TextAZICOL
};

enum class CampoNuovo { Nessuno, Azienda, CodiceFiscale, Cognome, Nome, Collegata };

struct EsitoInserimento {
    enum class Tipo {
        Accettato,
        CodiceRifiutato, // the code failed its form check and the operator did not go on
        Mancante,        // a mandatory field is empty
        Rifiutato        // a code is already in use: messaggio, with the stop icon
    };
    Tipo tipo = Tipo::Accettato;
    CampoNuovo campo = CampoNuovo::Nessuno; // the field at fault, which gets the focus
    bool svuota = false;                    // the linked company code is emptied
    QString messaggio;
    bool accettato() const { return tipo == Tipo::Accettato; }
};

// Shows one box of the code's form check (text, style) and returns the answer.
using Domanda = std::function<int(const QString& testo, int stile)>;

// Runs the checks in their order and stops at the first that fails. The
// record sets are on "CHIAVE" again afterwards, however it ends.
EsitoInserimento controllaInserimento(const Archivio& archivio, const NuovoSostituto& nuovo, const Domanda& domanda);

// The codes of a new substitute (as typed) against the declarants' front
// pages and the registered substitutes, in the order of the insertion's
// checks: the refusal of the first one in use, or nothing. The first save of
// the substitute runs them again under its write lock, so that two
// workstations cannot both register one code. One read, whatever the
// answer.
std::optional<EsitoInserimento> codiciInUso(const Archivio& archivio, const QString& codazi, const QString& cfs);

} // namespace registro
