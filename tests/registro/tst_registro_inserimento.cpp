// The checks of a new substitute in their order: the form of its code (the
// operator's answer supplied), the mandatory fields, its codes against the
// front pages and the registry, its linked company. Nothing is written.
#include "registroprova.h"

#include "registry/inserimento.h"
#include "registry/testi.h"
#include "startup/msgbox_fn.h"

using namespace registro;
using T = EsitoInserimento::Tipo;
using C = CampoNuovo;

namespace {

const QString CF = "VRDGPP70A01F205V"; // formally correct, nobody's
const QString PIVAERRATA = "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";

struct Caso {
    QStringList campi; // company code, codice fiscale, surname, linked company
    int risposta;      // to the form check's question
    T tipo;
    C campo;
    QString messaggio;
    QStringList domande; // the form check's boxes
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestRegistroInserimento : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }

    void controlli_data()
    {
        QTest::addColumn<Caso>("c");
        const QString fr = "nel frontespizio";
        // Each row would fail a later check too: the first one that fails wins.
        QTest::newRow("codice fiscale short") << Caso{{"", "VRDGPP70A01", "", ""}, vbNo, T::CodiceRifiutato,
                                                      C::CodiceFiscale, "", {"Lunghezza codice fiscale errata"}};
        QTest::newRow("partita IVA wrong, No") << Caso{{"", "12345678900", "", ""}, vbNo, T::CodiceRifiutato,
                                                       C::CodiceFiscale, "", {PIVAERRATA}};
        QTest::newRow("partita IVA wrong, Yes") << Caso{{"1", "12345678900", "VERDI SRL", "2"}, vbYes, T::Rifiutato,
                                                        C::Azienda, testi::AZIENDAFRONTESPIZIO, {PIVAERRATA}};
        QTest::newRow("company code zero") << Caso{{"000", "", "", ""}, vbNo, T::Mancante, C::Azienda, "", {}};
        QTest::newRow("company code not a number") << Caso{{"A", CF, "X", "1"}, vbNo, T::Mancante, C::Azienda, "", {}};
        QTest::newRow("codice fiscale empty") << Caso{{"7", " ", "", ""}, vbNo, T::Mancante, C::CodiceFiscale, "", {}};
        QTest::newRow("surname blanks") << Caso{{"1", CF, "   ", ""}, vbNo, T::Mancante, C::Cognome, "", {}};
        QTest::newRow("linked company empty") << Caso{{"1", CF, "VERDI", ""}, vbNo, T::Mancante, C::Collegata, "", {}};
        QTest::newRow("a front page's pair") << Caso{{"1", "01234567897", "ALFA", "9"}, vbNo, T::Rifiutato,
                                                     C::Nessuno, testi::COPPIAFRONTESPIZIO, {}};
        // 003 is both: the front pages come first.
        QTest::newRow("a front page's and a substitute's company") << Caso{{"3", CF, "VERDI", "9"}, vbNo,
                                                                           T::Rifiutato, C::Azienda,
                                                                           testi::AZIENDAFRONTESPIZIO, {}};
        QTest::newRow("a front page's company") << Caso{{"1", "RSSMRA80A01H501U", "VERDI", "9"}, vbNo, T::Rifiutato,
                                                        C::Azienda, testi::AZIENDAFRONTESPIZIO, {}};
        // Eleven digits found in their 16-character key form.
        QTest::newRow("a front page's partita IVA") << Caso{{"101", "01234567897", "ALFA", "9"}, vbNo, T::Rifiutato,
                                                            C::CodiceFiscale, testi::CFFRONTESPIZIO, {}};
        QTest::newRow("registered") << Caso{{"101", "BNCLCU80A01H501Q", "BIANCHI", "9"}, vbNo, T::Rifiutato, C::Nessuno,
                                            testi::SOSTITUTOPRESENTE, {}};
        QTest::newRow("a substitute's company") << Caso{{"101", "09876543217", "VERDI", "9"}, vbNo, T::Rifiutato,
                                                        C::Azienda, testi::AZIENDASOSTITUTO, {}};
        QTest::newRow("a substitute's code") << Caso{{"7", "09876543217", "DELTA", "9"}, vbNo, T::Rifiutato,
                                                     C::CodiceFiscale, testi::CFSOSTITUTO, {}};
        QTest::newRow("linked company unknown") << Caso{{"7", CF, "VERDI", "9"}, vbNo, T::Rifiutato, C::Collegata,
                                                        testi::COLLEGATASENZAFRONTESPIZIO, {}};
        QTest::newRow("linked company a substitute") << Caso{{"7", CF, "VERDI", "3"}, vbNo, T::Rifiutato, C::Collegata,
                                                             testi::COLLEGATASOSTITUTO, {}};
        QTest::newRow("accepted") << Caso{{" 7", CF + " ", "VERDI", " 1"}, vbNo, T::Accettato, C::Nessuno, "", {}};
    }
    void controlli()
    {
        QFETCH(Caso, c);
        const auto a = annoVuoto();
        a->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        a->aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", {}, "1");
        a->aggiungiFrontespizio("003", "02345678904", {}, {}, "GAMMA SPA");
        a->aggiungiSostituto("101", "BNCLCU80A01H501Q", {"BIANCHI", "LUCA"});
        a->aggiungiSostituto("003", "09876543217", {"DELTA SRL"}); // a declarant that is also a substitute
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        QStringList domande;
        const auto esito = controllaInserimento(r.archivio(), {c.campi[0], c.campi[1], c.campi[2], "", c.campi[3]},
                                                [&](const QString& testo, int) {
                                                    domande << testo;
                                                    return c.risposta;
                                                });
        QCOMPARE(int(esito.tipo), int(c.tipo));
        QCOMPARE(int(esito.campo), int(c.campo));
        QCOMPARE(esito.messaggio, c.messaggio);
        // After either linked-company refusal the code is emptied.
        QCOMPARE(esito.svuota, c.tipo == T::Rifiutato && c.campo == C::Collegata);
        QCOMPARE(domande, c.domande);
        QCOMPARE(r.indici(), "CHIAVE CHIAVE CHIAVE");
        QCOMPARE(a->istantanea(), prima);
    }
};

QTEST_GUILESS_MAIN(TestRegistroInserimento)
#include "tst_registro_inserimento.moc"
