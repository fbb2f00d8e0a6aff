// The cadastral codes table, read from the resource compiled into the program
// at the first look-up.
#include "checks/catasto.h"

#include <QFile>

#include <algorithm>
#include <vector>

// The table lives in a resource of the static library: it must be registered
// by hand, outside any namespace.
static void registraRisorseCatasto()
{
    Q_INIT_RESOURCE(catasto);
}

namespace checks {

namespace {

const QString RISORSA = QStringLiteral(":/checks/catasto.txt");

// A cadastral code as a number: the letter's place times 1000 plus the three
// digits (A001 is 1, B000 is 1000); -1 for a text of another form.
int chiave(QStringView codice)
{
    if (codice.size() != 4)
        return -1;
    const char16_t lettera = codice.at(0).toUpper().unicode();
    if (lettera < u'A' || lettera > u'Z')
        return -1;
    int numero = 0;
    for (int i = 1; i < 4; ++i) {
        const char16_t c = codice.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        numero = numero * 10 + (c - u'0');
    }
    return (lettera - u'A') * 1000 + numero;
}

// The province a place had in the tax year 2004. The table is today's: it files
// under the provinces instituted after 2004 the municipalities they took over,
// and records the province the return's year knew as a former entry of the same
// code. Pesaro e Urbino's code was still PS. `registrate` holds the entry in
// force first.
QString provinciaAnno(const QStringList& registrate)
{
    static const QStringList istituiteDopo = {QStringLiteral("MB"), QStringLiteral("FM"), QStringLiteral("BT"),
                                              QStringLiteral("CI"), QStringLiteral("VS"), QStringLiteral("OG"),
                                              QStringLiteral("OT"), QStringLiteral("SU")};
    for (const QString& p : registrate) {
        if (p == QLatin1String("PU"))
            return QStringLiteral("PS");
        if (!istituiteDopo.contains(p))
            return p;
    }
    return registrate.value(0);
}

// One line of the table: a name the code has had, kept as where it stands in
// the table's text.
struct Riga {
    int chiave;
    int inizio;     // of the name in the text
    int lunghezza;
    char provincia[2];
    bool inVigore;
};

struct Tabella {
    QByteArray testo;         // the table as compiled in
    std::vector<Riga> righe;  // ascending by code; a code's lines in the table's order
    std::vector<int> chiavi;  // one per code, ascending
    std::vector<int> prime;   // the first line of each code in `righe`, and one past the last
};

Tabella carica()
{
    registraRisorseCatasto();
    QFile file(RISORSA);
    Tabella t;
    if (!file.open(QIODevice::ReadOnly))
        return t; // compiled in: cannot happen; an empty table knows no code
    t.testo = file.readAll();

    // One line per recorded name: code, province, 1 in force or 0, name; the
    // lines of a code list the name in force first.
    const QByteArrayView testo(t.testo);
    for (qsizetype inizio = 0; inizio < testo.size();) {
        qsizetype fine = testo.indexOf('\n', inizio);
        if (fine < 0)
            fine = testo.size();
        const QByteArrayView riga = testo.sliced(inizio, fine - inizio);
        // "A001\tPD\t1\tABANO TERME": the fields before the name have fixed widths.
        const int k = riga.size() > 10 && riga.at(4) == '\t' && riga.at(7) == '\t' && riga.at(9) == '\t'
                          ? chiave(QString::fromLatin1(riga.first(4)))
                          : -1;
        if (k >= 0 && !riga.startsWith('#'))
            t.righe.push_back({k, int(inizio + 10), int(riga.size() - 10), {riga.at(5), riga.at(6)}, riga.at(8) == '1'});
        inizio = fine + 1;
    }
    std::stable_sort(t.righe.begin(), t.righe.end(), [](const Riga& a, const Riga& b) { return a.chiave < b.chiave; });
    for (std::size_t i = 0; i < t.righe.size(); ++i) {
        if (i == 0 || t.righe[i].chiave != t.righe[i - 1].chiave) {
            t.chiavi.push_back(t.righe[i].chiave);
            t.prime.push_back(int(i));
        }
    }
    t.prime.push_back(int(t.righe.size()));
    return t;
}

// Read at the first use; the initialisation of a local static is thread-safe.
const Tabella& tabella()
{
    static const Tabella t = carica();
    return t;
}

// Whether a name, in comparison form, is one a recorded name stands for: each
// spelling joined by "=" ("DAHOMEY=BENIN"), with or without a closing remark
// in brackets.
bool stessoNome(const QString& forma, const QString& registrato)
{
    for (const QString& variante : registrato.split(QLatin1Char('='), Qt::SkipEmptyParts)) {
        if (formaConfronto(variante) == forma)
            return true;
        const qsizetype parentesi = variante.indexOf(QLatin1Char('('));
        if (parentesi > 0 && formaConfronto(QStringView(variante).left(parentesi)) == forma)
            return true;
    }
    return false;
}

} // namespace

std::optional<LuogoCatastale> luogoCatastale(QStringView codice)
{
    const int k = chiave(codice);
    if (k < 0)
        return std::nullopt;
    const Tabella& t = tabella();
    const auto dove = std::lower_bound(t.chiavi.begin(), t.chiavi.end(), k);
    if (dove == t.chiavi.end() || *dove != k)
        return std::nullopt;
    const std::size_t n = std::size_t(dove - t.chiavi.begin());

    LuogoCatastale luogo;
    luogo.codice = codice.toString().toUpper();
    luogo.soppresso = true;
    QStringList registrate;
    for (int i = t.prime[n]; i < t.prime[n + 1]; ++i) {
        const Riga& r = t.righe[std::size_t(i)];
        luogo.nomi << QString::fromUtf8(t.testo.constData() + r.inizio, r.lunghezza);
        registrate << QString::fromLatin1(r.provincia, 2);
        luogo.soppresso = luogo.soppresso && !r.inVigore;
    }
    luogo.nome = luogo.nomi.first().section(QLatin1Char('='), 0, 0);
    luogo.provincia = provinciaAnno(registrate);
    luogo.province = QStringList{luogo.provincia} + registrate;
    luogo.province.removeDuplicates();
    return luogo;
}

int numeroCodiciCatastali()
{
    return int(tabella().chiavi.size());
}

QString formaConfronto(QStringView nome)
{
    // Names are mostly plain ASCII: decompose (accents into marks) only when needed.
    const bool ascii = std::all_of(nome.begin(), nome.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QString scomposto = ascii ? nome.toString() : nome.toString().normalized(QString::NormalizationForm_KD);
    QString forma;
    forma.reserve(scomposto.size());
    for (const QChar c : scomposto) {
        if (c.isLetterOrNumber())
            forma += c.toUpper();
    }
    return forma;
}

bool nomeDelLuogo(const LuogoCatastale& luogo, QStringView nome)
{
    const QString forma = formaConfronto(nome);
    return std::any_of(luogo.nomi.begin(), luogo.nomi.end(),
                       [&forma](const QString& registrato) { return stessoNome(forma, registrato); });
}

bool provinciaDelLuogo(const LuogoCatastale& luogo, QStringView provincia)
{
    return luogo.province.contains(provincia.trimmed().toString().toUpper());
}

} // namespace checks
