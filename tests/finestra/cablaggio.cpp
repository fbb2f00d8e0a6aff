// The rows of the wiring table (cablaggio.h): what the window adds to the
// core's rules, one row each: the operator's actions on the real widgets, then
// the boxes shown (style and text), the control with the focus, and what the
// window and the archive hold. The rules themselves (which check, which rows,
// which order) are the core's and the checks' (tst_registro, tst_tasti,
// tst_codicifiscali).
#include "finestra/cablaggio.h"

#include "registry/testi.h"
#include "tools/lib/archiviodemo.h"

namespace {

const QString ROSSI = "ROSSI|MARIO|M|15/08/1975|ROMA|RM|MILANO|MI|VIA ROMA 1|001";
const QString PROSEGUO = "20:Il codice fiscale del sostituto selezionato sara' cambiato\r\rProseguo ???";
const QString CANCELLO = "20:101 RSSMRA75M15H501X ROSSI MARIO\r\rVuoi cancellare il sostituto selezionato ?\r\r"
                         "Rispondendo affermativamente si cancelleranno tutti\ri quadri: lavoro dipendente, lavoro "
                         "autonomo, quadro ST ,\re anagrafiche percettori lavoro dipendente\r";
const QString DEFINITIVO = "20:Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???";
const QString SALVARE = "35:Sono state effettuate delle variazioni\rSalvare ?";
const QString PIVAERRATA = "36:Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";

} // namespace

class TestCablaggio : public QObject {
    Q_OBJECT

private slots:

    void riga_data()
    {
        QTest::addColumn<QString>("azioni");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("fuoco");
        QTest::addColumn<QString>("atteso"); // "what=value" lines
        const auto riga = [](const char* nome, const QString& azioni, const QStringList& boxes, const QString& fuoco,
                             const QString& atteso) { QTest::newRow(nome) << azioni << boxes << fuoco << atteso; };
        // ---- the selection list
        riga("first line: nothing to delete or re-key", "clic 0", {}, "List1", "abilitati=100111");
        riga("the arrow keys pick as a click does", "clic 0; giu", {}, "List1", "abilitati=111111\nscelta=101");
        riga("first line: the insertion frame, emptied and white", "inserisci ; premi CmdInserimento(0); doppio 0",
             {"64:Inserire Codice Azienda"}, "TEXTAZI",
             "visibili=FrmSelezione|FrmInserimento\ninserimento=||||\ngialli=");
        riga("Annulla closes it", "doppio 0; premi CmdInserimento(1)", {}, "*", "visibili=FrmSelezione\nvariazioni=0");
        riga("a line opens its sheet under the header", "apri 104", {}, "Text1(1)",
             "visibili=Frmmoduli(0)\ntesto LabAZI= 104\ntesto LabCF= 12345678903\ntesto LabCOGNODEN= BETA SPA ");
        // Return or Enter does what a double click does on the line picked; nothing with none picked, not even
        // with the insertion frame open (Ctrl+Space leaves its line), which a double click would close.
        riga("Return on a line opens its sheet", "clic 104; lista Return", {}, "Text1(1)",
             "visibili=Frmmoduli(0)\ntesto LabAZI= 104");
        riga("Enter on the first line: the insertion frame", "clic 0; lista Enter", {}, "TEXTAZI",
             "visibili=FrmSelezione|FrmInserimento");
        riga("Return, no line picked", "doppio 0; lista Ctrl+Space; lista Return", {}, "List1",
             "visibili=FrmSelezione|FrmInserimento\nscelta=-");
        // ---- deletion: the questions, the list rebuilt without the line, a refusal resets the changes
        riga("delete, nothing picked", "avvia; premi Cmdcancella",
             {"64:Nessun sostituto selezionato per la cancellazione"}, "Cmdcancella", "righe=101 102 103 104 106 107");
        riga("delete, No", "clic 101; variazioni 1; no; premi Cmdcancella", {CANCELLO}, "Cmdcancella",
             "scelta=101\nvariazioni=0\nrighe=101 102 103 104 106 107");
        riga("delete, Yes, No", "clic 101; variazioni 1; si; no; premi Cmdcancella", {CANCELLO, DEFINITIVO},
             "Cmdcancella", "scelta=101\nvariazioni=0\nrighe=101 102 103 104 106 107");
        riga("deleted", "clic 101; si; si; premi Cmdcancella", {CANCELLO, DEFINITIVO, "64:Cancellazione effettuata"},
             "Cmdcancella", "scelta=-\nrighe=102 103 104 106 107\nregistrato 101=assente");
        riga("delete, gone meanwhile",
             "clic 101; sql DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'; si; si; premi Cmdcancella",
             {CANCELLO, DEFINITIVO, "16:" + registro::testi::SOSTITUTONONPRESENTE}, "Cmdcancella",
             "righe=102 103 104 106 107");
        // ---- change of codice fiscale: the frame locks the list; each outcome's boxes, focus and highlight
        riga("change, the frame", "clic 101; premi CmdCambia", {}, "Text2",
             "abilitati=000000\ntesto Label2(16)= Azienda:101 c.f. RSSMRA75M15H501X\n"
             "testo Label2(7)= Rag.soc.:ROSSI MARIO\nvisibili=FrmSelezione|FrameCambiaCf");
        riga("change, Annulla", "clic 101; premi CmdCambia; premi CmdAnnullaCF", {}, "*",
             "abilitati=111111\nvisibili=FrmSelezione");
        riga("changed", "clic 101; premi CmdCambia; tasti Text2 aaaaaa00a00a000i; si; premi CmdConfermaCF",
             {PROSEGUO, "64:Per il sostituto 101 RSSMRA75M15H501X ROSSI MARIO\r\rCambio codice fiscale eseguito !\r\r"
                        "Nuovo codice fiscale AAAAAA00A00A000I"},
             "*", "abilitati=111111\nvisibili=FrmSelezione\nscelta=-");
        riga("change, No to Proseguo",
             "clic 101; variazioni 1; premi CmdCambia; tasti Text2 AAAAAA00A00A000I; no; premi CmdConfermaCF",
             {PROSEGUO}, "*", "abilitati=111111\nvariazioni=0\nrighe=101 102 103 104 106 107");
        riga("change, nothing picked", "avvia; premi CmdCambia",
             {"64:Nessuna anagrafica sostituto selezionata per il cambio codice fiscale"}, "CmdCambia",
             "visibili=FrmSelezione");
        riga("change, blank", "clic 101; premi CmdCambia; tasti Text2   ; premi CmdConfermaCF", {}, "Text2",
             "abilitati=000000\ngialli=");
        riga("change, in use", "clic 101; premi CmdCambia; tasti Text2 98765432103; premi CmdConfermaCF",
             {"16:" + registro::testi::CFFRONTESPIZIO}, "Text2", "gialli=");
        riga("change, no front page for the linked company",
             "clic 103; premi CmdCambia; tasti Text2 AAAAAA00A00A000I; premi CmdConfermaCF",
             {"16:" + registro::testi::NESSUNDICHIARANTE}, "CmdConfermaCF", "abilitati=000000");
        riga("change, removed meanwhile",
             "clic 101; premi CmdCambia; sql DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'; tasti Text2 "
             "AAAAAA00A00A000I; premi CmdConfermaCF",
             {"16:" + registro::testi::SOSTITUTOSPARITO}, "*", "abilitati=111111\nrighe=102 103 104 106 107");
        riga("change, partita IVA wrong, No",
             "clic 104; premi CmdCambia; tasti Text2 12345678900; no; premi CmdConfermaCF", {PIVAERRATA}, "Text2",
             "gialli=Text2");
        riga("change, the highlight goes with a change",
             "clic 104; premi CmdCambia; tasti Text2 12345678900; no; premi CmdConfermaCF; tasti Text2 1", {PIVAERRATA},
             "Text2", "gialli=");
        // ---- insertion: the field at fault named by its label, highlighted after a question or a missing field,
        // not after a duplicate; the texts kept, a refused linked company emptied
        riga("new, partita IVA wrong, No", "inserisci |12345678900||~; no; premi CmdInserimento(0)", {PIVAERRATA},
             "TEXTCF", "gialli=TEXTCF\ninserimento=000|12345678900|||");
        riga("new, linked company never entered", "inserisci 1|VRDGPP70A01F205V|VERDI||~; premi CmdInserimento(0)",
             {"64:Inserire Cod. Azienda collegata"}, "TextAZICOL",
             "gialli=TextAZICOL\ninserimento=001|VRDGPP70A01F205V|VERDI||");
        riga("new, registered", "inserisci 104|12345678903|BETA||2; premi CmdInserimento(0)",
             {"16:Attenzione !!! Anagrafica sostituto gia' presente."}, "CmdInserimento(0)", "gialli=");
        riga("new, a declarant's company", "inserisci 1|VRDGPP70A01F205V|VERDI||2; premi CmdInserimento(0)",
             {"16:" + registro::testi::AZIENDAFRONTESPIZIO}, "TEXTAZI",
             "gialli=\ninserimento=001|VRDGPP70A01F205V|VERDI||002");
        riga("new, linked company unknown", "inserisci 7|VRDGPP70A01F205V|VERDI||9; premi CmdInserimento(0)",
             {"16:" + registro::testi::COLLEGATASENZAFRONTESPIZIO}, "TextAZICOL",
             "inserimento=007|VRDGPP70A01F205V|VERDI||");
        // The hand-over: the header and the sheet from the frame, pending until the first save (no moves, an
        // unsaved change); saved, the moves work again from the new row. Left unsaved, nothing behind.
        riga("new, handed over", "inserisci a1x234.|03456789010|verdi d'angelo||x2.; si; premi CmdInserimento(0)",
             {PIVAERRATA}, "Text1(1)",
             "scheda=VERDI D'ANGELO|||00/00/0000||||||002\ntesto LabCOGNODEN=VERDI D'ANGELO\ntesto LabAZI=123\n"
             "variazioni=1\nmosse=00\nregistrato 123=assente");
        riga("new, saved",
             "inserisci 123|03456789010|verdi||2; premi CmdInserimento(0); tasti 7 torino; tasti 8 to; tasti 9 po 1; "
             "premi cmdmemorizza; premi cmdparcprec",
             {PIVAERRATA}, "cmdparcprec", "registrato 123=VERDI|||00000000|||TORINO|TO|PO 1|002\ntesto LabAZI= 107");
        riga("new, left unsaved",
             "inserisci 7|VRDGPP70A01F205V|verdi||1; premi CmdInserimento(0); no; premi cmdselprec", {SALVARE}, "List1",
             "registrato 7=assente\nrighe=101 102 103 104 106 107");
        // ---- the data sheet: each field's key rule, the date checked on leaving, every key a change but in the
        // disabled field
        riga("capitals, accents, apostrophe", "apri 101; tasti 2  d'amicò è; tasti Text1(3) ", {}, "Text1(3)",
             "scheda=" + QString(ROSSI).replace("MARIO", "MARIO D'AMICÒ È") + "\nvariazioni=1");
        riga("sex: a key replaces the last", "apri 101; tasti 3 mf", {}, "Text1(3)",
             "scheda=" + QString(ROSSI).replace("|M|", "|F|"));
        riga("31/02 refused on leaving", "apri 101; tasti 4 \\b31021980; tasti 5 ", {"64:Data di nascita errata"},
             "Text1(4)", "scheda=" + QString(ROSSI).replace("15/08/1975", "*31/02/1980"));
        riga("an empty date refused on leaving", "apri 102; tasti 4 ; tasti 5 ", {"64:Data di nascita errata"},
             "Text1(4)", "scheda=VERDI|GIUSEPPE|M|*//|ROMA|RM|ROMA|RM|VIA VERDI 9|001\nvariazioni=0");
        riga("the linked company is not typed", "apri 101; tasti 10 123\\b", {}, "Text1(1)",
             "scheda=" + ROSSI + "\nvariazioni=0");
        // A save: the field refused highlighted with the focus (a disabled field cannot take it), what the checks
        // clear shown; a saved sheet reloaded from the row, the header with it.
        riga("save, linked company without front page", "apri 103; scrivi 4 15081975; premi cmdmemorizza",
             {"16:" + registro::testi::COLLEGATASENZAFRONTESPIZIO}, "cmdmemorizza",
             "scheda=NERI|PAOLO|M|15/08/1975|TORINO|TO|MILANO|MI|VIA ROMA 1|*\nvariazioni=1");
        riga("save, a company's birth data cleared", "apri 101; scrivi 2 ; scrivi 7 ; premi cmdmemorizza",
             {"64:" + registro::testi::INSERIRECOMUNE}, "Text1(7)", "scheda=ROSSI|||00/00/0000|||*|MI|VIA ROMA 1|001");
        riga("saved, reloaded", "apri 101; scrivi 1 de' santìs; premi cmdmemorizza", {}, "cmdmemorizza",
             "scheda=" + QString(ROSSI).replace("ROSSI", "DE' SANTÌS") +
                 "\ntesto LabCOGNODEN= DE' SANTÌS MARIO\n"
                 "variazioni=0\nregistrato 101=DE' SANTÌS|MARIO|M|19750815|ROMA|RM|MILANO|MI|VIA ROMA 1|001");
        // Every way out of a sheet with unsaved changes asks; a Cancel or a refused save stays on the sheet.
        const QString ossi = "scheda=O" + ROSSI.mid(2);
        const QString rossi101 = "registrato 101=" + QString(ROSSI).replace("15/08/1975", "19750815");
        const QString ossi101 = "registrato 101=O" + rossi101.mid(17); // stored
        riga("next, Yes", "apri 101; scrivi 1 OSSI; si; premi cmdparcsuc", {SALVARE}, "cmdparcsuc",
             ossi101 + "\ntesto LabAZI= 102");
        riga("next, Cancel", "apri 101; scrivi 1 OSSI; annulla; premi cmdparcsuc", {SALVARE}, "cmdparcsuc",
             ossi + "\nvariazioni=1\n" + rossi101);
        riga("back to the list, No", "apri 101; scrivi 1 OSSI; no; premi cmdselprec", {SALVARE}, "List1",
             "visibili=FrmSelezione\nvariazioni=0\n" + rossi101);
        riga("back to the list, Yes refused", "apri 101; scrivi 1 OSSI; scrivi 7 ; si; premi cmdselprec",
             {SALVARE, "64:" + registro::testi::INSERIRECOMUNE}, "Text1(7)",
             "scheda=O" + QString(ROSSI).mid(2).replace("MILANO", "*") + "\nvisibili=Frmmoduli(0)\nvariazioni=1");
        riga("exit, Yes", "apri 101; scrivi 1 OSSI; si; premi cmduscita(0)", {SALVARE}, "", ossi101 + "\nvisibili=");
        riga("exit, Cancel", "apri 101; scrivi 1 OSSI; annulla; premi cmduscita(0)", {SALVARE}, "cmduscita(0)",
             ossi + "\nvisibili=Frmmoduli(0)");
        riga("window closed, No", "apri 101; scrivi 1 OSSI; no; chiudi", {SALVARE}, "", "visibili=\n" + rossi101);
        riga("window closed, Yes refused", "apri 101; scrivi 1 OSSI; scrivi 7 ; si; chiudi",
             {SALVARE, "64:" + registro::testi::INSERIRECOMUNE}, "Text1(7)", "visibili=Frmmoduli(0)\nvariazioni=1");
        // The date of birth: entered by mouse, the caret at its start as by Tab (a click inside the field with the
        // focus puts it where it falls); a date pasted replaces the field whole, any other paste is refused; every
        // editing key (or menu entry) empties it to the mask, a cut copying the date first.
        const QString data = "scheda=" + QString(ROSSI).replace("15/08/1975", "%1") + "\nvariazioni=%2";
        riga("date entered by mouse", "apri 101; mouse 4 3; tasti 4 19071980; mouse 4 6", {}, "Text1(4)",
             "cursore 4=6\nscheda=" + QString(ROSSI).replace("15/08/1975", "19/07/1980"));
        riga("date pasted", "apri 101; mouse 4 4; incolla 4  03-11-1971\\n; premi cmdmemorizza", {}, "cmdmemorizza",
             "registrato 101=" + QString(ROSSI).replace("15/08/1975", "19711103"));
        riga("date pasted from the menu", "apri 101; mouse 4 4; appunti 31/12/1999; menu 4 Incolla", {}, "Text1(4)",
             data.arg("31/12/1999", "1"));
        riga("date paste refused", "apri 101; mouse 4 4; incolla 4 31/12/99", {}, "Text1(4)",
             data.arg("15/08/1975", "0"));
        for (const char* tasti : {"Delete", "Delete; chiave 4 Ctrl+Z", "Delete; menu 4 Annulla",
                                  "Home; chiave 4 Shift+End; menu 4 Elimina"})
            riga(qPrintable("date, " + QString(tasti)), QString("apri 101; mouse 4 4; chiave 4 ") + tasti, {},
                 "Text1(4)", data.arg("00/00/0000", "1"));
        riga("date cut", "apri 101; mouse 4 4; chiave 4 Home; chiave 4 Shift+End; chiave 4 Ctrl+X", {}, "Text1(4)",
             data.arg("00/00/0000", "1") + "\nappunti=15/08/1975");
        riga("date cut from the menu", "apri 101; mouse 4 4; chiave 4 Home; chiave 4 Shift+End; menu 4 Taglia", {},
             "Text1(4)", data.arg("00/00/0000", "1") + "\nappunti=15/08/1975");
        // The moves in key order, not the list's (name order puts VERDI last); at the end a message.
        riga("moves in key order", "avvia; premi Option1(2); apri 102; premi cmdparcsuc", {}, "cmdparcsuc",
             "testo LabAZI= 103");
        riga("moves, at the end", "apri 107; premi cmdparcsuc", {"64:Ultima Anagrafica"}, "cmdparcsuc",
             "testo LabAZI= 107");
        // ---- the lookup list: only the button's own field changes, a change of the sheet, not of the insertion
        // frame; a line without a code takes the nearest code above
        riga("province of residence from the list", "apri 101; elenco 1 RM ", {}, "CMDAPRILIST(1)",
             "scheda=" + QString(ROSSI).replace("MILANO|MI", "MILANO|RM") + "\nvariazioni=1\nvisibili=Frmmoduli(0)");
        riga("linked company from the list, insertion", "doppio 0; elenco 3 002", {}, "CMDAPRILIST(3)",
             "inserimento=000||||002\nvariazioni=0");
        riga("sheet's company, a line without code", "apri 101; elenco 2 " + SENZACODICE, {}, "*",
             "testo Text1(10)=005");
        riga("no code at the line or above", "doppio 0; elenco 3    ", {}, "ListTabmin",
             "inserimento=000||||\nvisibili=FrmSelezione|FrmInserimento|Framecodif");
        // ---- what the codice fiscale says: the line, the fields that disagree framed and named; a sheet that
        // disagrees saved as typed and reloaded still marked; each sheet its own code's, loaded or moved to
        const QString roma = "dalcodice=Dal codice fiscale: nato il 15/08/1975 a ROMA (RM)|";
        const QString nomi = "Non corrispondono al codice fiscale: ";
        riga("agrees with its code", "apri 101", {}, "Text1(1)", roma);
        riga("a surname that disagrees", "apri 101; scrivi 1 BIANCHI", {}, "Text1(1)",
             roma + nomi + "cognome|1\ngialli=\ndiscorde 1=1");
        riga("typed back", "apri 101; scrivi 1 BIANCHI; scrivi 1 ROSSI", {}, "Text1(1)", roma + "\ndiscorde 1=0");
        riga("saved as typed, reloaded marked", "apri 101; elenco 0 MI ; scrivi 4 16081975; premi cmdmemorizza", {},
             "cmdmemorizza", roma + nomi + "data di nascita, provincia di nascita|4|6\nvariazioni=0");
        riga("a company says nothing", "apri 103; premi cmdparcsuc", {}, "cmdparcsuc", "dalcodice=|");
        riga("moved to a sheet of the same texts", "apri 106; premi cmdparcsuc", {}, "cmdparcsuc",
             "dalcodice=Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)|");
        // A new substitute's empty birth fields filled from its code, as if typed: a foreign state's name
        // without the remark the town field has no room for.
        const QString cf = strumenti::codiceFiscale("VERDI", "LAURA", {1985, 12, 10}, 'F', "Z717");
        riga("new, birth data from the code",
             "inserisci 30|" + cf +
                 "|verdi|laura|1; premi CmdInserimento(0); "
                 "tasti 7 monza; tasti 8 mi; tasti 9 po 2; premi cmdmemorizza",
             {}, "cmdmemorizza",
             "registrato 030=VERDI|LAURA|F|19851210|NUOVE EBRIDI|EE|MONZA|MI|PO 2|001\ndalcodice=Dal codice fiscale: "
             "nata il 10/12/1985 a NUOVE EBRIDI (ISOLE CONDOMINIO FRANCO-INGLESE) (EE)|");
    }
    void riga()
    {
        QFETCH(QString, azioni);
        QFETCH(QStringList, boxes);
        QFETCH(QString, fuoco);
        QFETCH(QString, atteso);
        const auto p = banco();
        Cablaggio c{*p};
        c.esegui(azioni);
        QCOMPARE(p->box(), boxes);
        if (fuoco != "*") // where the window puts it
            QCOMPARE(p->fuoco(), fuoco);
        for (const QString& a : atteso.split('\n'))
            QCOMPARE(a.section('=', 0, 0) + '=' + c.stato(a.section('=', 0, 0)), a);
    }

    // The list's lines: names trimmed and cut to their column, no name at all (empty or Null) marked, a code
    // stored as it is; each order button's order.
    void righe()
    {
        BancoProva p;
        const QString marca = "Anagrafica con dati da integrare";
        p.sostituto({"101", "CCCCCC80A01H501U"}, {"1=  BETA SPA ", "2="});
        p.sostituto({"015", "DDDDDD80A01H501U"}, {"1=", "2="});
        p.sostituto({"030", "EEEEEE80A01H501U"}, {"1=NULL", "2=NULL"});
        p.sostituto({"7", "AAAAAA80A01H501U"}, {"1=CDEFGHIJKLMNOPQRSTUVWXYZABCDEF", "2=GHIJKLMNOPQRSTUVWXYZ"});
        QVERIFY(p.avvia());
        QCOMPARE(p.righeLista(),
                 (QStringList{PRIMALINEA, lineaElenco("015", "DDDDDD80A01H501U", marca),
                              lineaElenco("030", "EEEEEE80A01H501U", marca),
                              lineaElenco("101", "CCCCCC80A01H501U", "BETA SPA "),
                              lineaElenco("7", "AAAAAA80A01H501U", "CDEFGHIJKLMNOPQRSTUVWXYZABCDEF GHIJKLMNOPQRST")}));
        for (const auto& [bottone, codici] :
             {std::pair{1, "7 101 015 030"}, {2, "030 015 101 7"}, {0, "015 030 101 7"}}) {
            QTest::mouseClick(p.controllo<QWidget>(QString("Option1(%1)").arg(bottone)), Qt::LeftButton);
            QCOMPARE(Cablaggio{p}.stato("righe"), codici);
        }
    }

    // The lookup list's lines and heading, for each button; closed by its button again, Escape, or a click on
    // the sheet, the focus back on the button, no field changed.
    void tabelle()
    {
        const auto p = banco();
        QStringList province{" Tabella province"};
        for (const auto& r : p->archivio.righe("SELECT codprov || ' ' || TRIM(descprov) FROM TABMIN_PROV ORDER BY 1"))
            province << r.first().toString();
        const auto riga = [](const QString& c, const QString& cf, const QString& n) {
            return (c + ' ' + cf.leftJustified(16) + ' ' + n.left(60)).leftJustified(81);
        };
        // clang-format off
        const QStringList aziende = {
            " Azienda - Codice fiscale - Cognome/nome o Denominazione",
            riga("   ", "03456789019", "SENZA CODICE SRL"), riga("001", "01234567897", "ALFA SRL"),
            riga("002", "RSSMRA80A01H501U", "ROSSI MARIO"), riga("005", "98765432103", NOMELUNGO),
            riga(SENZACODICE, "03456789027", "SPAZI SRL")};
        // clang-format on
        QVERIFY(p->apri(SOSTITUTI["101"]));
        auto* lista = p->controllo<QAbstractItemView>("ListTabmin");
        for (const auto& [bottone, attese] :
             QList<std::pair<int, QStringList>>{{1, province}, {2, aziende}, {0, province}}) {
            p->finestra.CMDAPRILIST_Click(bottone); // button 2 is never shown
            QCOMPARE(QStringList{p->controllo<QLabel>("LabTabmin")->text()} + righeDi(lista), attese);
            QCOMPARE(p->fuoco(), "ListTabmin");
        }
        p->click("CMDAPRILIST(0)");
        QVERIFY(!p->visibile("Framecodif"));
        p->click("CMDAPRILIST(0)");
        clickVoce(lista, 50); // a line picked, not chosen
        QTest::keyClick(lista, Qt::Key_Escape);
        QVERIFY(!p->visibile("Framecodif"));
        p->click("CMDAPRILIST(1)");
        QTest::mouseClick(p->controllo<QWidget>("Frmmoduli(0)"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!p->visibile("Framecodif"));
        QCOMPARE(p->fuoco(), "CMDAPRILIST(1)");
        QCOMPARE(p->scheda(), ROSSI);
        QCOMPARE(p->modulo.VARIAZIONI, 0);
    }
};

PROVA(TestCablaggio);
#include "cablaggio.moc"
