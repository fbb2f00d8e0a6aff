// Change of codice fiscale: the checks of the new code in their order, then
// exactly the substitute's rows under its linked declarant and its registry
// row re-keyed in one transaction, or nothing.
#include "registroprova.h"

#include "registry/cambiacf.h"
#include "registry/testi.h"
#include "startup/msgbox_fn.h"

using namespace quartiere;
using C = registro::ControlloCambio::Tipo;
using E = registro::EsitoCambio::Tipo;

namespace {

struct Caso {
    QString codazi, cfs, nuovo;
    C tipo;
    QString messaggio, domanda; // the form check's box, answered Yes only when the code is accepted
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestCambiaCf : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    QList<Riga> righe;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        a = annoVuoto();
        righe = popola(*a);
        a->aggiungiFrontespizio("003", VERDI, {}, {}, "VERDI SRL"); // a substitute's code, a declarant's too
    }
    void cleanup() { a.reset(); }

    // The checks before the final question: what each refuses, and nothing written.
    void controlli_data()
    {
        QTest::addColumn<Caso>("c");
        QTest::newRow("blank") << Caso{"101", ROSSI, "   ", C::Vuoto, "", ""};
        // 101/ROSSI's linked company is stored as "1": the declarant of 001.
        QTest::newRow("malformed, Yes") << Caso{"101", ROSSI, "12345678900", C::Accettato, "", PIVAERRATA};
        // The front pages come first; a code in use is refused before its form is checked.
        QTest::newRow("a substitute's and a declarant's")
            << Caso{"101", ROSSI, VERDI, C::InUso, registro::testi::CFFRONTESPIZIO, ""};
        QTest::newRow("another company's substitute")
            << Caso{"103", PIVA, ROSSI, C::InUso, registro::testi::CFSOSTITUTO, ""};
        QTest::newRow("registry row gone")
            << Caso{"106", ROSSI, NUOVO, C::Sparito, registro::testi::SOSTITUTOSPARITO, ""};
        QTest::newRow("no front page for the linked company")
            << Caso{"105", VERDI, NUOVO, C::SenzaDichiarante, registro::testi::NESSUNDICHIARANTE, ""};
        QTest::newRow("malformed, No") << Caso{"101", ROSSI, "12345678900", C::CodiceRifiutato, "", PIVAERRATA};
    }
    void controlli()
    {
        QFETCH(Caso, c);
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        QStringList chieste;
        const auto esito = registro::controllaCambio(r.archivio(), c.codazi, store::CHIAVECF(c.cfs), c.nuovo,
                                                     [&](const QString& testo, int) {
                                                         chieste << testo;
                                                         return c.tipo == C::Accettato ? int(vbYes) : int(vbNo);
                                                     });
        QCOMPARE(int(esito.tipo), int(c.tipo));
        QCOMPARE(esito.messaggio, c.messaggio);
        QCOMPARE(chieste.join('|'), c.domanda);
        QCOMPARE(esito.cfd, c.tipo == C::Accettato ? DICHIARANTE : QString());
        QCOMPARE(r.aRiposo(), ARIPOSO);
        QCOMPARE(a->istantanea(), prima);
    }

    void cambio_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("cfd"); // of the linked company's front page
        QTest::addColumn<int>("tipo");
        // Linked company stored as "1"; neighbours in its company and with its code.
        QTest::newRow("neighbours") << "101" << ROSSI << DICHIARANTE << int(E::Eseguito);
        // Linked to 002: only the rows under ALTRODICHIARANTE, stored with and without blanks.
        QTest::newRow("partita IVA") << "103" << PIVA << ALTRODICHIARANTE << int(E::Eseguito);
        QTest::newRow("apostrophe") << "104" << APOSTROFO << DICHIARANTE << int(E::Eseguito);
        // The last section re-keyed, the registry row goes.
        QTest::newRow("registry row gone inside") << "101" << ROSSI << DICHIARANTE << int(E::Sparito);
        // After four sections.
        QTest::newRow("refused half-way") << "101" << ROSSI << DICHIARANTE << int(E::Rifiutato);
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
        QCOMPARE(esito.errore.has_value(), !eseguito);
        QCOMPARE(r.aRiposo(), ARIPOSO);
    }
};

PROVA(TestCambiaCf);
#include "cambiacf.moc"
