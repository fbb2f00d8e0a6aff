// Change of a substitute's codice fiscale: the frame, the entry field, the
// checks in their order, the rows re-keyed, all or nothing on failure.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QLabel>
#include <functional>

namespace {

const QString ROSSI = "RSSMRA80A01H501U", VERDI = "VRDGPP70A01F205X", BIANCHI = "BNCLCU80A01H501Q";
const QString PIVA = "12345678903";
// Pasted between quotes, this code would turn the condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
const QString APOSTROFO = "' OR CFS > '";
const QString DICHIARANTE = "01234567897", ALTRODICHIARANTE = "98765432103";
const QString NUOVOCF = "AAAAAA00A00A000I"; // formally correct, nobody's yet
const QStringList QUADRI{"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};
const QString DOMANDAPIVA = "36:Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";
const QString NONCAMBIATO = "\r\rIl codice fiscale non è stato cambiato: nessun dato è stato modificato.";
// statoSelezione() with the frame open or closed and nothing left over from an operation.
const QString APERTO = "aperto 000000 a riposo", CHIUSO = "chiuso 111111 a riposo";
using Tabelle = QMap<QString, QList<QVariantMap>>;

// A row of the tables below: the substitute picked, the code typed and what
// follows from it (the new code as written, or the boxes shown).
struct Caso { QString codazi, cfs, digitato, scritto; QStringList boxes; bool evidenziato = false; };

// Records stato() when the waiting notice is first painted.
struct Avviso : QObject {
    std::function<QString()> stato;
    QString visto;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && visto.isEmpty() && static_cast<QWidget*>(o)->isVisible())
            visto = stato();
        return false;
    }
};

// Boxes shown: "style:text", a "?" in front when the title is not the window's.
QStringList mostrati(FinestraProva& p)
{
    QStringList r;
    for (const auto& box : MessageBox::shown())
        r << (box.titolo == p.finestra.windowTitle() ? "" : "?") + QString::number(box.stile) + ":" + box.testo;
    return r;
}

// The frame, the enabled states of the list, the two buttons and the three
// options, and whether anything is left open, switched or showing.
QString statoSelezione(FinestraProva& p)
{
    QString s = p.controllo<QWidget>("FrameCambiaCf")->isVisible() ? "aperto " : "chiuso ";
    for (const char* c : {"List1", "Cmdcancella", "CmdCambia", "Option1(0)", "Option1(1)", "Option1(2)"})
        s += p.controllo<QWidget>(c)->isEnabled() ? "1" : "0";
    const bool riposo = !p.modulo.TABSQL && p.modulo.TABANAGSOST->Index() == "CHIAVE"
        && p.modulo.TABFRONTESPIZIO->Index() == "CHIAVE" && !p.modulo.DBANNO->inTransazione()
        && !QApplication::overrideCursor() && !p.controllo<QLabel>("Label2(15)")->isVisible();
    return s + (riposo ? " a riposo" : " occupato");
}

// Picks the substitute (none: an empty code), opens the frame, types the new
// code and confirms it.
void cambia(FinestraProva& p, const QString& codazi, const QString& cfs, const QString& codice)
{
    if (!cfs.isEmpty())
        p.clickLista(p.rigaDi(codazi, cfs));
    p.click("CmdCambia");
    if (!p.controllo<QWidget>("FrameCambiaCf")->isVisible())
        return;
    QTest::keyClicks(p.campo("Text2"), codice);
    p.click("CmdConfermaCF");
}

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestCambiaCf : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Every row of the tables a re-keying may touch; with a key, as re-keying
    // (codazi, vecchio) under declarant cfd to nuovo must leave them.
    Tabelle tabelle(const QString& codazi = "", const QString& cfd = "", const QString& vecchio = "",
                    const QString& nuovo = "")
    {
        Tabelle r;
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

    // Re-keys 101 ROSSI while guasta()'s fault holds and then runs the repair
    // it returns: the last box, critical, starts with `causa` and says that
    // nothing was changed; the archive is exactly as before; the frame stays
    // open with the typed code.
    void cambioFallito(const std::function<std::function<void()>()>& guasta, const QString& causa)
    {
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.modulo.VARIAZIONI = 1;
        const std::function<void()> ripara = guasta();
        cambia(prova, "101", ROSSI, NUOVOCF);
        ripara();
        QCOMPARE(archivio->istantanea(), prima);
        const QString testo = mostrati(prova).last();
        QVERIFY2(testo.startsWith("16:Attenzione !!! " + causa) && testo.endsWith(NONCAMBIATO), qPrintable(testo));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(statoSelezione(prova), APERTO);
        QCOMPARE(prova.campo("Text2")->text(), NUOVOCF);
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio("001", DICHIARANTE, {}, {}, "ALFA SRL");
        archivio->aggiungiFrontespizio("002", ALTRODICHIARANTE, {}, {}, "DELTA SPA");
        // Code, codice fiscale, names, linked company: "1" is looked up as
        // 001; 9 has no front page; the last one's code is a declarant's too.
        const QList<QStringList> sostituti{
            {"101", ROSSI, "ROSSI", "MARIO", "1"},      {"101", VERDI, "VERDI", "GIUSEPPE", "001"},
            {"102", ROSSI, "ROSSI", "MARIO", "001"},    {"103", PIVA, "BETA SPA", "", "002"},
            {"104", APOSTROFO, "GAMMA SRL", "", "001"}, {"104", VERDI, "VERDI", "ANNA", "001"},
            {"105", BIANCHI, "BIANCHI", "LUCA", "9"},   {"106", ALTRODICHIARANTE, "DELTA SPA", "", "002"}};
        for (const QStringList& s : sostituti) {
            archivio->aggiungiSostituto(s[0], s[1],
                                        {s[2], s[3], "M", "19800101", "ROMA", "RM", "ROMA", "RM", "VIA PO 1", s[4]});
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
        configura(archivio->cartella());
    }
    void cleanup() { MessageBox::setAutoAnswer(true); } // after a real box that never showed

    void cambio_data()
    {
        QTest::addColumn<Caso>("c"); // boxes: questions of the code check, answered Yes
        QTest::newRow("lower case, 17th key refused") << Caso{"101", ROSSI, NUOVOCF.toLower() + "x", NUOVOCF, {}};
        QTest::newRow("apostrophe") << Caso{"104", APOSTROFO, NUOVOCF, NUOVOCF, {}};
        QTest::newRow("codice fiscale formally wrong")
            << Caso{"101", ROSSI, "aaaaaa00a00a000x", "AAAAAA00A00A000X",
                    {"68:Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente"}};
        // The section rows are all under another declarant than the linked one: only the registry row changes.
        QTest::newRow("partita IVA formally wrong, stored padded")
            << Caso{"103", PIVA, "12345678900", "12345678900     ", {DOMANDAPIVA}};
        QTest::newRow("No to Proseguo") << Caso{"101", ROSSI, "02345678904", "", {}};
    }
    void cambio()
    {
        QFETCH(Caso, c);
        const Tabelle prima = tabelle();
        const QString cfd = c.codazi == "103" ? ALTRODICHIARANTE : DICHIARANTE; // the linked company's declarant
        const Tabelle attese = c.scritto.isEmpty() ? prima : tabelle(c.codazi, cfd, c.cfs, c.scritto);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        // The notice shows over the busy pointer before anything is written.
        Avviso avviso;
        avviso.stato = [&] { return QApplication::overrideCursor() && tabelle() == prima ? "busy, before" : "?"; };
        prova.controllo<QLabel>("Label2(15)")->installEventFilter(&avviso);
        const QString riga = prova.lista()->item(prova.rigaDi(c.codazi, c.cfs))->text();
        prova.modulo.VARIAZIONI = 1;
        if (c.scritto.isEmpty())
            MessageBox::setNextAnswer(vbNo);
        cambia(prova, c.codazi, c.cfs, c.digitato);

        QCOMPARE(prova.controllo<QLabel>("Label2(16)")->text(),
                 " Azienda:" + c.codazi + " c.f. " + c.cfs.leftJustified(16, ' '));
        QCOMPARE(prova.controllo<QLabel>("Label2(7)")->text(), " Rag.soc.:" + riga.mid(21).trimmed());
        QStringList attesi = c.boxes << "20:Il codice fiscale del sostituto selezionato sara' cambiato\r\rProseguo ???";
        if (!c.scritto.isEmpty())
            attesi << "64:Per il sostituto " + riga.trimmed() + "\r\rCambio codice fiscale eseguito !\r\r"
                          "Nuovo codice fiscale " + c.scritto;
        QCOMPARE(mostrati(prova), attesi);
        // The rows under another declarant keep the old code; nothing else changes.
        QCOMPARE(tabelle(), attese);
        QCOMPARE(avviso.visto, c.scritto.isEmpty() ? "" : "busy, before");
        QCOMPARE(statoSelezione(prova), CHIUSO);
        QCOMPARE(prova.modulo.VARIAZIONI, c.scritto.isEmpty() ? 0 : 1);
        QCOMPARE(prova.rigaDi(c.codazi, c.scritto) > 0, !c.scritto.isEmpty());
        QCOMPARE(prova.rigaDi(c.codazi, c.cfs) > 0, c.scritto.isEmpty());
    }

    void rifiuti_data()
    {
        QTest::addColumn<Caso>("c"); // boxes: a question is answered No
        const QString gia = "16:Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente ";
        QTest::newRow("nothing picked")
            << Caso{"", "", "", "", {"64:Nessuna anagrafica sostituto selezionata per il cambio codice fiscale"}};
        QTest::newRow("blanks only") << Caso{"101", ROSSI, "   ", "", {}};
        // A declarant's code that a substitute holds too: the front pages are checked first.
        QTest::newRow("a declarant's code") << Caso{"101", ROSSI, ALTRODICHIARANTE, "", {gia + "nel frontespizio"}};
        QTest::newRow("another substitute's code") << Caso{"103", PIVA, VERDI.toLower(), "", {gia}};
        QTest::newRow("no front page for the linked company")
            << Caso{"105", BIANCHI, NUOVOCF, "", {"16:Attenzione !!! Non esiste il frontespizio del dichiarante "}};
        QTest::newRow("removed meanwhile")
            << Caso{"101", ROSSI, NUOVOCF, "",
                    {"16:Attenzione !!! Anagrafica sostituto non più presente in archivio.\r"
                     "Il codice fiscale non è stato cambiato."}};
        QTest::newRow("15 characters")
            << Caso{"101", ROSSI, "AAAAAA00A00A000", "", {"64:Lunghezza codice fiscale errata"}, true};
        QTest::newRow("partita IVA formally wrong") << Caso{"101", ROSSI, "12345678900", "", {DOMANDAPIVA}, true};
    }
    void rifiuti()
    {
        QFETCH(Caso, c);
        const bool scomparso = QTest::currentDataTag() == QByteArray("removed meanwhile"); // by another program
        FinestraProva prova;
        QVERIFY(prova.avvia());
        if (scomparso)
            archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = ?", {ROSSI});
        const QString prima = archivio->istantanea();
        prova.modulo.VARIAZIONI = 1;
        MessageBox::setNextAnswer(vbNo);
        cambia(prova, c.codazi, c.cfs, c.digitato);

        QCOMPARE(mostrati(prova), c.boxes);
        QCOMPARE(archivio->istantanea(), prima);
        QCOMPARE(prova.modulo.VARIAZIONI, c.cfs.isEmpty() ? 1 : 0);
        // The frame stays open for another code; it closes when there is no substitute to change.
        QCOMPARE(statoSelezione(prova), c.cfs.isEmpty() || scomparso ? CHIUSO : APERTO);
        QCOMPARE(prova.rigaDi("101", ROSSI) > 0, !scomparso);
        TextBox* campo = prova.campo("Text2");
        QCOMPARE(campo->BackColor(), c.evidenziato ? GIALLO : BIANCO);
        // The declarant's missing front page leaves the focus where it was.
        QCOMPARE(QApplication::focusWidget() == campo, !c.cfs.isEmpty() && !scomparso && c.codazi != "105");
        // The highlight goes with a change.
        QTest::keyClicks(campo, "1");
        QCOMPARE(campo->BackColor(), BIANCO);
    }

    void archivioBloccato()
    {
        // Another program writing: the checks read, the change gives up.
        std::shared_ptr<ArchivioProva::Blocco> blocco;
        cambioFallito([&] { blocco = archivio->blocca(false); return [&] { blocco.reset(); }; },
                      "L'archivio è in uso da un altro programma");
    }

    void guastoAMeta()
    {
        // The fifth table (QUADROLAUT) refuses the update after four have been re-keyed.
        cambioFallito(
            [&] {
                archivio->impedisci("UPDATE", "QUADROLAUT");
                return [&] { archivio->consenti("QUADROLAUT"); };
            },
            "");
    }
};

QTEST_MAIN(TestCambiaCf)
#include "tst_cambiacf.moc"
