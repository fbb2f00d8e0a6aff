// Start-up and shutdown of the window.
#include "window/anagsost.h"
#include "startup/istanza.h"
#include "window/aspetto.h"
#include "window/attesa.h"
#include "window/msgbox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

ANAGSOST::ANAGSOST(MOD770BAS& modulo, QWidget* parent) : QMainWindow(parent), M(modulo)
{
    COSTRUISCICONTROLLI();
    m_attesa = std::make_unique<AttesaFinestra>(LabAttesa);
    COSTRUISCIDALCODICE();
    COSTRUISCIVERIFICA();
    COSTRUISCIAVVISI();
    COLLEGAFINESTRA();
    COLLEGASELEZIONE();
    COLLEGASCHEDA();
    COLLEGADALCODICE();
    COLLEGAMEMORIZZA();
    COLLEGAINSERIMENTO();
    COLLEGACANCELLAZIONE();
    COLLEGACAMBIOCF();
    COLLEGATABMIN();
    COLLEGATROVA();
    COLLEGAESPORTA();
    COLLEGASTAMPA();
    COLLEGAVERIFICA();
}

ANAGSOST::~ANAGSOST()
{
    // The module may outlive the window: nothing of it is called back.
    if (M.DBANNO)
        M.DBANNO->ascolta({});
    CHIUDITAB();
}

bool ANAGSOST::Form_Load()
{
    setWindowTitle(QStringLiteral(" Gestione Modello ") + MODELLO + QStringLiteral(" (Semplificato) - ")
                   + QStringLiteral("Anagrafiche di ditte da operazioni straordinarie e successioni").trimmed());

    if (M.INIZIALIZZA() == MOD770BAS::ESITO::Termina) {
        m_scaricata = true;
        return false;
    }
    if (Istanza* istanza = M.ISTANZA())
        connect(istanza, &Istanza::primoPianoRichiesto, this, [this] { PRIMOPIANO(); });

    IMPOSTAFRAME();

    // 12120 x 9120 twips, centred on the screen.
    const QSize dimensione(TWIPS(12120), TWIPS(9120));
    setFixedSize(dimensione);
    if (const QScreen* schermo = screen()) {
        const QRect area = schermo->availableGeometry();
        move(area.x() + (area.width() - dimensione.width()) / 2, area.y() + (area.height() - dimensione.height()) / 2);
    }
    show();

    // A database that cannot be opened or lacks a table the program needs is
    // reported and the program ends through the normal shutdown; the file is
    // left as it is.
    try {
        M.APRIDATABASE();
        STATO.MESSAGGIO = Caption().trimmed();
        if (M.CONTROLLOFRONTESPIZIO(STATO.MESSAGGIO) == 1) {
            Form_Unload();
            return false;
        }
        APRITAB();
        STATO.FORMCARICATO = 0;
        Option1[0]->setChecked(true);
        LISTASOSTITUTI();
    } catch (const store::ErroreArchivio& errore) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        MsgBox(errore.messaggioAvvio(), vbCritical, Caption());
        Form_Unload();
        return false;
    }
    STATO.FORMCARICATO = 1;
    M.VARIAZIONI = 0;
    M.ERRORECAMPI = 0;
    StatusBar1->showMessage(QStringLiteral("Archivio: ") + M.NOMEARCHIVIOANNO());
    List1->setFocus();
    protetto([this] { ASCOLTAAVVISI(); });
    return true;
}

void ANAGSOST::Form_Unload()
{
    if (m_scaricata)
        return;
    m_scaricata = true;
    CHIUDITAB();
    M.CHIUDIDATABASE();
    M.ATTIVAPROGRAMMAPRINCIPALE();
    close();
}

void ANAGSOST::PRIMOPIANO()
{
    if (m_scaricata)
        return;
    showNormal();
    raise();
    activateWindow();
    // A box waiting for an answer comes forward with its window.
    if (QWidget* modale = QApplication::activeModalWidget()) {
        modale->raise();
        modale->activateWindow();
    }
}

void ANAGSOST::APRITAB()
{
    // A year's database lacking a table, field or index the operations rely
    // on is refused here, naming what is missing, and not half-way through
    // the operator's work.
    registro::Tabelle tabelle = registro::apriTabelle(*M.DBANNO);
    M.TABFRONTESPIZIO = std::move(tabelle.frontespizi);
    M.TABANAGSOST = std::move(tabelle.sostituti);
    M.TABPROV = std::move(tabelle.province);
}

registro::Archivio ANAGSOST::ARCHIVIO() const
{
    return {*M.DBANNO, *M.TABFRONTESPIZIO, *M.TABANAGSOST, *M.TABPROV};
}

void ANAGSOST::CHIUDITAB()
{
    for (auto* recordset : {&M.TABFRONTESPIZIO, &M.TABANAGSOST, &M.TABPROV}) {
        if (!*recordset)
            continue;
        try {
            (*recordset)->Close();
        } catch (const store::ErroreArchivio&) {
        }
        recordset->reset();
    }
}

void ANAGSOST::ERROREARCHIVIO(const store::ErroreArchivio& errore)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    MsgBox(errore.messaggio(), vbCritical, Caption());
}

void ANAGSOST::closeEvent(QCloseEvent* evento)
{
    if (m_scaricata) {
        evento->accept();
        return;
    }
    // Closed by the window system: the same road as the button bar's exit, so
    // that unsaved changes are not dropped without the question.
    const int indice = FrmSelezione->isVisible() ? 1 : 0;
    protetto([this, indice] { cmduscita_Click(indice); });
    if (m_scaricata)
        evento->accept();
    else
        evento->ignore();
}
