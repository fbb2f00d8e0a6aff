#pragma once
// The program's window started on a test archive, for GUI tests.
//
//   preparaAmbienteProva();                  // once, in initTestCase()
//   RICHIEDI_MOTORE_PROVA();                 // likewise (archivioprova.h)
//   ArchivioProva archivio; archivio.creaAnno(); ...rows...
//   configura(archivio.cartella());          // on a server: its server and prefix too
//   FinestraProva prova;                     // module + window, own instance lock
//   QVERIFY(prova.avvia());                  // Form_Load, window shown and active
//   prova.clickLista(1); prova.click("Cmdcancella");
//
// Message boxes: MessageBox::setNextAnswer() presets answers; with none left a
// box takes its default answer (Yes or OK) without being shown. Every box is
// recorded (MessageBox::shown()). rispondiBoxReale() lets the next box really
// show and answers it by clicking one of its buttons. The save and print
// dialogs (window/dialoghi.h) are cancelled unless a file is preset.
#include "window/anagsost.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Isolated configuration folder, Qt's texts in Italian as at the program's
// start-up, recording of message boxes, dialogs cancelled, no quitting when a
// window closes.
// Call once per test program, before any QSettings use.
void preparaAmbienteProva();
// Writes the two configuration values; a null QString removes the value.
// When `archivi` is the folder of a live ArchivioProva on a server, also
// writes SERVERPOSTGRESQL and PREFISSOPOSTGRESQL naming its databases;
// otherwise removes them.
void configura(const QString& archivi, const QString& programmi = QString());
// Writes SERVERPOSTGRESQL and PREFISSOPOSTGRESQL; a null QString removes the value.
void configuraServer(const QString& server, const QString& prefisso = QString());
// Clears the record of shown boxes and any preset answers.
inline void azzeraMessaggi() { MessageBox::clearShown(); MessageBox::clearNextAnswers(); }
// Texts of the boxes shown since the last azzeraMessaggi().
QStringList testiMostrati();

// Mouse click (or click and double click) on a line of any list, and the text of its lines.
void clickVoce(QListWidget* lista, QListWidgetItem* voce, bool doppio = false);
void clickRiga(QAbstractItemView* lista, int riga, bool doppio = false);
QStringList righeDi(const QAbstractItemView* lista);

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

    template <class T> T* controllo(const QString& nome)
    {
        T* trovato = finestra.findChild<T*>(nome);
        if (!trovato)
            qFatal("control not found: %s", qPrintable(nome));
        return trovato;
    }
    QPushButton* bottone(const QString& nome) { return controllo<QPushButton>(nome); }
    TextBox* campo(const QString& nome) { return controllo<TextBox>(nome); }
    QListView* lista() { return controllo<QListView>(QStringLiteral("List1")); }

    // Mouse on the real widgets.
    void click(const QString& nomeBottone) { QTest::mouseClick(bottone(nomeBottone), Qt::LeftButton); }
    void clickLista(int riga) { clickRiga(lista(), riga); }
    void doppioClickLista(int riga) { clickRiga(lista(), riga, true); }
    // Row of List1 whose text starts with the given company code and codice fiscale; -1 if none.
    int rigaDi(const QString& codazi, const QString& cfs);
    QStringList righeLista() { return righeDi(lista()); }
};

// Clicks the button with the given answer (6 Yes, 7 No, 2 Cancel, 1 OK) on the
// next real modal message box, and records what the box showed.
struct BoxReale {
    QString testo, titolo;
    int icona = -1; // QMessageBox::Icon
    QStringList bottoni;
    QString predefinito;
    QSize dimensione; // of the box as shown
};
void rispondiBoxReale(int risposta, BoxReale* visto = nullptr);
