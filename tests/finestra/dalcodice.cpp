// What the codice fiscale says, on the real data sheet: its line under the
// fields, the fields that disagree named and framed as the clerk types or
// chooses, with the fields' own colours left to the checks; the line
// following loads and moves; a sheet that disagrees saved as typed; a new
// substitute's birth data filled from its code at the insertion. Which fields
// are filled and what the lines say is the core's (tst_registro), which field
// disagrees the checks' (tst_codicifiscali).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "tools/lib/archiviodemo.h"
#include "window/aspetto.h"

#include <QLabel>

namespace {

// ROSSI MARIO, born in Rome on 15 August 1975: his sheet agrees with his code.
const Chiave ROSSI{"101", "RSSMRA75M15H501X"};
// Next to each other in key order, the same texts on their sheets: a company and a person.
const Chiave SOCIETA{"020", "02345678906"}, PERSONAFISICA{"020", "RSSMRA85T10H501O"};
const QString NONCORRISPONDONO = "Non corrispondono al codice fiscale: ";

} // namespace

class TestDalCodice : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

    // A line's text as shown; "" when it is not shown.
    QString riga(const char* nome)
    {
        const QLabel* l = p->controllo<QLabel>(nome);
        return l->isVisible() ? l->text() : QString();
    }
    // The fields framed, by index.
    QString marcati()
    {
        QStringList n;
        for (int i = 1; i <= 6; ++i)
            if (p->visibile(QString("CorniceCF(%1)").arg(i)))
                n << QString::number(i);
        return n.join(' ');
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        p = std::make_unique<BancoProva>();
        p->sostituto(ROSSI, {"7=ROMA", "8=RM"});
        for (const Chiave& k : {SOCIETA, PERSONAFISICA})
            p->sostituto(k, {"1=", "2=", "3=", "4=00000000", "5=", "6=", "7=", "8=", "9="});
    }
    void cleanup() { p.reset(); }

    // A value typed into field n that disagrees marks that field alone and
    // names it; typed back, the mark goes.
    void digitazione_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("altro");
        QTest::addColumn<QString>("tornato"); // ROSSI's value, typed again
        QTest::addColumn<QString>("nome");
        QTest::newRow("surname") << 1 << "BIANCHI"
                                 << "ROSSI"
                                 << "cognome";
        QTest::newRow("date of birth") << 4 << "16081975"
                                       << "15081975"
                                       << "data di nascita";
    }
    void digitazione()
    {
        QFETCH(int, n);
        QFETCH(QString, altro);
        QFETCH(QString, tornato);
        QFETCH(QString, nome);
        QVERIFY(p->apri(ROSSI));
        QCOMPARE(marcati(), QString());
        p->scrivi(n, altro);
        QCOMPARE(riga("LabDalCodice"), "Dal codice fiscale: nato il 15/08/1975 a ROMA (RM)");
        QCOMPARE(riga("LabDiscordanze"), NONCORRISPONDONO + nome);
        QCOMPARE(marcati(), QString::number(n));
        QVERIFY(p->campo(n)->accessibleDescription().endsWith("non corrisponde al codice fiscale"));
        // Black on white: yellow stays the mark of a field a check refused.
        QCOMPARE(p->campo(n)->BackColor(), BIANCO);
        p->scrivi(n, tornato);
        QCOMPARE(riga("LabDiscordanze"), QString());
        QCOMPARE(marcati(), QString());
        QVERIFY(!p->campo(n)->accessibleDescription().contains("codice fiscale"));
    }

    void sceltaESalvataggio()
    {
        // A province chosen from the lookup list is a change like a typed one, the fields named in the sheet's
        // order. The sheet is saved as typed, with no box, and reloaded from the archive still marked.
        QVERIFY(p->apri(ROSSI));
        p->click("CMDAPRILIST(0)");
        auto* elenco = p->controllo<QAbstractItemView>("ListTabmin");
        clickVoce(elenco, int(righeDi(elenco).indexOf(QRegularExpression("^MI .*"))), true);
        QCOMPARE(marcati(), "6");
        p->scrivi(5, "milano");
        p->scrivi(4, "16081975");
        p->click("cmdmemorizza");
        QCOMPARE(p->box(), QStringList());
        QCOMPARE(p->registrato(ROSSI), "ROSSI|MARIO|M|19750816|MILANO|MI|ROMA|RM|VIA ROMA 1|001");
        QCOMPARE(riga("LabDiscordanze"), NONCORRISPONDONO + "data di nascita, comune di nascita, provincia di nascita");
        QCOMPARE(marcati(), "4 5 6");
    }

    void caricamentiESpostamenti()
    {
        // Each sheet shows what its own code says, loaded from the list or moved to: a company and a person with
        // the same texts, next to each other in key order.
        QVERIFY(p->apri(SOCIETA));
        QCOMPARE(riga("LabDalCodice"), QString());
        p->click("cmdparcsuc");
        QVERIFY(p->mostra(PERSONAFISICA));
        QCOMPARE(riga("LabDalCodice"), "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)");
        p->click("cmdparcprec");
        QCOMPARE(riga("LabDalCodice"), QString());
        QCOMPARE(p->box(), QStringList());
    }

    void completamento()
    {
        // The insertion hands a new substitute over to the sheet, which was showing ROSSI before: the birth data
        // its code carries fill the empty fields, and are saved as if typed. (A foreign state's name without the
        // remark the town field has no room for.)
        const QString cf = strumenti::codiceFiscale("VERDI", "LAURA", {1985, 12, 10}, 'F', "Z717");
        QVERIFY(p->apri(ROSSI));
        p->click("cmdselprec");
        p->doppioClickLista(0);
        for (const QString& testo :
             {QStringLiteral("30"), cf, QStringLiteral("verdi"), QStringLiteral("laura"), QStringLiteral("1")}) {
            QTest::keyClicks(QApplication::focusWidget(), testo);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        p->click("CmdInserimento(0)");
        QCOMPARE(p->box(), QStringList());
        QVERIFY(p->mostra({"030", cf}));
        QCOMPARE(p->scheda(), "VERDI|LAURA|F|10/12/1985|NUOVE EBRIDI|EE||||001");
        QCOMPARE(riga("LabDalCodice"),
                 "Dal codice fiscale: nata il 10/12/1985 a NUOVE EBRIDI (ISOLE CONDOMINIO FRANCO-INGLESE) (EE)");
        QCOMPARE(marcati(), QString());
        for (const auto& [n, testo] : {std::pair{7, "monza"}, {8, "mi"}, {9, "via po 2"}})
            QTest::keyClicks(p->campo(n), testo);
        p->click("cmdmemorizza");
        QCOMPARE(p->box(), QStringList());
        QCOMPARE(p->registrato({"030", cf}), "VERDI|LAURA|F|19851210|NUOVE EBRIDI|EE|MONZA|MI|VIA PO 2|001");
    }
};

PROVA(TestDalCodice);
#include "dalcodice.moc"
