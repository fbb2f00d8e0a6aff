// Keystroke routines of the typed fields: a character filter, right-aligned
// numeric entry and overtype entry into the date mask.
#include "checks/tasti.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int BACKSPACE = 8;
constexpr int PIU = 43;
constexpr int VIRGOLA = 44;
constexpr int MENO = 45;
constexpr int PUNTO = 46;

const QString MASCHERADATA = QStringLiteral("00/00/0000");

bool cifra(int tasto)
{
    return tasto >= '0' && tasto <= '9';
}

// The character at a position, or a blank outside the text: the date rules
// read neighbouring digits of texts that need not have the mask's length.
QChar carattere(const QString& testo, int posizione)
{
    return posizione >= 0 && posizione < testo.size() ? testo.at(posizione) : QLatin1Char(' ');
}

// Digits of the whole part of the text's value, read the way a number typed
// with blanks in it reads: blanks are skipped, one sign may lead, the digits
// run up to the first other character. Leading zeros do not count, so a zero
// value has no digits.
int cifreIntere(const QString& testo)
{
    QString compatto = testo;
    compatto.remove(QLatin1Char(' '));
    int i = 0;
    if (i < compatto.size() && (compatto.at(i) == QLatin1Char('-') || compatto.at(i) == QLatin1Char('+')))
        ++i;
    while (i < compatto.size() && compatto.at(i) == QLatin1Char('0'))
        ++i;
    int cifre = 0;
    while (i < compatto.size() && cifra(compatto.at(i).unicode())) {
        ++i;
        ++cifre;
    }
    return cifre;
}

bool valoreZero(const QString& testo)
{
    QString compatto = testo;
    compatto.remove(QLatin1Char(' '));
    int i = 0;
    if (i < compatto.size() && (compatto.at(i) == QLatin1Char('-') || compatto.at(i) == QLatin1Char('+')))
        ++i;
    for (; i < compatto.size(); ++i) {
        const QChar c = compatto.at(i);
        if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            continue;
        if (!cifra(c.unicode()))
            break;
        if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

QString allineaADestra(const QString& testo, int larghezza)
{
    return (QString(larghezza, QLatin1Char(' ')) + testo).right(larghezza);
}

// The date mask's shape: two digits, "/", two digits, "/", then the year.
bool formaMaschera(const QString& testo)
{
    return testo.size() >= 10 && testo.at(2) == QLatin1Char('/') && testo.at(5) == QLatin1Char('/');
}

} // namespace

int FILTRACARATTERI(int& keyAscii, const QString& consentiti, bool maiuscolo)
{
    if (keyAscii == BACKSPACE)
        return keyAscii;
    if (keyAscii <= 0 || keyAscii > 0xFFFF || !consentiti.contains(QChar(keyAscii))) {
        keyAscii = 0;
        return 0;
    }
    if (maiuscolo && keyAscii >= 'a' && keyAscii <= 'z')
        keyAscii -= 32;
    return keyAscii;
}

int DIGITANUMERO(CAMPOTESTO& campo, int keyAscii, int segno, int virgola, int interi, int decimali)
{
    const int larghezzaPiena = segno + virgola + interi + decimali;
    const QString zeri(std::max(decimali, 0), QLatin1Char('0'));

    // A field that shows a zero value is emptied by the first key pressed in it.
    const QString ridotto = campo.testo.trimmed();
    const bool soloZeri = !campo.testo.isEmpty()
        && std::all_of(campo.testo.cbegin(), campo.testo.cend(), [](QChar c) { return c == QLatin1Char('0'); });
    if (ridotto.isEmpty() || ridotto == QLatin1String("0") || ridotto == QLatin1String("0,") + zeri
        || ridotto == QLatin1String("0.") + zeri || ridotto == QLatin1String(",") + zeri
        || ridotto == QLatin1String(".") + zeri || soloZeri)
        campo.testo.clear();

    if (!virgola && (keyAscii == VIRGOLA || keyAscii == PUNTO))
        return 0;
    if (keyAscii == PUNTO)
        keyAscii = VIRGOLA;
    if (keyAscii != BACKSPACE && !cifra(keyAscii) && keyAscii != PIU && keyAscii != VIRGOLA && keyAscii != MENO)
        return 0;
    if (keyAscii == VIRGOLA && campo.testo.contains(QLatin1Char(',')))
        return 0;
    if (keyAscii == MENO && campo.testo.contains(QLatin1Char('-')))
        return 0;
    if (!segno && (keyAscii == PIU || keyAscii == MENO))
        return 0;

    const int larghezza = campo.maxLength;
    if (larghezza < 1)
        return 0;
    QString testo = campo.testo;
    const int posVirgola = testo.indexOf(QLatin1Char(','));
    const bool conVirgola = posVirgola >= 0;
    QString parteIntera;
    int lunghezzaDecimali = 0;
    if (conVirgola) {
        parteIntera = testo.left(posVirgola).trimmed();
        lunghezzaDecimali = testo.mid(posVirgola + 1).trimmed().size();
    }
    const int lunghezzaIntera = conVirgola ? cifreIntere(parteIntera) : cifreIntere(testo);

    auto scriviEFine = [&campo, larghezza](const QString& nuovo) {
        campo.testo = nuovo;
        campo.caret = larghezza;
    };

    // Backspace resets the whole field to a right-aligned zero; the returned
    // "0" does not enter, as the field is then full.
    if (keyAscii == BACKSPACE) {
        scriviEFine(QString(larghezza - 1, QLatin1Char(' ')) + QLatin1Char('0'));
        return '0';
    }

    if (testo.trimmed().size() >= larghezzaPiena) {
        scriviEFine(testo);
        return keyAscii;
    }

    if (!conVirgola && !testo.contains(QLatin1Char('-')) && valoreZero(testo) && testo.endsWith(QLatin1Char('0')))
        testo.clear();

    if (lunghezzaIntera >= interi && !conVirgola && keyAscii != VIRGOLA) {
        scriviEFine(testo);
        return keyAscii;
    }
    if (conVirgola && lunghezzaDecimali >= decimali && cifra(keyAscii))
        return 0;

    // A sign is placed in front of the number (the minus) or removes it (the
    // plus); it never enters at the right like a digit.
    if (keyAscii == PIU || keyAscii == MENO) {
        QString numero = testo.trimmed();
        if (keyAscii == PIU) {
            if (numero.startsWith(QLatin1Char('-')))
                numero.remove(0, 1);
        } else {
            if (numero.size() + 1 > larghezza)
                return 0;
            numero.prepend(QLatin1Char('-'));
        }
        scriviEFine(allineaADestra(numero, larghezza));
        return 0;
    }

    if (!cifra(keyAscii) && !(keyAscii == VIRGOLA && virgola && !conVirgola)) {
        scriviEFine(testo);
        return keyAscii;
    }

    if (conVirgola && parteIntera.isEmpty())
        testo = allineaADestra(QLatin1Char(',') + testo.mid(posVirgola + 1).trimmed(), larghezza);
    else
        testo = allineaADestra(testo, larghezza);
    // Dropping the first character makes room for the key at the right; a
    // blank or a leading zero goes, anything else would change the number.
    if (testo.at(0) != QLatin1Char(' ') && testo.at(0) != QLatin1Char('0')) {
        scriviEFine(testo);
        return 0;
    }
    scriviEFine(testo.mid(1));
    return keyAscii;
}

QString DIGITADATA(CAMPOTESTO& campo, int keyAscii)
{
    campo.beep = false;

    // An empty field, or one whose text is not the mask (an empty stored
    // date shows "//"), starts again from the empty date: overtyping a text
    // of another shape would put the digits in the wrong places.
    if (campo.testo.trimmed().isEmpty() || !formaMaschera(campo.testo))
        campo.testo = MASCHERADATA;

    if (keyAscii == BACKSPACE) {
        campo.testo = MASCHERADATA;
        campo.caret = 0;
        return campo.testo;
    }
    if (!cifra(keyAscii)) {
        campo.beep = true;
        return campo.testo;
    }

    const QString& testo = campo.testo;
    const int p = std::clamp(campo.caret, 0, int(testo.size()));
    if (p == 2 || p == 5)
        return testo;

    const QChar c(keyAscii);
    bool rifiuta = false;
    switch (p) {
    case 0: {
        const QChar secondaGiorno = carattere(testo, 1);
        rifiuta = c > QLatin1Char('3')
            || (c == QLatin1Char('3') && secondaGiorno >= QLatin1Char('2') && secondaGiorno <= QLatin1Char('9'));
        break;
    }
    case 1: {
        const QChar primaGiorno = carattere(testo, 0);
        rifiuta = (primaGiorno == QLatin1Char('3') && c > QLatin1Char('1'))
            || (primaGiorno == QLatin1Char('0') && c == QLatin1Char('0'));
        break;
    }
    case 3:
        rifiuta = c > QLatin1Char('1');
        break;
    case 4: {
        const QChar primaMese = carattere(testo, 3);
        rifiuta = (primaMese != QLatin1Char('0') && c > QLatin1Char('2'))
            || (primaMese == QLatin1Char('0') && c == QLatin1Char('0'));
        break;
    }
    case 6:
        rifiuta = c != QLatin1Char('1') && c != QLatin1Char('2');
        break;
    default:
        break;
    }
    if (rifiuta) {
        campo.beep = true;
        return campo.testo;
    }

    campo.testo = testo.left(p) + c + testo.mid(p + 1);
    if (p == 9)
        campo.caret = 9;
    else if (p == 1)
        campo.caret = 3;
    else if (p == 4)
        campo.caret = 6;
    else
        campo.caret = p + 1;
    return campo.testo;
}

QList<int> TASTIDATAINCOLLATA(const QString& testo)
{
    static const QRegularExpression forma(
        QStringLiteral("^(?:([0-9]{2})/([0-9]{2})/([0-9]{4})|([0-9]{2})-([0-9]{2})-([0-9]{4})|([0-9]{8}))$"));
    const QRegularExpressionMatch m = forma.match(testo.trimmed());
    if (!m.hasMatch())
        return {};
    QString cifre;
    for (int i = 1; i <= 7; ++i)
        cifre += m.captured(i);

    // Typed from the empty mask: every digit must be one the mask takes.
    QList<int> tasti{BACKSPACE};
    CAMPOTESTO campo{MASCHERADATA, int(MASCHERADATA.size()), 0, false};
    for (const QChar c : cifre) {
        DIGITADATA(campo, c.unicode());
        if (campo.beep)
            return {};
        tasti.append(c.unicode());
    }
    return tasti;
}

bool DATAVALIDA(const QString& testo)
{
    // GG/MM/AAAA in ASCII digits, read by hand: the check of every stored
    // date of a whole archive runs through here.
    if (testo.size() != 10 || testo.at(2) != QLatin1Char('/') || testo.at(5) != QLatin1Char('/'))
        return false;
    const auto numero = [&testo](int da, int cifre) {
        int n = 0;
        for (int i = da; i < da + cifre; ++i) {
            const char16_t c = testo.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            n = n * 10 + (c - u'0');
        }
        return n;
    };
    const int giorno = numero(0, 2), mese = numero(3, 2), anno = numero(6, 4);
    if (giorno < 0 || mese < 0 || anno <= 0)
        return false;
    return QDate(anno, mese, giorno).isValid();
}
