// Deletion of a substitute with its section rows, its company's recipients and
// its registry row: confirmations, exactly the right rows, all or nothing.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include <functional>

namespace {

const QString ROSSI = "RSSMRA80A01H501U", VERDI = "VRDGPP70A01F205X", PIVA = "12345678903";
// Pasted between quotes, this code would turn the condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
const QString APOSTROFO = "' OR CFS > '";
const QString DICHIARANTE = "01234567897";
const QStringList QUADRI{"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};
// The condition of a section's deletion: placeholders only.
const QString CONDIZIONE = " CODAZI = ? AND CFS = ?";

} // namespace

class TestCancella : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Every row of the tables a deletion may touch, all columns, less those
    // that deleting (codazi, cfs) removes; with no key, all of them.
    QMap<QString, QList<QVariantMap>> tabelle(const QString& codazi = "", const QString& cfs = "")
    {
        QMap<QString, QList<QVariantMap>> r;
        const QString escluso = " WHERE NOT (CODAZI = ? AND CFS = ?) ORDER BY CODAZI, CFS, ";
        for (const QString& t : QUADRI)
            r[t] = archivio->righe("SELECT * FROM " + t + escluso + "ID", {codazi, cfs});
        r["ANAGSOSTITUTI"] = archivio->righe("SELECT * FROM ANAGSOSTITUTI" + escluso + "ASOST_1", {codazi, cfs});
        r["PERCETTORI"] = archivio->righe("SELECT * FROM PERCETTORI WHERE CODAZI <> ? ORDER BY ID", {codazi});
        return r;
    }

    // Deletes 101 ROSSI while guasta()'s fault holds, then runs the repair
    // it returns: the deletion failed as a whole (the archive exactly as before,
    // a critical message starting with `causa`, the pointer back, no
    // transaction left open, the substitute still picked).
    void cancellazioneFallita(const std::function<std::function<void()>(FinestraProva&)>& guasta, const QString& causa)
    {
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.clickLista(prova.rigaDi("101", ROSSI));
        prova.modulo.VARIAZIONI = 1;
        const std::function<void()> ripara = guasta(prova);
        prova.click("Cmdcancella");
        ripara();
        QCOMPARE(archivio->istantanea(), prima);
        const QString testo = testiMostrati().value(2);
        QVERIFY2(testo.startsWith("Attenzione !!! " + causa), qPrintable(testo));
        QVERIFY(testo.endsWith("\rIl sostituto selezionato non è stato cancellato: nessun dato è stato eliminato."));
        QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
        QVERIFY(!QApplication::overrideCursor() && !prova.modulo.DBANNO->inTransazione());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(prova.finestra.testoSelezionato(), prova.lista()->item(prova.rigaDi("101", ROSSI))->text());
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio("001", DICHIARANTE, {}, {}, "ALFA SRL");
        // ROSSI of 101 has rows in some sections only, one of them under
        // another declarant; its neighbours (the same company, the same code
        // in another company, the others) have one in every section.
        archivio->aggiungiSostituto("101", ROSSI, {"ROSSI", "MARIO"});
        archivio->aggiungiRigaQuadro("QUADROLDIP1", "101", DICHIARANTE, ROSSI, {{"RIGO", 1}, {"IMPORTO1", 1500.5}});
        archivio->aggiungiRigaQuadro("QUADROLDIP3", "101", "99999999999", ROSSI, {{"RIGO", 2}});
        archivio->aggiungiRigaQuadro("QUADROLAUT", "101", DICHIARANTE, ROSSI, {{"COMPENSO", 300}, {"RITENUTA", 60}});
        const QList<QStringList> vicini{{"101", VERDI, "VERDI"}, {"102", ROSSI, "ROSSI"}, {"103", PIVA, "BETA SPA"},
                                        {"104", APOSTROFO, "GAMMA SRL"}, {"104", VERDI, "VERDI"}};
        for (const QStringList& v : vicini) {
            archivio->aggiungiSostituto(v[0], v[1], {v[2]});
            for (const QString& t : QUADRI)
                archivio->aggiungiRigaQuadro(t, v[0], DICHIARANTE, v[1], {{"RIGO", 7}});
            archivio->aggiungiPercettore(v[0], "BNCLCU80A01H501Q", "ROMA", v[0]);
        }
        // The partita IVA stored padded in one row: the store ignores trailing blanks.
        archivio->aggiungiRigaQuadro("QUADROST", "103", DICHIARANTE, PIVA + "     ", {{"RIGO", 12}});
        configura(archivio->cartella());
    }

    void cancellazione_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::newRow("rows in some sections only") << "101" << ROSSI;
        QTest::newRow("partita IVA, stored with and without its blanks") << "103" << PIVA;
        QTest::newRow("apostrophe, a neighbour in the same company") << "104" << APOSTROFO;
    }
    void cancellazione()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        const auto attese = tabelle(codazi, cfs);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString riga = prova.lista()->item(prova.rigaDi(codazi, cfs))->text();
        prova.clickLista(prova.rigaDi(codazi, cfs));
        prova.click("Cmdcancella");

        const QString domanda = riga.trimmed() + "\r\rVuoi cancellare il sostituto selezionato ?\r\rRispondendo "
                                "affermativamente si cancelleranno tutti\ri quadri: lavoro dipendente, lavoro "
                                "autonomo, quadro ST ,\re anagrafiche percettori lavoro dipendente\r";
        const QString conferma = "Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???";
        QCOMPARE(testiMostrati(), QStringList({domanda, conferma, "Cancellazione effettuata"}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(MessageBox::shown()[i].stile, i < 2 ? int(vbYesNo + vbCritical) : int(vbInformation));
            QCOMPARE(MessageBox::shown()[i].titolo, prova.finestra.windowTitle());
        }
        // Its rows, its company's recipients and its registry row are gone;
        // every other row is as it was, payload columns included.
        QCOMPARE(tabelle(), attese);
        // The list is rebuilt without it and with no selection; the pointer and the index are back.
        QCOMPARE(prova.rigaDi(codazi, cfs), -1);
        QVERIFY(prova.lista()->selectedItems().isEmpty() && !QApplication::overrideCursor());

        // A second press before a new pick.
        azzeraMessaggi();
        prova.click("Cmdcancella");
        QCOMPARE(testiMostrati(), QStringList{"Nessun sostituto selezionato per la cancellazione"});
        QCOMPARE(MessageBox::shown().first().stile, int(vbInformation));
        QCOMPARE(tabelle(), attese);
    }

    void nienteCancellato_data()
    {
        QTest::addColumn<int>("si"); // confirmations answered Yes before a No
        QTest::newRow("No at the first box") << 0;
        QTest::newRow("No at the second box") << 1;
        QTest::newRow("Yes twice, removed meanwhile by another program") << 2;
    }
    void nienteCancellato()
    {
        QFETCH(int, si);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.clickLista(prova.rigaDi("101", ROSSI));
        prova.modulo.VARIAZIONI = 1;
        for (int i = 0; i < 2; ++i)
            MessageBox::setNextAnswer(i < si ? vbYes : vbNo);
        if (si == 2)
            archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = ?", {ROSSI});
        const QString prima = archivio->istantanea();
        prova.click("Cmdcancella");
        QCOMPARE(MessageBox::shown().size(), si == 0 ? 1 : 2);
        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(!QApplication::overrideCursor() && !prova.modulo.DBANNO->inTransazione());
        QCOMPARE(prova.modulo.RISPOSTA, si < 2 ? int(vbNo) : int(vbYes));
        QCOMPARE(prova.modulo.VARIAZIONI, si < 2 ? 0 : 1); // a refusal clears it
    }

    void archivioBloccato()
    {
        // Another program writing: the deletion waits, then gives up.
        std::shared_ptr<ArchivioProva::Blocco> blocco;
        cancellazioneFallita([&](FinestraProva&) { blocco = archivio->blocca(false); return [&] { blocco.reset(); }; },
                             "L'archivio è in uso da un altro programma");
    }

    void guastoAMeta()
    {
        // The fifth statement (QUADROLAUT) fails after four have run.
        QString condizione;
        cancellazioneFallita(
            [&](FinestraProva& prova) {
                archivio->impedisci("DELETE", "QUADROLAUT");
                return [&] { condizione = prova.modulo.STRINGASQL; archivio->consenti("QUADROLAUT"); };
            },
            "");
        QCOMPARE(condizione, CONDIZIONE);
    }

    void soloSqlite_indici()
    {
        SOLO_FILE("the plans are read in SQLite's form");
        // The planner reaches each section's rows through its (CODAZI, CFS) index.
        for (const QString& t : QUADRI)
            QCOMPARE(archivio->righe("EXPLAIN QUERY PLAN DELETE FROM " + t + " WHERE" + CONDIZIONE, {"101", ROSSI})
                         .value(0).value("detail").toString(),
                     "SEARCH " + t + " USING INDEX " + t + "_AZISOST (CODAZI=? AND CFS=?)");
    }
};

QTEST_MAIN(TestCancella)
#include "tst_cancella.moc"
