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
using Avvisi = QList<Avviso>;

namespace {

enum Azione { NESSUNA, SALVA, SALVAVECCHIO, CANCELLA, CAMBIA, INSERISCI };

// Another workstation's write on 101/ROSSI (INSERISCI: a new 106/NUOVO), through the core.
void esegui(const registro::Archivio& o, Azione azione)
{
    std::optional<registro::Caricato> c = registro::carica(o.sostituti, "101", ROSSI);
    registro::Sostituto s = c->sostituto;
    s.indirizzo = "VIA NUOVA";
    if (azione == SALVAVECCHIO) // expects what the row no longer holds: refused
        c->istantanea.valori[2] = "ALTRO";
    if (azione == INSERISCI)
        s = registro::daTestiScheda("106", NUOVO, registro::testiScheda(s));
    if (azione == SALVA || azione == SALVAVECCHIO || azione == INSERISCI)
        registro::memorizza(o, s, azione == INSERISCI ? std::nullopt : std::optional(c->istantanea));
    if (azione == CANCELLA)
        registro::cancella(o, "101", store::CHIAVECF(ROSSI));
    if (azione == CAMBIA)
        registro::cambiaCodiceFiscale(o, "101", store::CHIAVECF(ROSSI), DICHIARANTE, NUOVO);
}

} // namespace

Q_DECLARE_METATYPE(store::Avviso)

class TestRegistroAvvisi : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void init()
    {
        a = annoVuoto();
        popola(*a);
    }
    void cleanup() { a.reset(); }

    // Each write tells what it did, with its key; a refused one nothing (a
    // last write's announcement is heard, and only that).
    void annunci_data()
    {
        QTest::addColumn<int>("azione");
        QTest::addColumn<Avvisi>("attesi");
        QTest::newRow("save") << int(SALVA) << Avvisi{{Evento::Memorizzato, "101", ROSSI, {}}};
        QTest::newRow("first save of a new one") << int(INSERISCI) << Avvisi{{Evento::Inserito, "106", NUOVO, {}}};
        QTest::newRow("deletion") << int(CANCELLA) << Avvisi{{Evento::Cancellato, "101", ROSSI, {}}};
        QTest::newRow("change of codice fiscale")
            << int(CAMBIA) << Avvisi{{Evento::CodiceCambiato, "101", ROSSI, NUOVO}};
        QTest::newRow("save refused") << int(SALVAVECCHIO) << Avvisi{};
    }
    void annunci()
    {
        QFETCH(int, azione);
        QFETCH(Avvisi, attesi);
        SOLO_SERVER("a file tells only that something changed (tst_notifiche)");
        RegistroProva ascolta(*a), altra(*a);
        ascolta.db->ascolta([] {});
        esegui(altra.archivio(), Azione(azione));
        const Avviso ultimo{Evento::Cancellato, "105", VERDI, {}};
        attesi.append(ultimo);
        registro::cancella(altra.archivio(), "105", store::CHIAVECF(VERDI));
        Avvisi sentiti;
        QTRY_VERIFY_WITH_TIMEOUT((sentiti += ascolta.db->avvisi(), sentiti.endsWith(ultimo)), 2000);
        QCOMPARE(sentiti, attesi);
    }

    // The sheet of 101/ROSSI (106/NUOVO not saved yet, when new), keyed as
    // the list names it, is told what became of its substitute; nothing is
    // read for changes to others.
    void scheda_data()
    {
        QTest::addColumn<int>("azione");
        QTest::addColumn<Avvisi>("avvisi");
        QTest::addColumn<int>("tipo");
        const Avvisi file{Avviso{}};
        QTest::newRow("saved, key padded")
            << int(SALVA) << Avvisi{{Evento::Memorizzato, "101 ", ROSSI + " ", {}}} << int(Tipo::Modificata);
        QTest::newRow("deleted") << int(CANCELLA) << Avvisi{{Evento::Cancellato, "101", ROSSI, {}}}
                                 << int(Tipo::Cancellata);
        QTest::newRow("re-keyed") << int(CAMBIA) << Avvisi{{Evento::CodiceCambiato, "101", ROSSI, NUOVO}}
                                  << int(Tipo::CodiceCambiato);
        QTest::newRow("gone, file") << int(CAMBIA) << file << int(Tipo::Sparita);
        QTest::newRow("saved, others heard")
            << int(SALVA) << Avvisi{{Evento::Memorizzato, "102", ROSSI, {}}, {Evento::Memorizzato, "101", VERDI, {}}}
            << int(Tipo::Nessuno);
        QTest::newRow("nothing changed, file") << int(NESSUNA) << file << int(Tipo::Nessuno);
        QTest::newRow("new one registered")
            << int(INSERISCI) << Avvisi{{Evento::Inserito, "106", NUOVO, {}}} << int(Tipo::Registrata);
    }
    void scheda()
    {
        QFETCH(int, azione);
        QFETCH(Avvisi, avvisi);
        QFETCH(int, tipo);
        RegistroProva questa(*a), altra(*a);
        const bool nuova = azione == INSERISCI;
        const QString codazi = nuova ? "106" : "101", cfs = store::CHIAVECF(nuova ? NUOVO : ROSSI);
        std::optional<registro::Istantanea> atteso;
        if (!nuova)
            atteso = registro::carica(*questa.tabelle.sostituti, codazi, cfs)->istantanea;
        esegui(altra.archivio(), Azione(azione));
        const auto esito = registro::avvisoScheda(questa.archivio(), codazi, cfs, atteso, avvisi);
        QCOMPARE(int(esito.tipo), tipo);
        if (tipo == int(Tipo::CodiceCambiato))
            QCOMPARE(esito.nuovoCfs, NUOVO);
    }
};

PROVA(TestRegistroAvvisi);
#include "avvisi.moc"
