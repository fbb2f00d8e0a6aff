// Benchmark of what the codice fiscale says: the first look-up (which reads the
// compiled-in table of cadastral codes), a look-up by code, and decoding
// 100,000 codes and comparing each with its data sheet, next to the formal
// check of the same codes. Figures per code, medians of several runs.
//
//   bench_codicefiscale [--volte N]
#include "misure.h"

#include "checks/codicifiscali.h"
#include "checks/coerenzacf.h"
#include "tools/lib/archiviodemo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTextStream>

namespace {

QTextStream out(stdout);

struct Caso {
    QString codice;
    checks::SchedaNascita scheda;
};

// `quanti` fictional persons born in places the table knows; one sheet in four
// has a fact that disagrees, one in four a place typed in lower case.
std::vector<Caso> casi(int quanti)
{
    std::vector<checks::LuogoCatastale> luoghi;
    for (char lettera = 'A'; lettera <= 'Z'; ++lettera) {
        for (int n = 0; n < 1000; ++n) {
            if (auto l = checks::luogoCatastale(QStringLiteral("%1%2").arg(QLatin1Char(lettera)).arg(n, 3, 10, QLatin1Char('0'))))
                luoghi.push_back(*l);
        }
    }
    static const char* const COGNOMI[] = {"ROSSI", "BIANCHI", "D'AMICO", "DE LUCA", "FO", "ESPOSITO", "COLOMBO"};
    static const char* const NOMI[] = {"MARIO", "ANNA", "FRANCESCO", "GIANFRANCO", "EA", "MARIA LUISA", "LUCA"};
    QRandomGenerator caso(2004);
    std::vector<Caso> elenco;
    elenco.reserve(std::size_t(quanti));
    for (int i = 0; i < quanti; ++i) {
        const QString cognome = QString::fromLatin1(COGNOMI[caso.bounded(7)]) + QChar(u'A' + caso.bounded(26));
        const QString nome = QString::fromLatin1(NOMI[caso.bounded(7)]);
        const QDate nascita = QDate(1905, 1, 1).addDays(caso.bounded(36500));
        const bool donna = caso.bounded(2);
        const checks::LuogoCatastale& luogo = luoghi[std::size_t(caso.bounded(int(luoghi.size())))];
        Caso c;
        c.codice = strumenti::codiceFiscale(cognome, nome, nascita, donna ? QChar('F') : QChar('M'), luogo.codice);
        c.scheda = {cognome, nome, donna ? QStringLiteral("F") : QStringLiteral("M"), nascita, luogo.nomi.last(),
                    luogo.provincia};
        if (caso.bounded(4) == 0)
            c.scheda.nascita = c.scheda.nascita.addDays(1);
        if (caso.bounded(4) == 0)
            c.scheda.comune = c.scheda.comune.toLower();
        elenco.push_back(std::move(c));
    }
    return elenco;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    const int volte = argomenti.contains(QStringLiteral("--volte"))
                          ? argomenti.value(argomenti.indexOf(QStringLiteral("--volte")) + 1).toInt()
                          : 5;

    QElapsedTimer primo;
    primo.start();
    const bool trovato = checks::luogoCatastale(u"H501").has_value();
    const double primaRicerca = double(primo.nsecsElapsed()) / 1e6;
    if (!trovato)
        qFatal("the table of cadastral codes is empty");

    const int N = 100000;
    const std::vector<Caso> elenco = casi(N);
    QStringList codici;
    for (const Caso& c : elenco)
        codici << c.codice.mid(11, 4);
    // Half the codes looked up are known, half are not.
    for (int i = 0; i < N; ++i)
        codici << QStringLiteral("Y%1").arg(i % 1000, 3, 10, QLatin1Char('0'));

    long long somma = 0; // keeps the results alive
    const double ricerca = misura(volte, [&] {
        for (const QString& c : codici)
            somma += checks::luogoCatastale(c).has_value();
    });
    const double controllo = misura(volte, [&] {
        for (const Caso& c : elenco)
            somma += CONTROLLOCF(c.codice);
    });
    const double decodifica = misura(volte, [&] {
        for (const Caso& c : elenco)
            somma += checks::decodificaCodiceFiscale(c.codice).has_value();
    });
    const double confronto = misura(volte, [&] {
        for (const Caso& c : elenco)
            somma += checks::confrontaCodiceFiscale(c.scheda, c.codice)->discordanti.size();
    });

    const auto perCodice = [](double ms, int quanti) { return ms * 1000.0 / quanti; };
    out << QStringLiteral("%1, %2, Qt %3, %4 runs (median)\n")
               .arg(QSysInfo::prettyProductName(), QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion()))
               .arg(volte);
    out << QStringLiteral("| measure | size | per code | whole |\n|---|---|---:|---:|\n");
    out << QStringLiteral("| first look-up (reads the table, %1 codes) | 1 | | %2 ms |\n")
               .arg(checks::numeroCodiciCatastali())
               .arg(primaRicerca, 0, 'f', 1);
    out << QStringLiteral("| look-up by cadastral code | %1 | %2 µs | %3 ms |\n")
               .arg(codici.size())
               .arg(perCodice(ricerca, int(codici.size())), 0, 'f', 3)
               .arg(ricerca, 0, 'f', 1);
    out << QStringLiteral("| formal check (CONTROLLOCF), reference | %1 | %2 µs | %3 ms |\n")
               .arg(N)
               .arg(perCodice(controllo, N), 0, 'f', 3)
               .arg(controllo, 0, 'f', 1);
    out << QStringLiteral("| decoding | %1 | %2 µs | %3 ms |\n")
               .arg(N)
               .arg(perCodice(decodifica, N), 0, 'f', 3)
               .arg(decodifica, 0, 'f', 1);
    out << QStringLiteral("| decoding and comparing with the sheet | %1 | %2 µs | %3 ms |\n")
               .arg(N)
               .arg(perCodice(confronto, N), 0, 'f', 3)
               .arg(confronto, 0, 'f', 1);
    out << QStringLiteral("(checksum %1)\n").arg(somma);
    return 0;
}
