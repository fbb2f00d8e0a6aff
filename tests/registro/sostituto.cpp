// A substitute and its stored forms; loading one, the moves in key order;
// the rows of the selection list in its three orders and of the lookup lists.
#include "registroprova.h"

#include "registry/carica.h"
#include "registry/elenchi.h"

using namespace registro;

class TestSostituto : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
    void init() { a = annoVuoto(); }
    void cleanup() { a.reset(); }

    void dataDiNascita()
    {
        // ASOST_4 read from the archive (true) or typed on the sheet: what it is, as the sheet shows it, as a
        // save stores it. Stored values that are no date are kept as they came, so that a save writes them back.
        const QList<std::tuple<bool, QVariant, QString, QString, QString>> casi = {
            {true, "19750815", "giorno", "15/08/1975", "19750815"},
            {true, "00000000", "nessuna", "00/00/0000", "00000000"},
            {true, "", "non valida", "//", ""},
            {true, QVariant(), "non valida", "//", ""},
            {true, "19800231", "non valida", "31/02/1980", "19800231"},
            {true, "1975081", "non valida", "1/08/1975", "1975081"},
            {false, "29/02/1980", "giorno", "29/02/1980", "19800229"},
            {false, "00/00/0000", "nessuna", "00/00/0000", "00000000"},
            {false, "29/02/1981", "non valida", "29/02/1981", "19810229"},
            {false, "15/08/19751", "non valida", "15/08/19751", "19750815"}};
        for (const auto& [archivio, valore, tipo, scheda, scritto] : casi) {
            const DataNascita d = archivio ? DataNascita::daArchivio(valore) : DataNascita::daTesto(valore.toString());
            const QString cosa = valore.toString() + ": ";
            QCOMPARE(cosa + (d.valida() ? "giorno" : d.nessuna() ? "nessuna" : "non valida"), cosa + tipo);
            QCOMPARE(cosa + d.perScheda(), cosa + scheda);
            QCOMPARE(cosa + d.perArchivio(), cosa + scritto);
            QCOMPARE(cosa + DataNascita::daTesto(d.perScheda()).perScheda(), cosa + scheda);
        }
    }

    // The order by name as an Italian reader expects it, the same on both
    // engines: accents with their letters, case left out, then accents and
    // case, Nulls, blanks around, the key. The other two orders are the
    // engine's, as the program's SQL texts always gave them.
    void ordini()
    {
        // In the order by name, {codazi, cfs, ASOST_1, ASOST_2}; with no name, codes against the order, and
        // alike to the letter, by company code, then codice fiscale.
        const QList<QVariantList> perNome = {{"204", "N4", QVariant(), QVariant()},
                                             {"203", "N3", QVariant(), ""},
                                             {"202", "N2", "", ""},
                                             {"201", "N1", "   ", ""},
                                             {"205", "N5", "D'ANGELO", "ANNA"},
                                             {"206", "N6", "DE LUCA", "ANNA"},
                                             {"207", "N7", "DELUCA", "ANNA"},
                                             {"208", "N8", "ercoli", "anna"},
                                             {"209", "N9", "ÈRCOLI", "LUCA"},
                                             {"210", "N10", "ERCOLI", "MARIO"},
                                             {"211", "N11", " Èrcoli", "zeno"},
                                             {"212", "N12", "NICCOLÒ", "PIERO"},
                                             {"213", "N13", "NICCOLO", "ZENO"},
                                             {"214", "N14", "ROSSI", QVariant()},
                                             {"215", "N15", "ROSSI", "ANNA"},
                                             {"216", "N16", "rossi", "ANNA"},
                                             {"217", "N18", "ZAMBONI", "ANGELO"},
                                             {"218", "N17", "ZAMBONI", "ANGELO"},
                                             {"219", "N19", "ZAMBONI", "ÀNGELO"},
                                             {"219", "N20", "ZAMBONI", "ÀNGELO"}};
        // Written in reverse, so that the order of writing does not give it either.
        for (auto it = perNome.crbegin(); it != perNome.crend(); ++it)
            a->aggiungiSostituto((*it)[0].toString(), (*it)[1].toString(), it->mid(2));
        QStringList attese[3]; // the company codes, the codici fiscali, both in the order by name
        for (const QVariantList& s : perNome) {
            attese[0] << s[0].toString();
            attese[1] << s[1].toString();
            attese[2] << s[0].toString() + '/' + s[1].toString();
        }
        std::sort(attese[0].begin(), attese[0].end());
        std::sort(attese[1].begin(), attese[1].end());
        RegistroProva r(*a);
        for (const Ordine o : {Ordine::CodiceAzienda, Ordine::CodiceFiscale, Ordine::Nominativo}) {
            QStringList righe;
            for (const RigaElenco& riga : elenco(*r.db, o))
                righe << (o == Ordine::CodiceAzienda   ? riga.codazi
                          : o == Ordine::CodiceFiscale ? riga.cfs
                                                       : riga.codazi + '/' + riga.cfs);
            QCOMPARE(righe, attese[int(o)]);
        }
        // The names handed on as stored: blanks, accents and case kept, Null as "".
        QCOMPARE(elenco(*r.db, Ordine::Nominativo).at(10).cognome, " Èrcoli");
        QCOMPARE(elenco(*r.db, Ordine::Nominativo).at(0).nome, "");
    }

    void caricaESposta()
    {
        for (const QVariantList& s : QList<QVariantList>{{"120", "VRDGPP70A01F205X", "ROSSI"},
                                                         {"007", "12345678903", "ROSSI", "MARIO"},
                                                         {"015", "B"},
                                                         {"030", "C"},
                                                         {"044", "A"},
                                                         {"050", "D"}})
            a->aggiungiSostituto(s[0].toString(), s[1].toString(), s.mid(2));
        RegistroProva r(*a);
        store::TableRecordset& t = *r.tabelle.sostituti;
        // The key in any form: 7 is 007, a partita IVA with or without its blanks.
        const auto c = carica(t, " 7", "12345678903     ");
        QVERIFY(c.has_value());
        QCOMPARE(c->sostituto.codazi, "007");
        QCOMPARE(c->sostituto.cognome, "ROSSI");
        QCOMPARE(c->sostituto.nascita.perScheda(), "//"); // never written
        QVERIFY(c->istantanea.valori.value(5).isNull());
        QVERIFY(!carica(t, "8", "12345678903").has_value());
        // Key order, not name order; at either end the same substitute again.
        QString codazi = "007", cfs = "12345678903", visti;
        carica(t, codazi, cfs); // the record set stands on the substitute shown
        for (bool avanti : {true, false}) {
            for (int i = 0; i < 6; ++i) {
                const Spostamento s = sposta(t, avanti, codazi, cfs);
                codazi = s.caricato->sostituto.codazi;
                cfs = s.caricato->sostituto.cfs;
                visti += codazi + (s.estremo ? "! " : " ");
            }
        }
        QCOMPARE(visti, "015 030 044 050 120 120! 050 044 030 015 007 007! ");
        // The substitute shown removed meanwhile: nothing to show.
        a->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '007'");
        QVERIFY(!sposta(t, false, codazi, cfs).caricato.has_value());
    }

    // Lookup rows in key order; a declarant by name when fr_14 is filled, else by company name.
    void elenchi()
    {
        a->aggiungiFrontespizio("002", "RSSMRA80A01H501U", " ROSSI ", "MARIO", "NON MOSTRATO", "1");
        a->aggiungiFrontespizio("001", "01234567897", "IGNORATO", {}, " ALFA SRL", "  ");
        RegistroProva r(*a);
        QStringList fronte;
        for (const RigaFrontespizio& f : elencoFrontespizi(*r.tabelle.frontespizi))
            fronte << f.codazi + '|' + f.cfd + '|' + f.nominativo();
        QCOMPARE(fronte, QStringList({"001|01234567897|ALFA SRL", "002|RSSMRA80A01H501U|ROSSI MARIO"}));
        const auto province = elencoProvince(*r.tabelle.province);
        QCOMPARE(qint64(province.size()), a->conta("SELECT COUNT(*) FROM TABMIN_PROV"));
        QCOMPARE(province.front().codice, a->righe("SELECT MIN(codprov) AS c FROM TABMIN_PROV").value(0).value("c"));
    }
};

PROVA(TestSostituto);
#include "sostituto.moc"
