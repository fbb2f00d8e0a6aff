// The check of the whole archive before the return is filed: the button
// beside the export and print of the list, and the frame of its findings,
// shown in the selection frame's place as a mode of the window of its own.
// A finding opens its substitute's data sheet as the selection list does,
// and "Altra anagrafica" comes back to the findings, checked again, so that
// the clerk goes through them one by one.
#include "registry/verifica.h"
#include "registry/testi.h"
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/costruzione.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/pagine.h"

#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>

namespace {

using namespace costruzione;

const QString NESSUNASEGNALAZIONE =
    QStringLiteral("Verifica completata: nessuna anomalia nelle anagrafiche sostituti e nelle righe dei quadri.");
const QString SENZAANAGRAFICA = QStringLiteral(
    "Per l'azienda %1 e il codice fiscale %2 non c'è un'anagrafica sostituto da aprire: le righe dei quadri "
    "vanno ricondotte a un sostituto inserito o cancellate dal programma che le ha scritte.");

// The finding's key as it is picked again after a new check.
bool stessa(const registro::Segnalazione& a, const registro::Segnalazione& b)
{
    return a.codazi == b.codazi && a.cfs == b.cfs && a.tipo == b.tipo;
}

} // namespace

void ANAGSOST::COSTRUISCIVERIFICA()
{
    // The button in the free space left of the export, under the search field.
    CmdVerifica =
        creaBottone(FrmSelezione, QStringLiteral("CmdVerifica"), QStringLiteral("Verifica..."), 6900, 5520, 1395, 375);
    CmdVerifica->setAccessibleDescription(
        QStringLiteral("Verifica l'intero archivio prima dell'invio della dichiarazione"));

    // The findings, where the selection frame lies, with its geometry.
    FrmVerifica = creaFrame(centralWidget(), QStringLiteral("FrmVerifica"));
    posiziona(FrmVerifica, 120, 900, 11745, 6015);
    LabVerifica = creaLabel(FrmVerifica, QStringLiteral("LabVerifica"),
                            QStringLiteral(" Verifica dell'archivio  (anagrafiche da correggere prima dell'invio "
                                           "della dichiarazione)"),
                            180, 300, 11445, 345);
    QFont grassetto = LabVerifica->font();
    grassetto.setBold(true);
    LabVerifica->setFont(grassetto);
    LabVerifica->setWordWrap(false);

    ListVerifica = new QTreeWidget(FrmVerifica);
    ListVerifica->setObjectName(QStringLiteral("ListVerifica"));
    ListVerifica->setHeaderLabels({QStringLiteral("Azienda"), QStringLiteral("Codice fiscale"),
                                   QStringLiteral("Denominazione/Nominativo"), QStringLiteral("Da correggere")});
    ListVerifica->setRootIsDecorated(false);
    ListVerifica->setAllColumnsShowFocus(true);
    ListVerifica->setSelectionMode(QAbstractItemView::SingleSelection);
    ListVerifica->setWordWrap(true);
    ListVerifica->setTextElideMode(Qt::ElideNone);
    ListVerifica->header()->setStretchLastSection(false);
    ListVerifica->header()->setSectionsMovable(false);
    ListVerifica->setAccessibleName(QStringLiteral("Segnalazioni della verifica"));
    posiziona(ListVerifica, 180, 720, 11385, 3840);
    // Fixed columns, the message taking what is left beside the scroll bar
    // (always there, so that the width is known before the list is shown).
    ListVerifica->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListVerifica->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int libera = ListVerifica->width() - 2 * ListVerifica->frameWidth() -
                 ListVerifica->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListVerifica);
    const int larghezze[] = {825, 2160, 2880};
    for (int c = 0; c < 3; ++c) {
        ListVerifica->setColumnWidth(c, TWIPS(larghezze[c]));
        libera -= TWIPS(larghezze[c]);
    }
    ListVerifica->setColumnWidth(3, libera);

    LabRiepilogoVerifica =
        creaLabel(FrmVerifica, QStringLiteral("LabRiepilogoVerifica"), QString(), 180, 4650, 9240, 690);
    LabRiepilogoVerifica->setWordWrap(true);
    LabRiepilogoVerifica->setAccessibleName(QStringLiteral("Segnalazioni per tipo"));
    LabIstruzioniVerifica =
        creaLabel(FrmVerifica, QStringLiteral("LabIstruzioniVerifica"),
                  QStringLiteral("Doppio click o Invio su una segnalazione per aprire la scheda del sostituto; 'Altra "
                                 "anagrafica' riporta qui, con l'archivio verificato di nuovo."),
                  180, 5400, 9240, 435);
    LabIstruzioniVerifica->setWordWrap(true);
    CmdEsportaVerifica = creaBottone(FrmVerifica, QStringLiteral("CmdEsportaVerifica"), QStringLiteral("Esporta..."),
                                     9600, 4680, 960, 435);
    CmdEsportaVerifica->setAccessibleDescription(QStringLiteral("Esporta le segnalazioni in un file"));
    CmdStampaVerifica = creaBottone(FrmVerifica, QStringLiteral("CmdStampaVerifica"), QStringLiteral("Stampa..."),
                                    10605, 4680, 960, 435);
    CmdStampaVerifica->setAccessibleDescription(QStringLiteral("Stampa le segnalazioni"));
    CmdChiudiVerifica = creaBottone(FrmVerifica, QStringLiteral("CmdChiudiVerifica"),
                                    QStringLiteral("Torna all'elenco"), 9600, 5220, 1965, 615);
    QWidget::setTabOrder(ListVerifica, CmdEsportaVerifica);
    QWidget::setTabOrder(CmdEsportaVerifica, CmdStampaVerifica);
    QWidget::setTabOrder(CmdStampaVerifica, CmdChiudiVerifica);
    QWidget::setTabOrder(Option1[2], CmdVerifica);
    QWidget::setTabOrder(CmdVerifica, CmdEsporta);
    FrmVerifica->hide();
    // The lookup list stays over every frame.
    FrmVerifica->stackUnder(Framecodif);
}

void ANAGSOST::COLLEGAVERIFICA()
{
    connect(CmdVerifica, &QPushButton::clicked, this, [this] { protetto([this] { CmdVerifica_Click(); }); });
    connect(CmdChiudiVerifica, &QPushButton::clicked, this,
            [this] { protetto([this] { CmdChiudiVerifica_Click(); }); });
    connect(CmdEsportaVerifica, &QPushButton::clicked, this,
            [this] { protetto([this] { CmdEsportaVerifica_Click(); }); });
    connect(CmdStampaVerifica, &QPushButton::clicked, this,
            [this] { protetto([this] { CmdStampaVerifica_Click(); }); });
    connect(ListVerifica, &QTreeWidget::itemDoubleClicked, this,
            [this] { protetto([this] { ListVerifica_DblClick(); }); });
    // Return opens the finding picked, as a double click does.
    for (const Qt::Key tasto : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* apri = new QShortcut(QKeySequence(tasto), ListVerifica, nullptr, nullptr, Qt::WidgetShortcut);
        connect(apri, &QShortcut::activated, this, [this] { protetto([this] { ListVerifica_DblClick(); }); });
    }
    // The list locked by a change of codice fiscale under way locks the check too.
    new StessoStato(List1, CmdVerifica);
    // Like the other buttons, they close the lookup list when they take the focus.
    CmdVerifica->installEventFilter(this);
    CmdChiudiVerifica->installEventFilter(this);
    CmdEsportaVerifica->installEventFilter(this);
    CmdStampaVerifica->installEventFilter(this);
}

std::optional<std::vector<registro::Segnalazione>> ANAGSOST::VERIFICAARCHIVIO()
{
    std::vector<registro::Segnalazione> trovate;
    {
        const CursoreOccupato occupato;
        trovate = registro::verificaArchivio(*M.DBANNO);
    }
    if (trovate.empty()) {
        MsgBox(NESSUNASEGNALAZIONE, vbInformation, Caption());
        return std::nullopt;
    }
    return trovate;
}

void ANAGSOST::MOSTRASEGNALAZIONI(std::vector<registro::Segnalazione> trovate, bool mantieniScelta)
{
    // The finding picked stays picked when it is still there; otherwise the
    // one that took its place, so that the clerk goes on down the list.
    QTreeWidgetItem* attuale = ListVerifica->currentItem();
    const int prima = mantieniScelta && attuale ? ListVerifica->indexOfTopLevelItem(attuale) : 0;
    std::optional<registro::Segnalazione> scelta;
    if (mantieniScelta && attuale)
        scelta = STATO.SEGNALAZIONI[std::size_t(prima)];
    STATO.SEGNALAZIONI = std::move(trovate);

    ListVerifica->clear();
    const QFontMetrics metrica(ListVerifica->font());
    // The column less the text's margins on either side, as the list draws it.
    const int margine = ListVerifica->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListVerifica) + 1;
    const int larghezza = ListVerifica->columnWidth(3) - 2 * margine;
    QList<QTreeWidgetItem*> voci;
    int corrente = std::min(prima, int(STATO.SEGNALAZIONI.size()) - 1);
    for (const registro::Segnalazione& s : STATO.SEGNALAZIONI) {
        if (scelta && stessa(s, *scelta))
            corrente = int(voci.size());
        auto* voce = new QTreeWidgetItem(QStringList{s.codazi, s.cfs.trimmed(), s.nominativo, s.messaggio});
        voce->setToolTip(3, s.messaggio);
        // A long message wraps within its column: the line as high as it needs.
        const QRect testo = metrica.boundingRect(QRect(0, 0, larghezza, 0), Qt::TextWordWrap, s.messaggio);
        voce->setSizeHint(3, QSize(larghezza, testo.height() + TWIPS(60)));
        voci << voce;
    }
    ListVerifica->addTopLevelItems(voci);
    ListVerifica->setCurrentItem(ListVerifica->topLevelItem(std::max(corrente, 0)));
    LabRiepilogoVerifica->setText(registro::riepilogoSegnalazioni(STATO.SEGNALAZIONI));
}

void ANAGSOST::CmdVerifica_Click()
{
    FrmInserimento->hide();
    std::optional<std::vector<registro::Segnalazione>> trovate = VERIFICAARCHIVIO();
    if (!trovate)
        return;
    MOSTRASEGNALAZIONI(std::move(*trovate), false);
    FrmSelezione->hide();
    MOSTRAVERIFICA();
}

void ANAGSOST::ListVerifica_DblClick()
{
    QTreeWidgetItem* voce = ListVerifica->currentItem();
    if (!voce)
        return;
    const registro::Segnalazione s = STATO.SEGNALAZIONI[std::size_t(ListVerifica->indexOfTopLevelItem(voce))];
    STATO.CODAZISOST = s.codazi;
    STATO.CFSSOST = s.cfs;
    if (!APRISCHEDA()) {
        // Orphan section rows have no sheet; a substitute deleted meanwhile neither.
        MsgBox(s.tipo == registro::TipoSegnalazione::RigheOrfane ? SENZAANAGRAFICA.arg(s.codazi, s.cfs.trimmed())
                                                                 : registro::testi::SOSTITUTONONPRESENTE,
               vbInformation, Caption());
        return;
    }
    STATO.DAVERIFICA = true;
    FrmVerifica->hide();
}

void ANAGSOST::RITORNAVERIFICA()
{
    std::optional<std::vector<registro::Segnalazione>> trovate = VERIFICAARCHIVIO();
    if (!trovate) {
        STATO.DAVERIFICA = false;
        RITORNASELEZDIC();
        return;
    }
    MOSTRASEGNALAZIONI(std::move(*trovate), true);
    Frmmoduli[0]->hide();
    Frmbottoni->hide();
    Frmtestata->hide();
    MOSTRAVERIFICA();
}

void ANAGSOST::MOSTRAVERIFICA()
{
    FrmVerifica->show();
    ListVerifica->scrollToItem(ListVerifica->currentItem());
    ListVerifica->setFocus();
}

void ANAGSOST::CmdChiudiVerifica_Click()
{
    STATO.DAVERIFICA = false;
    FrmVerifica->hide();
    RITORNASELEZDIC();
}

void ANAGSOST::CmdEsportaVerifica_Click()
{
    const std::optional<FileEsportazione> file = SCEGLIFILEESPORTAZIONE(
        QStringLiteral("Esporta segnalazioni della verifica"), QStringLiteral("verifica-archivio.xlsx"));
    if (!file)
        return;
    registro::EsitoEsportazione esito;
    {
        const CursoreOccupato occupato;
        esito = registro::esportaTabella(registro::tabellaSegnalazioni(STATO.SEGNALAZIONI), file->percorso,
                                         file->formato, QStringLiteral(" segnalazioni scritte nel file"));
    }
    MOSTRAESITOESPORTAZIONE(esito, file->percorso);
}

void ANAGSOST::CmdStampaVerifica_Click()
{
    // The code and the codice fiscale as wide as their widest text; the name,
    // the kind and what is wrong share what is left.
    const std::vector<double> quote = {0, 0, 0.28, 0.22, 0.50};
    const TestataPagine testata{QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")),
                                QStringLiteral("Archivio: ") + M.NOMEARCHIVIOANNO(),
                                registro::riepilogoSegnalazioni(STATO.SEGNALAZIONI)};
    STAMPATABELLA(testata, registro::tabellaSegnalazioni(STATO.SEGNALAZIONI), quote,
                  QStringLiteral("verifica-archivio.pdf"));
}
