// Saving the data sheet: the field checks in their fixed order, the stored
// forms read back from the archive, the moves in key order, and saves that the
// database refuses.
#include "schedaprova.h"

using namespace scheda;

namespace {

const QString RESIDENZA = "Inserire comune di residenza o domicilio fiscale",
              AZIENDA = "Attenzione !!! Il codice azienda collegata inserito non è presente nel frontespizio",
              OCCUPATO = "Attenzione !!! L'archivio è in uso da un altro programma della procedura.\r"
                         "L'operazione non è stata eseguita.\rRiprovare fra qualche istante.",
              PIENO = "Attenzione !!! Il disco dell'archivio è pieno.\rNessun dato è stato registrato.\r"
                      "Liberare spazio sul disco e ripetere l'operazione.";
// Changes to the valid sheet, as apriProva() takes them; the field refused (0: saved); the message, or the ten
// fields as stored.
using Caso = std::tuple<QStringList, int, QString>;

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
    const bool aperta = apri(prova, PROVA);
    for (const QString& c : cambi.filter("="))
        riscrivi(prova, c.section('=', 0, 0).toInt(), c.section('=', 1));
    return aperta;
}

// The archive as it must read after a save that gives s these ten fields
// (joined by '|'): as it is now, with that row written anew.
QString dopoIlSalvataggio(ArchivioProva& a, const Sostituto& s, const QString& asost)
{
    QStringList campi = asost.split('|'), set;
    for (int n = 1; n <= 10; ++n)
        set << QString("ASOST_%1 = ?").arg(n);
    return a.istantaneaDopo("UPDATE ANAGSOSTITUTI SET " + set.join(", ") + " WHERE CODAZI = ? AND CFS = ?",
                            QVariantList(campi.begin(), campi.end()) << s.codazi << s.cfs);
}

} // namespace

class TestMemorizza : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init() { archivio = nuovoArchivio(); }

    // Each check failing in turn (a later one failing as well shows that the
    // first one wins), then sheets that pass, saved.
    void memorizzazione_data()
    {
        QTest::addColumn<Caso>("caso");
        const auto riga = [](const char* nome, const QStringList& cambi, int n, const QString& esito) {
            QTest::newRow(nome) << Caso{cambi, n, esito};
        };
        riga("sex blank, before the date", {"4:00000000", "3= "}, 3, "Inserire Sesso");
        riga("date wrong", {"4:19800231", "5="}, 4, "Data di nascita errata");
        riga("no date", {"4:00000000", "5="}, 4, "Inserire data di nascita");
        riga("town of birth blanks", {"5=   ", "6=xx"}, 5, "Inserire comune di nascita");
        riga("birth province", {"6=", "7="}, 6, "Inserire una provincia di nascita valida");
        riga("town of residence empty", {"7=", "8=zz"}, 7, RESIDENZA);
        riga("province of residence unknown", {"10:099", "8=zz"}, 8,
             "Inserire una provincia di residenza o domicilio fiscale valida");
        riga("linked company before the street", {"10:099", "9="}, 10, AZIENDA);
        riga("street", {"9=  "}, 9, "Inserire indirizzo di residenza o domicilio fiscale");
        riga("company: no birth checks", {"2", "4:19800231", "6:xx", "7="}, 7, RESIDENZA);
        riga("natural person, every field retyped", {"9", "1=de' santìs", "2=lucia", "3=f", "4=02031985", "5=forlì",
             "6=fc", "7=san marino", "8=ee", "9=via indipendenza 10"}, 0,
             "DE' SANTÌS|LUCIA|F|19850302|FORLÌ|FC|SAN MARINO|EE|VIA INDIPENDENZA 10|001");
        riga("company, Null first name: birth data cleared", {"2", "4=31121999", "5=bari", "9=via garibaldi 5"}, 0,
             "GIALLI|||00000000|||ROMA|RM|VIA GARIBALDI 5|001");
        riga("linked company stored as 7, nothing typed", {"10:7"}, 0,
             "GIALLI|ANNA|F|19900101|ROMA|RM|ROMA|RM|VIA APPIA 7|007");
    }
    void memorizzazione()
    {
        QFETCH(Caso, caso);
        const auto& [cambi, n, esito] = caso;
        FinestraProva prova;
        QVERIFY(apriProva(*archivio, prova, cambi));
        // The sheet afterwards: reloaded from the record saved, or as typed
        // with what the checks clear (a company's birth data; a linked
        // company code without a front page) and the field refused marked.
        QStringList scheda = (n ? testiScheda(prova) : esito).split('|');
        if (n == 0)
            scheda[3] = scheda[3].mid(6, 2) + "/" + scheda[3].mid(4, 2) + "/" + scheda[3].left(4);
        else if (scheda[1].trimmed().isEmpty())
            scheda = scheda.mid(0, 2) + QStringList{"", "00/00/0000", "", ""} + scheda.mid(6);
        if (n)
            scheda[n - 1] = "*" + (n == 10 ? "" : scheda[n - 1]);
        const QString attesa = n ? archivio->istantanea() : dopoIlSalvataggio(*archivio, PROVA, esito);

        prova.click("cmdmemorizza");

        QCOMPARE(archivio->istantanea(), attesa);
        QCOMPARE(testiScheda(prova), scheda.join('|'));
        QCOMPARE(testiMostrati(), n ? QStringList{esito} : QStringList());
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index(), "CHIAVE");
        QCOMPARE(prova.controllo<QLabel>("LabCOGNODEN")->text(), " " + scheda[0] + " " + scheda[1]);
        QCOMPARE(prova.modulo.VARIAZIONI, n ? 1 : 0);
        if (n == 0)
            return;
        QCOMPARE(boxMostrati(prova).first(), QString::number(n == 10 ? vbCritical : vbInformation) + ":" + esito);
        // The disabled linked-company field cannot take the focus: it stays on the button.
        QCOMPARE(prova.finestra.focusWidget()->objectName(), n == 10 ? "cmdmemorizza" : QString("Text1(%1)").arg(n));
    }

    void spostamenti()
    {
        // Key order, not the list's name order; at either end a message and
        // the same record reloaded, its changes dropped when so answered.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QTest::mouseClick(prova.controllo<QWidget>("Option1(2)"), Qt::LeftButton); // the list in name order
        QVERIFY(apri(prova, ALFA));
        const auto passa = [&](const char* b, const Sostituto& s) { prova.click(b); return mostra(prova, s); };
        for (const Sostituto& s : {ROSSI, VERDI, BIANCHI, NERI})
            QVERIFY(passa("cmdparcsuc", s));
        riscrivi(prova, 1, "nerissimi");
        MessageBox::setNextAnswer(vbNo);
        QVERIFY(passa("cmdparcsuc", NERI) && campo(prova, 1)->text() == "NERI");
        for (const Sostituto& s : {BIANCHI, VERDI, ROSSI, ALFA, ALFA})
            QVERIFY(passa("cmdparcprec", s));
        // Only the move that would leave changes behind asks: loading is no change.
        QCOMPARE(testiMostrati(), QStringList({DOMANDA, "Ultima Anagrafica", "Prima Anagrafica"}));
    }

    // The save refused by another program writing and, with SQLite's own
    // means, by a full disk, whichever way it was asked for: a critical message, every typed value
    // kept, nothing written, the sheet still to be saved. Once the fault is
    // gone the same save goes through.
    void salvataggioRifiutato_data()
    {
        QTest::addColumn<bool>("disco"); // else another program writing; saved by Yes to the question, or the button
        QTest::newRow("another program writing, on leaving") << false;
        QTest::newRow("disk full, by the button") << true;
    }
    void salvataggioRifiutato()
    {
        QFETCH(bool, disco);
        const QString via = disco ? "cmdmemorizza" : "cmduscita(0)";
        if (disco)
            SOLO_FILE("SQLite's page limit");
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        if (disco) { // the file may not grow, its substitutes' page filled: the longer row needs one more
            const qint64 pagine = archivio->conta("PRAGMA page_count");
            prova.modulo.DBANNO->Execute(QString("PRAGMA max_page_count = %1").arg(pagine));
            for (int passo = 1024; passo > 0; passo /= 2)
                try {
                    prova.modulo.DBANNO->Execute("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) VALUES ('9', ?, ?)",
                               {QString::number(passo), QString(passo, 'X')});
                } catch (const store::ErroreArchivio&) {
                }
        }
        riscrivi(prova, 9, "strada provinciale per correggio 12"); // a longer row
        const QString digitati = testiScheda(prova), prima = archivio->istantanea();
        const QString dopo = dopoIlSalvataggio(
            *archivio, ROSSI, "ROSSI|MARIO|M|19750815|ROMA|RM|MILANO|MI|STRADA PROVINCIALE PER CORREGGIO 12|001");
        auto blocco = disco ? nullptr : archivio->blocca(false);
        prova.click(via);
        blocco.reset();
        if (disco)
            prova.modulo.DBANNO->Execute("PRAGMA max_page_count = 1000000");
        QCOMPARE(testiMostrati(), (disco ? QStringList() : QStringList{DOMANDA}) << (disco ? PIENO : OCCUPATO));
        QVERIFY(MessageBox::shown().last().stile == vbCritical && mostra(prova, ROSSI) && prova.modulo.VARIAZIONI == 1);
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(archivio->istantanea(), prima);
        azzeraMessaggi();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), dopo);
    }
};

QTEST_MAIN(TestMemorizza)
#include "tst_memorizza.moc"
