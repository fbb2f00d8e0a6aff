// A substitute and its stored forms; loading one, the moves in key order;
// the rows of the selection list in its three orders and of the lookup lists.
#include "registroprova.h"

#include "registry/carica.h"
#include "registry/elenchi.h"

using namespace registro;

class TestRegistroSostituto : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        a = annoVuoto();
        // Out of every order: two ROSSI in reverse order of first name; 015
        // has empty names, 030 Null ones.
        const QList<QVariantList> sostituti = {
            {"120", "VRDGPP70A01F205X", "ROSSI", "PAOLO", "M", "19700101"}, {"007", "12345678903", "ROSSI", "MARIO"},
            {"015", "BNCLCU80A01H501Z", "", ""}, {"030", "02345678906", QVariant(), QVariant()},
            {"044", "ALTGNN60B02L219K", "ABCD", "EFGH"}, {"050", "03456789014", "  BETA SPA ", ""}};
        for (const QVariantList& s : sostituti)
            a->aggiungiSostituto(s[0].toString(), s[1].toString(), s.mid(2));
    }
    void cleanup() { a.reset(); }

    // ASOST_4 read from the archive or typed on the sheet, and written back.
    void dataDiNascita_data()
    {
        QTest::addColumn<bool>("archivio"); // else typed
        QTest::addColumn<QVariant>("valore");
        QTest::addColumn<QString>("tipo");   // "giorno", "nessuna", "non valida"
        QTest::addColumn<QString>("scheda"); // as the sheet shows it
        QTest::addColumn<QString>("scritto"); // as a save stores it
        QTest::newRow("stored day") << true << QVariant("19750815") << "giorno" << "15/08/1975" << "19750815";
        QTest::newRow("eight zeros") << true << QVariant("00000000") << "nessuna" << "00/00/0000" << "00000000";
        // Kept as they came, so that a save writes them back unchanged.
        QTest::newRow("empty") << true << QVariant("") << "non valida" << "//" << "";
        QTest::newRow("Null") << true << QVariant() << "non valida" << "//" << "";
        QTest::newRow("31 February") << true << QVariant("19800231") << "non valida" << "31/02/1980" << "19800231";
        QTest::newRow("seven digits") << true << QVariant("1975081") << "non valida" << "1/08/1975" << "1975081";
        QTest::newRow("year 0000") << true << QVariant("00000815") << "non valida" << "15/08/0000" << "00000815";
        QTest::newRow("typed day") << false << QVariant("29/02/1980") << "giorno" << "29/02/1980" << "19800229";
        QTest::newRow("typed empty mask") << false << QVariant("00/00/0000") << "nessuna" << "00/00/0000" << "00000000";
        QTest::newRow("typed 29 February 1981") << false << QVariant("29/02/1981") << "non valida" << "29/02/1981"
                                                << "19810229";
        QTest::newRow("typed eleven characters") << false << QVariant("15/08/19751") << "non valida" << "15/08/19751"
                                                 << "19750815";
    }
    void dataDiNascita()
    {
        QFETCH(bool, archivio);
        QFETCH(QVariant, valore);
        QFETCH(QString, tipo);
        QFETCH(QString, scheda);
        QFETCH(QString, scritto);
        const DataNascita d = archivio ? DataNascita::daArchivio(valore) : DataNascita::daTesto(valore.toString());
        QCOMPARE(d.valida() ? "giorno" : d.nessuna() ? "nessuna" : "non valida", tipo);
        QCOMPARE(d.perScheda(), scheda);
        QCOMPARE(d.perArchivio(), scritto);
        QCOMPARE(DataNascita::daTesto(d.perScheda()).perScheda(), scheda);
    }

    // The order by name as an Italian reader expects it, the same on both
    // engines: accents with their letters, case left out, then accents and
    // case, Nulls, blanks around, the key. The other two orders are the
    // engine's, as the program's SQL texts always gave them.
    void ordineDeiNomi()
    {
        a->esegui("DELETE FROM ANAGSOSTITUTI");
        // In the expected order by name, each row {codazi, cfs, ASOST_1, ASOST_2}.
        const QList<QVariantList> attesi = {
            // No name: codes against the order, so that the key cannot give it.
            {"204", "N4", QVariant(), QVariant()},
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
            // Alike to the letter: by company code, then codice fiscale.
            {"217", "N18", "ZAMBONI", "ANGELO"},
            {"218", "N17", "ZAMBONI", "ANGELO"},
            {"219", "N19", "ZAMBONI", "ÀNGELO"},
            {"219", "N20", "ZAMBONI", "ÀNGELO"},
        };
        // Written in reverse, so that the order of writing does not give it either.
        for (auto it = attesi.crbegin(); it != attesi.crend(); ++it)
            a->aggiungiSostituto((*it)[0].toString(), (*it)[1].toString(), it->mid(2));
        QStringList perNome, perCodice, perCf;
        for (const QVariantList& s : attesi) {
            perNome << s[0].toString() + '/' + s[1].toString();
            perCodice << s[0].toString();
            perCf << s[1].toString();
        }
        std::sort(perCodice.begin(), perCodice.end());
        std::sort(perCf.begin(), perCf.end());
        RegistroProva r(*a);
        QStringList codici;
        for (const RigaElenco& riga : elenco(*r.db, Ordine::Nominativo))
            codici << riga.codazi + '/' + riga.cfs;
        QCOMPARE(codici, perNome);
        // The names handed on as stored: blanks, accents and case kept.
        QCOMPARE(elenco(*r.db, Ordine::Nominativo).at(10).cognome, " Èrcoli");
        codici.clear();
        for (const RigaElenco& riga : elenco(*r.db, Ordine::CodiceAzienda))
            codici << riga.codazi;
        QCOMPARE(codici, perCodice);
        QStringList cfs;
        for (const RigaElenco& riga : elenco(*r.db, Ordine::CodiceFiscale))
            cfs << riga.cfs;
        QCOMPARE(cfs, perCf);
    }

    void caricaESposta()
    {
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

    void elenchi()
    {
        RegistroProva r(*a);
        // By code, by codice fiscale, by surname and first name (Null first,
        // blanks around a name left out: "  BETA SPA " among the B's).
        const QStringList ordini[] = {{"007", "015", "030", "044", "050", "120"},
                                      {"030", "050", "007", "044", "015", "120"},
                                      {"030", "015", "044", "050", "007", "120"}};
        for (const Ordine o : {Ordine::CodiceAzienda, Ordine::CodiceFiscale, Ordine::Nominativo}) {
            QStringList codici;
            for (const RigaElenco& riga : elenco(*r.db, o))
                codici << riga.codazi;
            QCOMPARE(codici, ordini[int(o)]);
        }
        // Names as stored, Null read as "".
        const RigaElenco beta = elenco(*r.db, Ordine::CodiceAzienda).at(4);
        QCOMPARE(beta.cfs, "03456789014");
        QCOMPARE(beta.cognome, "  BETA SPA ");
        QCOMPARE(elenco(*r.db, Ordine::CodiceAzienda).at(2).nome, "");

        // Lookup rows in key order; a declarant by name when fr_14 is filled, else by company name.
        a->aggiungiFrontespizio("002", "RSSMRA80A01H501U", " ROSSI ", "MARIO", "NON MOSTRATO", "1");
        a->aggiungiFrontespizio("001", "01234567897", "IGNORATO", {}, " ALFA SRL", "  ");
        QStringList fronte;
        for (const RigaFrontespizio& f : elencoFrontespizi(*r.tabelle.frontespizi))
            fronte << f.codazi + '|' + f.cfd + '|' + f.nominativo();
        QCOMPARE(fronte, QStringList({"001|01234567897|ALFA SRL", "002|RSSMRA80A01H501U|ROSSI MARIO"}));
        const auto province = elencoProvince(*r.tabelle.province);
        QCOMPARE(qint64(province.size()), a->conta("SELECT COUNT(*) FROM TABMIN_PROV"));
        QCOMPARE(province.front().codice, a->righe("SELECT MIN(codprov) AS c FROM TABMIN_PROV").value(0).value("c"));
    }
};

QTEST_GUILESS_MAIN(TestRegistroSostituto)
#include "tst_registro_sostituto.moc"
