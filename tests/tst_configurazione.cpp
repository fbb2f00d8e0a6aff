// The configuration file written by hand, read by the program at start-up:
// values exactly as written (commas, ";", "&", blanks), comments and sections,
// and values present but unusable refused with a message, never taken as
// missing (which would open or create another archive).
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "startup/configurazione.h"

#include <QtTest>

namespace {

void scriviFile(const QByteArray& testo)
{
    QFile file(FILECONFIGURAZIONE());
    QDir().mkpath(QFileInfo(file).absolutePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(testo);
}


} // namespace

class TestConfigurazione : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { preparaAmbienteProva(); }
    void init() { azzeraMessaggi(); }

    void valoriComeScritti()
    {
        // An archive folder whose name holds a comma, "&", ";" and blanks inside and at its end (a link to the test
        // archive), in a file with a byte-order mark, Windows line ends, comments and another program's section.
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        QTemporaryDir base;
        const QString cartella = base.filePath("Rossi, Bianchi & C. snc; sede 2 ");
        QVERIFY(QFile::link(archivio.cartella(), cartella));
        const QString programmi = "/opt/suite 770, versione 2004 ";
        scriviFile("\xEF\xBB\xBF; configurazione scritta a mano\r\n"
                   "[General]\r\n"
                   "PercorsoArchivi=" + cartella.toUtf8() + "\r\n"
                   "# i programmi\r\n"
                   "PERCORSOPROGRAMMI=" + programmi.toUtf8() + "\r\n"
                   "\r\n"
                   "[AltroProgramma]\r\n"
                   "PERCORSOARCHIVI=/altrove\r\n"
                   "riga di un altro programma\r\n");
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QCOMPARE(prova.modulo.PERCORSOARCHIVI, cartella);
        QCOMPARE(prova.modulo.PERCORSOPROGRAMMI, programmi);
        QCOMPARE(prova.modulo.NOMEARCHIVIOANNO(), cartella + "/S7702004.MDB");
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Blanks and tabs around "=" as people write them by hand are not part
    // of the name nor of the value; the rest of the line is, blanks at its
    // end included.
    void spaziAttornoAllUguale_data()
    {
        QTest::addColumn<QByteArray>("riga");
        QTest::addColumn<QString>("valore");
        QTest::newRow("blanks around =") << QByteArray("PERCORSOARCHIVI = /srv/archivi") << "/srv/archivi";
        QTest::newRow("tabs around =") << QByteArray("PERCORSOARCHIVI\t=\t/srv/archivi") << "/srv/archivi";
        QTest::newRow("blanks and tab after =, kept at the end")
            << QByteArray("PercorsoArchivi= \t /srv/i miei archivi  ") << "/srv/i miei archivi  ";
        QTest::newRow("nothing but blanks") << QByteArray("PERCORSOARCHIVI =  \t") << "";
    }
    void spaziAttornoAllUguale()
    {
        QFETCH(QByteArray, riga);
        QFETCH(QString, valore);
        scriviFile("[General]\n" + riga + "\nPERCORSOPROGRAMMI=/opt\n");
        const CONFIGURAZIONE letta = LEGGICONFIGURAZIONE();
        QCOMPARE(letta.difetto, QString());
        QCOMPARE(letta.valori.value("PERCORSOARCHIVI"), valore);
    }

    // A value that would not read back as written is not written.
    void scritturaSenzaSpazioIniziale()
    {
        scriviFile("PERCORSOARCHIVI=/srv/archivi\n");
        QString errore;
        QVERIFY(!SCRIVICONFIGURAZIONE({{"PERCORSOARCHIVI", " /altrove"}}, &errore));
        QCOMPARE(LEGGICONFIGURAZIONE().valori.value("PERCORSOARCHIVI"), "/srv/archivi");
    }

    void valoriInutilizzabili_data()
    {
        // Lines after PERCORSOARCHIVI; the start of the message shown.
        QTest::addColumn<QByteArray>("righe");
        QTest::addColumn<QString>("messaggio");
        const QString file = "Il file di configurazione \"" + FILECONFIGURAZIONE() + "\" non è valido alla riga ";
        // libpq's own form for several hosts: a server, not a missing value.
        QTest::newRow("server with a comma") << QByteArray("SERVERPOSTGRESQL=host=127.0.0.1,127.0.0.1 port=1 user=u\n")
                                             << "Impossibile collegarsi al server PostgreSQL host=127.0.0.1,127.0.0.1";
        QTest::newRow("prefix with a blank")
            << QByteArray("SERVERPOSTGRESQL=host=127.0.0.1 port=1\nPREFISSOPOSTGRESQL=studio \n")
            << "Valore PREFISSOPOSTGRESQL della configurazione non valido:";
        QTest::newRow("line without =") << QByteArray("SERVERPOSTGRESQL host=127.0.0.1 port=1\n")
                                        << file + "3: ogni riga deve essere NOME=valore.\rIl programma viene chiuso.";
        QTest::newRow("name twice, another text")
            << QByteArray("percorsoarchivi=/srv/archivi\n")
            << file + "3: il valore PERCORSOARCHIVI è già indicato alla riga 2 con un testo diverso.\r"
                      "Il programma viene chiuso.";
    }
    void valoriInutilizzabili()
    {
        // The template is in the folder: a value taken as missing would make the year's file from it.
        QFETCH(QByteArray, righe);
        QFETCH(QString, messaggio);
        ArchivioProva archivio;
        scriviFile("[General]\nPERCORSOARCHIVI=" + archivio.cartella().toUtf8() + "\n" + righe);
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY2(MessageBox::shown().first().testo.startsWith("Attenzione !!!!\r" + messaggio),
                 qPrintable(MessageBox::shown().first().testo));
        QVERIFY(MessageBox::shown().first().testo.contains("\rIl programma viene chiuso."));
        QVERIFY(!QFile::exists(archivio.percorsoAnno()));
    }

    void scritturaConservaLeAltreRighe()
    {
        // The writer (the demo tool's and the tests') replaces a value in its line, removes one, adds a new one
        // at the end of the program's part, and leaves comments and other sections alone. (What start-up reads
        // of it: valoriComeScritti.)
        ArchivioProva archivio;
        scriviFile("; scritto a mano\nPERCORSOARCHIVI=/vecchio\nSERVERPOSTGRESQL=host=vecchio\n[Altro]\nX=1\n");
        configura(archivio.cartella(), "/opt/suite 770, 2004");
        QFile file(FILECONFIGURAZIONE());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "; scritto a mano\nPERCORSOARCHIVI=" + archivio.cartella().toUtf8()
                                  + (archivio.suServer() ? "\nSERVERPOSTGRESQL=" + archivio.server().toUtf8() : "")
                                  + "\nPERCORSOPROGRAMMI=/opt/suite 770, 2004"
                                  + (archivio.suServer() ? "\nPREFISSOPOSTGRESQL=" + archivio.prefisso().toUtf8() : "")
                                  + "\n[Altro]\nX=1\n");
    }
};

QTEST_MAIN(TestConfigurazione)
#include "tst_configurazione.moc"
