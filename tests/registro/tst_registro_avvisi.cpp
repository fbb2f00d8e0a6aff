// Other workstations' changes in the core: what each write announces to the
// others with its commit, and what they mean for a data sheet left open.
#include "registroprova.h"

#include "registry/avvisi.h"
#include "registry/cambiacf.h"
#include "registry/cancella.h"
#include "registry/carica.h"
#include "registry/memorizza.h"

using namespace quartiere;
using store::Avviso;
using store::Evento;
using Tipo = registro::AvvisoScheda::Tipo;

namespace {

const QString NUOVO = "BNCLRA60M45F704X";

enum Azione { NESSUNA, SALVA, SALVAVECCHIO, CANCELLA, CANCELLAASSENTE, CAMBIA, INSERISCI };

// What another workstation does to 101/ROSSI (a new 106/NUOVO for INSERISCI)
// through the core, as its window would.
void esegui(const registro::Archivio& o, Azione azione)
{
    std::optional<registro::Caricato> c = registro::carica(o.sostituti, "101", ROSSI);
    registro::Sostituto s = c->sostituto;
    s.indirizzo = "VIA NUOVA";
    switch (azione) {
    case NESSUNA:
        break;
    case SALVA:
        QCOMPARE(int(registro::memorizza(o, s, c->istantanea).tipo), 0);
        break;
    case SALVAVECCHIO: // expects what the row held before it changed: refused
        c->istantanea.valori[2] = "ALTRO";
        QCOMPARE(int(registro::memorizza(o, s, c->istantanea).tipo), int(registro::EsitoMemorizza::Tipo::Modificato));
        break;
    case CANCELLA:
        QCOMPARE(int(registro::cancella(o, "101", store::CHIAVECF(ROSSI)).tipo), 0);
        break;
    case CANCELLAASSENTE:
        QCOMPARE(int(registro::cancella(o, "102", store::CHIAVECF(VERDI)).tipo),
                 int(registro::EsitoCancellazione::Tipo::NonTrovato));
        break;
    case CAMBIA:
        QCOMPARE(int(registro::cambiaCodiceFiscale(o, "101", store::CHIAVECF(ROSSI), DICHIARANTE, NUOVO).tipo), 0);
        break;
    case INSERISCI:
        s.codazi = "106";
        s.cfs = NUOVO;
        QCOMPARE(int(registro::memorizza(o, s, std::nullopt).tipo), 0);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(store::Avviso)

class TestRegistroAvvisi : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        a = annoVuoto();
        popola(*a);
    }
    void cleanup() { a.reset(); }

    // Each write tells what it did, with the key it was given; a refused one
    // tells nothing (what comes after it is heard, and only that).
    void annunci_data()
    {
        QTest::addColumn<int>("azione");
        QTest::addColumn<QList<Avviso>>("attesi");
        QTest::newRow("save") << int(SALVA) << QList<Avviso>{{Evento::Memorizzato, "101", ROSSI, {}}};
        QTest::newRow("first save of a new one")
            << int(INSERISCI) << QList<Avviso>{{Evento::Inserito, "106", NUOVO, {}}};
        QTest::newRow("deletion") << int(CANCELLA) << QList<Avviso>{{Evento::Cancellato, "101", ROSSI, {}}};
        QTest::newRow("change of codice fiscale")
            << int(CAMBIA) << QList<Avviso>{{Evento::CodiceCambiato, "101", ROSSI, NUOVO}};
        QTest::newRow("save refused") << int(SALVAVECCHIO) << QList<Avviso>{};
        QTest::newRow("deletion of nobody") << int(CANCELLAASSENTE) << QList<Avviso>{};
    }
    void annunci()
    {
        QFETCH(int, azione);
        QFETCH(QList<Avviso>, attesi);
        SOLO_SERVER("a file tells only that something changed (tst_notifiche)");
        const Avviso ultimo{Evento::Memorizzato, "999", "ULTIMO", {}};
        attesi.append(ultimo);
        RegistroProva ascolta(*a), altra(*a);
        ascolta.db->ascolta([] {});
        esegui(altra.archivio(), Azione(azione));
        altra.db->BeginTrans({"ANAGSOSTITUTI"});
        altra.db->Execute("UPDATE ANAGSOSTITUTI SET ASOST_9 = 'X' WHERE CODAZI = '999'");
        altra.db->annuncia(ultimo);
        altra.db->CommitTrans();
        QList<Avviso> sentiti;
        QTRY_VERIFY_WITH_TIMEOUT((sentiti += ascolta.db->avvisi(), sentiti.endsWith(ultimo)), 2000);
        QCOMPARE(sentiti, attesi);
    }

    // The sheet of 101/ROSSI (as the list names it) loaded, another
    // workstation acts, and the sheet is told what it heard: what became of
    // its substitute. Nothing is read for changes to others.
    void scheda_data()
    {
        QTest::addColumn<int>("azione");
        QTest::addColumn<bool>("nuova"); // the sheet of 106/NUOVO, not saved yet
        QTest::addColumn<QList<Avviso>>("avvisi");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("nuovoCfs");
        const QList<Avviso> file{Avviso{}};
        QTest::newRow("saved") << int(SALVA) << false << QList<Avviso>{{Evento::Memorizzato, "101", ROSSI, {}}}
                               << int(Tipo::Modificata) << "";
        QTest::newRow("saved, key in another form")
            << int(SALVA) << false << QList<Avviso>{{Evento::Memorizzato, "101 ", ROSSI + "  ", {}}}
            << int(Tipo::Modificata) << "";
        QTest::newRow("saved, on a file") << int(SALVA) << false << file << int(Tipo::Modificata) << "";
        QTest::newRow("deleted") << int(CANCELLA) << false << QList<Avviso>{{Evento::Cancellato, "101", ROSSI, {}}}
                                 << int(Tipo::Cancellata) << "";
        QTest::newRow("re-keyed") << int(CAMBIA) << false
                                  << QList<Avviso>{{Evento::CodiceCambiato, "101", ROSSI, NUOVO}}
                                  << int(Tipo::CodiceCambiato) << NUOVO;
        QTest::newRow("gone, on a file") << int(CAMBIA) << false << file << int(Tipo::Sparita) << "";
        QTest::newRow("others changed, this one too unheard")
            << int(SALVA) << false
            << QList<Avviso>{{Evento::Memorizzato, "102", ROSSI, {}}, {Evento::Memorizzato, "101", VERDI, {}}}
            << int(Tipo::Nessuno) << "";
        QTest::newRow("nothing changed, on a file") << int(NESSUNA) << false << file << int(Tipo::Nessuno) << "";
        QTest::newRow("new one registered elsewhere")
            << int(INSERISCI) << true << QList<Avviso>{{Evento::Inserito, "106", NUOVO, {}}} << int(Tipo::Registrata)
            << "";
        QTest::newRow("new one, others changed") << int(SALVA) << true << file << int(Tipo::Nessuno) << "";
    }
    void scheda()
    {
        QFETCH(int, azione);
        QFETCH(bool, nuova);
        QFETCH(QList<Avviso>, avvisi);
        QFETCH(int, tipo);
        QFETCH(QString, nuovoCfs);
        RegistroProva questa(*a), altra(*a);
        const QString codazi = nuova ? "106" : "101", cfs = store::CHIAVECF(nuova ? NUOVO : ROSSI);
        std::optional<registro::Istantanea> atteso;
        if (!nuova)
            atteso = registro::carica(*questa.tabelle.sostituti, codazi, cfs)->istantanea;
        esegui(altra.archivio(), Azione(azione));
        const registro::AvvisoScheda esito = registro::avvisoScheda(questa.archivio(), codazi, cfs, atteso, avvisi);
        QCOMPARE(int(esito.tipo), tipo);
        if (esito.tipo == Tipo::CodiceCambiato)
            QCOMPARE(esito.nuovoCfs, nuovoCfs);
    }
};

QTEST_GUILESS_MAIN(TestRegistroAvvisi)
#include "tst_registro_avvisi.moc"
