#include "window/msgbox.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <deque>

namespace {
std::deque<int>& prossime()
{
    static std::deque<int> risposte;
    return risposte;
}
QList<MessageBox::Mostrato>& registro()
{
    static QList<MessageBox::Mostrato> mostrati;
    return mostrati;
}
bool& registrazione()
{
    static bool attiva = false;
    return attiva;
}
bool& automatica()
{
    static bool attiva = false;
    return attiva;
}

// Qt widens a message box to its title, as if a title bar had to show the
// title whole: with the window's long caption a one-word box grew to some 700
// pixels. The window system elides a long title instead, so the box is sized
// to its text alone: its size is worked out while its title is empty.
class BoxMessaggio : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* evento) override
    {
        switch (evento->type()) {
        case QEvent::Show:
        case QEvent::LayoutRequest:
        case QEvent::FontChange:
        case QEvent::StyleChange: {
            const QString titolo = windowTitle();
            setWindowTitle(QString());
            const bool esito = QMessageBox::event(evento);
            setWindowTitle(titolo);
            return esito;
        }
        default:
            return QMessageBox::event(evento);
        }
    }
};

int mostraBox(const QString& testo, int stile, const QString& titolo)
{
    BoxMessaggio box(QApplication::activeWindow());
    box.setWindowTitle(titolo);
    // Lines are separated by carriage returns in the program's texts.
    QString righe = testo;
    righe.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    righe.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(righe);
    box.setTextFormat(Qt::PlainText);

    switch (stile & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }

    switch (stile & 0x07) {
    case vbYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case vbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    }
    box.setWindowModality(Qt::ApplicationModal);

    // A busy pointer left on by the caller must not hide the box's buttons.
    const bool occupato = QApplication::overrideCursor() != nullptr;
    if (occupato)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (occupato)
        QApplication::restoreOverrideCursor();

    const auto premuto = box.standardButton(box.clickedButton());
    switch (premuto) {
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    case QMessageBox::Cancel:
        return vbCancel;
    default:
        return vbOK;
    }
}
} // namespace

int MessageBox::show(const QString& testo, int stile, const QString& titolo)
{
    int risposta;
    if (!prossime().empty()) {
        risposta = prossime().front();
        prossime().pop_front();
    } else if (automatica()) {
        const int pulsanti = stile & 0x07;
        risposta = pulsanti == vbYesNo || pulsanti == vbYesNoCancel ? vbYes : vbOK;
    } else {
        risposta = mostraBox(testo, stile, titolo);
    }
    if (registrazione())
        registro().append({testo, stile, titolo, risposta});
    return risposta;
}

void MessageBox::setNextAnswer(int risposta)
{
    prossime().push_back(risposta);
}

void MessageBox::clearNextAnswers()
{
    prossime().clear();
}

int MessageBox::pendingAnswers()
{
    return static_cast<int>(prossime().size());
}

void MessageBox::setAutoAnswer(bool automatico)
{
    automatica() = automatico;
}

void MessageBox::setRecording(bool registra)
{
    registrazione() = registra;
}

const QList<MessageBox::Mostrato>& MessageBox::shown()
{
    return registro();
}

void MessageBox::clearShown()
{
    registro().clear();
}
