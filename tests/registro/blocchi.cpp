// Another program of the suite has changes under way, not committed yet, on
// another substitute's rows of a table an operation writes: the operation
// waits for it, then is refused as Occupato with nothing written. The write
// lock covers every table the operation writes, from its start, however few
// of that table's rows it would touch.
#include "registroprova.h"

#include "registry/cambiacf.h"
#include "registry/cancella.h"
#include "registry/carica.h"
#include "registry/memorizza.h"

using namespace quartiere;

class TestBlocchi : public QObject {
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

    void scritturaAltrui_data()
    {
        QTest::addColumn<QString>("operazione");
        QTest::addColumn<QString>("tabella");
        for (const QString& t : SEZIONI + QStringList{"PERCETTORI", "ANAGSOSTITUTI"})
            QTest::newRow(qPrintable("deletion, " + t)) << "cancella" << t;
        for (const QString& t : SEZIONI + QStringList{"ANAGSOSTITUTI"})
            QTest::newRow(qPrintable("change of codice fiscale, " + t)) << "cambia" << t;
        QTest::newRow("save, ANAGSOSTITUTI") << "memorizza"
                                             << "ANAGSOSTITUTI";
    }
    void scritturaAltrui()
    {
        QFETCH(QString, operazione);
        QFETCH(QString, tabella);
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        // The sheet of 101/ROSSI loaded before, with a new address.
        const auto caricato = registro::carica(*r.tabelle.sostituti, "101", ROSSI);
        QVERIFY(caricato.has_value());
        auto s = caricato->sostituto;
        s.indirizzo = "VIA NUOVA 1";
        // Company 105's rows: no operation on 101/ROSSI touches them.
        const auto altro = a->inCorso("UPDATE " + tabella + " SET CODAZI = CODAZI WHERE CODAZI = '105'");

        std::optional<store::ErroreArchivio> errore;
        if (operazione == "cancella")
            errore = registro::cancella(r.archivio(), "101", store::CHIAVECF(ROSSI)).errore;
        else if (operazione == "cambia")
            errore =
                registro::cambiaCodiceFiscale(r.archivio(), "101", store::CHIAVECF(ROSSI), DICHIARANTE, NUOVO).errore;
        else
            errore = registro::memorizza(r.archivio(), s, caricato->istantanea).errore;

        QCOMPARE(int(errore ? errore->tipo() : store::TipoErrore(-1)), int(store::TipoErrore::Occupato));
        QCOMPARE(r.aRiposo(), ARIPOSO);
        QCOMPARE(a->istantanea(), prima);
    }
};

PROVA(TestBlocchi);
#include "blocchi.moc"
