// Start-up and shutdown of the window.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/msgbox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

namespace {

// Every table the window reads or writes, with the fields it uses.
const char* const CAMPIRICHIESTI[][2] = {
    {"FRONTESPIZIO", "CODAZI, CFD, FR_1, FR_2, FR_3, fr_14"},
    {"ANAGSOSTITUTI", "CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, "
                      "ASOST_10"},
    {"TABMIN_PROV", "codprov, descprov"},
    {"QUADROLDIP1", "CODAZI, CFD, CFS"},
    {"QUADROLDIP2", "CODAZI, CFD, CFS"},
    {"QUADROLDIP3", "CODAZI, CFD, CFS"},
    {"QUADROLDIP4", "CODAZI, CFD, CFS"},
    {"QUADROLAUT", "CODAZI, CFD, CFS"},
    {"QUADROST", "CODAZI, CFD, CFS"},
    {"PERCETTORI", "CODAZI"},
};

// Makes each index current once (raising OggettoMancante for a missing one),
// then puts the record set back on its primary index.
void verificaIndici(store::TableRecordset& tabella, std::initializer_list<const char*> indici)
{
    for (const char* indice : indici)
        tabella.setIndex(QString::fromLatin1(indice));
    tabella.setIndex(QStringLiteral("CHIAVE"));
}

} // namespace

ANAGSOST::ANAGSOST(MOD770BAS& modulo, QWidget* parent) : QMainWindow(parent), M(modulo)
{
    COSTRUISCICONTROLLI();
    COLLEGAFINESTRA();
    COLLEGASELEZIONE();
    COLLEGASCHEDA();
    COLLEGAMEMORIZZA();
    COLLEGAINSERIMENTO();
    COLLEGACANCELLAZIONE();
    COLLEGACAMBIOCF();
    COLLEGATABMIN();
}

ANAGSOST::~ANAGSOST()
{
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
        MESSAGGIO = Caption().trimmed();
        M.CONTROLLOFRONTESPIZIO(MESSAGGIO);
        if (M.MANCAFRONTESPIZIO == 1) {
            Form_Unload();
            return false;
        }
        APRITAB();
        FORMCARICATO = 0;
        Option1[0]->setChecked(true);
        LISTASOSTITUTI();
    } catch (const store::ErroreArchivio& errore) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        MsgBox(errore.messaggioAvvio(), vbCritical, Caption());
        Form_Unload();
        return false;
    }
    FORMCARICATO = 1;
    M.VARIAZIONI = 0;
    M.ERRORECAMPI = 0;
    StatusBar1->showMessage(QStringLiteral("Archivio: ") + M.NOMEARCHIVIOANNO());
    List1->setFocus();
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

void ANAGSOST::APRITAB()
{
    M.TABFRONTESPIZIO = M.DBANNO->OpenTable(QStringLiteral("FRONTESPIZIO"));
    M.TABFRONTESPIZIO->setIndex(QStringLiteral("CHIAVE"));
    M.TABANAGSOST = M.DBANNO->OpenTable(QStringLiteral("ANAGSOSTITUTI"));
    M.TABANAGSOST->setIndex(QStringLiteral("CHIAVE"));
    M.TABPROV = M.DBANNO->OpenTable(QStringLiteral("TABMIN_PROV"));
    M.TABPROV->setIndex(QStringLiteral("CHIAVE"));

    // A year's database lacking a table, field or index the window relies on
    // is refused here, naming what is missing, and not half-way through the
    // operator's work (a deletion or a change of codice fiscale would then
    // stop at the first table it cannot reach).
    for (const auto& [tabella, campi] : CAMPIRICHIESTI) {
        M.DBANNO
            ->OpenRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE 1 = 0")
                                .arg(QString::fromLatin1(campi), QString::fromLatin1(tabella)))
            ->Close();
    }
    verificaIndici(*M.TABFRONTESPIZIO, {"CHIAVECODAZI", "CHIAVECFD"});
    verificaIndici(*M.TABANAGSOST, {"CHIAVECODAZI", "CHIAVECFS"});
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
