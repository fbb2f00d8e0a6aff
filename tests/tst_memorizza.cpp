// Saving the data sheet: the field checks in their fixed order, the stored
// forms read back from the archive, the moves in key order, and saves that the
// database refuses.
#include "schedaprova.h"

#include <QFile>
#include <QProcess>
#include <functional>

using namespace scheda;

namespace {

const QString RESIDENZA = "Inserire comune di residenza o domicilio fiscale",
              AZIENDA = "Attenzione !!! Il codice azienda collegata inserito non è presente nel frontespizio";

// A natural person whose sheet passes every check.
const Sostituto PROVA{"003", "GLLNNA90A41H501W"};

// Stores PROVA with some fields changed, opens its sheet and retypes some
// fields: "n:text" stores field n as text, "n" stores it Null, "n=text"
// retypes it with real keys.
bool apriProva(ArchivioProva& a, FinestraProva& prova, const QStringList& cambi)
{
    QVariantList valori{"GIALLI", "ANNA", "F", "19900101", "ROMA", "RM", "ROMA", "RM", "VIA APPIA 7", "001"};
    for (const QString& c : cambi)
        if (!c.contains('='))
            valori[c.section(':', 0, 0).toInt() - 1] = c.contains(':') ? QVariant(c.section(':', 1)) : QVariant();
    a.aggiungiSostituto(PROVA.codazi, PROVA.cfs, valori);
    if (!apri(prova, PROVA))
        return false;
    for (const QString& c : cambi.filter("="))
        riscrivi(prova, c.section('=', 0, 0).toInt(), c.section('=', 1));
    return true;
}

// The archive as it must read after a save that gives s these ten fields
// (joined by '|'): as it is now, with that row written anew.
QString dopoIlSalvataggio(ArchivioProva& a, const Sostituto& s, const QString& asost)
{
    const QStringList campi = asost.split('|');
    QStringList colonne;
    for (int n = 1; n <= 10; ++n)
        colonne << QString("ASOST_%1 = ?").arg(n);
    return a.istantaneaDopo("UPDATE ANAGSOSTITUTI SET " + colonne.join(", ") + " WHERE CODAZI = ? AND CFS = ?",
                            QVariantList(campi.begin(), campi.end()) << s.codazi << s.cfs);
}

} // namespace

class TestMemorizza : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // ROSSI's sheet, retyped, is saved while guasta()'s fault holds: refused
    // with a critical message that starts with `inizio`, every typed value
    // kept, nothing written. Once the returned repair has run, the same save
    // goes through. No repair: the fault cannot be made here.
    void salvataggioRifiutato(const std::function<std::function<void()>(FinestraProva&)>& guasta, const QString& inizio)
    {
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 9, "strada provinciale per correggio 12"); // a longer row
        const QString digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        const QString dopo = dopoIlSalvataggio(
            *archivio, ROSSI, "ROSSI|MARIO|M|19750815|ROMA|RM|MILANO|MI|STRADA PROVINCIALE PER CORREGGIO 12|001");
        const std::function<void()> ripara = guasta(prova);
        if (!ripara)
            QSKIP("the fault cannot be made on this machine");
        prova.click("cmdmemorizza");
        ripara();
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY2(MessageBox::shown().first().testo.startsWith(inizio), qPrintable(MessageBox::shown().first().testo));
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);

        azzeraMessaggi();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), dopo);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        popola(*archivio);
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void controlliInOrdine_data()
    {
        QTest::addColumn<QStringList>("cambi"); // to the valid sheet, as apriProva() takes them
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("n"); // the field refused
        // Each check fails in turn; a later check failing as well shows that the first one wins.
        QTest::newRow("sex blank") << QStringList{"3= "} << "Inserire Sesso" << 3;
        QTest::newRow("sex before the date") << QStringList{"4:00000000", "3="} << "Inserire Sesso" << 3;
        QTest::newRow("date wrong") << QStringList{"4:19800231", "5="} << "Data di nascita errata" << 4;
        QTest::newRow("date of year 0000") << QStringList{"4:00000815"} << "Data di nascita errata" << 4;
        QTest::newRow("no date") << QStringList{"4:00000000", "5="} << "Inserire data di nascita" << 4;
        QTest::newRow("town of birth blanks") << QStringList{"5=   ", "6=xx"} << "Inserire comune di nascita" << 5;
        QTest::newRow("province of birth empty")
            << QStringList{"6=", "7="} << "Inserire una provincia di nascita valida" << 6;
        QTest::newRow("town of residence empty") << QStringList{"7=", "8=zz"} << RESIDENZA << 7;
        QTest::newRow("province of residence unknown")
            << QStringList{"10:099", "8=zz"} << "Inserire una provincia di residenza o domicilio fiscale valida" << 8;
        QTest::newRow("linked company, street empty") << QStringList{"10:099", "9="} << AZIENDA << 10;
        QTest::newRow("linked company, nothing typed") << QStringList{"10:099"} << AZIENDA << 10;
        QTest::newRow("street blanks")
            << QStringList{"9=  "} << "Inserire indirizzo di residenza o domicilio fiscale" << 9;
        // A company: the birth data are not checked, and cleared on the sheet.
        QTest::newRow("company, residence empty") << QStringList{"2", "4:19800231", "6:xx", "7="} << RESIDENZA << 7;
        QTest::newRow("company, linked company") << QStringList{"2:", "3:", "10:099"} << AZIENDA << 10;
    }
    void controlliInOrdine()
    {
        QFETCH(QStringList, cambi);
        QFETCH(QString, messaggio);
        QFETCH(int, n);
        FinestraProva prova;
        QVERIFY(apriProva(*archivio, prova, cambi));
        const int variazioni = cambi.filter("=").isEmpty() ? 0 : 1;
        QStringList attesi = testiScheda(prova).split('|');
        if (attesi[1].trimmed().isEmpty()) // a company: the birth data are cleared
            attesi = attesi.mid(0, 2) + QStringList{"", "00/00/0000", "", ""} + attesi.mid(6);
        attesi[9] = n == 10 ? "" : attesi[9]; // the linked company code without a front page is emptied
        const QString prima = archivio->istantanea();

        prova.click("cmdmemorizza");

        QCOMPARE(testiMostrati(), QStringList{messaggio});
        QCOMPARE(MessageBox::shown().first().stile, n == 10 ? int(vbCritical) : int(vbInformation));
        QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.Caption());
        QCOMPARE(evidenziati(prova), QList<int>{n});
        QCOMPARE(prova.modulo.ERRORECAMPI, 1);
        QCOMPARE(prova.modulo.VARIAZIONI, variazioni);
        // The disabled linked-company field cannot take the focus: it stays on the button.
        QWidget* fuoco = n == 10 ? static_cast<QWidget*>(prova.bottone("cmdmemorizza")) : campo(prova, n);
        QCOMPARE(prova.finestra.focusWidget(), fuoco);
        QCOMPARE(testiScheda(prova), attesi.join('|'));
        QCOMPARE(archivio->istantanea(), prima);
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index(), "CHIAVE");
        // The highlight goes as soon as the field's text changes.
        campo(prova, n)->setText("1");
        QCOMPARE(evidenziati(prova), QList<int>());
    }

    void memorizzazione_data()
    {
        QTest::addColumn<QStringList>("cambi");
        QTest::addColumn<QString>("salvati");
        QTest::newRow("natural person, every field retyped")
            << QStringList{"9", "1=de' santìs", "2=lucia", "3=f", "4=02031985", "5=forlì", "6=fc", "7=san marino",
                           "8=ee", "9=via indipendenza 10"}
            << "DE' SANTÌS|LUCIA|F|19850302|FORLÌ|FC|SAN MARINO|EE|VIA INDIPENDENZA 10|001";
        QTest::newRow("company, Null first name: birth data cleared")
            << QStringList{"2", "4=31121999", "5=bari", "9=via garibaldi 5"}
            << "GIALLI|||00000000|||ROMA|RM|VIA GARIBALDI 5|001";
        QTest::newRow("linked company stored as 7, nothing typed")
            << QStringList{"10:7"} << "GIALLI|ANNA|F|19900101|ROMA|RM|ROMA|RM|VIA APPIA 7|007";
    }
    void memorizzazione()
    {
        QFETCH(QStringList, cambi);
        QFETCH(QString, salvati);
        FinestraProva prova;
        QVERIFY(apriProva(*archivio, prova, cambi));
        const QString attesa = dopoIlSalvataggio(*archivio, PROVA, salvati);

        prova.click("cmdmemorizza");

        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), attesa);
        // Reloaded from the record, header included.
        QStringList scheda = salvati.split('|');
        scheda[3] = scheda[3].mid(6, 2) + "/" + scheda[3].mid(4, 2) + "/" + scheda[3].left(4);
        QCOMPARE(testiScheda(prova), scheda.join('|'));
        QCOMPARE(prova.controllo<QLabel>("LabCOGNODEN")->text(), " " + scheda[0] + " " + scheda[1]);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        // Still on the record saved: the next move starts from it.
        prova.click("cmdparcsuc");
        QVERIFY(mostra(prova, BIANCHI));
    }

    void spostamenti()
    {
        // Key order, not the list's name order; at either end a message and
        // the same record reloaded, its changes dropped when so answered.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QTest::mouseClick(prova.controllo<QWidget>("Option1(2)"), Qt::LeftButton); // the list in name order
        QVERIFY(apri(prova, ALFA));
        prova.click("cmdparcprec");
        QCOMPARE(testiMostrati(), QStringList{"Prima Anagrafica"});
        QCOMPARE(MessageBox::shown().last().stile, int(vbInformation));
        QVERIFY(mostra(prova, ALFA));
        for (const Sostituto& s : {ROSSI, VERDI, BIANCHI, NERI}) {
            prova.click("cmdparcsuc");
            QVERIFY(mostra(prova, s));
            QCOMPARE(campo(prova, 1)->text(), riga(*archivio, s).value("ASOST_1").toString());
        }
        riscrivi(prova, 1, "nerissimi");
        MessageBox::setNextAnswer(vbNo);
        prova.click("cmdparcsuc");
        QCOMPARE(testiMostrati(), QStringList({"Prima Anagrafica", DOMANDA, "Ultima Anagrafica"}));
        QVERIFY(mostra(prova, NERI));
        QCOMPARE(campo(prova, 1)->text(), "NERI");
        for (const Sostituto& s : {BIANCHI, VERDI, ROSSI}) {
            prova.click("cmdparcprec");
            QVERIFY(mostra(prova, s));
        }

        // While another program holds the archive no move is made: the sheet stays on its record.
        for (const char* via : {"cmdparcsuc", "cmdparcprec", "cmdselprec"}) {
            azzeraMessaggi();
            auto blocco = archivio->blocca();
            prova.click(via);
            blocco.reset();
            QCOMPARE(testiMostrati(), QStringList{OCCUPATO});
            QVERIFY(mostra(prova, ROSSI));
            QCOMPARE(campo(prova, 1)->text(), "ROSSI");
        }
        prova.click("cmdparcprec");
        QVERIFY(mostra(prova, ALFA));
    }

    // Another program holds the archive (no reading either, or reading
    // allowed) or refuses the change.
    void altroProgramma_data()
    {
        QTest::addColumn<int>("guasto");
        QTest::newRow("locked, no reading either") << 0;
        QTest::newRow("locked, reading allowed") << 1;
        QTest::newRow("the change refused") << 2;
    }
    void altroProgramma()
    {
        QFETCH(int, guasto);
        salvataggioRifiutato(
            [&](FinestraProva&) -> std::function<void()> {
                if (guasto == 2) {
                    archivio->impedisci("UPDATE", "ANAGSOSTITUTI", "modifica non consentita");
                    return [&] { archivio->consenti("ANAGSOSTITUTI"); };
                }
                std::shared_ptr<ArchivioProva::Blocco> blocco = archivio->blocca(guasto == 0);
                return [blocco]() mutable { blocco.reset(); };
            },
            guasto == 2 ? "Attenzione !!! Errore nell'archivio.\r" : OCCUPATO);
    }

    // Faults made with SQLite's and the file system's own means.
    void soloSqlite_salvataggioRifiutato_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QString>("inizio");
        QTest::newRow("read-only file") << "file" << "Attenzione !!! L'archivio è in sola lettura";
        QTest::newRow("read-only folder") << "cartella" << "Attenzione !!! L'archivio è in sola lettura";
        QTest::newRow("disk full") << "disco" << "Attenzione !!! Il disco dell'archivio è pieno.\r"
                                                 "Nessun dato è stato registrato.\r"
                                                 "Liberare spazio sul disco e ripetere l'operazione.";
    }
    void soloSqlite_salvataggioRifiutato()
    {
        QFETCH(QString, guasto);
        QFETCH(QString, inizio);
        SOLO_FILE("a file's permissions and page limit");
        // Disk full: the substitutes' page is filled to the last byte (a filler
        // row as long as still fits) and the file may not grow.
        const qint64 pagine = archivio->conta("PRAGMA page_count");
        if (guasto == "disco") {
            const QString copia = archivio->cartella() + "/riempimento.db";
            int entra = 0, esce = 4096;
            while (esce - entra > 1) {
                const int k = (entra + esce) / 2;
                QFile::remove(copia);
                QVERIFY(QFile::copy(archivio->percorsoAnno(), copia));
                archivio->setArchivio(copia);
                archivio->aggiungiSostituto("999", "RIEMPITIVO", {QString(k, 'X')});
                (archivio->conta("PRAGMA page_count") == pagine ? entra : esce) = k;
                archivio->setArchivio(archivio->percorsoAnno());
            }
            archivio->aggiungiSostituto("999", "RIEMPITIVO", {QString(entra, 'X')});
        }
        salvataggioRifiutato(
            [&](FinestraProva& prova) -> std::function<void()> {
                if (guasto == "disco") {
                    prova.modulo.DBANNO->Execute(QString("PRAGMA max_page_count = %1").arg(pagine));
                    return [&prova] { prova.modulo.DBANNO->Execute("PRAGMA max_page_count = 1000000"); };
                }
                // chattr +i: a file or folder that not even the superuser may write.
                const QString percorso = guasto == "file" ? archivio->percorsoAnno() : archivio->cartella();
                if (QProcess::execute("chattr", {"+i", percorso}) != 0)
                    return {};
                return [percorso] { QProcess::execute("chattr", {"-i", percorso}); };
            },
            inizio);
    }
};

QTEST_MAIN(TestMemorizza)
#include "tst_memorizza.moc"
