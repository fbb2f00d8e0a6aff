// What a codice fiscale says: the cadastral codes table, the decoding, the
// comparison with a data sheet and the codicefiscale tool. The birth data a
// new substitute's sheet is filled with are the core's (tst_registro_dalcodice).
#include "checks/codicifiscali.h"
#include "checks/coerenzacf.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace checks;

namespace {

const QString MESI = QStringLiteral("ABCDEHLMPRST");
const QString OMOCODIA = QStringLiteral("LMNPQRSTUV");
// The digit places, the one the tax office replaces first at the front.
const int OMOCODICI[7] = {14, 13, 12, 10, 9, 7, 6};
const QStringList NOMIDATI = {"cognome",           "nome", "sesso", "data di nascita", "comune di nascita",
                              "provincia di nascita"};

struct Persona {
    QString cognome, nome;
    QDate nascita;
    bool donna = false;
    QString luogo; // cadastral code
};
const Persona ROSSI{"ROSSI", "MARIO", QDate(1985, 12, 10), false, "H501"};

// Three letters of a surname or name by the published rule, written for the
// test: the test names hold capitals, blanks and apostrophes only.
QString tre(const QString& parola, bool nome)
{
    QString consonanti, vocali;
    for (const QChar c : parola) {
        if (QStringLiteral("AEIOU").contains(c))
            vocali.append(c);
        else if (c.isLetter())
            consonanti.append(c);
    }
    if (nome && consonanti.size() > 3)
        consonanti.remove(1, 1);
    return (consonanti + vocali + "XXX").left(3);
}

// The first 15 characters with the 16th that passes the formal check.
QString conControllo(const QString& primi15)
{
    for (char c = 'A'; c <= 'Z'; ++c)
        if (CONTROLLOCF(primi15 + QLatin1Char(c)) == 0)
            return primi15 + QLatin1Char(c);
    return QString();
}

// The person's code, with the first `omocodie` digit places (in the tax
// office's order) written as letters.
QString codiceDi(const Persona& p, int omocodie = 0)
{
    QString c = tre(p.cognome, false) + tre(p.nome, true) + p.nascita.toString("yy") + MESI.at(p.nascita.month() - 1)
        + QString("%1").arg(p.nascita.day() + (p.donna ? 40 : 0), 2, 10, QChar('0')) + p.luogo;
    for (int i = 0; i < omocodie; ++i)
        c[OMOCODICI[i]] = OMOCODIA.at(c.at(OMOCODICI[i]).digitValue());
    return conControllo(c);
}

// The table's rows as the resource holds them: code, province, name (with its other names after "=").
QList<QStringList> righeTabella()
{
    luogoCatastale(u"H501"); // registers the resource
    QFile file(QStringLiteral(":/checks/catasto.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> righe;
    for (const QString& riga : QString::fromUtf8(file.readAll()).split('\n')) {
        const QStringList campi = riga.split('\t');
        if (!riga.startsWith('#') && campi.size() == 4)
            righe.append({campi.at(0), campi.at(1), campi.at(3)});
    }
    return righe;
}

QSet<QString> codiciDi(const QList<QStringList>& righe)
{
    QSet<QString> codici;
    for (const QStringList& r : righe)
        codici.insert(r.at(0));
    return codici;
}

QString descrivi(const std::optional<DatiCodiceFiscale>& d)
{
    if (!d)
        return QStringLiteral("non decodificabile");
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(d->nascita.toString(Qt::ISODate), QString(siglaSesso(d->sesso)), d->codiceCatastale,
             d->luogo ? d->luogo->nome : QStringLiteral("-"), d->luogo ? d->luogo->provincia : QStringLiteral("-"));
}

SchedaNascita schedaDi(const Persona& p, const QString& comune, const QString& provincia)
{
    return {p.cognome, p.nome, p.donna ? QStringLiteral("F") : QStringLiteral("M"), p.nascita, comune, provincia};
}

// The facts that disagree, by name.
QString discordanti(const std::optional<ConfrontoCodiceFiscale>& c)
{
    QStringList nomi;
    for (const DatoAnagrafico d : c ? c->discordanti : QList<DatoAnagrafico>{})
        nomi << NOMIDATI.at(int(d) - 1);
    return c ? nomi.join(", ") : "nothing compared";
}

} // namespace

class TestDecodificaCf : public QObject {
    Q_OBJECT

private slots:
    void tabellaCatastale()
    {
        const QList<QStringList> righe = righeTabella();
        const QSet<QString> codici = codiciDi(righe);
        QVERIFY(codici.size() > 10000);
        QCOMPARE(numeroCodiciCatastali(), codici.size());

        // Code: name shown, province of 2004, abolished, the other names and provinces it answers to.
        const QList<std::tuple<QString, QString, QString, bool, QStringList, QStringList>> casi = {
            {"h501", "ROMA", "RM", false, {"Roma"}, {"rm"}},
            {"A001", "ABANO TERME", "PD", false, {"ABANO BAGNI"}, {}},
            {"A012", "ABETONE", "PT", true, {}, {}},    // merged into Abetone Cutigliano
            {"F704", "MONZA", "MI", false, {}, {"MB"}}, // Monza e Brianza came after 2004
            {"D542", "FERMO", "AP", false, {}, {"FM"}},
            {"B745", "CARBONIA", "CA", false, {}, {"SU"}},
            {"L500", "URBINO", "PS", false, {}, {"PU"}}, // Pesaro e Urbino's code of 2004
            {"A930", "BOJANO", "CB", false, {"BOIANO"}, {}},
            {"Z100", "ALBANIA", "EE", false, {}, {}},
            {"Z404", "STATI UNITI D'AMERICA", "EE", false, {"Stati Uniti d America"}, {}},
            {"Z154", "FEDERAZIONE RUSSA", "EE", false, {"RUSSIA"}, {}}, // "RUSSIA=FEDERAZIONE RUSSA"
            {"Z502", "BAHAMA (ISOLE)", "EE", false, {"BAHAMAS", "Bahama"}, {}},
        };
        for (const auto& [codice, nome, provincia, soppresso, altriNomi, altreProvince] : casi) {
            const std::optional<LuogoCatastale> luogo = luogoCatastale(codice);
            QVERIFY2(luogo, qPrintable(codice));
            QCOMPARE(luogo->codice, codice.toUpper());
            QCOMPARE(luogo->nome, nome);
            QCOMPARE(luogo->provincia, provincia);
            QCOMPARE(luogo->soppresso, soppresso);
            for (const QString& altro : altriNomi + QStringList{nome})
                QVERIFY2(nomeDelLuogo(*luogo, altro), qPrintable(codice + ' ' + altro));
            for (const QString& altra : altreProvince + QStringList{provincia})
                QVERIFY2(provinciaDelLuogo(*luogo, altra), qPrintable(codice + ' ' + altra));
        }
        QVERIFY(!nomeDelLuogo(*luogoCatastale(u"A001"), u"ABANO"));
        QVERIFY(!provinciaDelLuogo(*luogoCatastale(u"H501"), u"RI"));
        for (const QString fuori : {"A000", "Z999", "", "H50", "H5011", "1501", "H5O1", "ÀH501"})
            QVERIFY2(!luogoCatastale(fuori), qPrintable(fuori));

        // Every recorded name and province, as a clerk might type them, answers to its own code.
        QRandomGenerator caso(16);
        for (const QStringList& r : righe) {
            const std::optional<LuogoCatastale> luogo = luogoCatastale(r.at(0));
            QString nome = r.at(2).section('=', 0, 0);
            if (caso.bounded(2))
                nome = nome.toLower().replace('\'', ' ');
            QVERIFY2(luogo, qPrintable(r.join(' ')));
            QVERIFY2(nomeDelLuogo(*luogo, nome), qPrintable(r.join(' ')));
            QVERIFY2(provinciaDelLuogo(*luogo, r.at(1).toLower()), qPrintable(r.join(' ')));
        }
    }

    void decodifica()
    {
        // Code: date, sex, cadastral code, place and province of 2004 ("-" for a place the table does not know).
        const QString roma = "1985-12-10 M H501 ROMA RM";
        const QList<std::pair<QString, QString>> decodificati = {
            {"RSSMRA85T10H501S", roma}, {"  rssmra85t10h501s ", roma}, {"RSSMRA85T10H501A", roma}, // wrong check letter
            {"RSSMRA85T50H501W", "1985-12-10 F H501 ROMA RM"}, {"RSSMRA85A41H501W", "1985-01-01 F H501 ROMA RM"},
            {"RSSMRA85A71H501W", "1985-01-31 F H501 ROMA RM"}, {"RSSMRA85S30H501W", "1985-11-30 M H501 ROMA RM"},
            // Centuries: the birth is never after the return's year.
            {"RSSMRA04L01H501S", "2004-07-01 M H501 ROMA RM"}, {"RSSMRA05A01H501S", "1905-01-01 M H501 ROMA RM"},
            {"RSSMRA00A01H501S", "2000-01-01 M H501 ROMA RM"}, {"RSSMRA99T31H501S", "1999-12-31 M H501 ROMA RM"},
            // Leap days.
            {"RSSMRA00B69H501S", "2000-02-29 F H501 ROMA RM"}, {"RSSMRA04B29H501S", "2004-02-29 M H501 ROMA RM"},
            {"RSSMRA96B29H501S", "1996-02-29 M H501 ROMA RM"},
            // Foreign states, an abolished municipality, a province of 2004, places the table does not know.
            {"MRTMTT25D09Z100O", "1925-04-09 M Z100 ALBANIA EE"},
            {"SMTJHN70E05Z404X", "1970-05-05 M Z404 STATI UNITI D'AMERICA EE"},
            {"BNCLRA40M45A012X", "1940-08-05 F A012 ABETONE PT"}, {"BNCLRA60M45F704X", "1960-08-05 F F704 MONZA MI"},
            {"RSSMRA85T10Z999S", "1985-12-10 M Z999 - -"}, {"RSSMRA85T10A000S", "1985-12-10 M A000 - -"},
        };
        for (const auto& [codice, atteso] : decodificati)
            QCOMPARE(descrivi(decodificaCodiceFiscale(codice)), atteso);

        const QStringList nonDecodificati = {
            "RSSMRA97B29H501S", "RSSMRA05B69H501S", "RSSMRA85B31H501S", "RSSMRA85D71H501S", // 29/2 of 1997, 1905; 31/2; 31/4
            "RSSMRA85F10H501S", "RSSMRA85Z10H501S",                                         // no month
            "RSSMRA85A00H501S", "RSSMRA85A32H501S", "RSSMRA85A40H501S", "RSSMRA85A72H501S", // no day
            "12345678903", "RSSMRA85T10H501", "RSSMRA85T10H501SS", "",                      // other lengths
            "R5SMRA85T10H501S", "RSSMR485T10H501S", "RSSMRA8AT10H501S", "RSSMRA85110H501S", // signs out of place
            "RSSMRA85T101501S", "RSSMRA85T10H5011", "RSSMRA85T10 H501", "RSSMRÀ85T10H501S"};
        for (const QString& codice : nonDecodificati)
            QVERIFY2(!decodificaCodiceFiscale(codice), qPrintable(codice));
    }

    void omocodia()
    {
        // Every digit place written as its letter, alone and all together, in either case; the digits all differ,
        // so a letter read back as the wrong digit shows. 91 D 08 F 205: 1991-04-08, Milano.
        const QString base = "MRTMTT91D08F205X", atteso = "1991-04-08 M F205 MILANO MI";
        QString tutte = base;
        for (const int posto : OMOCODICI) {
            QString codice = base;
            codice[posto] = tutte[posto] = OMOCODIA.at(base.at(posto).digitValue());
            QCOMPARE(descrivi(decodificaCodiceFiscale(codice.toLower())), atteso);
        }
        QCOMPARE(tutte, QStringLiteral("MRTMTTVMDLUFNLRX"));
        QCOMPARE(descrivi(decodificaCodiceFiscale(tutte)), atteso);
    }

    void andataERitorno()
    {
        // Random persons, born between 1905 and the end of 2004, in places the table knows or not; their
        // code, computed here from the rules and with any number of omocodia letters, decodes back to them
        // and a sheet holding their facts (names as typed, a place's recorded name) agrees with it.
        const QList<QStringList> righe = righeTabella();
        const QSet<QString> codici = codiciDi(righe);
        QRandomGenerator caso(770);
        const auto parola = [&caso](int lunghezza) {
            QString p;
            for (int i = 0; i < lunghezza; ++i)
                p += caso.bounded(8) == 0 ? QStringLiteral("AEIOU").at(caso.bounded(5)) : QChar(u'A' + caso.bounded(26));
            return p;
        };
        for (int n = 0; n < 3000; ++n) {
            Persona p{parola(1 + caso.bounded(10)), parola(1 + caso.bounded(9)), {}, false, {}};
            if (caso.bounded(4) == 0)
                p.cognome = "D'" + p.cognome;
            if (caso.bounded(4) == 0)
                p.nome += " " + parola(4);
            p.nascita = QDate(1905, 1, 1).addDays(caso.bounded(QDate(1905, 1, 1).daysTo(QDate(2004, 12, 31)) + 1));
            p.donna = caso.bounded(2);
            const bool nota = caso.bounded(4) != 0;
            const QStringList riga = righe.at(caso.bounded(righe.size()));
            p.luogo = riga.at(0);
            while (!nota && codici.contains(p.luogo))
                p.luogo = QChar(u'A' + caso.bounded(26)) + QString("%1").arg(caso.bounded(1000), 3, 10, QChar('0'));
            const QString codice = codiceDi(p, caso.bounded(8));
            const QString perso = codice + ' ' + p.cognome + ' ' + p.nome;

            const std::optional<DatiCodiceFiscale> d = decodificaCodiceFiscale(caso.bounded(2) ? codice : codice.toLower());
            QVERIFY2(d, qPrintable(perso));
            QCOMPARE(d->nascita, p.nascita);
            QCOMPARE(d->sesso, p.donna ? Sesso::Femminile : Sesso::Maschile);
            QCOMPARE(d->codiceCatastale, p.luogo);
            QCOMPARE(d->luogo.has_value(), nota);
            const SchedaNascita scheda = schedaDi(p, nota ? riga.at(2).section('=', 0, 0).toLower() : "ALTROVE",
                                                  nota ? riga.at(1) : "XX");
            QCOMPARE(perso + ": " + discordanti(confrontaCodiceFiscale(scheda, codice)), perso + ": ");
        }
    }

    void lettere()
    {
        // Beyond the random names above: accents, a name of one letter, none. Name, as surname, as first name.
        const QList<std::tuple<QString, QString, QString>> casi = {
            {"NICOLÒ", "NCL", "NCL"}, {"ÉMILE", "MLE", "MLE"}, {"O", "OXX", "OXX"}, {"", "XXX", "XXX"}};
        for (const auto& [testo, cognome, nome] : casi) {
            QCOMPARE(lettereCognome(testo), cognome);
            QCOMPARE(lettereNome(testo), nome);
        }
    }

    void confrontoConLaScheda()
    {
        // The sheet of a man born in Rome on 10/12/1985 agrees with his code; several facts disagreeing are named
        // in the sheet's order. (Each fact disagreeing alone: on the window's sheet, tst_dalcodice.)
        const QString codice = codiceDi(ROSSI);
        const std::optional<ConfrontoCodiceFiscale> tutto = confrontaCodiceFiscale(schedaDi(ROSSI, "ROMA", "RM"), codice);
        QCOMPARE(discordanti(tutto), QString());
        QCOMPARE(rigaDalCodice(tutto->dalCodice), QStringLiteral("Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)"));
        QCOMPARE(rigaDiscordanze(tutto->discordanti), QString());
        const SchedaNascita tre{"VERDI", "MARIO", "M", QDate(1958, 12, 10), "MILANO", "RM"};
        QCOMPARE(discordanti(confrontaCodiceFiscale(tre, codice)), "cognome, data di nascita, comune di nascita");
        const SchedaNascita tutte{"X", "Y", "F", QDate(2000, 1, 1), "TORINO", "TO"};
        QCOMPARE(rigaDiscordanze(confrontaCodiceFiscale(tutte, codice)->discordanti),
                 "Non corrispondono al codice fiscale: " + NOMIDATI.join(", "));
        // Empty fields (a sheet being filled in, "00/00/0000") are not compared.
        QCOMPARE(discordanti(confrontaCodiceFiscale({" ", "", " ", QDate(), "", "  "}, codice)), QString());
        // A company's partita IVA, a code that does not decode: nothing to say.
        for (const QString nessuno : {"12345678903", "RSSMRA85B31H501S"})
            QCOMPARE(discordanti(confrontaCodiceFiscale(schedaDi(ROSSI, "ROMA", "RM"), nessuno)), "nothing compared");
    }

    void nomiDeiLuoghi()
    {
        // Code's place, sheet's place and province: accents, apostrophes, blanks and case do not count, nor does
        // a province instituted later; a merged municipality's new name is not its own; a place the table does not
        // know is not compared. (Every name a code answers to: tabellaCatastale.)
        const QList<std::tuple<QString, QString, QString, bool>> casi = {
            {"D704", "Forlì", "fc", true},           {"D704", "FORLI'", "FC", true},
            {"D704", "FORLIMPOPOLI", "FC", false},   {"A029", "ACI SANT’ANTONIO", "CT", true},
            {"A029", "Aci Santantonio", "CT", true}, {"A029", "ACI SANT ANTONINO", "CT", false},
            {"A012", "ABETONE CUTIGLIANO", "PT", false}, {"F704", "MONZA", "MB", true},
            {"Z404", "STATI UNITI", "EE", false},    {"Z999", "ATLANTIDE", "EE", true}};
        for (const auto& [luogo, comune, provincia, concorda] : casi) {
            Persona p = ROSSI;
            p.luogo = luogo;
            QCOMPARE(discordanti(confrontaCodiceFiscale(schedaDi(p, comune, provincia), codiceDi(p))),
                     concorda ? "" : "comune di nascita");
        }
        // What the line says of a place not in the table, of a woman born abroad.
        Persona p = ROSSI;
        p.luogo = "Z999";
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(codiceDi(p)).value()),
                 "Dal codice fiscale: nato il 10/12/1985 a Z999 (codice catastale non in elenco)");
        const Persona anna{"BIANCHI", "ANNA", QDate(1970, 2, 1), true, "Z110"};
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(codiceDi(anna)).value()),
                 "Dal codice fiscale: nata il 01/02/1970 a FRANCIA (EE)");
    }

    void strumento()
    {
        // The tool on codes as arguments and, the same codes, on standard input (blank lines skipped).
        QString sbagliato = codiceDi({"BIANCHI", "ANNA", QDate(1960, 8, 5), true, "F704"});
        sbagliato[15] = sbagliato.at(15) == 'A' ? 'B' : 'A';
        const QStringList codici = {codiceDi(ROSSI).toLower(), "12345678903", "12345678900", "123456789031", sbagliato,
                                    conControllo("RSSMRA85T10Z999")};
        const QStringList attese = {codici[0] + "\t0\t1985-12-10\tM\tH501\tROMA\tRM", // read in capitals
                                    codici[1] + "\t0\t\t\t\t\t", codici[2] + "\t1\t\t\t\t\t", codici[3] + "\t1\t\t\t\t\t",
                                    codici[4] + "\t1\t1960-08-05\tF\tF704\tMONZA\tMI",
                                    codici[5] + "\t0\t1985-12-10\tM\tZ999\t\t"};
        const QString programma = QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath("codicefiscale");
        for (const bool daIngresso : {false, true}) {
            QProcess p;
            p.start(programma, daIngresso ? QStringList() : codici);
            if (daIngresso) {
                p.write(("\n  " + codici.join("\n\n") + "  \n").toUtf8());
                p.closeWriteChannel();
            }
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString());
            QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), attese.join('\n') + '\n');
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
        }
        QProcess aiuto;
        aiuto.start(programma, {"--help"});
        QVERIFY(aiuto.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(aiuto.readAllStandardOutput()).contains("li legge dallo standard input"));
    }
};

QTEST_APPLESS_MAIN(TestDecodificaCf)
#include "tst_decodificacf.moc"
