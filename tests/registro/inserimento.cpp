// The checks of a new substitute in their order: the form of its code (the
// operator's answer supplied), the mandatory fields, its codes against the
// front pages and the registry, its linked company. Nothing is written.
#include "registroprova.h"

#include "registry/inserimento.h"
#include "registry/testi.h"
#include "startup/msgbox_fn.h"

using namespace registro::testi;
using T = registro::EsitoInserimento::Tipo;
using C = registro::CampoNuovo;

class TestInserimento : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }

    void controlli_data()
    {
        QTest::addColumn<QStringList>("campi"); // company code, codice fiscale, surname, linked company
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("campo");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QString>("domanda"); // the form check's box
        QTest::addColumn<int>("risposta");
        const auto caso = [](const char* nome, const QStringList& campi, T tipo, C campo, const QString& messaggio = {},
                             const QString& domanda = {}, int risposta = vbNo) {
            QTest::newRow(nome) << campi << int(tipo) << int(campo) << messaggio << domanda << risposta;
        };
        const QString cf = "VRDGPP70A01F205V"; // formally correct, nobody's
        // Each row would fail a later check too: the first one that fails wins.
        caso("partita IVA wrong, Yes", {"1", "12345678900", "VERDI SRL", "2"}, T::Rifiutato, C::Azienda,
             AZIENDAFRONTESPIZIO, PIVAERRATA, vbYes);
        caso("partita IVA wrong, No", {"", "12345678900", "", ""}, T::CodiceRifiutato, C::CodiceFiscale, "",
             PIVAERRATA);
        caso("company code zero", {"000", "", "", ""}, T::Mancante, C::Azienda);
        caso("codice fiscale empty", {"7", " ", "", ""}, T::Mancante, C::CodiceFiscale);
        caso("surname blanks", {"1", cf, "   ", ""}, T::Mancante, C::Cognome);
        caso("linked company empty", {"1", cf, "VERDI", ""}, T::Mancante, C::Collegata);
        caso("a front page's pair", {"1", "01234567897", "ALFA", "9"}, T::Rifiutato, C::Nessuno, COPPIAFRONTESPIZIO);
        // 003 is both a front page's and a substitute's company: the front pages come first.
        caso("a front page's company", {"3", cf, "VERDI", "9"}, T::Rifiutato, C::Azienda, AZIENDAFRONTESPIZIO);
        // Eleven digits found in their 16-character key form.
        caso("a front page's partita IVA", {"101", "01234567897", "ALFA", "9"}, T::Rifiutato, C::CodiceFiscale,
             CFFRONTESPIZIO);
        caso("registered", {"101", "BNCLCU80A01H501Q", "BIANCHI", "9"}, T::Rifiutato, C::Nessuno, SOSTITUTOPRESENTE);
        caso("a substitute's company", {"101", "09876543217", "VERDI", "9"}, T::Rifiutato, C::Azienda,
             AZIENDASOSTITUTO);
        caso("a substitute's code", {"7", "09876543217", "DELTA", "9"}, T::Rifiutato, C::CodiceFiscale, CFSOSTITUTO);
        caso("linked company unknown", {"7", cf, "VERDI", "9"}, T::Rifiutato, C::Collegata, COLLEGATASENZAFRONTESPIZIO);
        caso("linked company a substitute", {"7", cf, "VERDI", "3"}, T::Rifiutato, C::Collegata, COLLEGATASOSTITUTO);
        caso("accepted", {" 7", cf + " ", "VERDI", " 1"}, T::Accettato, C::Nessuno);
    }
    void controlli()
    {
        QFETCH(QStringList, campi);
        QFETCH(int, tipo);
        QFETCH(int, campo);
        QFETCH(QString, messaggio);
        QFETCH(QString, domanda);
        QFETCH(int, risposta);
        const auto a = annoVuoto();
        a->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        a->aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", {}, "1");
        a->aggiungiFrontespizio("003", "02345678904", {}, {}, "GAMMA SPA");
        a->aggiungiSostituto("101", "BNCLCU80A01H501Q", {"BIANCHI", "LUCA"});
        a->aggiungiSostituto("003", "09876543217", {"DELTA SRL"}); // a declarant that is also a substitute
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        QStringList domande;
        const auto esito = registro::controllaInserimento(r.archivio(), {campi[0], campi[1], campi[2], "", campi[3]},
                                                          [&](const QString& testo, int) {
                                                              domande << testo;
                                                              return risposta;
                                                          });
        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(int(esito.campo), campo);
        QCOMPARE(esito.messaggio, messaggio);
        // After either linked-company refusal the code is emptied.
        QCOMPARE(esito.svuota, tipo == int(T::Rifiutato) && campo == int(C::Collegata));
        QCOMPARE(domande.join('|'), domanda);
        QCOMPARE(r.aRiposo(), ARIPOSO);
        QCOMPARE(a->istantanea(), prima);
    }
};

PROVA(TestInserimento);
#include "inserimento.moc"
