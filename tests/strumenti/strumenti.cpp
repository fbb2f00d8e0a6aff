// The tools run as the operator runs them: the template and the demo archive
// made on files, or (the _pg variant) on a PostgreSQL server, and what the
// codicefiscale tool says of codes.
#include "checks/codicifiscali.h"
#include "support/archivioprova.h"
#include "support/programma.h"

#include <QDate>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// Runs a tool in the folder; its exit code (-1 for a crash), what it wrote in `uscita`.
int esegui(const QString& strumento, const QStringList& argomenti, const QString& cartella, QString& uscita)
{
    QProcess p;
    p.setWorkingDirectory(cartella);
    p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath(strumento), argomenti);
    p.waitForFinished(120000);
    uscita = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class TestStrumenti : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a; // its folder and (on a server) its prefix hold what the tools write

    // Runs a tool twice: it makes its archive `file` (in a subfolder named
    // after it, or on the server in databases of a prefix named after it),
    // then refuses to replace it and changes nothing. The helpers work on it.
    void creaDueVolte(const QString& nome, const QString& file)
    {
        const QString dove = a->cartella() + '/' + nome, prefisso = a->prefisso() + nome + '_';
        QStringList argomenti{dove};
        if (a->suServer())
            argomenti = QStringList{"--server", a->server(), "--prefisso", prefisso} +
                        argomenti.mid(nome == "createmplate"); // the demo also takes its folder
        QString uscita;
        QVERIFY2(esegui(nome, argomenti, a->cartella(), uscita) == 0, qPrintable(uscita));
        a->setArchivio(a->suServer() ? store::Luogo::server(a->server(), store::nomeSuServer(file, prefisso))
                                     : store::Luogo::file(dove + '/' + file));
        const QString prima = a->istantanea();
        QCOMPARE(esegui(nome, argomenti, a->cartella(), uscita), 1);
        QVERIFY2(uscita.contains("esiste già"), qPrintable(uscita));
        QCOMPARE(a->istantanea(), prima);
    }

private slots:
    void initTestCase()
    {
        a = std::make_unique<ArchivioProva>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(a->cartella() + "/config")); // the tools' configuration
    }

    void rigaDiComando()
    {
        // The command line, read by Qt's parser in Italian: tool, arguments, exit code, what it says first.
        // What is refused is said, with the usage, and nothing is written.
        // clang-format off
        const QList<std::tuple<QString, QStringList, int, QString>> casi = {
            {"createmplate", {"--help"}, 0, "Uso: "},
            {"createmplate", {"--server", "host=x password=segreta"}, 2, "createmplate: server non valido: la password non va scritta"},
            {"creademo", {"--prefisso", "studio", "cartella"}, 2, "creademo: --prefisso vale solo con --server"},
            {"createmplate", {"--server", "host=x", "--prefisso", "Studio"}, 2, "createmplate: prefisso non valido: sono ammessi solo"},
            {"creademo", {"--cartella", "x"}, 2, "creademo: Opzione sconosciuta 'cartella'."},
            {"creademo", {}, 2, "creademo: manca un argomento"},
            {"createmplate", {"--server", "host=x", "cartella"}, 2, "createmplate: troppi argomenti"}};
        // clang-format on
        const auto contenuto = [this] {
            return QDir(a->cartella()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        };
        const QStringList prima = contenuto();
        for (const auto& [strumento, argomenti, esito, testo] : casi) {
            QString uscita;
            QVERIFY2(esegui(strumento, argomenti, a->cartella(), uscita) == esito,
                     qPrintable(strumento + ": " + uscita));
            QVERIFY2(uscita.startsWith(testo), qPrintable(uscita));
            QVERIFY2(uscita.contains("Opzioni:"), qPrintable(uscita)); // the usage follows
        }
        QCOMPARE(contenuto(), prima);
    }

    void codicefiscale()
    {
        // On codes as arguments and, the same codes, on standard input (blank lines skipped): the formal check as
        // the program gives it (a numeric text is a partita IVA of 11 digits, any other a codice fiscale read in
        // capitals), what the code says.
        // clang-format off
        const QStringList codici = {
            "RSSMRA85T10H501O", "bnclra60m45f704x", "12345678903", "123456789031", "RSSMRA85T10Z999S"};
        // clang-format on
        const QString attese = "RSSMRA85T10H501O\t0\t1985-12-10\tM\tH501\tROMA\tRM\n"
                               "bnclra60m45f704x\t1\t1960-08-05\tF\tF704\tMONZA\tMI\n"
                               "12345678903\t0\t\t\t\t\t\n"
                               "123456789031\t1\t\t\t\t\t\n"
                               "RSSMRA85T10Z999S\t0\t1985-12-10\tM\tZ999\t\t\n";
        for (const bool daIngresso : {false, true}) {
            QProcess p;
            p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath("codicefiscale"),
                    daIngresso ? QStringList() : codici);
            if (daIngresso) {
                p.write(("\n  " + codici.join("\n\n") + "  \n").toUtf8());
                p.closeWriteChannel();
            }
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), attese);
            QCOMPARE(p.exitCode(), 0);
        }
    }

    void modelloConLeProvince()
    {
        // Its tables and indexes are made by the code every test archive is made with.
        creaDueVolte("createmplate", "SQ47XXXX.MDB");
        QCOMPARE(a->conta("SELECT COUNT(*) FROM TABMIN_PROV"), 104); // the provinces of 2004 and the foreign state
    }

    void demoConSostitutiInOgniForma()
    {
        creaDueVolte("creademo", "S7702004.MDB");
        // The window writes empty texts, never Null.
        QVERIFY(!a->istantanea().section("== ANAGSOSTITUTI", 1).section("\n==", 0, 0).contains("NULL"));
        int persone = 0, societa = 0, senzaNome = 0; // a row of no valid form counts nowhere
        for (const QVariantMap& s : a->righe("SELECT * FROM ANAGSOSTITUTI")) {
            const QString codazi = s["CODAZI"].toString();
            QVERIFY2(QRegularExpression("^(?!000)[0-9]{3}$").match(codazi).hasMatch(), qPrintable(codazi)); // key form
            QCOMPARE(a->conta("SELECT COUNT(*) FROM FRONTESPIZIO WHERE CODAZI = ?", {s["ASOST_10"]}), 1);
            if (s["ASOST_1"].toString().isEmpty())
                ++senzaNome;
            else if (s["ASOST_2"].toString().isEmpty())
                societa += CONTROLLOPIVA(s["CFS"].toString()) == 0 && s["ASOST_4"].toString() == "00000000";
            else
                persone += CONTROLLOCF(s["CFS"].toString()) == 0 &&
                           QDate::fromString(s["ASOST_4"].toString(), "yyyyMMdd").isValid();
        }
        QVERIFY(persone >= 4);
        QVERIFY(societa >= 3);
        QCOMPARE(senzaNome, 1);
        QCOMPARE(persone + societa + senzaNome, a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"));
        // Section rows in every section table, each tied to a substitute and
        // to the declarant its linked company names.
        for (const QString& t : SEZIONI) {
            QVERIFY2(a->conta("SELECT COUNT(*) FROM " + t) > 0, qPrintable(t));
            QCOMPARE(a->conta("SELECT COUNT(*) FROM " + t +
                              " q WHERE NOT EXISTS (SELECT 1 FROM ANAGSOSTITUTI s JOIN "
                              "FRONTESPIZIO f ON f.CODAZI = s.ASOST_10 WHERE s.CODAZI = q.CODAZI AND s.CFS = q.CFS "
                              "AND f.CFD = q.CFD)"),
                     0);
        }
    }
};

PROVA(TestStrumenti);
#include "strumenti.moc"
