#pragma once
// The program's window started on a test archive, for GUI tests.
//
//   preparaAmbienteProva();              // once, in initTestCase()
//   RICHIEDI_MOTORE_PROVA();             // likewise (archivioprova.h)
//   BancoProva p;                        // year's archive with front page 001, configured
//   p.sostituto(ROSSI);                  // a person's row (PERSONA)
//   QVERIFY(p.avvia());                  // Form_Load, window shown and active
//   p.clickLista(p.rigaDi(ROSSI)); p.click("Cmdcancella");
//   QCOMPARE(p.box(), ...);              // the boxes shown, "style:text"
//
// The selection list is reached only through the helpers here (its lines'
// texts, a click on a line, the line picked, the line of a key), whatever
// kind of view it is.
//
// Message boxes: MessageBox::setNextAnswer() presets answers; with none left a
// box takes its default answer (Yes or OK) without being shown. Every box is
// recorded (MessageBox::shown()). rispondiBoxReale() lets the next box really
// show and answers it by clicking one of its buttons. The save and print
// dialogs (window/dialoghi.h) are cancelled unless a file is preset.
#include "support/archivioprova.h"

#include "window/anagsost.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Isolated configuration folder, Qt's texts in Italian as at the program's
// start-up, recording of message boxes, dialogs cancelled, no quitting when a
// window closes. Call once per test program, before any QSettings use.
void preparaAmbienteProva();
// Writes the two configuration values; a null QString removes the value.
// When `archivi` is the folder of a live ArchivioProva on a server, also
// writes SERVERPOSTGRESQL and PREFISSOPOSTGRESQL naming its databases;
// otherwise removes them.
void configura(const QString& archivi, const QString& programmi = QString());
// Writes SERVERPOSTGRESQL and PREFISSOPOSTGRESQL; a null QString removes the value.
void configuraServer(const QString& server, const QString& prefisso = QString());
// Clears the record of shown boxes and any preset answers.
inline void azzeraMessaggi()
{
    MessageBox::clearShown();
    MessageBox::clearNextAnswers();
}
// Texts of the boxes shown since the last azzeraMessaggi().
QStringList testiMostrati();

// The lines of a list (the selection list, the lookup list), and a mouse
// click (or click and double click) on one of them.
QStringList righeDi(const QAbstractItemView* lista);
void clickVoce(QAbstractItemView* lista, int riga, bool doppio = false);

// What pdftotext (poppler-utils) makes of a PDF, the fonts' ligatures (the
// "fi") as their letters; "" when it cannot run.
QString pdftotext(const QString& pdf, const QStringList& opzioni = {});

// Triggers the entry of a field's context menu, opened as a right click opens
// it, with the given (translated) text; false when there is none.
bool dalMenu(QWidget* campo, const QString& voce);
// A pixel of the field where a click puts the caret at `posizione`.
QPoint punto(QLineEdit* campo, int posizione);

// A substitute's key.
struct Chiave {
    QString codazi, cfs;
};
// A line of the selection list: the code as stored, the codice fiscale in 16
// columns, the name in 45.
inline QString lineaElenco(const QString& codazi, const QString& cfs, const QString& nome)
{
    return codazi + ' ' + cfs.leftJustified(16) + ' ' + nome.left(45).leftJustified(45);
}
// Its first line.
inline const QString PRIMALINEA = "------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------";

// The module and the window, with an instance lock of their own.
struct FinestraProva {
    QTemporaryDir m_blocco; // first member: the lock file inside it must outlive the module
    MOD770BAS modulo;
    ANAGSOST finestra;

    explicit FinestraProva(int attesaBloccoMs = 300) : modulo(MsgBox), finestra(modulo)
    {
        modulo.fileBloccoIstanza = m_blocco.filePath(QStringLiteral("anagsost.lock"));
        modulo.opzioniArchivio.attesaBloccoMs = attesaBloccoMs;
    }
    // The window's and the module's own destructors close the tables and the database.
    ~FinestraProva() { MessageBox::clearNextAnswers(); }

    // Form_Load; when it succeeds, waits until the window is active.
    bool avvia();

    template <class T>
    T* controllo(const QString& nome)
    {
        if (T* trovato = finestra.findChild<T*>(nome))
            return trovato;
        qFatal("control not found: %s", qPrintable(nome));
    }
    QPushButton* bottone(const QString& nome) { return controllo<QPushButton>(nome); }
    TextBox* campo(const QString& nome) { return controllo<TextBox>(nome); }
    bool visibile(const QString& nome) { return controllo<QWidget>(nome)->isVisible(); }
    // Text1(n) of the data sheet.
    TextBox* campo(int n) { return campo(QStringLiteral("Text1(%1)").arg(n)); }

    // Mouse on the real widgets.
    void click(const QString& nomeBottone) { QTest::mouseClick(bottone(nomeBottone), Qt::LeftButton); }

    // ---- the selection list ----
    QStringList righeLista() { return righeDi(lista()); }
    // The line of a substitute; -1 if none.
    int rigaDi(const Chiave& k);
    void clickLista(int riga) { clickVoce(lista(), riga); }
    void doppioClickLista(int riga) { clickVoce(lista(), riga, true); }
    // The text of the line picked; empty when none is.
    QString scelta() { return finestra.testoSelezionato(); }
    QAbstractItemView* lista() { return controllo<QAbstractItemView>(QStringLiteral("List1")); }
};

// A person as stored, ASOST_1 .. ASOST_10.
// clang-format off
inline const QStringList PERSONA = {
    "ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1", "001"};
// clang-format on

// The archive every window test starts from: a year's database with the front
// page of company 001 (ALFA SRL, 01234567897), configured for the window;
// boxes forgotten. A first base, so that it outlives the window.
struct AnnoProva {
    AnnoProva();
    ArchivioProva archivio;
};

// The window on that archive, with the helpers of the data sheet.
struct BancoProva : AnnoProva, FinestraProva {
    explicit BancoProva(int attesaBloccoMs = 300) : FinestraProva(attesaBloccoMs) {}

    // A substitute's row: PERSONA with changes "n=text" to ASOST_n ("n=NULL" a Null).
    void sostituto(const Chiave& k, const QStringList& cambi = {});
    // Starts the window if need be and double-clicks the substitute's line;
    // true when its sheet shows.
    bool apri(const Chiave& k);
    // The substitute's data sheet shows.
    bool mostra(const Chiave& k);
    // The ten fields' texts joined by '|', a field highlighted (yellow) marked "*".
    QString scheda();
    // The substitute's stored ASOST_1 .. ASOST_10 joined by '|'.
    QString registrato(const Chiave& k);
    // Replaces field n's text with real keys, entered as the keyboard does.
    void scrivi(int n, const QString& testo);
    // The boxes shown, as "style:text" ("style?text" under another title than
    // the window's); the store's words before a text's `coda`, which vary, as "...".
    QStringList box(const QString& coda = QString());
    // The objectName of the control with the focus.
    QString fuoco();
};

// Types a text key by key; letters beyond ASCII come with their own key code
// and text, as the keyboard sends them.
void digita(QWidget* w, const QString& testo);

// Clicks the button with the given answer (6 Yes, 7 No, 2 Cancel, 1 OK) on the
// next real modal message box, and records what the box showed.
struct BoxReale {
    QString testo;
    QStringList bottoni;
    QString predefinito;
    QSize dimensione; // of the box as shown
};
void rispondiBoxReale(int risposta, BoxReale* visto = nullptr);
