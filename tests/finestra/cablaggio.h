#pragma once
// The wiring table's means: the archive every row starts from, the
// operator's actions written as text, and what the window and the archive
// hold, read back as text.
//
// Actions, ";" between them:
//   avvia         the window started; apri K: the line of the substitute of company K double clicked (started
//                 if need be); clic K: the line clicked (0: the first line); doppio 0: the first line double clicked
//   giu           the Down key on the list; lista K: the key sequence K on the list, given the focus; premi B:
//                 a click on the button (or option) B
//   scrivi N T    field N's text (Text1(N) for a number, else the field's name) replaced with keys
//   tasti N T     keys typed into field N, entered as the keyboard does ("\b" a backspace)
//   chiave N K    the key sequence K on field N; incolla N T: T pasted with Ctrl+V; appunti T: T on the clipboard
//   menu N V      the entry V of field N's context menu; mouse N P: a click on field N where the caret goes to P
//   inserisci T   the insertion frame opened and its five fields typed, Tab after each ("~": never entered)
//   elenco B R    the lookup list of button B opened and its line starting with R chosen (double click)
//   si, no, annulla   the answer to the next box; variazioni 1: a change pending
//   sql S         a statement by another program; chiudi: the window closed
// What is read: scheda (the ten fields, "*" a highlighted one), inserimento
// (the insertion's fields), registrato K (the stored row, "assente" when
// none), visibili (frames shown), abilitati (list, deletion, change, three
// orders), mosse (the two moves), variazioni, scelta (the line picked), righe
// (the lines' codes), gialli (highlighted fields), testo X (a control's
// text), dalcodice (what the codice fiscale says, the fields framed), discorde
// N (a screen reader told the field disagrees), cursore N, appunti.
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/aspetto.h"

#include <QClipboard>
#include <QLabel>

// In key order; ROSSI's sheet agrees with his code, VERDI's (no date) does not, NERI's linked company has no
// front page, BETA is a company.
// clang-format off
inline const QMap<QString, Chiave> SOSTITUTI = {
    {"101", {"101", "RSSMRA75M15H501X"}}, {"102", {"102", "VRDGPP70A01F205X"}}, {"103", {"103", "NREPLA60C10L219K"}},
    {"104", {"104", "12345678903"}}, {"106", {"106", "02345678906"}}, {"107", {"107", "RSSMRA85T10H501O"}}};
// clang-format on
inline const QString SENZACODICE = QString(3, QChar(0x00A0)); // non-breaking blanks: sorts after the digits
inline const QString NOMELUNGO = "SOCIETA' COOPERATIVA DI PRODUZIONE E LAVORO DEI TRASPORTATORI RIUNITI DEL NORD EST";
// clang-format off
inline const QStringList CORNICI = {
    "FrmSelezione", "Frmmoduli(0)", "FrmInserimento", "FrameCambiaCf", "Framecodif", "Label2(15)"}; // the notice of a change of codice fiscale under way
// clang-format on

inline std::unique_ptr<BancoProva> banco(int attesaBloccoMs = 300)
{
    auto p = std::make_unique<BancoProva>(attesaBloccoMs);
    p->archivio.aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", "NON MOSTRATO", "1");
    p->archivio.aggiungiFrontespizio("005", "98765432103", "IGNORATO", {}, NOMELUNGO, "   ");
    p->archivio.aggiungiFrontespizio("   ", "03456789019", {}, {}, "SENZA CODICE SRL");
    p->archivio.aggiungiFrontespizio(SENZACODICE, "03456789027", {}, {}, "SPAZI SRL");
    p->sostituto(SOSTITUTI["101"]);
    p->sostituto(SOSTITUTI["102"], {"1=VERDI", "2=GIUSEPPE", "4=", "7=ROMA", "8=RM", "9=VIA VERDI 9"});
    p->sostituto(SOSTITUTI["103"], {"1=NERI", "2=PAOLO", "4=NULL", "5=TORINO", "6=TO", "10=9"});
    p->sostituto(SOSTITUTI["104"], {"1=BETA SPA", "2=", "3=", "4=00000000", "5=", "6=", "10=002"});
    for (const QString k : {"106", "107"}) // next to each other, the same texts: a company and a person
        p->sostituto(SOSTITUTI[k], {"1=", "2=", "3=", "4=00000000", "5=", "6=", "7=", "8=", "9="});
    p->archivio.aggiungiRigaQuadro("QUADROLAUT", "101", "01234567897", SOSTITUTI["101"].cfs);
    return p;
}

struct Cablaggio {
    BancoProva& p;

    TextBox* campo(const QString& n) { return n.toInt() ? p.campo(n.toInt()) : p.campo(n); }
    void esegui(const QString& azioni)
    {
        for (QString azione : azioni.split(';', Qt::SkipEmptyParts)) {
            azione.remove(QRegularExpression("^ +")); // the blanks after the text of an action are typed
            const QString verbo = azione.section(' ', 0, 0), a = azione.section(' ', 1, 1),
                          resto = azione.section(' ', 2);
            if (verbo == "avvia") {
                QVERIFY(p.avvia());
            } else if (verbo == "apri" || verbo == "clic" || verbo == "doppio") {
                if (!p.modulo.DBANNO)
                    QVERIFY(p.avvia());
                clickVoce(p.lista(), a == "0" ? 0 : p.rigaDi(SOSTITUTI[a]), verbo != "clic");
            } else if (verbo == "giu") {
                QTest::keyClick(p.lista(), Qt::Key_Down);
            } else if (verbo == "lista") {
                p.lista()->setFocus(Qt::OtherFocusReason);
                QTest::keySequence(p.lista(), QKeySequence(a));
            } else if (verbo == "premi") {
                QTest::mouseClick(p.controllo<QWidget>(a), Qt::LeftButton);
            } else if (verbo == "scrivi" || verbo == "tasti") {
                if (verbo == "scrivi" && a.toInt())
                    p.scrivi(a.toInt(), resto);
                else if (verbo == "scrivi")
                    campo(a)->clear();
                campo(a)->setFocus(Qt::TabFocusReason);
                if (!a.toInt() || verbo == "tasti")
                    digita(campo(a), QString(resto).replace("\\b", "\b"));
            } else if (verbo == "inserisci") {
                if (!p.modulo.DBANNO)
                    QVERIFY(p.avvia());
                p.doppioClickLista(0);
                const QStringList valori = azione.mid(10).split('|');
                for (int i = 0; i < valori.size() && valori[i] != "~"; ++i) {
                    QTest::keyClicks(QApplication::focusWidget(), valori[i]);
                    if (i + 1 < valori.size() && valori[i + 1] != "~")
                        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                }
            } else if (verbo == "elenco") {
                p.click("CMDAPRILIST(" + a + ")");
                auto* l = p.controllo<QAbstractItemView>("ListTabmin");
                clickVoce(l,
                          int(righeDi(l).indexOf(QRegularExpression("^" + QRegularExpression::escape(resto) + ".*"))),
                          true);
            } else if (verbo == "incolla") {
                QGuiApplication::clipboard()->setText(QString(resto).replace("\\n", "\n"));
                QTest::keySequence(campo(a), QKeySequence::Paste);
            } else if (verbo == "chiave") {
                QTest::keySequence(campo(a), QKeySequence(resto));
            } else if (verbo == "appunti") {
                QGuiApplication::clipboard()->setText(azione.mid(8));
            } else if (verbo == "menu") {
                QVERIFY(dalMenu(campo(a), resto));
            } else if (verbo == "mouse") {
                QTest::mouseClick(campo(a), Qt::LeftButton, {}, punto(campo(a), resto.toInt()));
            } else if (verbo == "si" || verbo == "no" || verbo == "annulla") {
                MessageBox::setNextAnswer(verbo == "si" ? vbYes : verbo == "no" ? vbNo : vbCancel);
            } else if (verbo == "variazioni") {
                p.modulo.VARIAZIONI = a.toInt();
            } else if (verbo == "sql") {
                p.archivio.esegui(azione.mid(4));
            } else if (verbo == "chiudi") {
                p.finestra.close();
            } else {
                QFAIL(qPrintable("unknown action " + azione));
            }
        }
    }
    // The critical boxes under the window's title that ask nothing.
    QStringList critici()
    {
        QStringList testi;
        for (const auto& b : MessageBox::shown())
            if (b.stile == vbCritical && b.titolo == p.finestra.windowTitle())
                testi << b.testo;
        return testi;
    }
    QString stato(const QString& chiave)
    {
        const QString cosa = chiave.section(' ', 0, 0), a = chiave.section(' ', 1);
        QStringList v;
        if (cosa == "scheda")
            return p.scheda();
        if (cosa == "registrato") {
            const auto riga = p.archivio.righe("SELECT CFS FROM ANAGSOSTITUTI WHERE CODAZI = ?", {a});
            return riga.isEmpty() ? "assente" : p.registrato({a, riga.first().value("CFS").toString()});
        }
        if (cosa == "discorde") // as a screen reader hears the field
            return QString::number(campo(a)->accessibleDescription().endsWith("non corrisponde al codice fiscale"));
        if (cosa == "appunti")
            return QGuiApplication::clipboard()->text();
        if (cosa == "cursore")
            return QString::number(campo(a)->cursorPosition());
        if (cosa == "mosse")
            return QString::number(p.bottone("cmdparcprec")->isEnabled()) +
                   QString::number(p.bottone("cmdparcsuc")->isEnabled());
        if (cosa == "variazioni")
            return QString::number(p.modulo.VARIAZIONI);
        if (cosa == "scelta")
            return p.scelta().isEmpty() ? "-" : p.scelta().left(3);
        if (cosa == "testo")
            return p.controllo<QWidget>(a)->property("text").toString();
        for (const QString& c : cosa == "visibili" ? CORNICI : QStringList())
            if (p.visibile(c))
                v << c;
        for (const QString n : {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"})
            if (cosa == "inserimento")
                v << p.campo(n)->text();
        for (const QString n : {"List1", "Cmdcancella", "CmdCambia", "Option1(0)", "Option1(1)", "Option1(2)"})
            if (cosa == "abilitati")
                v << QString::number(p.controllo<QWidget>(n)->isEnabled());
        for (const QString& r : cosa == "righe" ? p.righeLista().mid(1) : QStringList())
            v << r.section(' ', 0, 0);
        for (TextBox* t : cosa == "gialli" ? p.finestra.findChildren<TextBox*>() : QList<TextBox*>())
            if (t->BackColor() == GIALLO)
                v << t->objectName();
        if (cosa == "dalcodice") {
            for (const char* nome : {"LabDalCodice", "LabDiscordanze"})
                v << (p.visibile(nome) ? p.controllo<QLabel>(nome)->text() : QString());
            for (int i = 1; i <= 6; ++i)
                if (p.visibile(QString("CorniceCF(%1)").arg(i)))
                    v << QString::number(i);
        }
        return v.join(cosa == "abilitati" ? "" : cosa == "righe" ? " " : "|");
    }
};
