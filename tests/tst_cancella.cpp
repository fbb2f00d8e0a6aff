// Deletion of a substitute with its section rows, its company's recipients and
// its registry row: confirmations, exact rows hit, all or nothing on failure.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

namespace {

const QString ROSSI = QStringLiteral("RSSMRA80A01H501U");
const QString VERDI = QStringLiteral("VRDGPP70A01F205X");
const QString PIVA = QStringLiteral("12345678903");
// Pasted between quotes, this code would turn the condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
const QString APOSTROFO = QStringLiteral("' OR CFS > '");
const QString DICHIARANTE = QStringLiteral("01234567897");

const QStringList QUADRI{QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP2"), QStringLiteral("QUADROLDIP3"),
                         QStringLiteral("QUADROLDIP4"), QStringLiteral("QUADROLAUT"),  QStringLiteral("QUADROST")};

QString attesaPrimaConferma(const QString& riga)
{
    return riga.trimmed() + QStringLiteral("\r\rVuoi cancellare il sostituto selezionato ?\r\r"
                                           "Rispondendo affermativamente si cancelleranno tutti\r"
                                           "i quadri: lavoro dipendente, lavoro autonomo, quadro ST ,\r"
                                           "e anagrafiche percettori lavoro dipendente\r");
}

const QString SECONDACONFERMA =
    QStringLiteral("Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???");

// What a real box saw when it showed: its text and icon, and the state of the
// window behind it.
struct AlMessaggio {
    QString testo;
    int icona = -1;
    bool cursoreOccupato = true;
};

// The next box that really shows is read and closed with OK.
void leggiBoxReale(AlMessaggio* visto)
{
    MessageBox::setAutoAnswer(false);
    QTimer::singleShot(0, [visto] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [visto] { leggiBoxReale(visto); });
            return;
        }
        visto->testo = box->text();
        visto->icona = box->icon();
        // The box itself puts an arrow over a busy pointer; only that one may
        // be left.
        const QCursor* cursore = QApplication::overrideCursor();
        visto->cursoreOccupato = cursore && cursore->shape() == Qt::WaitCursor;
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        MessageBox::setAutoAnswer(true);
    });
}

} // namespace

class TestCancella : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Every row of a table, in a fixed order, all columns.
    QList<QVariantMap> tutte(const QString& tabella, const QString& ordine = QStringLiteral("ID"))
    {
        return archivio->righe(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(tabella, ordine));
    }
    // The rows that a deletion of (codazi, cfs) must leave, read before it.
    QMap<QString, QList<QVariantMap>> restanti(const QString& codazi, const QString& cfs)
    {
        QMap<QString, QList<QVariantMap>> r;
        for (const QString& t : QUADRI)
            r[t] = archivio->righe(
                QStringLiteral("SELECT * FROM %1 WHERE NOT (CODAZI = ? AND CFS = ?) ORDER BY ID").arg(t),
                {codazi, cfs});
        r[QStringLiteral("PERCETTORI")] =
            archivio->righe(QStringLiteral("SELECT * FROM PERCETTORI WHERE CODAZI <> ? ORDER BY ID"), {codazi});
        r[QStringLiteral("ANAGSOSTITUTI")] = archivio->righe(
            QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE NOT (CODAZI = ? AND CFS = ?) ORDER BY CODAZI, CFS"),
            {codazi, cfs});
        r[QStringLiteral("FRONTESPIZIO")] = tutte(QStringLiteral("FRONTESPIZIO"), QStringLiteral("CODAZI"));
        return r;
    }
    QMap<QString, QList<QVariantMap>> attuali()
    {
        QMap<QString, QList<QVariantMap>> r;
        for (const QString& t : QUADRI + QStringList{QStringLiteral("PERCETTORI")})
            r[t] = tutte(t);
        r[QStringLiteral("ANAGSOSTITUTI")] = tutte(QStringLiteral("ANAGSOSTITUTI"), QStringLiteral("CODAZI, CFS"));
        r[QStringLiteral("FRONTESPIZIO")] = tutte(QStringLiteral("FRONTESPIZIO"), QStringLiteral("CODAZI"));
        return r;
    }
    qint64 righeDi(const QString& codazi, const QString& cfs)
    {
        qint64 n = 0;
        for (const QString& t : QUADRI)
            n += archivio->conta(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CODAZI = ? AND CFS = ?").arg(t),
                                 {codazi, cfs});
        return n;
    }
    void cancella(FinestraProva& prova, const QString& codazi, const QString& cfs)
    {
        const int riga = prova.rigaDi(codazi, cfs);
        QVERIFY(riga > 0);
        prova.clickLista(riga);
        prova.click(QStringLiteral("Cmdcancella"));
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }

    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        const QString comune = QStringLiteral("ROMA");
        archivio->aggiungiSostituto(QStringLiteral("101"), ROSSI, {QStringLiteral("ROSSI"), QStringLiteral("MARIO")});
        archivio->aggiungiSostituto(QStringLiteral("101"), VERDI, {QStringLiteral("VERDI"), QStringLiteral("GIUSEPPE")});
        archivio->aggiungiSostituto(QStringLiteral("102"), ROSSI, {QStringLiteral("ROSSI"), QStringLiteral("MARIO")});
        archivio->aggiungiSostituto(QStringLiteral("103"), PIVA, {QStringLiteral("BETA SPA"), QString()});
        archivio->aggiungiSostituto(QStringLiteral("104"), APOSTROFO, {QStringLiteral("GAMMA SRL"), QString()});
        archivio->aggiungiSostituto(QStringLiteral("104"), VERDI, {QStringLiteral("VERDI"), QStringLiteral("ANNA")});

        // ROSSI of 101 has rows in some sections only (none in 2, 4 and ST).
        for (const QString& t : {QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP3")}) {
            archivio->aggiungiRigaQuadro(t, QStringLiteral("101"), DICHIARANTE, ROSSI,
                                         {{QStringLiteral("RIGO"), 1}, {QStringLiteral("IMPORTO1"), 1500.5}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("101"), QStringLiteral("99999999999"), ROSSI,
                                         {{QStringLiteral("RIGO"), 2}});
        }
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLAUT"), QStringLiteral("101"), DICHIARANTE, ROSSI,
                                     {{QStringLiteral("COMPENSO"), 300}, {QStringLiteral("RITENUTA"), 60}});
        // Neighbours: another substitute of the same company, the same code in
        // another company, the other substitutes.
        for (const QString& t : QUADRI) {
            archivio->aggiungiRigaQuadro(t, QStringLiteral("101"), DICHIARANTE, VERDI, {{QStringLiteral("RIGO"), 7}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("102"), DICHIARANTE, ROSSI, {{QStringLiteral("RIGO"), 8}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("103"), DICHIARANTE, PIVA, {{QStringLiteral("RIGO"), 9}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("104"), DICHIARANTE, APOSTROFO,
                                         {{QStringLiteral("RIGO"), 10}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("104"), DICHIARANTE, VERDI, {{QStringLiteral("RIGO"), 11}});
        }
        // The partita IVA stored padded in one row: the store ignores trailing blanks.
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROST"), QStringLiteral("103"), DICHIARANTE,
                                     PIVA + QStringLiteral("     "), {{QStringLiteral("RIGO"), 12}});
        for (const QString& codazi : {QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103"),
                                      QStringLiteral("104")}) {
            archivio->aggiungiPercettore(codazi, QStringLiteral("BNCLCU80A01H501Q"), comune, codazi);
            archivio->aggiungiPercettore(codazi, QStringLiteral("NREGNN75B02F205K"), comune, codazi);
        }
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void cancellaIlSostitutoEIlResto()
    {
        const auto attese = restanti(QStringLiteral("101"), ROSSI);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString riga = prova.lista()->item(prova.rigaDi(QStringLiteral("101"), ROSSI))->text();
        prova.modulo.VARIAZIONI = 0;
        cancella(prova, QStringLiteral("101"), ROSSI);

        QCOMPARE(MessageBox::shown().size(), 3);
        const auto& boxes = MessageBox::shown();
        QCOMPARE(boxes[0].testo, attesaPrimaConferma(riga));
        QCOMPARE(boxes[0].stile, int(vbYesNo + vbCritical));
        QCOMPARE(boxes[0].titolo, prova.finestra.windowTitle());
        QCOMPARE(boxes[1].testo, SECONDACONFERMA);
        QCOMPARE(boxes[1].stile, 20);
        QCOMPARE(boxes[2].testo, QStringLiteral("Cancellazione effettuata"));
        QCOMPARE(boxes[2].stile, int(vbInformation));
        QCOMPARE(boxes[2].titolo, prova.finestra.windowTitle());

        QCOMPARE(righeDi(QStringLiteral("101"), ROSSI), 0);
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM PERCETTORI WHERE CODAZI = '101'")), 0);
        // Everything else as it was, payload columns included.
        QCOMPARE(attuali(), attese);
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM PERCETTORI")), 6);

        // The list is rebuilt without it and with no selection; the pointer is back.
        QCOMPARE(prova.rigaDi(QStringLiteral("101"), ROSSI), -1);
        QVERIFY(prova.rigaDi(QStringLiteral("102"), ROSSI) > 0);
        QVERIFY(prova.lista()->selectedItems().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));

        // A second press before a new pick.
        azzeraMessaggi();
        const QString prima = archivio->istantanea();
        prova.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Nessun sostituto selezionato per la cancellazione")});
        QCOMPARE(MessageBox::shown().first().stile, int(vbInformation));
        QCOMPARE(archivio->istantanea(), prima);
    }

    void partitaIvaConICinqueSpazi()
    {
        const auto attese = restanti(QStringLiteral("103"), PIVA);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        cancella(prova, QStringLiteral("103"), PIVA);
        QCOMPARE(prova.finestra.CFSSOST, PIVA + QStringLiteral("     "));
        QCOMPARE(prova.finestra.CODAZISOST, QStringLiteral("103"));
        QCOMPARE(testiMostrati().last(), QStringLiteral("Cancellazione effettuata"));
        // Stored with and without the trailing blanks: both gone.
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM QUADROST WHERE CODAZI = '103'")), 0);
        QCOMPARE(righeDi(QStringLiteral("103"), PIVA), 0);
        QCOMPARE(attuali(), attese);
    }

    void apostrofoNelCodiceFiscale()
    {
        const auto attese = restanti(QStringLiteral("104"), APOSTROFO);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        cancella(prova, QStringLiteral("104"), APOSTROFO);
        QCOMPARE(testiMostrati().last(), QStringLiteral("Cancellazione effettuata"));
        QCOMPARE(righeDi(QStringLiteral("104"), APOSTROFO), 0);
        // The neighbour of the same company keeps its rows, as does everybody else.
        QCOMPARE(righeDi(QStringLiteral("104"), VERDI), 6);
        QCOMPARE(attuali(), attese);
        QVERIFY(prova.rigaDi(QStringLiteral("104"), VERDI) > 0);
    }

    void unaConfermaNegata_data()
    {
        QTest::addColumn<int>("rispostaPrima");
        QTest::addColumn<int>("boxMostrati");
        QTest::newRow("No at the first box") << int(vbNo) << 1;
        QTest::newRow("No at the second box") << int(vbYes) << 2;
    }
    void unaConfermaNegata()
    {
        QFETCH(int, rispostaPrima);
        QFETCH(int, boxMostrati);
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.modulo.VARIAZIONI = 1;
        MessageBox::setNextAnswer(rispostaPrima);
        MessageBox::setNextAnswer(vbNo);
        cancella(prova, QStringLiteral("101"), ROSSI);
        QCOMPARE(MessageBox::shown().size(), boxMostrati);
        QCOMPARE(MessageBox::shown().last().risposta, int(vbNo));
        QCOMPARE(prova.modulo.RISPOSTA, int(vbNo));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(prova.rigaDi(QStringLiteral("101"), ROSSI) > 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    void boxRealeDiConferma()
    {
        // The first confirmation as the operator sees it: stop icon, Yes and
        // No, Yes the default.
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        BoxReale visto;
        rispondiBoxReale(vbNo, &visto);
        cancella(prova, QStringLiteral("101"), ROSSI);
        QCOMPARE(visto.icona, int(QMessageBox::Critical));
        QCOMPARE(visto.bottoni.size(), 2);
        QVERIFY(visto.bottoni.contains(QStringLiteral("Yes")) && visto.bottoni.contains(QStringLiteral("No")));
        QCOMPARE(visto.predefinito, QStringLiteral("Yes"));
        QCOMPARE(visto.titolo, prova.finestra.windowTitle());
        QVERIFY(visto.testo.contains(QStringLiteral("Vuoi cancellare il sostituto selezionato ?")));
        QCOMPARE(archivio->istantanea(), prima);
    }

    void guastoAMetaNonLasciaNulla()
    {
        // The fifth statement (QUADROLAUT) fails after four have run.
        archivio->impedisci(QStringLiteral("DELETE"), QStringLiteral("QUADROLAUT"));
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const int riga = prova.rigaDi(QStringLiteral("101"), ROSSI);
        prova.modulo.VARIAZIONI = 1;
        MessageBox::setNextAnswer(vbYes);
        MessageBox::setNextAnswer(vbYes);
        AlMessaggio visto;
        leggiBoxReale(&visto);
        cancella(prova, QStringLiteral("101"), ROSSI);

        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(visto.testo.startsWith(QStringLiteral("Attenzione !!!")));
        QVERIFY(visto.testo.endsWith(
            QStringLiteral("Il sostituto selezionato non è stato cancellato: nessun dato è stato eliminato.")));
        QCOMPARE(visto.icona, int(QMessageBox::Critical));
        QVERIFY(!visto.cursoreOccupato);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        // The list still shows the substitute, picked, and the window works on.
        QCOMPARE(prova.rigaDi(QStringLiteral("101"), ROSSI), riga);
        QCOMPARE(prova.finestra.testoSelezionato(), prova.lista()->item(riga)->text());
        QVERIFY(!prova.modulo.DBANNO->inTransazione());

        // The failing statement's condition holds placeholders only, and the
        // section table is reached through its (CODAZI, CFS) index.
        QCOMPARE(prova.modulo.STRINGASQL, QStringLiteral(" CODAZI = ? AND CFS = ?"));
        // (The plans are read in SQLite's own form.)
        for (const QString& t : archivio->suServer() ? QStringList() : QUADRI) {
            const auto piano = archivio->righe(QStringLiteral("EXPLAIN QUERY PLAN DELETE FROM %1 WHERE").arg(t)
                                                   + prova.modulo.STRINGASQL,
                                               {QStringLiteral("101"), ROSSI});
            QVERIFY(!piano.isEmpty());
            const QString dettaglio = piano.first().value(QStringLiteral("detail")).toString();
            QVERIFY2(dettaglio.startsWith(QStringLiteral("SEARCH "))
                         && dettaglio.contains(QStringLiteral("INDEX %1_AZISOST (CODAZI=? AND CFS=?)").arg(t)),
                     qPrintable(dettaglio));
        }

        // Once the fault is gone the same deletion goes through.
        archivio->consenti(QStringLiteral("QUADROLAUT"));
        azzeraMessaggi();
        prova.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(testiMostrati().last(), QStringLiteral("Cancellazione effettuata"));
        QCOMPARE(righeDi(QStringLiteral("101"), ROSSI), 0);
        // The recipients of the company are reached through their index as well.
        QCOMPARE(prova.modulo.STRINGASQL, QStringLiteral(" CODAZI = ?"));
        if (archivio->suServer())
            return;
        const auto piano = archivio->righe(QStringLiteral("EXPLAIN QUERY PLAN DELETE FROM PERCETTORI WHERE")
                                               + prova.modulo.STRINGASQL,
                                           {QStringLiteral("101")});
        const QString dettaglio = piano.first().value(QStringLiteral("detail")).toString();
        QVERIFY2(dettaglio.startsWith(QStringLiteral("SEARCH "))
                     && dettaglio.contains(QStringLiteral("INDEX PERCETTORI_CODAZI (CODAZI=?)")),
                 qPrintable(dettaglio));
    }

    void archivioBloccato_data()
    {
        QTest::addColumn<bool>("esclusivo");
        QTest::newRow("another program writing") << false;
        QTest::newRow("another program holding the file") << true;
    }
    void archivioBloccato()
    {
        QFETCH(bool, esclusivo);
        const auto attese = restanti(QStringLiteral("101"), ROSSI);
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        {
            auto blocco = archivio->blocca(esclusivo);
            AlMessaggio visto;
            MessageBox::setNextAnswer(vbYes);
            MessageBox::setNextAnswer(vbYes);
            leggiBoxReale(&visto);
            cancella(prova, QStringLiteral("101"), ROSSI);
            QVERIFY(visto.testo.contains(QStringLiteral("in uso da un altro programma")));
            QVERIFY(visto.testo.endsWith(QStringLiteral("non è stato cancellato: nessun dato è stato eliminato.")));
            QVERIFY(!visto.cursoreOccupato);
        }
        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(!QApplication::overrideCursor());

        azzeraMessaggi();
        prova.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(testiMostrati().last(), QStringLiteral("Cancellazione effettuata"));
        QCOMPARE(attuali(), attese);
    }

    void sostitutoGiaScomparso()
    {
        // Removed by another program after the list was built: nothing to
        // delete, no message, and nobody else's rows touched.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const int riga = prova.rigaDi(QStringLiteral("101"), ROSSI);
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = ?"), {ROSSI});
        const QString prima = archivio->istantanea();
        prova.clickLista(riga);
        prova.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!prova.modulo.DBANNO->inTransazione());
    }
};

QTEST_MAIN(TestCancella)
#include "tst_cancella.moc"
