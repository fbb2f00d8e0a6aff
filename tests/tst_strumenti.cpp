// The template and demo tools: what they write, and what they refuse to
// overwrite; as files, and (the _pg variant) on a PostgreSQL server.
#include "checks/codicifiscali.h"
#include "store/chiavi.h"
#include "store/database.h"
#include "store/luogo.h"
#include "store/province.h"
#include "support/archivioprova.h"
#include "tools/lib/archiviodemo.h"
#include "tools/lib/argomenti.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList TABELLE = {"FRONTESPIZIO", "ANAGSOSTITUTI", "TABMIN_PROV", "QUADROLDIP1", "QUADROLDIP2",
                             "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT",    "QUADROST",    "PERCETTORI"};
const QStringList QUADRI = {"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};

QByteArray impronta(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString strumento(const QString& nome)
{
    return QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath(nome);
}

// Runs a tool with its own configuration folder; returns the exit code.
int esegui(const QString& nome, const QStringList& argomenti, const QString& configurazione, QString* uscita = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configurazione);
    p.setProcessEnvironment(env);
    p.start(strumento(nome), argomenti);
    if (!p.waitForFinished(120000))
        return -1;
    if (uscita)
        *uscita = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestStrumenti : public QObject {
    Q_OBJECT

    QTemporaryDir configurazione;

private slots:
    void initTestCase()
    {
        RICHIEDI_MOTORE_PROVA();
        QVERIFY(configurazione.isValid());
        // Before any QSettings use: this process's configuration is a temp folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configurazione.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configurazione.path());
        QVERIFY(QFileInfo(strumento("createmplate")).isExecutable());
        QVERIFY(QFileInfo(strumento("creademo")).isExecutable());
    }

    void elencoProvince()
    {
        const QList<store::Provincia> province = store::provinceAnno();
        QCOMPARE(province.size(), 104); // the 103 provinces of 2004 and the foreign state
        QSet<QString> sigle;
        for (const store::Provincia& p : province) {
            QVERIFY2(QRegularExpression("^[A-Z]{2}$").match(p.sigla).hasMatch(), qPrintable(p.sigla));
            QCOMPARE(p.nome, p.nome.toUpper());
            QVERIFY(!p.nome.trimmed().isEmpty());
            sigle.insert(p.sigla);
        }
        QCOMPARE(sigle.size(), province.size());
        for (const char* s : {"FC", "PS", "AQ", "VB", "KR", "VV", "RN", "PO", "LC", "LO", "BI", "EE"})
            QVERIFY2(sigle.contains(s), s);
        // Instituted after 2004, or renamed later.
        for (const char* s : {"MB", "FM", "BT", "OT", "OG", "VS", "CI", "PU", "SU"})
            QVERIFY2(!sigle.contains(s), s);
    }

    void templateDelloStrumento()
    {
        SOLO_FILE("the template file");
        QTemporaryDir dir;
        const QString cartella = dir.filePath("archivi");
        QString uscita;
        QCOMPARE(esegui("createmplate", {cartella}, configurazione.path(), &uscita), 0);
        const QString file = cartella + "/SQ47XXXX.MDB";
        QVERIFY2(QFileInfo::exists(file), qPrintable(uscita));

        auto db = store::Database::OpenDatabase(file);
        for (const QString& t : TABELLE) {
            QVERIFY2(db->esisteTabella(t), qPrintable(t));
            const long righe = db->OpenRecordset("SELECT * FROM " + t)->RecordCount();
            QCOMPARE(righe > 0, t == "TABMIN_PROV");
        }
        auto conta = db->OpenRecordset("SELECT COUNT(*) AS N, COUNT(DISTINCT codprov) AS D FROM TABMIN_PROV");
        QCOMPARE(conta->Value("N").toInt(), 104);
        QCOMPARE(conta->Value("D").toInt(), 104);
        auto prov = db->OpenTable("TABMIN_PROV");
        const QList<QPair<QString, QString>> note = {
            {"FC", "FORLI'-CESENA"}, {"PS", "PESARO E URBINO"}, {"RM", "ROMA"}, {"AQ", "L'AQUILA"}, {"EE", "STATO ESTERO"}};
        for (const auto& [sigla, nome] : note) {
            prov->Seek("=", sigla);
            QVERIFY2(!prov->NoMatch(), qPrintable(sigla));
            QCOMPARE(prov->Fields("descprov"), nome);
        }
        prov->Seek("=", "MB");
        QVERIFY(prov->NoMatch());
        // The indexes the program asks for are there.
        auto sost = db->OpenTable("ANAGSOSTITUTI");
        for (const char* indice : {"CHIAVECODAZI", "CHIAVECFS", "CHIAVE"})
            sost->setIndex(indice);
        auto fr = db->OpenTable("FRONTESPIZIO");
        for (const char* indice : {"CHIAVECODAZI", "CHIAVECFD", "CHIAVE"})
            fr->setIndex(indice);
        prov.reset();
        sost.reset();
        fr.reset();
        conta.reset();
        db.reset();

        // Never overwritten, by the tool or by the library.
        const QByteArray prima = impronta(file);
        QVERIFY(esegui("createmplate", {cartella}, configurazione.path(), &uscita) != 0);
        QVERIFY2(uscita.contains("esiste già"), qPrintable(uscita));
        bool rifiutato = false;
        try {
            store::creaTemplate(file);
        } catch (const store::ErroreArchivio&) {
            rifiutato = true;
        }
        QVERIFY(rifiutato);
        QCOMPARE(impronta(file), prima);
        QCOMPARE(esegui("createmplate", {}, configurazione.path()), 2);
    }

    void archivioDemo()
    {
        SOLO_FILE("the demo's files");
        QTemporaryDir dir;
        const QString cartella = dir.filePath("demo");
        strumenti::creaArchivioDemo(cartella);
        QVERIFY(QFileInfo::exists(cartella + "/SQ47XXXX.MDB"));
        QVERIFY(QFileInfo::exists(cartella + "/S7702004.MDB"));

        ArchivioProva a;
        a.setArchivio(cartella + "/S7702004.MDB");

        // Front pages: one natural person (fr_14 set, surname and name), the
        // others companies (FR_3); every code formally correct.
        const auto dichiaranti = a.righe("SELECT * FROM FRONTESPIZIO ORDER BY CODAZI");
        QVERIFY(dichiaranti.size() >= 3 && dichiaranti.size() <= 4);
        QHash<QString, QString> cfd;
        int persone = 0;
        for (const QVariantMap& d : dichiaranti) {
            const QString cf = d["CFD"].toString();
            cfd.insert(d["CODAZI"].toString(), cf);
            if (!d["fr_14"].toString().trimmed().isEmpty()) {
                ++persone;
                QCOMPARE(CONTROLLOCF(store::CHIAVECF(cf)), 0);
                QVERIFY(!d["FR_1"].toString().isEmpty() && !d["FR_2"].toString().isEmpty());
            } else {
                QCOMPARE(cf.size(), 11);
                QCOMPARE(CONTROLLOPIVA(cf), 0);
                QVERIFY(!d["FR_3"].toString().isEmpty());
            }
        }
        QCOMPARE(persone, 1);

        const auto sostituti = a.righe("SELECT * FROM ANAGSOSTITUTI ORDER BY CODAZI");
        QVERIFY(sostituti.size() >= 10 && sostituti.size() <= 14);
        QSet<QString> province;
        for (const QVariantMap& p : a.righe("SELECT codprov FROM TABMIN_PROV"))
            province.insert(p["codprov"].toString());
        int fisiche = 0, societa = 0, senzaNome = 0;
        QHash<QString, QVariantMap> perCodice;
        for (const QVariantMap& s : sostituti) {
            const QString cf = s["CFS"].toString();
            perCodice.insert(s["CODAZI"].toString(), s);
            QVERIFY(QRegularExpression("^\\d{3}$").match(s["CODAZI"].toString()).hasMatch());
            QVERIFY2(cfd.contains(s["ASOST_10"].toString()), "linked company without a front page");
            for (int n = 1; n <= 10; ++n)
                QVERIFY2(!s[QString("ASOST_%1").arg(n)].isNull(), "the window writes empty texts, never Null");
            if (s["ASOST_1"].toString().isEmpty() && s["ASOST_2"].toString().isEmpty()) {
                ++senzaNome;
                continue;
            }
            if (!s["ASOST_2"].toString().isEmpty()) {
                ++fisiche;
                QCOMPARE(CONTROLLOCF(store::CHIAVECF(cf)), 0);
                // The code tells the birth data the record holds.
                const QString sesso = s["ASOST_3"].toString();
                const QDate nascita = QDate::fromString(s["ASOST_4"].toString(), "yyyyMMdd");
                QVERIFY(sesso == "M" || sesso == "F");
                QVERIFY(nascita.isValid());
                QCOMPARE(cf.mid(6, 2).toInt(), nascita.year() % 100);
                QCOMPARE(QString("ABCDEHLMPRST").indexOf(cf.at(8)) + 1, nascita.month());
                QCOMPARE(cf.mid(9, 2).toInt(), nascita.day() + (sesso == "F" ? 40 : 0));
                QVERIFY(!s["ASOST_5"].toString().isEmpty());
                QVERIFY(province.contains(s["ASOST_6"].toString()));
            } else {
                ++societa;
                QCOMPARE(cf.size(), 11);
                QCOMPARE(CONTROLLOPIVA(cf), 0);
                QCOMPARE(s["ASOST_4"].toString(), QString("00000000"));
            }
            QVERIFY(province.contains(s["ASOST_8"].toString()));
        }
        QVERIFY(fisiche >= 4);
        QVERIFY(societa >= 3);
        QCOMPARE(senzaNome, 1);

        // Section rows in every section table, each tied to a substitute and
        // to the declarant its linked company names.
        for (const QString& t : QUADRI) {
            const auto righe = a.righe("SELECT * FROM " + t);
            QVERIFY2(!righe.isEmpty(), qPrintable(t));
            for (const QVariantMap& r : righe) {
                QVERIFY(perCodice.contains(r["CODAZI"].toString()));
                const QVariantMap s = perCodice.value(r["CODAZI"].toString());
                QCOMPARE(r["CFS"].toString(), s["CFS"].toString());
                QCOMPARE(r["CFD"].toString(), cfd.value(s["ASOST_10"].toString()));
            }
        }
        const auto percettori = a.righe("SELECT * FROM PERCETTORI");
        QVERIFY(!percettori.isEmpty());
        for (const QVariantMap& p : percettori) {
            QVERIFY(perCodice.contains(p["CODAZI"].toString()));
            QCOMPARE(CONTROLLOCF(p["CFPERC"].toString()), 0);
        }

        // The year's database holds the template's provinces.
        const QString provinceAnno = a.istantanea().section("== TABMIN_PROV", 1).section("\n==", 0, 0);
        a.setArchivio(cartella + "/SQ47XXXX.MDB");
        QCOMPARE(a.istantanea().section("== TABMIN_PROV", 1).section("\n==", 0, 0), provinceAnno);
        QVERIFY(provinceAnno.count('\n') > 100);

        // A second run refuses and changes nothing.
        const QByteArray anno = impronta(cartella + "/S7702004.MDB");
        const QByteArray modello = impronta(cartella + "/SQ47XXXX.MDB");
        bool rifiutato = false;
        try {
            strumenti::creaArchivioDemo(cartella);
        } catch (const store::ErroreArchivio&) {
            rifiutato = true;
        }
        QVERIFY(rifiutato);
        QCOMPARE(impronta(cartella + "/S7702004.MDB"), anno);
        QCOMPARE(impronta(cartella + "/SQ47XXXX.MDB"), modello);
        QCOMPARE(QDir(cartella).entryList(QDir::Files).size(), 2);
    }

    void configurazioneDemo()
    {
        QTemporaryDir dir;
        const QString cartella = dir.filePath("demo");
        QVERIFY(QDir().mkpath(cartella));
        QSettings s("TARVESSA", "VELMORIA");
        s.clear();
        QVERIFY(strumenti::scriviConfigurazioneDemo(cartella + "/"));
        s.sync();
        const QString atteso = QDir::toNativeSeparators(QFileInfo(cartella).absoluteFilePath());
        QCOMPARE(s.value("PERCORSOARCHIVI").toString(), atteso);
        QCOMPARE(s.value("PERCORSOPROGRAMMI").toString(), atteso + QDir::separator() + "programmi");
        QVERIFY(QFileInfo(cartella + "/programmi").isDir());
        // The same folder again: fine.
        QVERIFY(strumenti::scriviConfigurazioneDemo(cartella));

        // A configuration naming another folder is left alone.
        s.setValue("PERCORSOARCHIVI", "/altrove/archivi");
        s.setValue("PERCORSOPROGRAMMI", "/altrove/programmi");
        s.sync();
        QString nota;
        QVERIFY(!strumenti::scriviConfigurazioneDemo(cartella, &nota));
        QVERIFY(nota.contains("/altrove/archivi"));
        s.sync();
        QCOMPARE(s.value("PERCORSOARCHIVI").toString(), QString("/altrove/archivi"));
        QCOMPARE(s.value("PERCORSOPROGRAMMI").toString(), QString("/altrove/programmi"));
        s.clear();
    }

    void demoDelloStrumento()
    {
#ifdef Q_OS_WIN
        QSKIP("the child's configuration is redirected through XDG_CONFIG_HOME");
#endif
        SOLO_FILE("the demo's files");
        QTemporaryDir dir;
        const QString cartella = dir.filePath("demo");
        const QString config = dir.filePath("config");
        const QString fileConfig = config + "/TARVESSA/VELMORIA.conf";
        QString uscita;
        QCOMPARE(esegui("creademo", {cartella}, config, &uscita), 0);
        QVERIFY(QFileInfo::exists(cartella + "/S7702004.MDB"));
        {
            QSettings letta(fileConfig, QSettings::IniFormat);
            QCOMPARE(letta.value("PERCORSOARCHIVI").toString(), QFileInfo(cartella).absoluteFilePath());
            QCOMPARE(letta.value("PERCORSOPROGRAMMI").toString(), QFileInfo(cartella).absoluteFilePath() + "/programmi");
        }

        // Again: the year's database is not overwritten, nothing is written.
        const QByteArray anno = impronta(cartella + "/S7702004.MDB");
        const QByteArray conf = impronta(fileConfig);
        QVERIFY(esegui("creademo", {cartella}, config, &uscita) != 0);
        QVERIFY2(uscita.contains("esiste già"), qPrintable(uscita));
        QCOMPARE(impronta(cartella + "/S7702004.MDB"), anno);
        QCOMPARE(impronta(fileConfig), conf);

        // A new demo elsewhere with the user's configuration in place: the
        // archive is written, the configuration is not.
        const QString seconda = dir.filePath("seconda");
        QCOMPARE(esegui("creademo", {seconda}, config, &uscita), 0);
        QVERIFY(QFileInfo::exists(seconda + "/S7702004.MDB"));
        QVERIFY2(uscita.contains("Nota"), qPrintable(uscita));
        QCOMPARE(impronta(fileConfig), conf);
        QCOMPARE(esegui("creademo", {}, config), 2);
    }

    // ---- on a PostgreSQL server ----

    void templateDelloStrumentoSulServer()
    {
        SOLO_SERVER();
        ArchivioProva a; // its prefix, extended, names the tool's databases; all dropped at the end
        const QString prefisso = a.prefisso() + "t_";
        const store::Luogo luogo = store::Luogo::server(a.server(), prefisso + "sq47xxxx");
        QString uscita;
        QCOMPARE(esegui("createmplate", {"--server", a.server(), "--prefisso", prefisso}, configurazione.path(), &uscita),
                 0);
        QCOMPARE(store::presenza(luogo), store::Presenza::Presente);

        // A template any user allowed to create databases may copy, sorting
        // texts by their bytes.
        a.setArchivio(store::Luogo::server(a.server(), QString()));
        const auto dati = a.righe("SELECT datistemplate, datcollate FROM pg_database WHERE datname = ?", {luogo.nome()});
        QCOMPARE(dati.size(), 1);
        QCOMPARE(dati[0]["datistemplate"].toBool(), true);
        QCOMPARE(dati[0]["datcollate"].toString(), QString("C"));

        auto db = store::Database::OpenDatabase(luogo);
        for (const QString& t : TABELLE) {
            QVERIFY2(db->esisteTabella(t), qPrintable(t));
            const long righe = db->OpenRecordset("SELECT * FROM " + t)->RecordCount();
            QCOMPARE(righe > 0, t == "TABMIN_PROV");
        }
        auto prov = db->OpenTable("TABMIN_PROV");
        prov->Seek("=", "AQ");
        QVERIFY(!prov->NoMatch());
        QCOMPARE(prov->Fields("descprov"), QString("L'AQUILA"));
        QCOMPARE(prov->RecordCount(), 104L);
        auto sost = db->OpenTable("ANAGSOSTITUTI");
        for (const char* indice : {"CHIAVECODAZI", "CHIAVECFS", "CHIAVE"})
            sost->setIndex(indice);
        prov.reset();
        sost.reset();
        db.reset();

        // Never replaced; a password on the command line is refused.
        a.setArchivio(luogo);
        const QString prima = a.istantanea();
        QVERIFY(esegui("createmplate", {"--server", a.server(), "--prefisso", prefisso}, configurazione.path(), &uscita)
                != 0);
        QVERIFY2(uscita.contains("esiste già"), qPrintable(uscita));
        QCOMPARE(a.istantanea(), prima);
        QCOMPARE(esegui("createmplate", {"--server", a.server() + " password=x", "--prefisso", prefisso + "b_"},
                        configurazione.path(), &uscita),
                 2);
        QVERIFY2(uscita.contains("password"), qPrintable(uscita));
        QCOMPARE(esegui("createmplate", {"--server", a.server(), "--prefisso", "Maiuscolo"}, configurazione.path()), 2);
        QCOMPARE(esegui("createmplate", {"--prefisso", prefisso, "cartella"}, configurazione.path()), 2);
    }

    void demoDelloStrumentoSulServer()
    {
        SOLO_SERVER();
        ArchivioProva a;
        const QString prefisso = a.prefisso() + "d_";
        QTemporaryDir dir;
        const QString cartella = dir.filePath("demo");
        const QString config = dir.filePath("config");
        const QString fileConfig = config + "/TARVESSA/VELMORIA.conf";
        QString uscita;
        QCOMPARE(esegui("creademo", {"--server", a.server(), "--prefisso", prefisso, cartella}, config, &uscita), 0);
        {
            QSettings letta(fileConfig, QSettings::IniFormat);
            QCOMPARE(letta.value("PERCORSOARCHIVI").toString(), QFileInfo(cartella).absoluteFilePath());
            QCOMPARE(letta.value("SERVERPOSTGRESQL").toString(), a.server());
            QCOMPARE(letta.value("PREFISSOPOSTGRESQL").toString(), prefisso);
        }
        QVERIFY(QFileInfo(cartella + "/programmi").isDir());
        QVERIFY(!QFileInfo::exists(cartella + "/S7702004.MDB"));

        // The year's database holds the demo's rows, the template none.
        const store::Luogo anno = store::Luogo::server(a.server(), prefisso + "s7702004");
        const store::Luogo modello = store::Luogo::server(a.server(), prefisso + "sq47xxxx");
        a.setArchivio(anno);
        QCOMPARE(a.conta("SELECT COUNT(*) FROM FRONTESPIZIO"), 4);
        QCOMPARE(a.conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), 12);
        for (const QString& t : QUADRI)
            QVERIFY2(a.conta("SELECT COUNT(*) FROM " + t) > 0, qPrintable(t));
        const QString province = a.istantanea().section("== TABMIN_PROV", 1).section("\n==", 0, 0);
        a.setArchivio(modello);
        QCOMPARE(a.conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), 0);
        QCOMPARE(a.istantanea().section("== TABMIN_PROV", 1).section("\n==", 0, 0), province);
        QVERIFY(province.count('\n') > 100);

        // Again: refused, nothing written.
        a.setArchivio(anno);
        const QString prima = a.istantanea();
        const QByteArray conf = impronta(fileConfig);
        QVERIFY(esegui("creademo", {"--server", a.server(), "--prefisso", prefisso, cartella}, config, &uscita) != 0);
        QVERIFY2(uscita.contains("esiste già"), qPrintable(uscita));
        QCOMPARE(a.istantanea(), prima);
        QCOMPARE(impronta(fileConfig), conf);

        // A demo on files with this configuration in place: written, the
        // configuration (which names the server) left alone.
        const QString seconda = dir.filePath("seconda");
        QCOMPARE(esegui("creademo", {seconda}, config, &uscita), 0);
        QVERIFY2(uscita.contains("Nota"), qPrintable(uscita));
        QCOMPARE(impronta(fileConfig), conf);
    }

    void configurazioneDemoSulServer()
    {
        // The demo's configuration names its server; a file demo's removes it.
        QTemporaryDir dir;
        const QString cartella = dir.filePath("demo");
        QVERIFY(QDir().mkpath(cartella));
        QSettings s("TARVESSA", "VELMORIA");
        s.clear();
        QVERIFY(strumenti::scriviConfigurazioneDemo(cartella, nullptr, "host=db user=mario", "studio_"));
        s.sync();
        QCOMPARE(s.value("SERVERPOSTGRESQL").toString(), QString("host=db user=mario"));
        QCOMPARE(s.value("PREFISSOPOSTGRESQL").toString(), QString("studio_"));
        // Another server, or the same with another prefix: left alone.
        QString nota;
        QVERIFY(!strumenti::scriviConfigurazioneDemo(cartella, &nota, "host=altro user=mario", "studio_"));
        QVERIFY(nota.contains("host=db user=mario"));
        QVERIFY(!strumenti::scriviConfigurazioneDemo(cartella, &nota, "host=db user=mario", "altro_"));
        s.sync();
        QCOMPARE(s.value("PREFISSOPOSTGRESQL").toString(), QString("studio_"));
        QVERIFY(strumenti::scriviConfigurazioneDemo(cartella, nullptr, "host=db user=mario", "studio_"));
        s.remove("SERVERPOSTGRESQL");
        s.sync();
        QVERIFY(strumenti::scriviConfigurazioneDemo(cartella));
        s.sync();
        QVERIFY(!s.contains("SERVERPOSTGRESQL"));
        QVERIFY(!s.contains("PREFISSOPOSTGRESQL"));
        s.clear();
    }

    void argomentiDegliStrumenti_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("prefisso");
        QTest::addColumn<QStringList>("posizionali");
        QTest::addColumn<QString>("errore"); // a word of it; empty: accepted
        QTest::newRow("folder") << QStringList{"demo"} << "" << "" << QStringList{"demo"} << "";
        QTest::newRow("server and folder") << QStringList{"--server", "host=x user=y", "demo"} << "host=x user=y" << ""
                                           << QStringList{"demo"} << "";
        QTest::newRow("with =") << QStringList{"--server=host=x", "--prefisso=ab_", "demo"} << "host=x" << "ab_"
                                << QStringList{"demo"} << "";
        QTest::newRow("no value") << QStringList{"demo", "--server"} << "" << "" << QStringList{} << "manca";
        QTest::newRow("unknown") << QStringList{"--serve", "x"} << "" << "" << QStringList{} << "sconosciuta";
        QTest::newRow("password") << QStringList{"--server", "host=x password=y"} << "" << "" << QStringList{}
                                  << "password";
        QTest::newRow("prefix alone") << QStringList{"--prefisso", "ab_", "demo"} << "" << "" << QStringList{}
                                      << "--server";
        QTest::newRow("bad prefix") << QStringList{"--server", "host=x", "--prefisso", "A-B"} << "" << ""
                                    << QStringList{} << "prefisso";
    }
    void argomentiDegliStrumenti()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, server);
        QFETCH(QString, prefisso);
        QFETCH(QStringList, posizionali);
        QFETCH(QString, errore);
        const strumenti::Argomenti a = strumenti::leggiArgomenti(argomenti);
        if (!errore.isEmpty()) {
            QVERIFY2(a.errore.contains(errore), qPrintable(a.errore));
            return;
        }
        QVERIFY2(a.errore.isEmpty(), qPrintable(a.errore));
        QCOMPARE(a.server, server);
        QCOMPARE(a.prefisso, prefisso);
        QCOMPARE(a.posizionali, posizionali);
    }
};

QTEST_GUILESS_MAIN(TestStrumenti)
#include "tst_strumenti.moc"
