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
// show and answers it by clicking one of its buttons.
#include "window/anagsost.h"
#include "window/msgbox.h"

#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TextBox;

// Isolated configuration folder, recording of message boxes, no quitting when
// a window closes. Call once per test program, before any QSettings use.
void preparaAmbienteProva();

// Writes the two configuration values; a null QString removes the value.
// When `archivi` is the folder of a live ArchivioProva on a server, also
// writes SERVERPOSTGRESQL and PREFISSOPOSTGRESQL naming its databases;
// otherwise removes them.
void configura(const QString& archivi, const QString& programmi = QString());
// Writes SERVERPOSTGRESQL and PREFISSOPOSTGRESQL; a null QString removes the value.
void configuraServer(const QString& server, const QString& prefisso = QString());

// Clears the record of shown boxes and any preset answers.
void azzeraMessaggi();
// Texts of the boxes shown since the last azzeraMessaggi().
QStringList testiMostrati();

class FinestraProva {
    // First member: the lock file inside it must outlive the module.
    QTemporaryDir m_blocco;

public:
    explicit FinestraProva(int attesaBloccoMs = 300);
    ~FinestraProva();

    MOD770BAS modulo;
    ANAGSOST finestra;

    // Form_Load; when it succeeds, waits until the window is active.
    bool avvia();

    template <class T>
    T* controllo(const QString& nome)
    {
        T* trovato = finestra.findChild<T*>(nome);
        if (!trovato)
            qFatal("control not found: %s", qPrintable(nome));
        return trovato;
    }
    QPushButton* bottone(const QString& nome) { return controllo<QPushButton>(nome); }
    TextBox* campo(const QString& nome);
    QListWidget* lista() { return controllo<QListWidget>(QStringLiteral("List1")); }

    // Mouse on the real widgets.
    void click(const QString& nomeBottone);
    void clickLista(int riga);
    void doppioClickLista(int riga);
    // Row of List1 whose text starts with the given company code and codice fiscale.
    int rigaDi(const QString& codazi, const QString& cfs);

    // Text of every line of List1.
    QStringList righeLista();
};

// Clicks the button with the given answer (6 Yes, 7 No, 2 Cancel, 1 OK) on the
// next real modal message box, and records what the box showed.
struct BoxReale {
    QString testo;
    QString titolo;
    int icona = -1; // QMessageBox::Icon
    QStringList bottoni;
    QString predefinito;
};
void rispondiBoxReale(int risposta, BoxReale* visto = nullptr);
