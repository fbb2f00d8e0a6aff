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

    void cancellazione_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<int>("tipo");
        QTest::newRow("neighbours in its company and with its code") << "101" << ROSSI << int(T::Cancellato);
        QTest::newRow("partita IVA stored with and without blanks") << "103" << PIVA << int(T::Cancellato);
        QTest::newRow("apostrophe") << "104" << APOSTROFO << int(T::Cancellato);
        // Section rows and recipients of a key the registry does not hold stay.
        QTest::newRow("no registry row") << "102" << VERDI << int(T::NonTrovato);
        QTest::newRow("refused half-way") << "101" << ROSSI << int(T::Rifiutato); // after four sections
    }
    void cancellazione()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(int, tipo);
        const bool fatta = tipo == int(T::Cancellato);
        if (tipo == int(T::Rifiutato))
            a->impedisci("DELETE", "QUADROLAUT");
        // The substitute's rows in every section whatever their declarant, and every recipient of its company.
        Attese attese = sulleRighe(righe, SEZIONI + QStringList{"PERCETTORI"}, "DELETE FROM %1", [&](const Riga& r) {
            return r.codazi == codazi && (r.tabella == "PERCETTORI" || r.cfs.trimmed() == cfs);
        });
        attese.istruzioni.append({"DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {codazi, cfs}});
        const QString dopo = fatta ? a->istantaneaDopo(attese.istruzioni) : a->istantanea();

        RegistroProva r(*a);
        const auto esito = registro::cancella(r.archivio(), codazi, store::CHIAVECF(cfs)); // as the list shows it

        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(a->istantanea(), dopo);
        QCOMPARE(comeTesto(esito.righe), fatta ? attese.righe << "ANAGSOSTITUTI 1" : QStringList());
        QCOMPARE(r.aRiposo(), ARIPOSO);
    }

    // The checks before the final question: what each refuses, and nothing written.
    void controlliCambio_data()
    {
        QTest::addColumn<QStringList>("caso"); // company, code, new code, the box, the form check's question
        QTest::addColumn<int>("tipo");
        QTest::newRow("blank") << QStringList{"101", ROSSI, "   ", "", ""} << int(C::Vuoto);
        // 101/ROSSI's linked company is stored as "1": the declarant of 001.
        QTest::newRow("malformed, Yes") << QStringList{"101", ROSSI, "12345678900", "", PIVAERRATA}
                                        << int(C::Accettato);
        // The front pages come first; a code in use is refused before its form is checked.
        QTest::newRow("a substitute's and a declarant's")
            << QStringList{"101", ROSSI, VERDI, registro::testi::CFFRONTESPIZIO, ""} << int(C::InUso);
        QTest::newRow("another company's substitute")
            << QStringList{"103", PIVA, ROSSI, registro::testi::CFSOSTITUTO, ""} << int(C::InUso);
        QTest::newRow("registry row gone")
            << QStringList{"106", ROSSI, NUOVO, registro::testi::SOSTITUTOSPARITO, ""} << int(C::Sparito);
        QTest::newRow("no front page for the linked company")
            << QStringList{"105", VERDI, NUOVO, registro::testi::NESSUNDICHIARANTE, ""} << int(C::SenzaDichiarante);
        QTest::newRow("malformed, No") << QStringList{"101", ROSSI, "12345678900", "", PIVAERRATA}
                                       << int(C::CodiceRifiutato);
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

    void cambio_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("cfd"); // of the linked company's front page
        QTest::addColumn<int>("tipo");
        QTest::newRow("neighbours") << "101" << ROSSI << DICHIARANTE << int(E::Eseguito);
        // Linked to 002: only the rows under ALTRODICHIARANTE, stored with and without blanks.
        QTest::newRow("partita IVA") << "103" << PIVA << ALTRODICHIARANTE << int(E::Eseguito);
        QTest::newRow("apostrophe") << "104" << APOSTROFO << DICHIARANTE << int(E::Eseguito);
        // The last section re-keyed, the registry row goes.
        QTest::newRow("registry row gone inside") << "101" << ROSSI << DICHIARANTE << int(E::Sparito);
        QTest::newRow("refused half-way") << "101" << ROSSI << DICHIARANTE << int(E::Rifiutato); // after four
    }
    void cambio()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QString, cfd);
        QFETCH(int, tipo);
        const bool eseguito = tipo == int(E::Eseguito);
        Attese attese = sulleRighe(righe, SEZIONI, "UPDATE %1 SET CFS = '" + NUOVO + "'", [&](const Riga& r) {
            return r.codazi == codazi && r.cfd == cfd && r.cfs.trimmed() == cfs;
        });
        attese.istruzioni.append(
            {"UPDATE ANAGSOSTITUTI SET CFS = ? WHERE CODAZI = ? AND CFS = ?", {NUOVO, codazi, cfs}});
        if (tipo == int(E::Sparito))
            a->alSeguito("UPDATE", "QUADROST", "DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        if (tipo == int(E::Rifiutato))
            a->impedisci("UPDATE", "QUADROLAUT");
        const QString dopo = eseguito ? a->istantaneaDopo(attese.istruzioni) : a->istantanea();

        RegistroProva r(*a);
        const auto esito = registro::cambiaCodiceFiscale(r.archivio(), codazi, store::CHIAVECF(cfs), cfd, NUOVO);

        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(a->istantanea(), dopo);
        QCOMPARE(comeTesto(esito.righe), eseguito ? attese.righe << "ANAGSOSTITUTI 1" : QStringList());
        QCOMPARE(r.aRiposo(), ARIPOSO);
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
        QTest::newRow("save, ANAGSOSTITUTI") << "memorizza"
                                             << "ANAGSOSTITUTI";
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
