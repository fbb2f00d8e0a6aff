// Two workstations on one archive: what this window shows, with no action
// of its own, of what the other one does through the core on its own
// window's connection, as its window would.
#include "support/finestraprova.h"
#include "support/programma.h"

#include "registry/cambiacf.h"
#include "registry/cancella.h"
#include "registry/carica.h"
#include "registry/memorizza.h"
#include "store/chiavi.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString NUOVOCF = "BNCLRA60M45F704X";
const Chiave ROSSI{"001", "RSSMRA75M15H501X"}, VERDI{"002", "VRDGPP70A01F205X"}, NERI{"010", "NREPLA60C10L219K"};
enum Azione { CANCELLA, CAMBIA, SALVA };

// The other workstation's action on ROSSI.
void agisci(FinestraProva& altra, Azione azione)
{
    const registro::Archivio o = altra.finestra.ARCHIVIO();
    const std::optional<registro::Caricato> c = registro::carica(o.sostituti, ROSSI.codazi, ROSSI.cfs);
    registro::Sostituto s = c->sostituto;
    s.cognome = "ROSSINI";
    if (azione == SALVA)
        registro::memorizza(o, s, c->istantanea);
    if (azione == CANCELLA)
        registro::cancella(o, ROSSI.codazi, store::CHIAVECF(ROSSI.cfs));
    if (azione == CAMBIA)
        registro::cambiaCodiceFiscale(o, ROSSI.codazi, store::CHIAVECF(ROSSI.cfs), "01234567897", NUOVOCF);
}

} // namespace

class TestAggiornamenti : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> a;    // this workstation
    std::unique_ptr<FinestraProva> b; // the other one

    QLabel* riga(const QString& nome) { return a->controllo<QLabel>(nome); }

private slots:
    void init()
    {
        a = std::make_unique<BancoProva>();
        a->sostituto(ROSSI);
        a->sostituto({VERDI.codazi, "BNCLCU75C43L219Y"}, {"1=BIANCHI"}); // VERDI's company, listed before it
        a->sostituto(VERDI, {"1=VERDI"});
        a->sostituto(NERI, {"1=NERI"});
        b = std::make_unique<FinestraProva>();
        QVERIFY(a->avvia());
        QVERIFY(b->avvia());
        QApplication::setActiveWindow(&a->finestra);
    }
    void cleanup()
    {
        b.reset();
        a.reset();
    }

    // The list rebuilt by itself within two seconds, its search ("00": NERI, of company 010, not shown) and its
    // picked line (VERDI, one line up once ROSSI is deleted, found by its whole key) kept, with the line saying
    // when and why. Which writes are told to the other workstations is the core's.
    void elenco()
    {
        QTest::keyClicks(a->controllo<QLineEdit>("TextTrova"), "00");
        a->clickLista(a->rigaDi(VERDI));
        const QString scelta = a->scelta();
        const QStringList righe = a->righeLista().mid(0, 1) + a->righeLista().mid(2);

        agisci(*b, CANCELLA);

        QTRY_COMPARE_WITH_TIMEOUT(a->finestra.elenchiAggiornati(), 1, 2000);
        QCOMPARE(a->righeLista(), righe);
        QCOMPARE(a->scelta(), scelta);
        QVERIFY(riga("LabAggiornato")->isVisible());
        QVERIFY(riga("LabAggiornato")->text().endsWith(": modifiche da un'altra postazione."));
    }

    // The insertion frame open holds the rebuild back until it closes.
    void cornice()
    {
        a->doppioClickLista(0);
        agisci(*b, CANCELLA);
        QTest::qWait(1500);
        QCOMPARE(a->finestra.elenchiAggiornati(), 0);
        a->click("CmdInserimento(1)");
        QTRY_COMPARE_WITH_TIMEOUT(a->finestra.elenchiAggiornati(), 1, 2000);
        QCOMPARE(a->rigaDi(ROSSI), -1);
    }

    // ROSSI's open sheet says at once what became of it; the typing stays, unsaved.
    void scheda_data()
    {
        QTest::addColumn<int>("azione");
        QTest::addColumn<QString>("testo");
        const bool server = suServerProva();
        const QString sparita = "Anagrafica cancellata, o il suo codice fiscale cambiato,";
        QTest::newRow("save") << int(SALVA) << "Anagrafica modificata";
        QTest::newRow("deletion") << int(CANCELLA) << (server ? "Anagrafica cancellata" : sparita);
        QTest::newRow("change of codice fiscale")
            << int(CAMBIA) << (server ? "Anagrafica con il codice fiscale cambiato in " + NUOVOCF : sparita);
    }
    void scheda()
    {
        QFETCH(int, azione);
        QFETCH(QString, testo);
        QVERIFY(a->apri(ROSSI));
        QTest::keyClicks(a->campo(9), " B");
        const QString scritta = a->campo(9)->text();

        agisci(*b, Azione(azione));

        QTRY_VERIFY_WITH_TIMEOUT(riga("LabAvvisoScheda")->isVisible(), 2000);
        QVERIFY(riga("LabAvvisoScheda")->text().startsWith(testo + " da un'altra postazione alle "));
        QCOMPARE(a->campo(9)->text(), scritta);
        QCOMPARE(a->modulo.VARIAZIONI, 1);
    }

    // Working alone: its own deletion rebuilds the list once, as it always
    // did, and nothing more; nothing is asked of a server meanwhile.
    void dasolo()
    {
        a->clickLista(a->rigaDi(VERDI));
        a->click("Cmdcancella");
        QCOMPARE(a->rigaDi(VERDI), -1);
        const quint64 scambi = a->modulo.DBANNO->scambi();
        QTest::qWait(1500);
        QCOMPARE(a->finestra.elenchiAggiornati(), 0);
        QCOMPARE(a->modulo.DBANNO->scambi(), scambi);
    }
};

PROVA(TestAggiornamenti);
#include "aggiornamenti.moc"
