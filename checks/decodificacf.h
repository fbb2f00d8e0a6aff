#pragma once
// What a person's codice fiscale says: birth date, sex and place of birth.
#include "checks/catasto.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace checks {

// The year of the return: a code's two-digit year is read so that the birth
// does not fall after it.
constexpr int ANNODICHIARAZIONE = 2004;

enum class Sesso { Maschile, Femminile };

// "M" or "F", as the data sheet holds it.
QChar siglaSesso(Sesso sesso);

struct DatiCodiceFiscale {
    QDate nascita;                         // always a valid date
    Sesso sesso = Sesso::Maschile;
    QString codiceCatastale;               // "H501", letters of an omocodia turned back into digits
    std::optional<LuogoCatastale> luogo;   // empty when the table does not know the code
};

// Decodes a 16-character codice fiscale (blanks around it and lower case
// accepted; letters in place of digits, the omocodia, turned back). Empty
// when the text is not one: another length or layout (an 11-digit partita IVA
// among them), a month letter that is no month, a day outside 1-31 and 41-71,
// or a date that does not exist (31 February). The check character is not
// tested: CONTROLLOCF does that.
std::optional<DatiCodiceFiscale> decodificaCodiceFiscale(QStringView codice);

// The three letters a codice fiscale takes from a surname (its consonants, then
// its vowels, then X) and from a first name (the same, except that of four or
// more consonants it takes the 1st, 3rd and 4th). Accents are dropped; blanks,
// apostrophes and other signs are skipped.
QString lettereCognome(QStringView cognome);
QString lettereNome(QStringView nome);

} // namespace checks
