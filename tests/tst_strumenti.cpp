// The tools that make the template and the demo archive, run as the operator
// runs them: on files, or (the _pg variant) on a PostgreSQL server.
#include "checks/codicifiscali.h"
#include "support/archivioprova.h"

#include <QDate>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class TestStrumenti : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a; // its folder and (on a server) its prefix hold what the tools write
    store::Luogo fatto;

    // Runs a tool twice: it makes `fatto` (its archive `file` in a subfolder
    // named after it, or on the server in databases of a prefix named after
    // it), then refuses to replace it and changes nothing.
    void creaDueVolte(const QString& nome, const QString& file)
    {
        const QString dove = a->cartella() + '/' + nome, prefisso = a->prefisso() + nome + '_';
        QStringList argomenti{dove};
        if (a->suServer())
            argomenti = QStringList{"--server", a->server(), "--prefisso", prefisso} +
                        argomenti.mid(nome == "createmplate"); // the demo also takes its folder
        QString uscita;
        const auto esegui = [&] {
            QProcess p;
            p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath(nome), argomenti);
            p.waitForFinished(120000);
            uscita = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QVERIFY2(esegui() == 0, qPrintable(uscita));
        fatto = a->suServer() ? store::Luogo::server(a->server(), store::nomeSuServer(file, prefisso))
                              : store::Luogo::file(dove + '/' + file);
        a->setArchivio(fatto);
        const QString prima = a->istantanea();
        QCOMPARE(esegui(), 1);
        QVERIFY2(uscita.contains("esiste già"), qPrintable(uscita));
        QCOMPARE(a->istantanea(), prima);
    }

private slots:
    void initTestCase()
    {
        RICHIEDI_MOTORE_PROVA();
        a = std::make_unique<ArchivioProva>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(a->cartella() + "/config")); // the tools' configuration
    }

    // The command line, read by Qt's parser in Italian: what is refused is
    // said, with the usage, and nothing is written.
    void rigaDiComando_data()
    {
        QTest::addColumn<QString>("strumento");
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("testo"); // what the tool says first
        QTest::newRow("help") << "createmplate" << QStringList{"--help"} << 0 << "Uso: ";
        QTest::newRow("password") << "createmplate" << QStringList{"--server", "host=x password=segreta"} << 2
                                  << "createmplate: server non valido: la password non va scritta";
        QTest::newRow("database name") << "creademo" << QStringList{"--server=host=x dbname=y", "cartella"} << 2
                                       << "creademo: server non valido: il nome del database non va indicato";
        QTest::newRow("prefix alone") << "creademo" << QStringList{"--prefisso", "studio", "cartella"} << 2
                                      << "creademo: --prefisso vale solo con --server";
        QTest::newRow("bad prefix") << "createmplate" << QStringList{"--server", "host=x", "--prefisso", "Studio"}
                                    << 2 << "createmplate: prefisso non valido: sono ammessi solo";
        QTest::newRow("unknown option") << "creademo" << QStringList{"--cartella", "x"} << 2
                                        << "creademo: Opzione sconosciuta 'cartella'.";
        QTest::newRow("missing value") << "createmplate" << QStringList{"--server"} << 2
                                       << "createmplate: Manca il valore dopo '--server'.";
        QTest::newRow("no folder") << "creademo" << QStringList{} << 2 << "creademo: manca un argomento";
        QTest::newRow("folder with server") << "createmplate" << QStringList{"--server", "host=x", "cartella"} << 2
                                            << "createmplate: troppi argomenti";
    }
    void rigaDiComando()
    {
        QFETCH(QString, strumento);
        QFETCH(QStringList, argomenti);
        QFETCH(int, esito);
        QFETCH(QString, testo);
        const auto contenuto = [this] {
            return QDir(a->cartella()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        };
        const QStringList prima = contenuto();
        QProcess p;
        p.setWorkingDirectory(a->cartella());
        p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath(strumento), argomenti);
        QVERIFY(p.waitForFinished(60000));
        const QString uscita = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QCOMPARE(p.exitCode(), esito);
        QVERIFY2(uscita.startsWith(testo), qPrintable(uscita));
        QVERIFY2(uscita.contains("Opzioni:"), qPrintable(uscita)); // the usage follows
        QCOMPARE(contenuto(), prima);
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
        for (const QString t : {"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"}) {
            QVERIFY2(a->conta("SELECT COUNT(*) FROM " + t) > 0, qPrintable(t));
            QCOMPARE(a->conta("SELECT COUNT(*) FROM " + t + " q WHERE NOT EXISTS (SELECT 1 FROM ANAGSOSTITUTI s JOIN "
                              "FRONTESPIZIO f ON f.CODAZI = s.ASOST_10 WHERE s.CODAZI = q.CODAZI AND s.CFS = q.CFS "
                              "AND f.CFD = q.CFD)"), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestStrumenti)
#include "tst_strumenti.moc"
