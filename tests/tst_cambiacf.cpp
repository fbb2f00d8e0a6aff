// Change of a substitute's codice fiscale: the frame, the entry field, the
// checks in their order, the rows re-keyed, all or nothing on failure.
#include "schedaprova.h"

#include <QRegularExpression>

namespace {

const QString ROSSI = "RSSMRA80A01H501U", VERDI = "VRDGPP70A01F205X", BIANCHI = "BNCLCU80A01H501Q";
// Pasted between quotes, this code would turn the condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
const QString APOSTROFO = "' OR CFS > '";
const QString DICHIARANTE = "01234567897", ALTRODICHIARANTE = "98765432103", PIVA = "12345678903";
const QString NUOVOCF = "AAAAAA00A00A000I"; // formally correct, nobody's yet
const QStringList QUADRI{"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};
const QString DOMANDAPIVA = "36:Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";
const QString PROSEGUO = "20:Il codice fiscale del sostituto selezionato sara' cambiato\r\rProseguo ???";

// A row of the table below: the substitute picked, the code typed, the new
// code as written (empty: refused), the boxes shown before the completion
// message (the first question answered No when refused), and the frame after.
enum Dopo { CHIUSA, APERTA, EVIDENZIATA }; // the frame closed, open, open with the field highlighted
struct Caso { QString codazi, cfs, digitato, scritto; QStringList boxes; Dopo dopo = CHIUSA; };

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestCambiaCf : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Every row of the tables a re-keying may touch; with a key, as re-keying (codazi, vecchio) to nuovo must
    // leave them: the section rows under another declarant than the linked company's keep the old code.
    auto tabelle(const QString& codazi = "", const QString& vecchio = "", const QString& nuovo = "")
    {
        QMap<QString, QList<QVariantMap>> r;
        const QString cfd = codazi == "103" ? ALTRODICHIARANTE : DICHIARANTE;
        for (const QString& t : QUADRI + QStringList{"ANAGSOSTITUTI"}) {
            const bool registro = t == "ANAGSOSTITUTI";
            r[t] = archivio->righe("SELECT * FROM " + t + (registro ? " ORDER BY CODAZI, ASOST_1" : " ORDER BY ID"));
            for (QVariantMap& riga : r[t])
                if (riga["CODAZI"] == codazi && riga["CFS"].toString().trimmed() == vecchio
                    && (registro || riga["CFD"] == cfd))
                    riga["CFS"] = archivio->suServer() ? nuovo.trimmed() : nuovo; // the server drops the padding
        }
        return r;
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = scheda::annoProva(); // DICHIARANTE's front page
        archivio->aggiungiFrontespizio("002", ALTRODICHIARANTE, {}, {}, "DELTA SPA");
        // Code, codice fiscale, names, linked company: "1" is looked up as
        // 001; 9 has no front page; the last one's code is a declarant's too.
        const QList<QStringList> sostituti{
            {"101", ROSSI, "ROSSI", "MARIO", "1"},      {"101", VERDI, "VERDI", "GIUSEPPE", "001"},
            {"102", ROSSI, "ROSSI", "MARIO", "001"},    {"103", PIVA, "BETA SPA", "", "002"},
            {"104", APOSTROFO, "GAMMA SRL", "", "001"}, {"104", VERDI, "VERDI", "ANNA", "001"},
            {"105", BIANCHI, "BIANCHI", "LUCA", "9"},   {"106", ALTRODICHIARANTE, "DELTA SPA", "", "002"}};
        for (const QStringList& s : sostituti) {
            archivio->aggiungiSostituto(s[0], s[1], {s[2], s[3], "M", "19800101", "ROMA", "RM", "", "", "", s[4]});
            // Every substitute but ROSSI of 101 has a row in every section, under DICHIARANTE.
            for (const QString& t : QUADRI)
                if (s[0] != "101" || s[1] != ROSSI)
                    archivio->aggiungiRigaQuadro(t, s[0], DICHIARANTE, s[1], {{"RIGO", 7}});
        }
        // ROSSI of 101: rows in some sections only, one under another declarant.
        archivio->aggiungiRigaQuadro("QUADROLDIP1", "101", DICHIARANTE, ROSSI, {{"RIGO", 1}, {"IMPORTO1", 1500.5}});
        archivio->aggiungiRigaQuadro("QUADROLDIP2", "101", DICHIARANTE, ROSSI, {{"RIGO", 3}});
        archivio->aggiungiRigaQuadro("QUADROLDIP2", "101", ALTRODICHIARANTE, ROSSI, {{"RIGO", 4}});
        archivio->aggiungiRigaQuadro("QUADROLAUT", "101", DICHIARANTE, ROSSI, {{"COMPENSO", 300}, {"RITENUTA", 60}});
    }

    void cambio_data()
    {
        QTest::addColumn<Caso>("c");
        const QString gia = "16:Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente ";
        // Changed: the questions of the code check answered Yes.
        QTest::newRow("some sections, lower case") << Caso{"101", ROSSI, NUOVOCF.toLower() + "x", NUOVOCF, {}};
        QTest::newRow("apostrophe") << Caso{"104", APOSTROFO, NUOVOCF, NUOVOCF, {}};
        // The section rows are all under another declarant than the linked one: only the registry row changes.
        QTest::newRow("partita IVA, Yes") << Caso{"103", PIVA, "12345678900", "12345678900     ", {DOMANDAPIVA}};
        // Refused.
        QTest::newRow("No to Proseguo") << Caso{"101", ROSSI, "02345678904", "", {PROSEGUO}};
        QTest::newRow("nothing picked")
            << Caso{"", "", "", "", {"64:Nessuna anagrafica sostituto selezionata per il cambio codice fiscale"}};
        // A declarant's code that a substitute holds too: the front pages are checked first.
        QTest::newRow("declarant's") << Caso{"101", ROSSI, ALTRODICHIARANTE, "", {gia + "nel frontespizio"}, APERTA};
        QTest::newRow("another substitute's code") << Caso{"103", PIVA, VERDI.toLower(), "", {gia}, APERTA};
        QTest::newRow("no front page for the linked company")
            << Caso{"105", BIANCHI, NUOVOCF, "", {"16:Attenzione !!! Non esiste il frontespizio del dichiarante "},
                    APERTA};
        QTest::newRow("removed meanwhile") << Caso{"101", ROSSI, NUOVOCF, "", {"16:Attenzione !!! Anagrafica sostituto "
            "non più presente in archivio.\rIl codice fiscale non è stato cambiato."}};
        QTest::newRow("partita IVA wrong, No") << Caso{"101", ROSSI, "12345678900", "", {DOMANDAPIVA}, EVIDENZIATA};
        // The fifth table (QUADROLAUT) refuses the update after four have been re-keyed.
        QTest::newRow("failure half-way")
            << Caso{"101", ROSSI, NUOVOCF, "", {PROSEGUO, "16:Attenzione !!! Errore nell'archivio.\r...\rL'operazione "
                    "non è stata eseguita.\r\rIl codice fiscale non è stato cambiato: nessun dato è stato "
                    "modificato."}, APERTA};
    }
    void cambio()
    {
        QFETCH(Caso, c);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QByteArray caso = QTest::currentDataTag();
        if (caso == "removed meanwhile") // by another program
            archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = ?", {ROSSI});
        const auto prima = tabelle();
        const QString riga = prova.lista()->item(std::max(prova.rigaDi(c.codazi, c.cfs), 0))->text();
        prova.modulo.VARIAZIONI = 1;
        if (caso == "failure half-way")
            archivio->impedisci("UPDATE", "QUADROLAUT", "guasto");
        else if (c.scritto.isEmpty())
            MessageBox::setNextAnswer(vbNo);
        if (!c.cfs.isEmpty())
            prova.clickLista(prova.rigaDi(c.codazi, c.cfs));
        prova.click("CmdCambia");
        if (prova.controllo<QWidget>("FrameCambiaCf")->isVisible()) {
            QTest::keyClicks(prova.campo("Text2"), c.digitato);
            prova.click("CmdConfermaCF");
        }

        const QString fatto = "64:Per il sostituto " + riga.trimmed() + "\r\rCambio codice fiscale eseguito !\r\r"
            + "Nuovo codice fiscale " + c.scritto;
        // Boxes as "style:text", the engine's own words of a failure left out.
        const QRegularExpression parole("(nell'archivio\\.\r)[^\r]*");
        const QStringList fine = c.scritto.isEmpty() ? QStringList() : QStringList{PROSEGUO, fatto};
        QCOMPARE(scheda::boxMostrati(prova).replaceInStrings(parole, "\\1..."), c.boxes + fine);
        QCOMPARE(tabelle(), c.scritto.isEmpty() ? prima : tabelle(c.codazi, c.cfs, c.scritto));
        // The frame and the enabled states of the list, the two buttons and the three options; nothing left
        // open, switched or showing.
        QString stato = prova.controllo<QWidget>("FrameCambiaCf")->isVisible() ? "aperto " : "chiuso ";
        for (const char* nome : {"List1", "Cmdcancella", "CmdCambia", "Option1(0)", "Option1(1)", "Option1(2)"})
            stato += prova.controllo<QWidget>(nome)->isEnabled() ? "1" : "0";
        QCOMPARE(stato, c.dopo == CHIUSA ? "chiuso 111111" : "aperto 000000");
        QVERIFY(prova.modulo.TABANAGSOST->Index() == "CHIAVE" && !QApplication::overrideCursor()
                && prova.modulo.TABFRONTESPIZIO->Index() == "CHIAVE" && !prova.modulo.DBANNO->inTransazione()
                && !prova.controllo<QLabel>("Label2(15)")->isVisible());
        QCOMPARE(prova.modulo.VARIAZIONI, c.scritto.isEmpty() && !c.cfs.isEmpty() ? 0 : 1);
        QCOMPARE(prova.rigaDi(c.codazi, c.scritto) > 0, !c.scritto.isEmpty()); // the list rebuilt
        TextBox* campo = prova.campo("Text2");
        QCOMPARE(campo->BackColor() == GIALLO && QApplication::focusWidget() == campo, c.dopo == EVIDENZIATA);
        QTest::keyClicks(campo, "1"); // the highlight goes with a change
        QCOMPARE(campo->BackColor(), BIANCO);
    }
};

QTEST_MAIN(TestCambiaCf)
#include "tst_cambiacf.moc"
