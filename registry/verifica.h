#pragma once
// The check of the whole archive before the return is filed: every
// substitute whose stored rows break a rule the data sheet enforces, or that
// the return's recipient would reject, in one list. Archives reach the
// registry from other programs of the suite and from earlier years, so the
// stored rows are not taken to be what the sheet would have let through.
//
// What each kind covers, and the choices made where it could go two ways:
// - CF_ERRATO / PIVA_ERRATA: the code's form, told apart as the insertion
//   and the change of codice fiscale tell it (CONTROLLOCODICE): a numeric
//   code is a partita IVA of 11 digits, any other a codice fiscale of 16
//   characters, whatever the first name says. The message is the check's own
//   ("Lunghezza partita IVA errata", "Codice fiscale formalmente errato"...).
// - DATI_MANCANTI: what the sheet's save would ask for. A person (first name
//   present) without sex, date, town or province of birth; anybody without
//   surname or company name, town, province or street of residence, which
//   the sheet asks of a company too. A stored date that is no date counts as
//   missing, named as wrong.
// - NASCITA_DIVERSA: the comparison the sheet shows below its note, limited
//   to sex, date, town and province of birth: birth data never change, while
//   a surname's letters may legitimately differ from the code's (a surname
//   changed after the code was given).
// - PROVINCIA_SCONOSCIUTA: a province filled in but not in TABMIN_PROV, as
//   the sheet seeks it (trailing blanks not significant, case significant):
//   of birth for a person only (a company's birth data are not kept), of
//   residence for everybody. An empty one is DATI_MANCANTI.
// - AZIENDA_SENZA_FRONTESPIZIO: the linked company (ASOST_10) in key form has
//   no front page, as the sheet's check seeks it; an empty one too.
// - CODICE_DOPPIO: one finding for each registry row whose code, trimmed and
//   in capitals, another row also has; the message names the others.
// - RIGHE_ORFANE: section rows whose (company, code) no registry row has,
//   compared as the program's keys compare (trailing blanks not significant,
//   case significant, the company code as stored): one finding per company
//   and code, naming the tables and their rows.
#include "registry/tabella.h"
#include "store/database.h"

#include <QString>

#include <array>
#include <vector>

namespace registro {

enum class TipoSegnalazione {
    CfErrato,
    PivaErrata,
    DatiMancanti,
    NascitaDiversa,
    ProvinciaSconosciuta,
    AziendaSenzaFrontespizio,
    CodiceDoppio,
    RigheOrfane,
};
inline constexpr std::array<TipoSegnalazione, 8> TIPISEGNALAZIONE = {TipoSegnalazione::CfErrato,
                                                                     TipoSegnalazione::PivaErrata,
                                                                     TipoSegnalazione::DatiMancanti,
                                                                     TipoSegnalazione::NascitaDiversa,
                                                                     TipoSegnalazione::ProvinciaSconosciuta,
                                                                     TipoSegnalazione::AziendaSenzaFrontespizio,
                                                                     TipoSegnalazione::CodiceDoppio,
                                                                     TipoSegnalazione::RigheOrfane};

// The fixed code a script reads: "CF_ERRATO", "PIVA_ERRATA", ...
QString codiceSegnalazione(TipoSegnalazione tipo);
// The kind as a clerk reads it: "codice fiscale errato", ...
QString descrizioneSegnalazione(TipoSegnalazione tipo);

struct Segnalazione {
    QString codazi; // the substitute's key as stored (of the section rows, for orphan rows)
    QString cfs;
    QString nominativo; // surname and first name, trimmed; "" for orphan rows
    TipoSegnalazione tipo = TipoSegnalazione::CfErrato;
    QString messaggio; // what is wrong, in the clerk's words
};

// Checks the whole archive. Reads each table once, in three statements
// (three round trips on a server) whatever the archive's size: the
// provinces with the front pages' company codes, ANAGSOSTITUTI whole, the
// company and code of every section row. The findings come sorted by company
// code, codice fiscale (trailing blanks left out) and kind. Raises
// store::ErroreArchivio, OggettoMancante naming a table or field the
// archive lacks.
std::vector<Segnalazione> verificaArchivio(store::Database& db);

// "9 segnalazioni: codice fiscale errato 2, dati mancanti 7": the count of
// each kind found, in the kinds' order.
QString riepilogoSegnalazioni(const std::vector<Segnalazione>& segnalazioni);

// The findings in their order as a table to write to a file or print:
// company code, codice fiscale, name, the kind as a clerk reads it, what is
// wrong; every cell a text.
Tabella tabellaSegnalazioni(const std::vector<Segnalazione>& segnalazioni);

} // namespace registro
