// Values stored longer than their fields (written by another program of the
// suite) are shown and saved whole: the fields' maximum length limits typing,
// not what is loaded. Editing such a field deletes as usual and never makes
// it longer.
#include "schedaprova.h"

using namespace scheda;

namespace {

const Sostituto LUNGO{"101", "BRNLCU80L59H501Q"};
// ASOST_1 .. ASOST_10: every free-text field beyond its maximum length (30, 20, 1, 40, 40, 35).
const QStringList VALORI = {
    "BRUNETTI DE' SANTIS DELLA ROVERE",             // 32
    "MARIA LUISA GIOVANNA ANTONIETTA",              // 31
    "FF",                                           // 2
    "19800719",
    "SAN GIOVANNI IN PERSICETO CON FRAZIONE DECIMA", // 45
    "BO",
    "CASTELNUOVO DI GARFAGNANA E PIEVE FOSCIANA ALTA", // 47
    "LU",
    "VIA DEL CAMPO SANTO DEI FRATI MINORI 120/B", // 42
    "001"};

} // namespace

class TestLunghi : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

    // The stored ASOST_n after a save.
    QStringList salvati()
    {
        prova->click("cmdmemorizza");
        const QVariantMap riga = archivio->righe("SELECT * FROM ANAGSOSTITUTI WHERE CFS = ?", {LUNGO.cfs}).value(0);
        QStringList valori;
        for (int n = 1; n <= 10; ++n)
            valori << riga.value(QString("ASOST_%1").arg(n)).toString();
        return valori;
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = annoProva();
        archivio->aggiungiSostituto(LUNGO.codazi, LUNGO.cfs, QVariantList(VALORI.cbegin(), VALORI.cend()));
        prova = std::make_unique<FinestraProva>();
        QVERIFY(apri(*prova, LUNGO));
    }
    void cleanup()
    {
        prova.reset();
        archivio.reset();
    }

    void caricatiESalvatiInteri()
    {
        QStringList attesi = VALORI;
        for (const int n : {1, 2, 3, 5, 7, 9})
            QCOMPARE(campo(*prova, n)->text(), VALORI[n - 1]);
        // Another field changed: the long ones are stored as they were.
        riscrivi(*prova, 8, "mi");
        attesi[7] = "MI";
        QCOMPARE(salvati(), attesi);
    }

    void modificaDiUnCampoLungo()
    {
        QStringList attesi = VALORI;
        // Entering the field puts the caret after its last character; a key typed there is refused, a
        // backspace deletes that character.
        entra(*prova, 5);
        TextBox* comune = campo(*prova, 5);
        QCOMPARE(comune->cursorPosition(), VALORI[4].size());
        digita(comune, "X");
        QCOMPARE(comune->text(), VALORI[4]);
        QTest::keyClick(comune, Qt::Key_Backspace);
        attesi[4].chop(1);
        // Typing over a selection may bring the text back to the length it had, not beyond.
        entra(*prova, 9);
        TextBox* via = campo(*prova, 9);
        via->setSelection(0, 3);
        digita(via, "p.za");
        attesi[8] = "P.Z" + VALORI[8].mid(3);
        QCOMPARE(via->text(), attesi[8]);
        QCOMPARE(salvati(), attesi);
    }
};

QTEST_MAIN(TestLunghi)
#include "tst_lunghi.moc"
