// Lookup list of provinces and of declarants' front pages: a press of a lookup
// button fills the list and lays it over the window; a choice copies the code
// of the chosen line into the button's field.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/textbox.h"

#include "registry/elenchi.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include <functional>

namespace {

const QString TITOLOPROVINCE = QStringLiteral(" Tabella province");
const QString TITOLOAZIENDE = QStringLiteral(" Azienda - Codice fiscale - Cognome/nome o Denominazione");

// Geometry of the lookup frame for each button, in twips: left, top, width,
// height relative to the window's client area.
constexpr int GEOMETRIA[4][4] = {
    {4890, 3350, 4155, 2580},
    {3620, 3960, 4155, 2580},
    {420, 4000, 8955, 2580},
    {1070, 4300, 8600, 1840},
};

QString riempi(const QString& testo, int larghezza)
{
    return testo.leftJustified(larghezza, QLatin1Char(' '), true);
}

QString rigaProvincia(const registro::RigaProvincia& p)
{
    return p.codice + QLatin1Char(' ') + p.descrizione.trimmed();
}

QString rigaFrontespizio(const registro::RigaFrontespizio& f)
{
    // The code keeps its three columns even when shorter than three (a
    // fixed-width column on a server reads back without its blanks).
    return f.codazi.leftJustified(3, QLatin1Char(' ')) + QLatin1Char(' ') + riempi(f.cfd.trimmed(), 16)
        + QLatin1Char(' ') + riempi(f.nominativo(), 60);
}

template <class Riga>
QStringList righe(const std::vector<Riga>& elenco, QString (*riga)(const Riga&))
{
    QStringList testi;
    testi.reserve(qsizetype(elenco.size()));
    for (const Riga& r : elenco)
        testi.append(riga(r));
    return testi;
}

// Keys of the lookup list (Escape, Enter) and the frame being hidden.
class FiltroTabmin : public QObject {
public:
    FiltroTabmin(QObject* padre, QListWidget* lista, QWidget* frame, std::function<void(int, int)> tasto,
                 std::function<void()> nascosto)
        : QObject(padre), m_lista(lista), m_frame(frame), m_tasto(std::move(tasto)), m_nascosto(std::move(nascosto))
    {
        lista->installEventFilter(this);
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (oggetto == m_lista && evento->type() == QEvent::KeyPress) {
            const auto* tasto = static_cast<QKeyEvent*>(evento);
            int codice = 0;
            if (tasto->key() == Qt::Key_Escape)
                codice = 27;
            else if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter)
                codice = 13;
            if (codice != 0) {
                int shift = 0;
                if (tasto->modifiers() & Qt::ShiftModifier)
                    shift |= 1;
                if (tasto->modifiers() & Qt::ControlModifier)
                    shift |= 2;
                if (tasto->modifiers() & Qt::AltModifier)
                    shift |= 4;
                m_tasto(codice, shift);
                return true;
            }
        } else if (oggetto == m_frame && evento->type() == QEvent::Hide && !m_frame->window()->isHidden()) {
            // Only the frame itself being hidden: when the whole window
            // closes, or is being destroyed, there is no focus to give back.
            m_nascosto();
        }
        return QObject::eventFilter(oggetto, evento);
    }

private:
    QListWidget* m_lista;
    QWidget* m_frame;
    std::function<void(int, int)> m_tasto;
    std::function<void()> m_nascosto;
};

} // namespace

void ANAGSOST::COLLEGATABMIN()
{
    for (int i = 0; i < 4; ++i) {
        connect(CMDAPRILIST[i], &QPushButton::clicked, this,
                [this, i] { protetto([this, i] { CMDAPRILIST_Click(i); }); });
    }
    connect(ListTabmin, &QListWidget::itemDoubleClicked, this, [this] { protetto([this] { ListTabmin_DblClick(); }); });
    new FiltroTabmin(
        this, ListTabmin, Framecodif,
        [this](int KeyCode, int Shift) { protetto([this, KeyCode, Shift] { ListTabmin_KeyDown(KeyCode, Shift); }); },
        [this] { TABMINNASCOSTA(); });
}

TextBox* ANAGSOST::CAMPOTABMIN(int Index) const
{
    switch (Index) {
    case 0:
        return Text1[6];
    case 1:
        return Text1[8];
    case 2:
        return Text1[10];
    case 3:
        return TextAZICOL;
    default:
        return nullptr;
    }
}

void ANAGSOST::TABMINNASCOSTA()
{
    // The list held the focus: it goes back to the lookup button the list was
    // opened from, instead of wandering to whatever control comes next.
    const QWidget* fuoco = QApplication::focusWidget();
    if (!fuoco || !Framecodif->isAncestorOf(fuoco))
        return;
    if (STATO.TABELLAAPERTA < 0 || STATO.TABELLAAPERTA > 3)
        return;
    QPushButton* bottone = CMDAPRILIST[STATO.TABELLAAPERTA];
    if (bottone->isVisible() && bottone->isEnabled())
        bottone->setFocus(Qt::OtherFocusReason);
}

void ANAGSOST::CMDAPRILIST_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    if (Index == STATO.TABELLAAPERTA && Framecodif->isVisible()) {
        Framecodif->hide();
        return;
    }

    STATO.TABELLAAPERTA = Index;
    ListTabmin->clear();
    Framecodif->setTitle(QString());
    const int* g = GEOMETRIA[Index];
    const int larghezza = g[2];
    const int altezza = g[3];
    Framecodif->setGeometry(TWIPS(g[0]), TWIPS(g[1]), TWIPS(larghezza), TWIPS(altezza));

    QStringList testi;
    try {
        if (Index == 0 || Index == 1)
            testi = righe(registro::elencoProvince(*M.TABPROV), rigaProvincia);
        else
            testi = righe(registro::elencoFrontespizi(*M.TABFRONTESPIZIO), rigaFrontespizio);
    } catch (...) {
        // A half-read table is not offered for a choice.
        Framecodif->hide();
        throw;
    }
    ListTabmin->addItems(testi);

    const int larghezzaTitolo = larghezza - 100;
    const int sinistra = (larghezza - larghezzaTitolo) / 2;
    LabTabmin->setGeometry(TWIPS(sinistra), TWIPS(240), TWIPS(larghezzaTitolo), LabTabmin->height());
    LabTabmin->setText(Index <= 1 ? TITOLOPROVINCE : TITOLOAZIENDE);
    ListTabmin->setAccessibleName(LabTabmin->text().trimmed());
    ListTabmin->setGeometry(TWIPS(sinistra), TWIPS(540), TWIPS(larghezza - 100), TWIPS(altezza - 600));

    Framecodif->show();
    Framecodif->raise();
    ListTabmin->setFocus(Qt::OtherFocusReason);
}

void ANAGSOST::ListTabmin_DblClick()
{
    TextBox* campo = CAMPOTABMIN(STATO.TABELLAAPERTA);
    if (!campo)
        return;
    // A field that is not on screen (its frame closed meanwhile) takes no choice.
    if (!campo->isVisible()) {
        Framecodif->hide();
        return;
    }
    const int n = STATO.TABELLAAPERTA <= 1 ? 2 : 3;
    const QList<QListWidgetItem*> selezionati = ListTabmin->selectedItems();
    // With nothing chosen, or no line at or above the chosen one carrying a
    // code, no field is touched and the list stays open for another choice.
    if (selezionati.isEmpty()) {
        QApplication::beep();
        return;
    }
    int i = ListTabmin->row(selezionati.first());
    auto codice = [this, n](int riga) { return ListTabmin->item(riga)->text().left(n).trimmed(); };
    while (i >= 0 && codice(i).isEmpty())
        --i;
    if (i < 0) {
        QApplication::beep();
        return;
    }

    // Set by the program, not typed: no key rule runs on it.
    campo->setText(codice(i));
    M.VARIAZIONI = FrmSelezione->isHidden() ? 1 : 0;
    Framecodif->hide();
}

void ANAGSOST::ListTabmin_KeyDown(int KeyCode, int)
{
    if (KeyCode == 27)
        Framecodif->hide();
    else if (KeyCode == 13)
        ListTabmin_DblClick();
}
