// What the codice fiscale says, on the real data sheet: its line under the
// fields, the fields that disagree named and framed as the clerk types, with
// the fields' own colours left to the checks; nothing for a company; the line
// following loads, moves and saves; a sheet that disagrees saved as typed;
// a new substitute's birth data filled from its code at the insertion. Which
// fields are filled and what the lines say is the core's (tst_registro_dalcodice).
#include "schedaprova.h"

#include "tools/lib/archiviodemo.h"

using namespace scheda;

namespace {

// Two more substitutes, next to each other in key order, whose sheets hold the
// same texts: a company and a person registered without any name or birth data.
const Sostituto VUOTASOCIETA{"020", "02345678906"}, VUOTAPERSONA{"020", "RSSMRA85T10H501O"};
const QString ROSSIDALCODICE = "Dal codice fiscale: nato il 15/08/1975 a ROMA (RM)";
const QString NONCORRISPONDONO = "Non corrispondono al codice fiscale: ";

} // namespace

class TestDalCodice : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

    // A line's text as shown; "" when it is not shown.
    QString riga(const char* nome)
    {
        const QLabel* l = prova->controllo<QLabel>(nome);
        return l->isVisible() ? l->text() : QString();
    }
    QString dalCodice() { return riga("LabDalCodice"); }
    QString discordanze() { return riga("LabDiscordanze"); }
    // The fields framed, by index.
    QString marcati()
    {
        QStringList n;
        for (int i = 1; i <= 10; ++i) {
            const QWidget* cornice = prova->finestra.findChild<QWidget*>(QString("CorniceCF(%1)").arg(i));
            if (cornice && cornice->isVisible())
                n << QString::number(i);
        }
        return n.join(' ');
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = nuovoArchivio();
        const QVariantList vuota{"", "", "", "00000000", "", "", "", "", "", "001"};
        archivio->aggiungiSostituto(VUOTASOCIETA.codazi, VUOTASOCIETA.cfs, vuota);
        archivio->aggiungiSostituto(VUOTAPERSONA.codazi, VUOTAPERSONA.cfs, vuota);
        prova = std::make_unique<FinestraProva>();
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    // ROSSI's sheet agrees with its code; a value typed into field n that
    // disagrees marks that field alone and names it, the value typed back
    // takes the mark away.
    void digitazione_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("altro");
        QTest::addColumn<QString>("tornato"); // ROSSI's value, typed again
        QTest::addColumn<QString>("nome");
        QTest::newRow("surname") << 1 << "BIANCHI" << "ROSSI" << "cognome";
        QTest::newRow("name") << 2 << "MARCO" << "MARIO" << "nome";
        QTest::newRow("sex") << 3 << "f" << "m" << "sesso";
        QTest::newRow("date of birth") << 4 << "16081975" << "15081975" << "data di nascita";
        QTest::newRow("town of birth") << 5 << "milano" << "roma" << "comune di nascita";
        QTest::newRow("province of birth") << 6 << "mi" << "rm" << "provincia di nascita";
    }
    void digitazione()
    {
        QFETCH(int, n);
        QFETCH(QString, altro);
        QFETCH(QString, tornato);
        QFETCH(QString, nome);
        QVERIFY(apri(*prova, ROSSI));
        QCOMPARE(discordanze(), QString());
        QCOMPARE(marcati(), QString());
        riscrivi(*prova, n, altro);
        QCOMPARE(dalCodice(), ROSSIDALCODICE);
        QCOMPARE(discordanze(), NONCORRISPONDONO + nome);
        QCOMPARE(marcati(), QString::number(n));
        QCOMPARE(campo(*prova, n)->property("discordeDalCodice"), QVariant(true));
        QVERIFY(campo(*prova, n)->accessibleDescription().endsWith("non corrisponde al codice fiscale"));
        // Black on white: yellow stays the mark of a field a check refused.
        QCOMPARE(campo(*prova, n)->ForeColor(), NERO);
        QCOMPARE(campo(*prova, n)->BackColor(), BIANCO);
        QCOMPARE(prova->modulo.VARIAZIONI, 1);
        riscrivi(*prova, n, tornato);
        QCOMPARE(discordanze(), QString());
        QCOMPARE(marcati(), QString());
        QCOMPARE(campo(*prova, n)->property("discordeDalCodice"), QVariant(false));
        QVERIFY(!campo(*prova, n)->accessibleDescription().contains("codice fiscale"));
    }

    void piuCampiEControlliESalvataggio()
    {
        // A province chosen from the lookup list is a change like a typed one; the fields are named in the sheet's
        // order; a check refusing the sheet highlights its own field and leaves the marks as they are. Once the
        // check passes the sheet is saved as typed, with no box, and reloaded from the archive still marked.
        QVERIFY(apri(*prova, ROSSI));
        const QString salvato = archivio->istantaneaDopo(
            "UPDATE ANAGSOSTITUTI SET ASOST_4 = '19750816', ASOST_5 = 'MILANO', ASOST_6 = 'MI' WHERE CFS = ?", {ROSSI.cfs});
        prova->click("CMDAPRILIST(0)");
        auto* elenco = prova->controllo<QListWidget>("ListTabmin");
        clickVoce(elenco, elenco->findItems("MI ", Qt::MatchStartsWith).first(), true);
        QCOMPARE(discordanze(), NONCORRISPONDONO + "provincia di nascita");
        QCOMPARE(marcati(), "6");
        riscrivi(*prova, 5, "milano");
        riscrivi(*prova, 4, "16081975");
        riscrivi(*prova, 9, "");
        prova->click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList{"Inserire indirizzo di residenza o domicilio fiscale"});
        const QString tutti = NONCORRISPONDONO + "data di nascita, comune di nascita, provincia di nascita";
        QCOMPARE(discordanze(), tutti);
        QCOMPARE(marcati(), "4 5 6");
        QCOMPARE(testiScheda(*prova), "ROSSI|MARIO|M|16/08/1975|MILANO|MI|MILANO|MI|*|001");
        azzeraMessaggi();
        riscrivi(*prova, 9, "via roma 1");
        prova->click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), salvato);
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
        QCOMPARE(testiScheda(*prova), "ROSSI|MARIO|M|16/08/1975|MILANO|MI|MILANO|MI|VIA ROMA 1|001");
        QCOMPARE(discordanze(), tutti);
        QCOMPARE(marcati(), "4 5 6");
    }

    void caricamentiESpostamenti()
    {
        // Each sheet shows what its own code says: moved through in key order
        // and back, a company and a person without names included, and loaded
        // from the list after another sheet.
        const QString milano = "Dal codice fiscale: nat%1 il 01/01/19%2 a MILANO (MI)",
                      comune = NONCORRISPONDONO + "comune di nascita, provincia di nascita";
        const QList<std::tuple<Sostituto, QString, QString, QString>> attesi{
            {ALFA, "", "", ""},
            {ROSSI, ROSSIDALCODICE, "", ""},
            // ROMA (RM) typed for a code of Milan; an empty date is not compared.
            {VERDI, milano.arg("o", "70"), comune, "5 6"},
            {BIANCHI, milano.arg("a", "80"), comune, "5 6"},
            {NERI, "Dal codice fiscale: nato il 10/03/1960 a TORINO (TO)", "", ""},
            // The same texts as the company's: the line follows the substitute.
            {VUOTASOCIETA, "", "", ""},
            {VUOTAPERSONA, "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)", "", ""},
        };
        QVERIFY(apri(*prova, ALFA));
        for (int i = 0; i < attesi.size() * 2 - 1; ++i) {
            const auto& [s, linea, discordi, cornici] = attesi[i < attesi.size() ? i : attesi.size() * 2 - 2 - i];
            if (i > 0)
                prova->click(i < attesi.size() ? "cmdparcsuc" : "cmdparcprec");
            QVERIFY(mostra(*prova, s));
            QCOMPARE(dalCodice(), linea);
            QCOMPARE(discordanze(), discordi);
            QCOMPARE(marcati(), cornici);
        }
        for (const Sostituto& s : {VUOTASOCIETA, VUOTAPERSONA, VUOTASOCIETA}) {
            prova->click("cmdselprec");
            QVERIFY(apri(*prova, s));
            QCOMPARE(dalCodice(), s.cfs == VUOTAPERSONA.cfs ? std::get<1>(attesi.last()) : QString());
        }
        QCOMPARE(testiMostrati(), QStringList());
    }

    // The insertion hands a new substitute over to the sheet, which was showing
    // ROSSI before: the birth data its code carries fill the empty fields, and
    // are saved as if typed.
    void completamento_data()
    {
        QTest::addColumn<QString>("cf");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("scheda"); // the ten fields after the hand-over
        QTest::addColumn<QString>("linea");  // what the code says; "" nothing
        QTest::addColumn<QString>("salvato"); // after typing the residence and saving
        // A foreign state's name without the remark the town field has no room for.
        QTest::newRow("a woman, born abroad")
            << strumenti::codiceFiscale("VERDI", "LAURA", {1985, 12, 10}, 'F', "Z717") << "laura"
            << "VERDI|LAURA|F|10/12/1985|NUOVE EBRIDI|EE||||007"
            << "Dal codice fiscale: nata il 10/12/1985 a NUOVE EBRIDI (ISOLE CONDOMINIO FRANCO-INGLESE) (EE)"
            << "VERDI|LAURA|F|19851210|NUOVE EBRIDI|EE|MONZA|MI|VIA PO 2|007";
        // No first name: the birth data are still the code's.
        QTest::newRow("no first name") << strumenti::codiceFiscale("VERDI", "GIUSEPPE", {1970, 1, 1}, 'M', "F205")
                                       << "" << "VERDI||M|01/01/1970|MILANO|MI||||007"
                                       << "Dal codice fiscale: nato il 01/01/1970 a MILANO (MI)" << "";
        QTest::newRow("partita IVA") << strumenti::partitaIva("0999999999") << "" << "VERDI|||00/00/0000||||||007"
                                     << "" << "VERDI|||00000000|||MONZA|MI|VIA PO 2|007";
    }
    void completamento()
    {
        QFETCH(QString, cf);
        QFETCH(QString, nome);
        QFETCH(QString, scheda);
        QFETCH(QString, linea);
        QFETCH(QString, salvato);
        QVERIFY(apri(*prova, ROSSI));
        prova->click("cmdselprec");
        // Company 030 linked to 007, typed and left with Tab.
        prova->doppioClickLista(0);
        for (const QString& testo : {QStringLiteral("30"), cf, QStringLiteral("verdi"), nome, QStringLiteral("7")}) {
            QTest::keyClicks(QApplication::focusWidget(), testo);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        prova->click("CmdInserimento(0)");
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(mostra(*prova, Sostituto{"030", cf}));
        QCOMPARE(testiScheda(*prova), scheda);
        QCOMPARE(dalCodice(), linea);
        QCOMPARE(discordanze(), QString());
        QCOMPARE(marcati(), QString());
        QCOMPARE(prova->modulo.VARIAZIONI, 1);
        QCOMPARE(prova->finestra.focusWidget(), static_cast<QWidget*>(campo(*prova, 1)));
        if (salvato.isEmpty())
            return;
        for (const auto& [n, testo] : {std::pair{7, "monza"}, {8, "mi"}, {9, "via po 2"}})
            QTest::keyClicks(campo(*prova, n), testo);
        prova->click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(registrato(*archivio, {"030", cf}), salvato);
        QCOMPARE(dalCodice(), linea);
    }
};

QTEST_MAIN(TestDalCodice)
#include "tst_dalcodice.moc"
