// Values stored longer than their fields (written by another program of the
// suite) are shown and saved whole: the fields' maximum length limits typing,
// not what is loaded. Editing such a field deletes as usual and never makes
// it longer.
#include "schedaprova.h"

using namespace scheda;

class TestLunghi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }

    void caricatiESalvatiInteri()
    {
        const Sostituto lungo{"101", "BRNLCU80L59H501Q"};
        // ASOST_1 .. ASOST_10: every free-text field beyond its maximum length (30, 20, 1, 40, 40, 35).
        const QStringList valori = {"BRUNETTI DE' SANTIS DELLA ROVERE",                // 32
                                    "MARIA LUISA GIOVANNA ANTONIETTA",                 // 31
                                    "FF",                                              // 2
                                    "19800719",
                                    "SAN GIOVANNI IN PERSICETO CON FRAZIONE DECIMA",   // 45
                                    "BO",
                                    "CASTELNUOVO DI GARFAGNANA E PIEVE FOSCIANA ALTA", // 47
                                    "LU",
                                    "VIA DEL CAMPO SANTO DEI FRATI MINORI 120/B",      // 42
                                    "001"};
        const auto archivio = annoProva();
        archivio->aggiungiSostituto(lungo.codazi, lungo.cfs, QVariantList(valori.cbegin(), valori.cend()));
        FinestraProva prova;
        QVERIFY(apri(prova, lungo));
        for (const int n : {1, 2, 3, 5, 7, 9})
            QCOMPARE(campo(prova, n)->text(), valori[n - 1]);
        QStringList attesi = valori;
        // Entering the field puts the caret after its last character; a key typed there is refused, a
        // backspace deletes that character.
        entra(prova, 5);
        TextBox* comune = campo(prova, 5);
        QCOMPARE(comune->cursorPosition(), valori[4].size());
        digita(comune, "X");
        QCOMPARE(comune->text(), valori[4]);
        QTest::keyClick(comune, Qt::Key_Backspace);
        attesi[4].chop(1);
        // Typing over a selection may bring the text back to the length it had, not beyond.
        entra(prova, 9);
        campo(prova, 9)->setSelection(0, 3);
        digita(campo(prova, 9), "p.za");
        attesi[8] = "P.Z" + valori[8].mid(3);
        QCOMPARE(campo(prova, 9)->text(), attesi[8]);
        // Another field changed: the long ones untouched are stored as they were.
        riscrivi(prova, 8, "mi");
        attesi[7] = "MI";
        prova.click("cmdmemorizza");
        QCOMPARE(registrato(*archivio, lungo), attesi.join('|'));
    }
};

QTEST_MAIN(TestLunghi)
#include "tst_lunghi.moc"
