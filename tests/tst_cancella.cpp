// Deletion of a substitute with its section rows, its company's recipients and
// its registry row: confirmations, exactly the right rows, all or nothing.
#include "schedaprova.h"

namespace {

const QString ROSSI = "RSSMRA80A01H501U", VERDI = "VRDGPP70A01F205X", PIVA = "12345678903";
// Pasted between quotes, this code would turn the condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
const QString APOSTROFO = "' OR CFS > '";
const QString DICHIARANTE = "01234567897";
const QStringList QUADRI{"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};
// The substitute picked, the confirmations answered Yes before a No, the start of the box after them, if any;
// whether another program removed its registry row after it was picked.
struct Caso { QString codazi, cfs; int si; QString esito; bool sparito = false; };

} // namespace

Q_DECLARE_METATYPE(Caso)

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

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = scheda::annoProva(); // DICHIARANTE's front page
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
    }

    // Answers, and what follows: the deletion done, a confirmation answered
    // No, the deletion failing at the fifth statement (QUADROLAUT refusing
    // after four have run). Whatever fails leaves every table as before and
    // the substitute picked.
    void cancellazione_data()
    {
        QTest::addColumn<Caso>("c");
        const QString fatto = "64:Cancellazione effettuata";
        QTest::newRow("rows in some sections only") << Caso{"101", ROSSI, 2, fatto};
        QTest::newRow("partita IVA, stored with and without its blanks") << Caso{"103", PIVA, 2, fatto};
        QTest::newRow("apostrophe, a neighbour in the same company") << Caso{"104", APOSTROFO, 2, fatto};
        QTest::newRow("No at the first box") << Caso{"101", ROSSI, 0, ""};
        QTest::newRow("No at the second box") << Caso{"101", ROSSI, 1, ""};
        QTest::newRow("registry row removed meanwhile") << Caso{"101", ROSSI, 2, "", true};
        QTest::newRow("fifth statement refused") << Caso{"101", ROSSI, 2, "16:Attenzione !!! Errore nell'archivio."};
    }
    void cancellazione()
    {
        QFETCH(Caso, c);
        const bool fatto = c.esito == "64:Cancellazione effettuata";
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString riga = prova.lista()->item(prova.rigaDi(c.codazi, c.cfs))->text();
        prova.clickLista(prova.rigaDi(c.codazi, c.cfs));
        prova.modulo.VARIAZIONI = 1;
        MessageBox::setNextAnswer(c.si > 0 ? vbYes : vbNo);
        MessageBox::setNextAnswer(c.si > 1 ? vbYes : vbNo);
        if (!c.esito.isEmpty() && !fatto)
            archivio->impedisci("DELETE", "QUADROLAUT");
        if (c.sparito) // then nothing of it is deleted, without a word
            archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {c.codazi, c.cfs});
        const auto attese = fatto ? tabelle(c.codazi, c.cfs) : tabelle();
        prova.click("Cmdcancella");

        // Boxes as "style:text" ("style?text" under a wrong title); the confirmations ask with the stop icon.
        const QStringList attesi = QStringList{"20:" + riga.trimmed() + "\r\rVuoi cancellare il sostituto "
            "selezionato ?\r\rRispondendo affermativamente si cancelleranno tutti\ri quadri: lavoro dipendente, "
            "lavoro autonomo, quadro ST ,\re anagrafiche percettori lavoro dipendente\r",
            "20:Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???"}.mid(0, c.si + 1);
        const QStringList visti = scheda::boxMostrati(prova);
        QCOMPARE(visti.mid(0, attesi.size()), attesi);
        QCOMPARE(visti.size(), attesi.size() + (c.esito.isEmpty() ? 0 : 1));
        QVERIFY(visti.last().startsWith(c.esito) && (fatto || c.esito.isEmpty() || visti.last().endsWith(
            "\rIl sostituto selezionato non è stato cancellato: nessun dato è stato eliminato.")));
        // Its rows, its company's recipients and its registry row are gone,
        // or nothing; every other row is as it was, payload columns included.
        QCOMPARE(tabelle(), attese);
        QVERIFY(!QApplication::overrideCursor() && !prova.modulo.DBANNO->inTransazione());
        // The list rebuilt without it, nothing picked; or the substitute still picked.
        QCOMPARE(prova.rigaDi(c.codazi, c.cfs) > 0, !fatto);
        QCOMPARE(prova.finestra.testoSelezionato(), fatto ? "" : riga);
        QCOMPARE(prova.modulo.VARIAZIONI, fatto || c.sparito ? 1 : 0); // every refusal clears it
        if (!fatto)
            return;
        azzeraMessaggi(); // a second press before a new pick
        prova.click("Cmdcancella");
        QCOMPARE(testiMostrati(), QStringList{"Nessun sostituto selezionato per la cancellazione"});
    }

    void soloSqlite_indici()
    {
        SOLO_FILE("the plans are read in SQLite's form");
        // The planner reaches each section's rows through its (CODAZI, CFS) index, whatever the return's size.
        for (const QString& t : QUADRI)
            QCOMPARE(archivio->righe("EXPLAIN QUERY PLAN DELETE FROM " + t + " WHERE CODAZI = ? AND CFS = ?",
                                     {"101", "X"}).value(0).value("detail").toString(),
                     "SEARCH " + t + " USING INDEX " + t + "_AZISOST (CODAZI=? AND CFS=?)");
    }
};

QTEST_MAIN(TestCancella)
#include "tst_cancella.moc"
