#pragma once
// The cadastral codes that name a place of birth in a codice fiscale: Italian
// municipalities, those since abolished or merged included (people born there
// still carry their codes), and foreign states under the province "EE". The
// table is compiled into the program (checks/catasto.txt, rewritten by
// tools/aggiorna-catasto.sh) and read once, at the first look-up, whatever
// thread makes it; it stays in memory as its text with an index.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace checks {

struct LuogoCatastale {
    QString codice;        // "H501": a letter and three digits
    QString nome;          // the name to show: the one in force, else the first one recorded
    QString provincia;     // as the tax year 2004 knew it (see catasto.cpp); "EE" for a foreign state
    bool soppresso = false; // no name is in force under this code any longer
    QStringList nomi;      // every name recorded for the code, former ones too, as the table
                           // writes them (other spellings after "="); the one in force first
    QStringList province;  // every province recorded for the code; `provincia` first
};

// The place a cadastral code names (lower case accepted); empty when the table
// does not know it.
std::optional<LuogoCatastale> luogoCatastale(QStringView codice);

// How many codes the table knows.
int numeroCodiciCatastali();

// The form place names are compared in: accents dropped, capitals, and
// apostrophes, blanks and every other sign removed ("Forlì", "FORLI'" and
// "forli" all give "FORLI").
QString formaConfronto(QStringView nome);

// Whether a name as typed on the data sheet is one of the place's names, its
// former names and other spellings included, a remark in brackets optional
// ("BAHAMA (ISOLE)" is also "BAHAMA").
bool nomeDelLuogo(const LuogoCatastale& luogo, QStringView nome);

// Whether a province code as typed is one the place has had (blanks and case
// not significant).
bool provinciaDelLuogo(const LuogoCatastale& luogo, QStringView provincia);

} // namespace checks
