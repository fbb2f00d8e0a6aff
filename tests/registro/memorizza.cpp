// The data sheet's checks in their fixed order, and the save: the row
// written in its stored forms, never over what another workstation stored
// meanwhile, nothing written when the store refuses.
#include "registroprova.h"

#include "registry/carica.h"
#include "registry/controlli.h"
#include "registry/memorizza.h"
#include "registry/testi.h"

using namespace registro;
using T = EsitoMemorizza::Tipo;

namespace {

const QString AZI = "003", CF = "GLLNNA90A41H501W";
const QVariantList GIALLI{"GIALLI", "ANNA", "F", "19900101", "ROMA", "RM", "ROMA", "RM", "VIA APPIA 7", "001"};

// GIALLI's sheet, which passes every check, with changes "n:text" to Text1(n).
Sostituto scheda(const QStringList& cambi, const QString& codazi = AZI, const QString& cfs = CF)
{
    TestiScheda t = {"GIALLI", "ANNA", "F", "01/01/1990", "ROMA", "RM", "ROMA", "RM", "VIA APPIA 7", "001"};
    for (const QString& c : cambi)
        t[c.section(':', 0, 0).toInt() - 1] = c.section(':', 1);
    return daTestiScheda(codazi, cfs, t);
}

} // namespace

class TestMemorizza : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void init()
    {
        a = annoVuoto();
        a->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        a->aggiungiSostituto(AZI, CF, GIALLI);
    }
    void cleanup() { a.reset(); }

    // Each check failing in turn with a later one failing too (the first
    // wins), then sheets that pass; the sheet as the checks leave it (a
    // company's birth data neither checked nor kept, a linked company without
    // front page emptied).
    void controlli()
    {
        using namespace testi;
        const QString collegata = testiDi(scheda({"9:", "10:"}));
        // clang-format off
        const QList<std::tuple<QStringList, int, QString, QString>> casi = {
            {{"3: ", "4:00/00/0000"}, 3, INSERIRESESSO, ""}, {{"4:31/02/1980", "5:"}, 4, DATAERRATA, ""},
            {{"4:00/00/0000", "5:"}, 4, INSERIREDATA, ""}, {{"5:   ", "6:xx"}, 5, INSERIRECOMUNENASCITA, ""},
            {{"6:", "7:"}, 6, PROVINCIANASCITA, ""}, {{"7:", "8:ZZ"}, 7, INSERIRECOMUNE, ""},
            {{"8:ZZ", "10:099"}, 8, PROVINCIA, ""}, {{"10:099", "9:"}, 10, COLLEGATASENZAFRONTESPIZIO, collegata},
            {{"9:  "}, 9, INSERIREINDIRIZZO, ""},
            {{"2: ", "3:X", "4:31/02/1980", "6:xx", "7:"}, 7, INSERIRECOMUNE, "GIALLI| ||00/00/0000||||RM|VIA APPIA 7|001"},
            {{"10:1"}, 0, "", ""}, {{"2:", "5:BARI"}, 0, "", "GIALLI|||00/00/0000|||ROMA|RM|VIA APPIA 7|001"}};
        // clang-format on
        RegistroProva r(*a);
        for (const auto& [cambi, campo, messaggio, dopo] : casi) {
            Sostituto s = scheda(cambi);
            const QString cosa = cambi.join(' ') + ": ", prima = testiDi(s);
            const Rifiuto rifiuto = controllaScheda(r.archivio(), s);
            QCOMPARE(cosa + QString::number(rifiuto.campo) + ' ' + rifiuto.messaggio,
                     cosa + QString::number(campo) + ' ' + messaggio);
            QCOMPARE(rifiuto.stile, campo == 10 ? int(vbCritical) : int(vbInformation));
            QCOMPARE(cosa + testiDi(s), cosa + (dopo.isEmpty() ? prima : dopo));
            QCOMPARE(r.aRiposo(), ARIPOSO);
        }
    }

    // A sheet saved while another workstation does something to the same
    // substitute; a new substitute's first save, as the insertion frame hands
    // it over: a code with a blank, a partita IVA.
    void salvataggio_data()
    {
        QTest::addColumn<bool>("nuovo");
        QTest::addColumn<QString>("intanto"); // what happens between load and save
        QTest::addColumn<int>("tipo");
        QTest::newRow("existing") << false << "" << int(T::Memorizzato);
        QTest::newRow("new") << true << "" << int(T::Memorizzato);
        QTest::newRow("changed meanwhile")
            << false << "UPDATE ANAGSOSTITUTI SET ASOST_9 = 'ALTRA'" << int(T::Modificato);
        QTest::newRow("deleted meanwhile") << false << "DELETE FROM ANAGSOSTITUTI" << int(T::Cancellato);
        QTest::newRow("registered meanwhile")
            << true << "INSERT INTO ANAGSOSTITUTI (CODAZI, CFS) VALUES ('007', '12345678903')" << int(T::Registrato);
        QTest::newRow("refused by the store") << false << "" << int(T::Rifiutato);
    }
    void salvataggio()
    {
        QFETCH(bool, nuovo);
        QFETCH(QString, intanto);
        QFETCH(int, tipo);
        RegistroProva r(*a);
        const std::optional<Caricato> caricato = nuovo ? std::nullopt : carica(*r.tabelle.sostituti, AZI, CF);
        const Sostituto s = scheda({"9:VIA NUOVA 1", "10:1"}, nuovo ? " 7" : AZI, nuovo ? " 12345678903" : CF);
        QVariantList campi = GIALLI;
        campi[8] = "VIA NUOVA 1";
        const QString colonne = "ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, "
                                "ASOST_10",
                      valori = "?, ?, ?, ?, ?, ?, ?, ?, ?, ?";
        const QString scritta =
            a->istantaneaDopo(nuovo ? "INSERT INTO ANAGSOSTITUTI (" + colonne + ", CODAZI, CFS) VALUES (" + valori +
                                          ", '007', '12345678903')"
                                    : "UPDATE ANAGSOSTITUTI SET (" + colonne + ") = (" + valori + ")",
                              campi);
        if (!intanto.isEmpty())
            a->esegui(intanto);
        if (tipo == int(T::Rifiutato))
            a->impedisci("UPDATE", "ANAGSOSTITUTI");
        const QString prima = a->istantanea();
        const std::optional<Caricato> ora = carica(*r.tabelle.sostituti, nuovo ? "7" : AZI, nuovo ? "12345678903" : CF);

        const EsitoMemorizza esito =
            memorizza(r.archivio(), s, caricato ? std::optional(caricato->istantanea) : std::nullopt);

        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(a->istantanea(), tipo == int(T::Memorizzato) ? scritta : prima);
        QCOMPARE(r.aRiposo(), ARIPOSO);
        // What another workstation left is handed back; a save that expects it goes through.
        if (tipo == int(T::Memorizzato) || tipo == int(T::Rifiutato))
            return;
        QCOMPARE(esito.presente.has_value(), ora.has_value());
        if (ora)
            QCOMPARE(esito.presente->valori, ora->istantanea.valori);
        QCOMPARE(int(memorizza(r.archivio(), s, esito.presente).tipo), int(T::Memorizzato));
        QCOMPARE(carica(*r.tabelle.sostituti, s.codazi, s.cfs)->sostituto.indirizzo, "VIA NUOVA 1");
    }

    // Stored values the sheet's forms cannot carry come back unchanged from a
    // load and a save: a malformed date, texts with blanks; a Null reads as
    // an empty text, which is what is stored.
    void caricaEMemorizza()
    {
        a->esegui("UPDATE ANAGSOSTITUTI SET ASOST_1 = ' GIALLI ', ASOST_2 = NULL, ASOST_3 = 'f', ASOST_4 = '1975081', "
                  "ASOST_6 = 'rm', ASOST_9 = ''");
        const QString atteso = a->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_2 = ''");
        RegistroProva r(*a);
        const auto caricato = carica(*r.tabelle.sostituti, "3", CF + " ");
        QVERIFY(caricato.has_value());
        QCOMPARE(int(memorizza(r.archivio(), caricato->sostituto, caricato->istantanea).tipo), int(T::Memorizzato));
        QCOMPARE(a->istantanea(), atteso);
    }
};

PROVA(TestMemorizza);
#include "memorizza.moc"
