// codicefiscale [codice...]: what each codice fiscale says, one tab-separated
// line per code (from the arguments, or one per line on standard input): the
// code, the formal check (0 correct, 1 not), birth date (YYYY-MM-DD), sex,
// cadastral code, place and province; the last five empty when the code does
// not decode (a partita IVA, a malformed code).
#include "checks/codicifiscali.h"
#include "checks/decodificacf.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QTextStream>
#include <QTranslator>

namespace {

// The command-line parser's own texts in Italian.
class TestiParser : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* contesto, const char* testo, const char* /*disambiguazione*/,
                      int /*n*/) const override
    {
        static const QHash<QByteArray, QString> testi = {
            {"Usage: %1", QStringLiteral("Uso: %1")},
            {"Options:", QStringLiteral("Opzioni:")},
            {"Arguments:", QStringLiteral("Argomenti:")},
            {"[options]", QStringLiteral("[opzioni]")},
            {"Unknown option '%1'.", QStringLiteral("Opzione sconosciuta '%1'.")},
            {"Unknown options: %1.", QStringLiteral("Opzioni sconosciute: %1.")},
            {"Missing value after '%1'.", QStringLiteral("Manca il valore dopo '%1'.")},
            {"Unexpected value after '%1'.", QStringLiteral("Valore inatteso dopo '%1'.")},
        };
        return qstrcmp(contesto, "QCommandLineParser") == 0 ? testi.value(testo) : QString();
    }
};

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
    TestiParser testiParser;
    QCoreApplication::installTranslator(&testiParser);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Controlla e decodifica codici fiscali: per ogni codice una riga con i campi separati da tabulazioni:\n"
        "il codice, l'esito del controllo formale (0 corretto, 1 errato), la data di nascita (AAAA-MM-GG),\n"
        "il sesso, il codice catastale, il comune (o stato estero) e la provincia di nascita.\n"
        "Gli ultimi cinque campi restano vuoti per una partita IVA o un codice non decodificabile.\n"
        "Senza codici tra gli argomenti li legge dallo standard input, uno per riga."));
    const QCommandLineOption aiuto({QStringLiteral("h"), QStringLiteral("help")},
                                   QStringLiteral("Mostra questo aiuto."));
    parser.addOption(aiuto);
    parser.addPositionalArgument(QStringLiteral("codici"), QStringLiteral("I codici da controllare."),
                                 QStringLiteral("[codici...]"));
    QTextStream out(stdout), err(stderr);
    if (!parser.parse(app.arguments())) {
        err << "codicefiscale: " << parser.errorText() << "\n" << parser.helpText();
        return 2;
    }
    if (parser.isSet(aiuto)) {
        out << parser.helpText();
        return 0;
    }

    const QStringList argomenti = parser.positionalArguments();
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
