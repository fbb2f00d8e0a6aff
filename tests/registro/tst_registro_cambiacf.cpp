// Change of codice fiscale: the checks of the new code in their order, then
// exactly the substitute's rows under its linked declarant and its registry
// row re-keyed in one transaction, or nothing.
#include "registroprova.h"

#include "registry/cambiacf.h"
#include "registry/testi.h"
#include "startup/msgbox_fn.h"

using namespace quartiere;

namespace {

const QString NUOVO = "AAAAAA00A00A000I"; // formally correct, nobody's yet
const QString PIVAERRATA = "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";

// The declarant's codice fiscale of each linked company.
QString dichiarante(const QString& collegata)
{
    const QString codice = store::CHIAVEAZI(collegata);
    return codice == "001" ? DICHIARANTE : codice == "002" ? ALTRODICHIARANTE : QString();
}

} // namespace

class TestRegistroCambiaCf : public QObject {
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

    // The checks before the final question: what each refuses, the boxes
    // of the code's form check (answered No, then Yes), and nothing written.
    void controlli_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("nuovo");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QStringList>("domande");
        using T = registro::ControlloCambio::Tipo;
        QTest::newRow("blank") << "101" << ROSSI << "   " << int(T::Vuoto) << "" << QStringList();
        QTest::newRow("malformed, Yes") << "101" << ROSSI << "12345678900" << int(T::Accettato) << ""
                                        << QStringList{PIVAERRATA};
        // The front pages come first; a code in use is refused before its form is checked.
        QTest::newRow("a substitute's and a declarant's") << "101" << ROSSI << VERDI << int(T::InUso)
                                                          << registro::testi::CFFRONTESPIZIO << QStringList();
        QTest::newRow("another company's substitute") << "103" << PIVA << ROSSI << int(T::InUso)
                                                       << registro::testi::CFSOSTITUTO << QStringList();
        QTest::newRow("registry row gone") << "106" << ROSSI << NUOVO << int(T::Sparito)
                                           << registro::testi::SOSTITUTOSPARITO << QStringList();
        QTest::newRow("no front page for the linked company") << "105" << VERDI << NUOVO << int(T::SenzaDichiarante)
                                                              << registro::testi::NESSUNDICHIARANTE << QStringList();
        QTest::newRow("malformed, No") << "101" << ROSSI << "12345678900" << int(T::CodiceRifiutato) << ""
                                       << QStringList{PIVAERRATA};
        QTest::newRow("length") << "101" << ROSSI << "1234567890" << int(T::CodiceRifiutato) << ""
                                << QStringList{"Lunghezza partita IVA errata"};
    }
    void controlli()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QString, nuovo);
        QFETCH(int, tipo);
        QFETCH(QString, messaggio);
        QFETCH(QStringList, domande);
        const QString prima = a->istantanea();
        RegistroProva r(*a);
        QStringList chieste;
        const auto esito = registro::controllaCambio(r.archivio(), codazi, store::CHIAVECF(cfs), nuovo,
                                                     [&](const QString& testo, int) {
                                                         chieste << testo;
                                                         return tipo == int(registro::ControlloCambio::Tipo::Accettato)
                                                             ? int(vbYes) : int(vbNo);
                                                     });
        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(esito.messaggio, messaggio);
        QCOMPARE(chieste, domande);
        QCOMPARE(esito.cfd, esito.accettato() ? DICHIARANTE : QString());
        QCOMPARE(r.indici(), "CHIAVE CHIAVE CHIAVE");
        QCOMPARE(a->istantanea(), prima);
    }

    void cambio_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("guasto"); // what goes wrong inside the transaction
        // Its linked company stored as "1": the declarant of 001.
        QTest::newRow("neighbours in its company and with its code") << "101" << ROSSI << "";
        // Linked to 002: only the rows under ALTRODICHIARANTE, stored with and without blanks.
        QTest::newRow("partita IVA, another declarant") << "103" << PIVA << "";
        QTest::newRow("apostrophe") << "104" << APOSTROFO << "";
        QTest::newRow("registry row gone inside the transaction") << "101" << ROSSI << "sparito";
        QTest::newRow("refused half-way") << "101" << ROSSI << "rifiuto";
    }
    void cambio()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QString, guasto);
        QString collegata;
        for (const auto& s : SOSTITUTI)
            if (s.codazi == codazi && s.cfs == cfs)
                collegata = s.collegata;
        const QString cfd = dichiarante(collegata);
        const Attese attese = sulleRighe(righe, SEZIONI, "UPDATE %1 SET CFS = '" + NUOVO + "'", [&](const Riga& r) {
            return r.codazi == codazi && r.cfd == cfd && r.cfs.trimmed() == cfs;
        });
        auto istruzioni = attese.istruzioni;
        istruzioni.append({"UPDATE ANAGSOSTITUTI SET CFS = ? WHERE CODAZI = ? AND CFS = ?", {NUOVO, codazi, cfs}});
        if (guasto == "sparito") // the last section re-keyed, the registry row goes
            a->alSeguito("UPDATE", "QUADROST", "DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        else if (guasto == "rifiuto") // after four sections
            a->impedisci("UPDATE", "QUADROLAUT");
        const QString dopo = guasto.isEmpty() ? a->istantaneaDopo(istruzioni) : a->istantanea();
        const QStringList conteggi = comeTesto(attese.righe) << "ANAGSOSTITUTI 1";

        RegistroProva r(*a);
        const auto esito = registro::cambiaCodiceFiscale(r.archivio(), codazi, store::CHIAVECF(cfs), cfd, NUOVO);

        using T = registro::EsitoCambio::Tipo;
        QCOMPARE(int(esito.tipo), int(guasto.isEmpty() ? T::Eseguito : guasto == "sparito" ? T::Sparito : T::Rifiutato));
        QCOMPARE(a->istantanea(), dopo);
        QCOMPARE(comeTesto(esito.righe), guasto.isEmpty() ? conteggi : QStringList());
        QCOMPARE(int(esito.errore ? esito.errore->tipo() : store::TipoErrore(-1)),
                 int(guasto.isEmpty() ? store::TipoErrore(-1)
                                      : guasto == "sparito" ? store::TipoErrore::Conflitto : store::TipoErrore::Altro));
        QVERIFY(!r.db->inTransazione());
    }
};

QTEST_GUILESS_MAIN(TestRegistroCambiaCf)
#include "tst_registro_cambiacf.moc"
