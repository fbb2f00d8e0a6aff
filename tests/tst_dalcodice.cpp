// What the codice fiscale says, on the real data sheet: its line under the
// fields, the fields that disagree named and framed as the clerk types or
// chooses, with the fields' own colours left to the checks; nothing for a
// company; the line following loads and moves; a sheet that disagrees saved
// as typed; a new substitute's birth data filled from its code at the
// insertion. Which fields are filled and what the lines say is the core's
// (tst_registro_dalcodice), which field disagrees the checks'.
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
    // takes the mark away. Which field disagrees with what is the checks'.
    void digitazione_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("altro");
        QTest::addColumn<QString>("tornato"); // ROSSI's value, typed again
        QTest::addColumn<QString>("nome");
        QTest::newRow("surname") << 1 << "BIANCHI" << "ROSSI" << "cognome";
        QTest::newRow("date of birth") << 4 << "16081975" << "15081975" << "data di nascita";
    }
    void digitazione()
    {
        QFETCH(int, n);
        QFETCH(QString, altro);
        QFETCH(QString, tornato);
        QFETCH(QString, nome);
        QVERIFY(apri(*prova, ROSSI));
        QCOMPARE(marcati(), QString());
        riscrivi(*prova, n, altro);
        QCOMPARE(dalCodice(), ROSSIDALCODICE);
        QCOMPARE(discordanze(), NONCORRISPONDONO + nome);
        QCOMPARE(marcati(), QString::number(n));
        QCOMPARE(campo(*prova, n)->property("discordeDalCodice"), QVariant(true));
        QVERIFY(campo(*prova, n)->accessibleDescription().endsWith("non corrisponde al codice fiscale"));
        // Black on white: yellow stays the mark of a field a check refused.
        QCOMPARE(campo(*prova, n)->BackColor(), BIANCO);
        riscrivi(*prova, n, tornato);
        QCOMPARE(discordanze(), QString());
        QCOMPARE(marcati(), QString());
        QCOMPARE(campo(*prova, n)->property("discordeDalCodice"), QVariant(false));
        QVERIFY(!campo(*prova, n)->accessibleDescription().contains("codice fiscale"));
    }

    void sceltaESalvataggio()
    {
        // A province chosen from the lookup list is a change like a typed one, the fields named in the sheet's
        // order. The sheet is saved as typed, with no box, and reloaded from the archive still marked.
        QVERIFY(apri(*prova, ROSSI));
        const QString salvato = "ROSSI|MARIO|M|19750816|MILANO|MI|MILANO|MI|VIA ROMA 1|001";
        prova->click("CMDAPRILIST(0)");
        auto* elenco = prova->controllo<QListWidget>("ListTabmin");
        clickVoce(elenco, elenco->findItems("MI ", Qt::MatchStartsWith).first(), true);
        QCOMPARE(marcati(), "6");
        riscrivi(*prova, 5, "milano");
        riscrivi(*prova, 4, "16081975");
        prova->click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(registrato(*archivio, ROSSI), salvato);
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
        QCOMPARE(discordanze(), NONCORRISPONDONO + "data di nascita, comune di nascita, provincia di nascita");
        QCOMPARE(marcati(), "4 5 6");
    }

    void caricamentiESpostamenti()
    {
        // Each sheet shows what its own code says, loaded from the list or moved to: a company and a person with
        // the same texts, next to each other in key order, and a sheet that disagrees.
        const QString persona = "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)";
        QVERIFY(apri(*prova, VUOTASOCIETA));
        QCOMPARE(dalCodice(), QString());
        prova->click("cmdparcsuc");
        QVERIFY(mostra(*prova, VUOTAPERSONA));
        QCOMPARE(dalCodice(), persona);
        prova->click("cmdparcprec");
        QCOMPARE(dalCodice(), QString());
        prova->click("cmdselprec");
        // ROMA (RM) typed for a code of Milan.
        QVERIFY(apri(*prova, VERDI));
        QCOMPARE(dalCodice(), "Dal codice fiscale: nato il 01/01/1970 a MILANO (MI)");
        QCOMPARE(discordanze(), NONCORRISPONDONO + "comune di nascita, provincia di nascita");
        QCOMPARE(marcati(), "5 6");
        QCOMPARE(testiMostrati(), QStringList());
    }

    void completamento()
    {
        // The insertion hands a new substitute over to the sheet, which was showing ROSSI before: the birth data
        // its code carries fill the empty fields, and are saved as if typed. (A foreign state's name without the
        // remark the town field has no room for.)
        const QString cf = strumenti::codiceFiscale("VERDI", "LAURA", {1985, 12, 10}, 'F', "Z717");
        QVERIFY(apri(*prova, ROSSI));
        prova->click("cmdselprec");
        // Company 030 linked to 007, typed and left with Tab.
        prova->doppioClickLista(0);
        for (const QString& testo : {QStringLiteral("30"), cf, QStringLiteral("verdi"), QStringLiteral("laura"),
                                     QStringLiteral("7")}) {
            QTest::keyClicks(QApplication::focusWidget(), testo);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        prova->click("CmdInserimento(0)");
        QVERIFY(mostra(*prova, Sostituto{"030", cf}));
        QCOMPARE(testiScheda(*prova), "VERDI|LAURA|F|10/12/1985|NUOVE EBRIDI|EE||||007");
        QCOMPARE(dalCodice(),
                 "Dal codice fiscale: nata il 10/12/1985 a NUOVE EBRIDI (ISOLE CONDOMINIO FRANCO-INGLESE) (EE)");
        QCOMPARE(marcati(), QString());
        for (const auto& [n, testo] : {std::pair{7, "monza"}, {8, "mi"}, {9, "via po 2"}})
            QTest::keyClicks(campo(*prova, n), testo);
        prova->click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(registrato(*archivio, {"030", cf}), "VERDI|LAURA|F|19851210|NUOVE EBRIDI|EE|MONZA|MI|VIA PO 2|007");
    }
};

QTEST_MAIN(TestDalCodice)
#include "tst_dalcodice.moc"
