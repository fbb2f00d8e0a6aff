// Formal checks of the tax codes: the check character of a codice fiscale and
// the check digit of a partita IVA.
#include "checks/codicifiscali.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// One entry of 5 characters per accepted character (0-9, then A-Z): the
// character, its value at an even position (2 digits), its value at an odd
// position (2 digits).
const QString TABELLACONVERSIONE = QStringLiteral(
    "00001101002020530307404095051360615707178081990921"
    "A0001B0100C0205D0307E0409F0513G0615H0717I0819J0921"
    "K1002L1104M1218N1320O1411P1503Q1606R1708S1812T1914"
    "U2016V2110W2222X2325Y2424Z2523");

// One entry of 3 characters per remainder: the remainder (2 digits) and its
// check letter.
const QString TABELLARESTI = QStringLiteral(
    "00A01B02C03D04E05F06G07H08I09J10K11L12M13N14O15P16Q"
    "17R18S19T20U21V22W23X24Y25Z");

// The table values are two decimal digits.
int dueCifre(const QString& tabella, int da)
{
    return (tabella.at(da).unicode() - '0') * 10 + (tabella.at(da + 1).unicode() - '0');
}

bool cifra(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

int CONTROLLOCF(const QString& codice)
{
    if (codice.size() != 16)
        return 1;

    int somma = 0;
    bool dispari = true;
    for (int posizione = 0; posizione < 15; ++posizione) {
        const QChar carattere = codice.at(posizione);
        int voce = 0;
        while (voce < TABELLACONVERSIONE.size() && TABELLACONVERSIONE.at(voce) != carattere)
            voce += 5;
        if (voce >= TABELLACONVERSIONE.size())
            return 1;
        somma += dispari ? dueCifre(TABELLACONVERSIONE, voce + 3) : dueCifre(TABELLACONVERSIONE, voce + 1);
        dispari = !dispari;
    }

    const int resto = somma - 26 * (somma / 26);
    QChar controllo;
    for (int voce = 0; voce < TABELLARESTI.size(); voce += 3) {
        if (dueCifre(TABELLARESTI, voce) == resto) {
            controllo = TABELLARESTI.at(voce + 2);
            break;
        }
    }
    return codice.at(15) == controllo ? 0 : 1;
}

int CONTROLLOPIVA(const QString& codice)
{
    // A partita IVA is eleven digits: a shorter text, or a sign, blank or
    // separator among the eleven positions, cannot be one. Counting such a
    // character as 0 would let a malformed code pass as correct.
    if (codice.size() < 11)
        return 1;
    for (int i = 0; i < 11; ++i) {
        if (!cifra(codice.at(i)))
            return 1;
    }
    auto valore = [&codice](int posizione) { return codice.at(posizione - 1).unicode() - '0'; };

    int somma = 0;
    for (int posizione = 1; posizione <= 9; posizione += 2) {
        int doppio = valore(posizione + 1) * 2;
        const QString testo = NUMEROTESTO(doppio);
        if (testo.size() == 2)
            doppio = (testo.at(0).unicode() - '0') + (testo.at(1).unicode() - '0');
        somma += valore(posizione) + doppio;
    }

    const QString testoSomma = NUMEROTESTO(somma);
    const int ultima = testoSomma.size() == 2 ? testoSomma.at(1).unicode() - '0' : somma;
    int controllo = 10 - ultima;
    if (NUMEROTESTO(controllo).size() == 2)
        controllo = 0;
    return valore(11) == controllo ? 0 : 1;
}

QString NUMEROTESTO(double x)
{
    const double spostato = x >= 0 ? x + 0.1 : x - 0.1;
    // Adding 0.0 turns a negative zero into zero, so that no "-0" appears.
    return QString::number(std::trunc(spostato) + 0.0, 'f', 0);
}

bool ISNUMERIC(const QString& testo)
{
    const QString t = testo.trimmed();
    if (t.isEmpty())
        return false;
    // Digits alone read as a number in every locale: no need to ask it.
    if (std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return true;
    // Letters never make a number here, not even an exponent or "inf".
    for (const QChar c : t) {
        if (c.isLetter())
            return false;
    }
    bool ok = false;
    QLocale().toDouble(t, &ok);
    if (!ok)
        QLocale::c().toDouble(t, &ok);
    return ok;
}
