// codicefiscale [codice...]: what each codice fiscale says, one tab-separated
// line per code (from the arguments, or one per line on standard input): the
// code, the formal check (0 correct, 1 not), birth date (YYYY-MM-DD), sex,
// cadastral code, place and province; the last five empty when the code does
// not decode (a partita IVA, a malformed code).
#include "checks/codicifiscali.h"
#include "checks/decodificacf.h"
#include "lib/rigacomando.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

// The formal check the program runs on a confirmed code: a numeric text is a
// partita IVA of 11 digits, any other text a codice fiscale, read in capitals
// as the program's fields type it.
int controlloFormale(const QString& codice)
{
    if (ISNUMERIC(codice))
        return codice.size() == 11 ? CONTROLLOPIVA(codice) : 1;
    return CONTROLLOCF(codice.toUpper());
}

QString riga(const QString& codice)
{
    QStringList campi{codice, QString::number(controlloFormale(codice))};
    if (const std::optional<checks::DatiCodiceFiscale> dati = checks::decodificaCodiceFiscale(codice)) {
        campi << dati->nascita.toString(Qt::ISODate) << QString(checks::siglaSesso(dati->sesso))
              << dati->codiceCatastale << (dati->luogo ? dati->luogo->nome : QString())
              << (dati->luogo ? dati->luogo->provincia : QString());
    } else {
        campi << QString() << QString() << QString() << QString() << QString();
    }
    return campi.join(QLatin1Char('\t'));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    strumenti::RigaComando comando(QStringLiteral(
        "Controlla e decodifica codici fiscali: per ogni codice una riga con i campi separati da tabulazioni:\n"
        "il codice, l'esito del controllo formale (0 corretto, 1 errato), la data di nascita (AAAA-MM-GG),\n"
        "il sesso, il codice catastale, il comune (o stato estero) e la provincia di nascita.\n"
        "Gli ultimi cinque campi restano vuoti per una partita IVA o un codice non decodificabile.\n"
        "Senza codici tra gli argomenti li legge dallo standard input, uno per riga."));
    comando.parser().addPositionalArgument(QStringLiteral("codici"), QStringLiteral("I codici da controllare."),
                                           QStringLiteral("[codici...]"));
    if (const int esito = comando.leggi(app, -1); esito >= 0)
        return esito;

    QTextStream out(stdout);
    const QStringList argomenti = comando.posizionali();
    if (!argomenti.isEmpty()) {
        for (const QString& codice : argomenti)
            out << riga(codice.trimmed()) << "\n";
        return 0;
    }
    QTextStream in(stdin);
    QString letta;
    while (in.readLineInto(&letta)) {
        const QString codice = letta.trimmed();
        if (!codice.isEmpty())
            out << riga(codice) << "\n";
    }
    return 0;
}
