// Decoding of a person's codice fiscale, and the letters it takes from the
// surname and the first name.
#include "checks/decodificacf.h"

namespace checks {

namespace {

// The month letters, January to December.
const QString MESI = QStringLiteral("ABCDEHLMPRST");
// The letters that stand for 0 to 9 where the tax office, to tell apart two
// people whose codes would be equal, replaced digits (omocodia).
const QString OMOCODIA = QStringLiteral("LMNPQRSTUV");
// The places that hold digits: year, day, the cadastral code's number.
constexpr int POSTICIFRE[] = {6, 7, 9, 10, 12, 13, 14};

bool lettera(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

// The digit at a digit place, written as itself or as its omocodia letter; -1
// for anything else.
int cifra(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    return int(OMOCODIA.indexOf(c));
}

QString lettere(QStringView testo, bool nome)
{
    QString consonanti, vocali;
    for (const QChar c : formaConfronto(testo)) {
        if (!lettera(c))
            continue;
        (QStringView(u"AEIOU").contains(c) ? vocali : consonanti) += c;
    }
    if (nome && consonanti.size() >= 4)
        return QString(consonanti.at(0)) + consonanti.at(2) + consonanti.at(3);
    return (consonanti + vocali + QStringLiteral("XXX")).left(3);
}

} // namespace

QChar siglaSesso(Sesso sesso)
{
    return sesso == Sesso::Femminile ? QLatin1Char('F') : QLatin1Char('M');
}

std::optional<DatiCodiceFiscale> decodificaCodiceFiscale(QStringView testo)
{
    const QString codice = testo.trimmed().toString().toUpper();
    if (codice.size() != 16)
        return std::nullopt;
    for (const int i : {0, 1, 2, 3, 4, 5, 8, 11, 15}) {
        if (!lettera(codice.at(i)))
            return std::nullopt;
    }
    int cifre[16] = {};
    for (const int i : POSTICIFRE) {
        cifre[i] = cifra(codice.at(i));
        if (cifre[i] < 0)
            return std::nullopt;
    }

    const int mese = int(MESI.indexOf(codice.at(8))) + 1;
    int giorno = cifre[9] * 10 + cifre[10];
    Sesso sesso = Sesso::Maschile;
    if (giorno > 40) { // a woman's day has 40 added
        giorno -= 40;
        sesso = Sesso::Femminile;
    }
    // Two digits name a year within a century: take the later of the two
    // centuries that does not put the birth after the return's year, so 04 is
    // 2004 and 05 is 1905.
    const int aa = cifre[6] * 10 + cifre[7];
    const int anno = 2000 + aa <= ANNODICHIARAZIONE ? 2000 + aa : 1900 + aa;
    const QDate nascita(anno, mese, giorno);
    // A letter that is no month gives month 0, a day outside 1-31 (41-71 for a
    // woman) no day: no date, as for 31 February or 29 February of a common year.
    if (!nascita.isValid())
        return std::nullopt;

    DatiCodiceFiscale dati;
    dati.nascita = nascita;
    dati.sesso = sesso;
    dati.codiceCatastale = QString(codice.at(11)) + QString::number(cifre[12]) + QString::number(cifre[13]) +
                           QString::number(cifre[14]);
    dati.luogo = luogoCatastale(dati.codiceCatastale);
    return dati;
}

QString lettereCognome(QStringView cognome)
{
    return lettere(cognome, false);
}

QString lettereNome(QStringView nome)
{
    return lettere(nome, true);
}

} // namespace checks
