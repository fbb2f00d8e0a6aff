// The operations that write several tables, on a return whose substitutes
// have the neighbours a widened condition would reach: the deletion (exactly
// the substitute's section rows, its company's recipients and its registry
// row), the change of codice fiscale (its checks in their order, then exactly
// the rows under its linked declarant and its registry row re-keyed), each in
// one transaction or not at all, and both waiting for another program's
// change under way on any table they write.
#include "registroprova.h"

#include "registry/cambiacf.h"
#include "registry/cancella.h"
#include "registry/carica.h"
#include "registry/memorizza.h"
#include "registry/testi.h"
#include "startup/msgbox_fn.h"

using namespace quartiere;
using C = registro::ControlloCambio::Tipo;
using E = registro::EsitoCambio::Tipo;
using T = registro::EsitoCancellazione::Tipo;

class TestScritture : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    QList<Riga> righe;

private slots:
    void init()
    {
        a = annoVuoto();
        righe = popola(*a);
    }
    void cleanup() { a.reset(); }

    // Deletion (false) and change of codice fiscale (true, under the linked company's front page cfd): exactly
    // the rows they must reach, or nothing when refused half-way (after four sections) or, for the change, when
    // the registry row goes as the last section is re-keyed. A key the registry does not hold deletes nothing.
    void scrittura_data()
    {
        QTest::addColumn<bool>("cambio");
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("cfd");
        QTest::addColumn<int>("tipo");
        // clang-format off
        QTest::newRow("deletion, neighbours") << false << "101" << ROSSI << "" << int(T::Cancellato);
        QTest::newRow("deletion, partita IVA") << false << "103" << PIVA << "" << int(T::Cancellato);
        QTest::newRow("deletion, apostrophe") << false << "104" << APOSTROFO << "" << int(T::Cancellato);
        QTest::newRow("deletion, no registry row") << false << "102" << VERDI << "" << int(T::NonTrovato);
        QTest::newRow("deletion, refused half-way") << false << "101" << ROSSI << "" << int(T::Rifiutato);
        QTest::newRow("change, neighbours") << true << "101" << ROSSI << DICHIARANTE << int(E::Eseguito);
        // Linked to 002: only the rows under ALTRODICHIARANTE, stored with and without blanks.
        QTest::newRow("change, partita IVA") << true << "103" << PIVA << ALTRODICHIARANTE << int(E::Eseguito);
        QTest::newRow("change, apostrophe") << true << "104" << APOSTROFO << DICHIARANTE << int(E::Eseguito);
        QTest::newRow("change, registry row gone inside") << true << "101" << ROSSI << DICHIARANTE << int(E::Sparito);
        QTest::newRow("change, refused half-way") << true << "101" << ROSSI << DICHIARANTE << int(E::Rifiutato);
        // clang-format on
    }
    void scrittura()
    {
        QFETCH(bool, cambio);
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QString, cfd);
        QFETCH(int, tipo);
        const bool fatta = tipo == (cambio ? int(E::Eseguito) : int(T::Cancellato));
        if (tipo == (cambio ? int(E::Rifiutato) : int(T::Rifiutato)))
            a->impedisci(cambio ? "UPDATE" : "DELETE", "QUADROLAUT");
        if (cambio && tipo == int(E::Sparito))
            a->alSeguito("UPDATE", "QUADROST", "DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        // The deletion: the substitute's rows in every section whatever their declarant, every recipient of its
        // company. The change: its rows under its linked declarant.
        Attese attese =
            cambio ? sulleRighe(
                         righe, SEZIONI, "UPDATE %1 SET CFS = '" + NUOVO + "'",
                         [&](const Riga& r) { return r.codazi == codazi && r.cfd == cfd && r.cfs.trimmed() == cfs; })
                   : sulleRighe(righe, SEZIONI + QStringList{"PERCETTORI"}, "DELETE FROM %1", [&](const Riga& r) {
                         return r.codazi == codazi && (r.tabella == "PERCETTORI" || r.cfs.trimmed() == cfs);
                     });
        if (cambio)
            attese.istruzioni.append(
                {"UPDATE ANAGSOSTITUTI SET CFS = ? WHERE CODAZI = ? AND CFS = ?", {NUOVO, codazi, cfs}});
        else
            attese.istruzioni.append({"DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {codazi, cfs}});
        const QString dopo = fatta ? a->istantaneaDopo(attese.istruzioni) : a->istantanea();

        RegistroProva r(*a);
        const QString chiave = store::CHIAVECF(cfs); // as the list shows it
        const auto coppia = [](const auto& e) { return std::pair{int(e.tipo), e.righe}; };
        const auto [esito, scritte] =
            cambio ? coppia(registro::cambiaCodiceFiscale(r.archivio(), codazi, chiave, cfd, NUOVO))
                   : coppia(registro::cancella(r.archivio(), codazi, chiave));

        QCOMPARE(esito, tipo);
        QCOMPARE(a->istantanea(), dopo);
        QCOMPARE(scritte, (fatta ? attese.righe << registro::RigheTabella{"ANAGSOSTITUTI", 1}
                                 : QList<registro::RigheTabella>()));
        QCOMPARE(r.aRiposo(), ARIPOSO);
    }

    // The checks before the final question: what each refuses, and nothing written.
    void controlliCambio_data()
    {
        QTest::addColumn<QStringList>("caso"); // company, code, new code, the box, the form check's question
        QTest::addColumn<int>("tipo");
        using namespace registro::testi;
        const auto riga = [](const char* nome, const QStringList& caso, C tipo) {
            QTest::newRow(nome) << caso << int(tipo);
        };
        riga("blank", {"101", ROSSI, "   ", "", ""}, C::Vuoto);
        // 101/ROSSI's linked company is stored as "1": the declarant of 001.
        riga("malformed, Yes", {"101", ROSSI, "12345678900", "", PIVAERRATA}, C::Accettato);
        // The front pages come first; a code in use is refused before its form is checked.
        riga("a substitute's and a declarant's", {"101", ROSSI, VERDI, CFFRONTESPIZIO, ""}, C::InUso);
        riga("another company's substitute", {"103", PIVA, ROSSI, CFSOSTITUTO, ""}, C::InUso);
        riga("registry row gone", {"106", ROSSI, NUOVO, SOSTITUTOSPARITO, ""}, C::Sparito);
        riga("no front page for the linked company", {"105", VERDI, NUOVO, NESSUNDICHIARANTE, ""}, C::SenzaDichiarante);
        riga("malformed, No", {"101", ROSSI, "12345678900", "", PIVAERRATA}, C::CodiceRifiutato);
    }
    void controlliCambio()
    {
        QFETCH(QStringList, caso);
        QFETCH(int, tipo);
        a->aggiungiFrontespizio("003", VERDI, {}, {}, "VERDI SRL"); // a substitute's code, a declarant's too
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        QStringList chieste;
        const auto esito = registro::controllaCambio(r.archivio(), caso[0], store::CHIAVECF(caso[1]), caso[2],
                                                     [&](const QString& testo, int) {
                                                         chieste << testo;
                                                         return tipo == int(C::Accettato) ? int(vbYes) : int(vbNo);
                                                     });
        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(esito.messaggio, caso[3]);
        QCOMPARE(chieste.join('|'), caso[4]);
        QCOMPARE(esito.cfd, tipo == int(C::Accettato) ? DICHIARANTE : QString());
        QCOMPARE(r.aRiposo(), ARIPOSO);
        QCOMPARE(a->istantanea(), prima);
    }

    // Another program's change under way, not committed yet, on another
    // substitute's rows of a table the operation writes: the operation waits
    // for it, then is refused as Occupato with nothing written.
    void scritturaAltrui_data()
    {
        QTest::addColumn<QString>("operazione");
        QTest::addColumn<QString>("tabella");
        for (const QString& t : SEZIONI + QStringList{"PERCETTORI", "ANAGSOSTITUTI"})
            QTest::newRow(qPrintable("deletion, " + t)) << "cancella" << t;
        for (const QString& t : SEZIONI + QStringList{"ANAGSOSTITUTI"})
            QTest::newRow(qPrintable("change of codice fiscale, " + t)) << "cambia" << t;
        QTest::newRow("save, ANAGSOSTITUTI") << "memorizza" << QString("ANAGSOSTITUTI");
    }
    void scritturaAltrui()
    {
        QFETCH(QString, operazione);
        QFETCH(QString, tabella);
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        const auto caricato = registro::carica(*r.tabelle.sostituti, "101", ROSSI); // before the other's change
        QVERIFY(caricato.has_value());
        // Company 105's rows: no operation on 101/ROSSI touches them.
        const auto altro = a->inCorso("UPDATE " + tabella + " SET CODAZI = CODAZI WHERE CODAZI = '105'");
        std::optional<store::ErroreArchivio> errore;
        if (operazione == "cancella")
            errore = registro::cancella(r.archivio(), "101", store::CHIAVECF(ROSSI)).errore;
        else if (operazione == "cambia")
            errore =
                registro::cambiaCodiceFiscale(r.archivio(), "101", store::CHIAVECF(ROSSI), DICHIARANTE, NUOVO).errore;
        else
            errore = registro::memorizza(r.archivio(), caricato->sostituto, caricato->istantanea).errore;
        QCOMPARE(int(errore ? errore->tipo() : store::TipoErrore(-1)), int(store::TipoErrore::Occupato));
        QCOMPARE(r.aRiposo(), ARIPOSO);
        QCOMPARE(a->istantanea(), prima);
    }
};

PROVA(TestScritture);
#include "scritture.moc"
