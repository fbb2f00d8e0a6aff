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

    // Company code, codice fiscale, surname, linked company; the outcome, the field at fault, the message, the
    // form check's question (answered No, the first row Yes). Each row would fail a later check too: the first
    // one that fails wins. 003 is both a front page's and a substitute's company; eleven digits are found in
    // their 16-character key form; after either linked-company refusal the code is emptied.
    void controlli()
    {
        const auto a = annoVuoto();
        a->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        a->aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", {}, "1");
        a->aggiungiFrontespizio("003", "02345678904", {}, {}, "GAMMA SPA");
        a->aggiungiSostituto("101", "BNCLCU80A01H501Q", {"BIANCHI", "LUCA"});
        a->aggiungiSostituto("003", "09876543217", {"DELTA SRL"}); // a declarant that is also a substitute
        const QString prima = a->istantanea();
        const QString cf = "VRDGPP70A01F205V"; // formally correct, nobody's
        // clang-format off
        const QList<std::tuple<QStringList, T, C, QString, QString>> casi = {
            {{"1", "12345678900", "VERDI SRL", "2"}, T::Rifiutato, C::Azienda, AZIENDAFRONTESPIZIO, PIVAERRATA},
            {{"", "12345678900", "", ""}, T::CodiceRifiutato, C::CodiceFiscale, "", PIVAERRATA},
            {{"000", "", "", ""}, T::Mancante, C::Azienda, "", ""},
            {{"7", " ", "", ""}, T::Mancante, C::CodiceFiscale, "", ""},
            {{"1", cf, "   ", ""}, T::Mancante, C::Cognome, "", ""},
            {{"1", cf, "VERDI", ""}, T::Mancante, C::Collegata, "", ""},
            {{"1", "01234567897", "ALFA", "9"}, T::Rifiutato, C::Nessuno, COPPIAFRONTESPIZIO, ""},
            {{"3", cf, "VERDI", "9"}, T::Rifiutato, C::Azienda, AZIENDAFRONTESPIZIO, ""},
            {{"101", "01234567897", "ALFA", "9"}, T::Rifiutato, C::CodiceFiscale, CFFRONTESPIZIO, ""},
            {{"101", "BNCLCU80A01H501Q", "BIANCHI", "9"}, T::Rifiutato, C::Nessuno, SOSTITUTOPRESENTE, ""},
            {{"101", "09876543217", "VERDI", "9"}, T::Rifiutato, C::Azienda, AZIENDASOSTITUTO, ""},
            {{"7", "09876543217", "DELTA", "9"}, T::Rifiutato, C::CodiceFiscale, CFSOSTITUTO, ""},
            {{"7", cf, "VERDI", "9"}, T::Rifiutato, C::Collegata, COLLEGATASENZAFRONTESPIZIO, ""},
            {{"7", cf, "VERDI", "3"}, T::Rifiutato, C::Collegata, COLLEGATASOSTITUTO, ""},
            {{" 7", cf + " ", "VERDI", " 1"}, T::Accettato, C::Nessuno, "", ""}};
        // clang-format on
        RegistroProva r(*a);
        for (const auto& [campi, tipo, campo, messaggio, domanda] : casi) {
            QStringList domande;
            const auto esito = registro::controllaInserimento(
                r.archivio(), {campi[0], campi[1], campi[2], "", campi[3]}, [&](const QString& testo, int) {
                    domande << testo;
                    return campi[2] == "VERDI SRL" ? vbYes : vbNo;
                });
            const QString cosa = campi.join('/') + ": ";
            QCOMPARE(cosa + QString("%1 %2 ").arg(int(esito.tipo)).arg(int(esito.campo)) + esito.messaggio,
                     cosa + QString("%1 %2 ").arg(int(tipo)).arg(int(campo)) + messaggio);
            QCOMPARE(cosa + domande.join('|'), cosa + domanda);
            QCOMPARE(esito.svuota, tipo == T::Rifiutato && campo == C::Collegata);
            QCOMPARE(r.aRiposo(), ARIPOSO);
        }
        QCOMPARE(a->istantanea(), prima);
    }
};

PROVA(TestInserimento);
#include "inserimento.moc"
