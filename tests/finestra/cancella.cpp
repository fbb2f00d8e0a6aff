// Deletion from the window: the line picked, the two confirmations, the list
// rebuilt without the substitute, a substitute gone meanwhile. Which rows go
// is the core's (tst_registro); a refusal of the store, the faults' table's
// (rifiuti.cpp); the real box, its icon and buttons, tst_aspetto's.
#include "support/finestraprova.h"
#include "support/programma.h"

#include "registry/testi.h"

namespace {

const Chiave ROSSI{"101", "RSSMRA80A01H501U"}, ALTRAAZIENDA{"102", "RSSMRA80A01H501U"};

QString box(int stile, const QString& testo)
{
    return QString::number(stile) + ':' + testo;
}

} // namespace

class TestCancella : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }

    // The questions answered Yes up to the first No; the box after two Yes.
    void cancellazione_data()
    {
        QTest::addColumn<int>("si");
        QTest::addColumn<bool>("sparito"); // removed by another workstation after the list was read
        QTest::addColumn<QString>("esito");
        QTest::newRow("No") << 0 << false << "";
        QTest::newRow("Yes, No") << 1 << false << "";
        QTest::newRow("deleted") << 2 << false << box(vbInformation, "Cancellazione effettuata");
        QTest::newRow("gone meanwhile") << 2 << true << box(vbCritical, registro::testi::SOSTITUTONONPRESENTE);
    }
    void cancellazione()
    {
        QFETCH(int, si);
        QFETCH(bool, sparito);
        QFETCH(QString, esito);
        BancoProva p;
        p.sostituto(ROSSI);
        p.sostituto(ALTRAAZIENDA);
        p.archivio.aggiungiRigaQuadro("QUADROLAUT", "101", "01234567897", ROSSI.cfs);
        QVERIFY(p.avvia());
        const int riga = p.rigaDi(ROSSI);
        const QString testo = p.righeLista().value(riga);
        QStringList attesi{
            box(vbYesNo + vbCritical, testo.trimmed() +
                                          "\r\rVuoi cancellare il sostituto selezionato ?"
                                          "\r\rRispondendo affermativamente si cancelleranno tutti\ri quadri: lavoro "
                                          "dipendente, lavoro autonomo, quadro ST ,\re anagrafiche percettori lavoro "
                                          "dipendente\r"),
            box(vbYesNo + vbCritical, "Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???")};
        attesi = attesi.mid(0, si + 1);
        if (!esito.isEmpty())
            attesi << esito;
        const bool via = si == 2; // the line goes, with the list rebuilt
        p.clickLista(riga);
        p.modulo.VARIAZIONI = 1;
        if (sparito)
            p.archivio.esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        MessageBox::setNextAnswer(si > 0 ? vbYes : vbNo);
        MessageBox::setNextAnswer(si > 1 ? vbYes : vbNo);
        p.click("Cmdcancella");

        QCOMPARE(p.box(), attesi);
        QCOMPARE(p.rigaDi(ROSSI) > 0, !via);
        QCOMPARE(p.rigaDi(ALTRAAZIENDA) > 0, true);
        QCOMPARE(p.scelta(), via ? QString() : testo);
        QCOMPARE(p.modulo.VARIAZIONI, via ? 1 : 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    void nienteScelto()
    {
        BancoProva p;
        p.sostituto(ROSSI);
        QVERIFY(p.avvia());
        p.click("Cmdcancella");
        QCOMPARE(p.box(), QStringList{box(vbInformation, "Nessun sostituto selezionato per la cancellazione")});
    }
};

PROVA(TestCancella);
#include "cancella.moc"
