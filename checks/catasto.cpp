// The cadastral codes table, read from the resource compiled into the program
// at the first look-up.
#include "checks/catasto.h"

#include <QFile>

#include <algorithm>
#include <map>
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

// A recorded name gives the forms it is matched in: each spelling joined by
// "=" ("DAHOMEY=BENIN"), and each of those without a closing remark in
// brackets ("BAHAMA (ISOLE)" also matches "BAHAMA").
void aggiungiForme(QStringList& forme, const QString& registrato)
{
    for (const QString& variante : registrato.split(QLatin1Char('='), Qt::SkipEmptyParts)) {
        forme << formaConfronto(variante);
        const qsizetype parentesi = variante.indexOf(QLatin1Char('('));
        if (parentesi > 0)
            forme << formaConfronto(QStringView(variante).left(parentesi));
    }
}

struct Raccolta {
    QStringList nomi, province; // as the table lists them
    bool inVigore = false;
};

struct Tabella {
    std::vector<int> chiavi; // ascending, one per place
    std::vector<LuogoCatastale> luoghi;
};

Tabella carica()
{
    registraRisorseCatasto();
    QFile file(RISORSA);
    Tabella tabella;
    if (!file.open(QIODevice::ReadOnly))
        return tabella; // compiled in: cannot happen; an empty table knows no code

    // One line per recorded name: code, province, 1 in force or 0, name; the
    // lines of a code list the name in force first.
    std::map<int, Raccolta> raccolte;
    for (const QByteArray& riga : file.readAll().split('\n')) {
        if (riga.isEmpty() || riga.startsWith('#'))
            continue;
        const QList<QByteArray> campi = riga.split('\t');
        if (campi.size() != 4)
            continue;
        const QString codice = QString::fromLatin1(campi.at(0));
        const int k = chiave(codice);
        if (k < 0)
            continue;
        Raccolta& r = raccolte[k];
        const bool inVigore = campi.at(2) == "1";
        const QString nome = QString::fromUtf8(campi.at(3)), provincia = QString::fromLatin1(campi.at(1));
        r.nomi << nome;
        r.province << provincia;
        r.inVigore = r.inVigore || inVigore;
    }

    tabella.chiavi.reserve(raccolte.size());
    tabella.luoghi.reserve(raccolte.size());
    for (const auto& [k, r] : raccolte) {
        LuogoCatastale luogo;
        luogo.codice = QStringLiteral("%1%2").arg(QChar(u'A' + k / 1000)).arg(k % 1000, 3, 10, QLatin1Char('0'));
        luogo.nome = r.nomi.first().section(QLatin1Char('='), 0, 0);
        luogo.provincia = provinciaAnno(r.province);
        luogo.soppresso = !r.inVigore;
        luogo.nomi = r.nomi;
        luogo.province = QStringList{luogo.provincia} + r.province;
        luogo.province.removeDuplicates();
        for (const QString& nome : r.nomi)
            aggiungiForme(luogo.formeNomi, nome);
        luogo.formeNomi.removeDuplicates();
        tabella.chiavi.push_back(k);
        tabella.luoghi.push_back(std::move(luogo));
    }
    return tabella;
}

// Read at the first use; the initialisation of a local static is thread-safe.
const Tabella& tabella()
{
    static const Tabella t = carica();
    return t;
}

} // namespace

const LuogoCatastale* luogoCatastale(QStringView codice)
{
    const int k = chiave(codice);
    if (k < 0)
        return nullptr;
    const Tabella& t = tabella();
    const auto dove = std::lower_bound(t.chiavi.begin(), t.chiavi.end(), k);
    if (dove == t.chiavi.end() || *dove != k)
        return nullptr;
    return &t.luoghi[std::size_t(dove - t.chiavi.begin())];
}

int numeroCodiciCatastali()
{
    return int(tabella().luoghi.size());
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
    return luogo.formeNomi.contains(formaConfronto(nome));
}

bool provinciaDelLuogo(const LuogoCatastale& luogo, QStringView provincia)
{
    return luogo.province.contains(provincia.trimmed().toString().toUpper());
}

} // namespace checks
