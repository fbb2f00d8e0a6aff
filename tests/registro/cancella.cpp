// Deletion of a substitute: exactly its section rows, its company's
// recipients and its registry row, all in one transaction, or nothing.
#include "registroprova.h"

#include "registry/cancella.h"

using namespace quartiere;
using Tipo = registro::EsitoCancellazione::Tipo;

class TestCancella : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    QList<Riga> righe;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
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
        // The key as the selection list shows it: the code padded to 16.
        QTest::newRow("neighbours in its company and with its code") << "101" << ROSSI << int(Tipo::Cancellato);
        QTest::newRow("partita IVA stored with and without blanks") << "103" << PIVA << int(Tipo::Cancellato);
        QTest::newRow("apostrophe") << "104" << APOSTROFO << int(Tipo::Cancellato);
        // Section rows and recipients of a key the registry does not hold stay.
        QTest::newRow("no registry row") << "102" << VERDI << int(Tipo::NonTrovato);
        QTest::newRow("refused half-way") << "101" << ROSSI << int(Tipo::Rifiutato);
    }
    void cancellazione()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(int, tipo);
        const bool fatta = tipo == int(Tipo::Cancellato);
        if (tipo == int(Tipo::Rifiutato)) // after four sections have gone
            a->impedisci("DELETE", "QUADROLAUT");
        // The substitute's rows in every section whatever their declarant, and every recipient of its company.
        const Attese attese =
            sulleRighe(righe, SEZIONI + QStringList{"PERCETTORI"}, "DELETE FROM %1", [&](const Riga& r) {
                return r.codazi == codazi && (r.tabella == "PERCETTORI" || r.cfs.trimmed() == cfs);
            });
        auto istruzioni = attese.istruzioni;
        istruzioni.append({"DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {codazi, cfs}});
        const QString dopo = fatta ? a->istantaneaDopo(istruzioni) : a->istantanea();

        RegistroProva r(*a);
        const auto esito = registro::cancella(r.archivio(), codazi, store::CHIAVECF(cfs));

        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(a->istantanea(), dopo);
        QCOMPARE(comeTesto(esito.righe), fatta ? QStringList(attese.righe) << "ANAGSOSTITUTI 1" : QStringList());
        QCOMPARE(esito.errore.has_value(), tipo == int(Tipo::Rifiutato));
        QCOMPARE(r.aRiposo(), ARIPOSO);
    }
};

PROVA(TestCancella);
#include "cancella.moc"
