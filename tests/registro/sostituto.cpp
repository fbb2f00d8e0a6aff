// A substitute's date of birth in its stored forms; loading one, the moves in
// key order; the rows of the selection list in its three orders and of the
// lookup lists.
#include "registroprova.h"

#include "registry/carica.h"
#include "registry/elenchi.h"

using namespace registro;

class TestSostituto : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void init() { a = annoVuoto(); }
    void cleanup() { a.reset(); }

    void dataDiNascita()
    {
        // ASOST_4 read from the archive ("A:") or typed on the sheet: what it is, as the sheet shows it, as a save
        // stores it. Stored values that are no date are kept as they came, so that a save writes them back.
        // clang-format off
        const QStringList casi = {
            "A:19750815 giorno 15/08/1975 19750815", "A:00000000 nessuna 00/00/0000 00000000",
            "A: nonvalida // ",                      "A:19800231 nonvalida 31/02/1980 19800231",
            "A:1975081 nonvalida 1/08/1975 1975081", "29/02/1980 giorno 29/02/1980 19800229",
            "00/00/0000 nessuna 00/00/0000 00000000", "29/02/1981 nonvalida 29/02/1981 19810229",
            "15/08/19751 nonvalida 15/08/19751 19750815"};
        // clang-format on
        for (const QString& caso : casi) {
            const QString valore = caso.section(' ', 0, 0);
            const DataNascita d =
                valore.startsWith("A:") ? DataNascita::daArchivio(valore.mid(2)) : DataNascita::daTesto(valore);
            const QString tipo = d.valida() ? "giorno" : d.nessuna() ? "nessuna" : "nonvalida";
            QCOMPARE(valore + ' ' + tipo + ' ' + d.perScheda() + ' ' + d.perArchivio(), caso);
            QCOMPARE(DataNascita::daTesto(d.perScheda()).perScheda(), d.perScheda());
        }
        QCOMPARE(DataNascita::daArchivio(QVariant()).perArchivio(), ""); // Null: no date, stored as ""
    }

    // The order by name as an Italian reader expects it, the same on both
    // engines: accents with their letters, case left out, then accents and
    // case, Nulls (every surname never written first, whatever the first
    // names), blanks around, the key. The other two orders are the
    // engine's.
    void ordini()
    {
        // In the order by name, {codazi, cfs, ASOST_1, ASOST_2}; with no name, codes against the order, and
        // alike to the letter, by company code, then codice fiscale.
        const QVariant n;
        // clang-format off
        const QList<QVariantList> perNome = {
            {"204", "N4", n, n}, {"203", "N3", n, ""}, {"200", "N0", n, "ZENO"}, {"202", "N2", "", ""}, {"201", "N1", "   ", ""},
            {"205", "N5", "D'ANGELO", "ANNA"}, {"206", "N6", "DE LUCA", "ANNA"}, {"207", "N7", "DELUCA", "ANNA"},
            {"208", "N8", "ercoli", "anna"}, {"209", "N9", "ÈRCOLI", "LUCA"}, {"210", "N10", "ERCOLI", "MARIO"},
            {"211", "N11", " Èrcoli", "zeno"}, {"212", "N12", "NICCOLÒ", "PIERO"}, {"213", "N13", "NICCOLO", "ZENO"},
            {"214", "N14", "ROSSI", n}, {"215", "N15", "ROSSI", "ANNA"}, {"216", "N16", "rossi", "ANNA"},
            {"217", "N18", "ZAMBONI", "ANGELO"}, {"218", "N17", "ZAMBONI", "ANGELO"},
            {"219", "N19", "ZAMBONI", "ÀNGELO"}, {"219", "N20", "ZAMBONI", "ÀNGELO"}};
        // clang-format on
        QStringList attese[3]; // the company codes, the codici fiscali, both in the order by name
        for (auto it = perNome.crbegin(); it != perNome.crend(); ++it) { // written in reverse
            a->aggiungiSostituto((*it)[0].toString(), (*it)[1].toString(), it->mid(2));
            attese[0].prepend((*it)[0].toString());
            attese[1].prepend((*it)[1].toString());
            attese[2].prepend((*it)[0].toString() + '/' + (*it)[1].toString());
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
        QCOMPARE(elenco(*r.db, Ordine::Nominativo).at(11).cognome, " Èrcoli");
        QCOMPARE(elenco(*r.db, Ordine::Nominativo).at(0).nome, "");
    }

    // The archive file replaced under the open window (a backup restored):
    // neither lookup list is read from the file no longer at its path.
    void elenchiDaArchivioSostituito()
    {
        SOLO_FILE("the archive file itself");
        a->aggiungiFrontespizio("001", quartiere::DICHIARANTE, {}, {}, "ALFA SRL");
        RegistroProva r(*a);
        const QString altrove = a->cartella() + "/S7702004.BAK";
        QVERIFY(QFile::rename(a->percorsoAnno(), altrove));
        QVERIFY(QFile::copy(altrove, a->percorsoAnno()));
        ATTESO_ERRORE(elencoProvince(*r.tabelle.province), store::TipoErrore::ArchivioSpostato);
        ATTESO_ERRORE(elencoFrontespizi(*r.tabelle.frontespizi), store::TipoErrore::ArchivioSpostato);
    }

    void caricaESposta()
    {
        for (const QString s :
             {"120/VRDGPP70A01F205X/ROSSI", "007/12345678903/ROSSI", "015/B", "030/C", "044/A", "050/D"})
            a->aggiungiSostituto(s.section('/', 0, 0), s.section('/', 1, 1), {s.section('/', 2, 2)});
        RegistroProva r(*a);
        store::TableRecordset& t = *r.tabelle.sostituti;
        // The key in any form: 7 is 007, a partita IVA with or without its blanks.
        const auto c = carica(t, " 7", "12345678903     ");
        QVERIFY(c.has_value());
        QCOMPARE(c->sostituto.codazi + ' ' + c->sostituto.cognome + ' ' + c->sostituto.nascita.perScheda(),
                 "007 ROSSI //"); // never written
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
        const auto province = a->righe("SELECT codprov FROM TABMIN_PROV ORDER BY codprov");
        RegistroProva r(*a);
        QStringList fronte;
        for (const RigaFrontespizio& f : elencoFrontespizi(*r.tabelle.frontespizi))
            fronte << f.codazi + '|' + f.cfd + '|' + f.nominativo();
        QCOMPARE(fronte, QStringList({"001|01234567897|ALFA SRL", "002|RSSMRA80A01H501U|ROSSI MARIO"}));
        QStringList codici, attesi;
        for (const RigaProvincia& p : elencoProvince(*r.tabelle.province))
            codici << p.codice;
        for (const QVariantMap& p : province)
            attesi << p.first().toString();
        QCOMPARE(codici, attesi);
    }
};

PROVA(TestSostituto);
#include "sostituto.moc"
