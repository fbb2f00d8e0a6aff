// Two workstations on one archive: what this window shows, with no action
// of its own, of what the other one does. The other acts through the core
// on its own window's connection, as its window would.
#include "schedaprova.h"

#include "registry/cambiacf.h"
#include "registry/cancella.h"
#include "registry/carica.h"
#include "registry/memorizza.h"
#include "store/chiavi.h"

using namespace scheda;

namespace {

const QString NUOVOCF = "BNCLRA60M45F704X", TROVA = "00";
const Sostituto NUOVO{"003", NUOVOCF};

enum Azione { CANCELLA, INSERISCI, CAMBIA, SALVA };

// The other workstation's action on ROSSI (INSERISCI: a new substitute NUOVO).
void agisci(FinestraProva& altra, Azione azione)
{
    const registro::Archivio o = altra.finestra.ARCHIVIO();
    const std::optional<registro::Caricato> c = registro::carica(o.sostituti, ROSSI.codazi, ROSSI.cfs);
    registro::Sostituto s = c->sostituto;
    s.cognome = "ROSSINI";
    switch (azione) {
    case CANCELLA:
        registro::cancella(o, ROSSI.codazi, store::CHIAVECF(ROSSI.cfs));
        break;
    case CAMBIA:
        registro::cambiaCodiceFiscale(o, ROSSI.codazi, store::CHIAVECF(ROSSI.cfs), "01234567897", NUOVOCF);
        break;
    case SALVA:
        registro::memorizza(o, s, c->istantanea);
        break;
    case INSERISCI:
        s.codazi = NUOVO.codazi;
        s.cfs = NUOVO.cfs;
        registro::memorizza(o, s, std::nullopt);
        break;
    }
}

struct Caso {
    Azione azione;
    QString ora;    // the line of ROSSI's key (or NUOVO's) now: its start ("" when gone)
    int differenza; // lines more than before
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestAggiornamenti : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> a, b; // this workstation, the other one

    QLabel* riga(const QString& nome) { return a->controllo<QLabel>(nome); }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        archivio = nuovoArchivio();
        a = std::make_unique<FinestraProva>();
        b = std::make_unique<FinestraProva>();
        QVERIFY(a->avvia());
        QVERIFY(b->avvia());
        QApplication::setActiveWindow(&a->finestra);
    }
    void cleanup()
    {
        b.reset();
        a.reset();
        archivio.reset();
    }

    // The selection list rebuilt by itself within two seconds, its search
    // ("00": NERI, of company 010, not shown) and its picked line (VERDI)
    // kept, and the line saying when and why.
    void elenco_data()
    {
        QTest::addColumn<Caso>("c");
        QTest::newRow("deletion") << Caso{CANCELLA, "", -1};
        QTest::newRow("insertion") << Caso{INSERISCI, "003 " + NUOVOCF + " ROSSINI", 1};
        QTest::newRow("change of codice fiscale") << Caso{CAMBIA, "001 " + NUOVOCF + " ROSSI", 0};
        QTest::newRow("save") << Caso{SALVA, "001 " + ROSSI.cfs + " ROSSINI", 0};
    }
    void elenco()
    {
        QFETCH(Caso, c);
        QTest::keyClicks(a->controllo<QLineEdit>("TextTrova"), TROVA);
        a->clickLista(a->rigaDi(VERDI.codazi, VERDI.cfs));
        const QString scelta = a->finestra.testoSelezionato();
        const int righe = a->lista()->count() + c.differenza;
        const QString chiave = (c.azione == INSERISCI ? NUOVO.codazi : ROSSI.codazi) + ' ';

        agisci(*b, c.azione);

        QTRY_COMPARE_WITH_TIMEOUT(a->finestra.elenchiAggiornati(), 1, 2000);
        QCOMPARE(a->lista()->count(), righe);
        QCOMPARE(a->righeLista()
                     .filter(QRegularExpression("^" + chiave + "(" + ROSSI.cfs + "|" + NUOVOCF + ")"))
                     .value(0)
                     .left(c.ora.size()),
                 c.ora);
        QCOMPARE(a->finestra.testoSelezionato(), scelta);
        QCOMPARE(a->rigaDi(NERI.codazi, NERI.cfs), -1);
        QVERIFY(riga("LabAggiornato")->isVisible());
        QVERIFY(riga("LabAggiornato")->text().endsWith(": modifiche da un'altra postazione."));
    }

    // An open frame (the insertion's) holds the rebuild back until it closes.
    void cornice()
    {
        a->doppioClickLista(0);
        agisci(*b, CANCELLA);
        QTest::qWait(1500);
        QCOMPARE(a->finestra.elenchiAggiornati(), 0);
        QVERIFY(a->rigaDi(ROSSI.codazi, ROSSI.cfs) > 0);
        a->click("CmdInserimento(1)");
        QTRY_COMPARE_WITH_TIMEOUT(a->finestra.elenchiAggiornati(), 1, 2000);
        QCOMPARE(a->rigaDi(ROSSI.codazi, ROSSI.cfs), -1);
    }

    // The open sheet of ROSSI says what became of it, at once; what was
    // typed stays, still to be saved.
    void scheda_data()
    {
        QTest::addColumn<int>("azione");
        QTest::addColumn<QString>("riga");
        const bool server = suServerProva();
        const QString sparita = "Anagrafica cancellata, o il suo codice fiscale cambiato, da un'altra postazione";
        QTest::newRow("save") << int(SALVA) << "Anagrafica modificata da un'altra postazione";
        QTest::newRow("deletion") << int(CANCELLA)
                                  << (server ? "Anagrafica cancellata da un'altra postazione" : sparita);
        QTest::newRow("change of codice fiscale")
            << int(CAMBIA)
            << (server ? "Anagrafica con il codice fiscale cambiato in " + NUOVOCF + " da un'altra postazione"
                       : sparita);
    }
    void scheda()
    {
        QFETCH(int, azione);
        QFETCH(QString, riga);
        QVERIFY(apri(*a, ROSSI));
        QTest::keyClicks(campo(*a, 9), " B");
        const QString scritta = campo(*a, 9)->text();

        agisci(*b, Azione(azione));

        QTRY_VERIFY_WITH_TIMEOUT(this->riga("LabAvvisoScheda")->isVisible(), 2000);
        QVERIFY(this->riga("LabAvvisoScheda")->text().startsWith(riga + " alle "));
        QCOMPARE(campo(*a, 9)->text(), scritta);
        QCOMPARE(a->modulo.VARIAZIONI, 1);
    }

    // A clerk working alone sees nothing new: its own deletion rebuilds the
    // list once, as it always did, and nothing else; nothing is asked of a
    // server meanwhile.
    void dasolo()
    {
        a->clickLista(a->rigaDi(VERDI.codazi, VERDI.cfs));
        a->click("Cmdcancella");
        QCOMPARE(a->rigaDi(VERDI.codazi, VERDI.cfs), -1);
        const quint64 scambi = a->modulo.DBANNO->scambi();
        QTest::qWait(1500);
        QCOMPARE(a->finestra.elenchiAggiornati(), 0);
        QVERIFY(!riga("LabAggiornato")->isVisible());
        QCOMPARE(a->modulo.DBANNO->scambi(), scambi);
    }
};

QTEST_MAIN(TestAggiornamenti)
#include "tst_aggiornamenti.moc"
