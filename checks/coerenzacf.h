#pragma once
// Whether a person's data sheet agrees with the codice fiscale, and the texts
// the data sheet shows about it; the birth data a new substitute's sheet is
// filled with.
#include "checks/decodificacf.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace checks {

// The sheet's values as typed. An empty value (blanks only, or a null date
// for "00/00/0000" or a date that is no date) is not compared.
struct SchedaNascita {
    QString cognome;
    QString nome;
    QString sesso;     // "M", "F" or blank
    QDate nascita;
    QString comune;    // town or foreign state of birth
    QString provincia; // its province code, "EE" for a foreign state
};

// The facts compared, numbered as the ASOST_ fields (and Text1 fields) that hold them.
enum class DatoAnagrafico {
    Cognome = 1,
    Nome = 2,
    Sesso = 3,
    DataNascita = 4,
    ComuneNascita = 5,
    ProvinciaNascita = 6,
};

// "cognome", "nome", "sesso", "data di nascita", "comune di nascita", "provincia di nascita".
QString nomeDato(DatoAnagrafico dato);

struct ConfrontoCodiceFiscale {
    DatiCodiceFiscale dalCodice;
    QList<DatoAnagrafico> discordanti; // in the sheet's order; empty when all agree
};

// Compares the sheet with the code. Empty when the code says nothing to
// compare: a company's partita IVA, or a code that does not decode. Surname and
// name are compared by their three letters; place names after dropping
// accents, apostrophes, blanks and case, and a place matches any name and
// province its code has had (an abolished municipality its own name). Where
// the table does not know the code, place and province are not compared.
std::optional<ConfrontoCodiceFiscale> confrontaCodiceFiscale(const SchedaNascita& scheda, QStringView codice);

// "Dal codice fiscale: nato il 01/01/1980 a ROMA (RM)" ("nata" for a woman).
QString rigaDalCodice(const DatiCodiceFiscale& dati);
// "Non corrispondono al codice fiscale: data di nascita, comune di nascita";
// empty when nothing disagrees.
QString rigaDiscordanze(const QList<DatoAnagrafico>& discordanti);

// The birth data a new substitute's sheet is filled with from the code. Empty
// for a company's partita IVA or a code that does not decode; `comune` and
// `provincia` are empty when the table does not know the place.
struct DatiNascita {
    QDate nascita;
    Sesso sesso = Sesso::Maschile;
    QString comune;
    QString provincia;
};
std::optional<DatiNascita> datiNascitaDalCodice(QStringView codice);

} // namespace checks
