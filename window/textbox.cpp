// The typed field: every character that reaches the text, typed or not, passes
// through the KeyPress signal first, where the window's rules may replace or
// swallow it.
#include "window/textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>

namespace {

constexpr int BACKSPACE = 8;
constexpr int INVIO = 13;
constexpr int CTRL_Y = 25;
constexpr int CTRL_Z = 26;
constexpr int ESC = 27;

bool carattereDiControllo(int codice)
{
    return codice < 32 || codice == 127;
}

// The key code a key press delivers, or -1 for keys that give none (cursor
// movement, Delete, Tab, function keys, shortcuts with Ctrl).
int codiceTasto(const QKeyEvent* evento)
{
    switch (evento->key()) {
    case Qt::Key_Backspace:
        return BACKSPACE;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return INVIO;
    case Qt::Key_Escape:
        return ESC;
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1;
    default:
        break;
    }
    const QString testo = evento->text();
    if (testo.size() != 1 || testo.at(0).isSurrogate())
        return -1;
    const int codice = testo.at(0).unicode();
    // Ctrl with a printable key is a shortcut, not a character (AltGr, which
    // some platforms report as Ctrl+Alt, still types).
    const Qt::KeyboardModifiers modificatori = evento->modifiers() & ~Qt::KeypadModifier;
    if (!carattereDiControllo(codice)
        && (modificatori == Qt::ControlModifier || modificatori == (Qt::ControlModifier | Qt::ShiftModifier)))
        return -1;
    return codice;
}

QColor coloreClassico(long colore)
{
    return QColor(int(colore & 0xFF), int((colore >> 8) & 0xFF), int((colore >> 16) & 0xFF));
}

// A standard entry of the context menu, by its name or, for an unnamed one
// (older toolkits, the Delete entry), by its translated text without the
// shortcut shown after a tab.
bool voceMenu(const QAction* azione, const char* nome, const char* testo)
{
    if (azione->objectName() == QLatin1String(nome))
        return true;
    const QString t = azione->text().section(QLatin1Char('\t'), 0, 0);
    return !t.isEmpty() && t == QLineEdit::tr(testo);
}

} // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { emit Change(); });

    // Focus can move while the window is not active (a handler puts it on
    // another control while its message box is open): the control that gets
    // it then only sees the window's reactivation. Whichever control of this
    // window ends up with the focus, the field that held it has lost it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* ora) {
        if (m_focusLogico && ora && ora != this && ora->window() == window()) {
            m_focusLogico = false;
            emit LostFocus();
        }
    });
    aggiornaColori();
}

void TextBox::setForeColor(long colore)
{
    m_foreColor = colore;
    aggiornaColori();
}

void TextBox::setBackColor(long colore)
{
    m_backColor = colore;
    aggiornaColori();
}

void TextBox::aggiornaColori()
{
    QPalette tavolozza = palette();
    // A disabled field keeps the greyed text of the platform, on its own
    // background colour.
    tavolozza.setColor(QPalette::Active, QPalette::Text, coloreClassico(m_foreColor));
    tavolozza.setColor(QPalette::Inactive, QPalette::Text, coloreClassico(m_foreColor));
    tavolozza.setColor(QPalette::Base, coloreClassico(m_backColor));
    setPalette(tavolozza);
}

void TextBox::setSelStart(int posizione)
{
    setCursorPosition(std::clamp(posizione, 0, int(text().size())));
}

CAMPOTESTO TextBox::stato() const
{
    CAMPOTESTO campo;
    campo.testo = text();
    campo.maxLength = maxLength();
    campo.caret = cursorPosition();
    return campo;
}

void TextBox::applica(const CAMPOTESTO& campo)
{
    // What a keystroke routine makes is typed: a text beyond the limit is cut there.
    setText(campo.testo.left(m_limite));
    setSelStart(campo.caret);
}

void TextBox::inserisci(QChar carattere)
{
    const int tetto = m_focusLogico ? std::max(m_limite, m_lunghezzaEntrata) : m_limite;
    if (text().size() - selectedText().size() + 1 > tetto)
        return;
    insert(QString(carattere));
}

void TextBox::digita(int keyAscii)
{
    int codice = keyAscii;
    emit KeyPress(codice);
    if (isReadOnly() || codice == 0 || codice == INVIO || codice == ESC)
        return;
    if (codice == BACKSPACE) {
        backspace();
        return;
    }
    if (carattereDiControllo(codice) || codice > 0xFFFF || QChar(codice).isSurrogate())
        return;
    inserisci(QChar(codice));
}

void TextBox::setMaschera(TastiIncolla tastiIncolla)
{
    m_tastiIncolla = std::move(tastiIncolla);
    // A selection dragged out of the field would leave without the rule.
    setDragEnabled(false);
}

bool TextBox::tastoMaschera(QKeyEvent* evento)
{
    if (evento->matches(QKeySequence::Undo)) {
        digita(CTRL_Z);
        return true;
    }
    if (evento->matches(QKeySequence::Redo)) {
        digita(CTRL_Y);
        return true;
    }
    if (evento->matches(QKeySequence::Cut)) {
        if (hasSelectedText())
            copy();
        digita(BACKSPACE);
        return true;
    }
    for (const auto cancella : {QKeySequence::Delete, QKeySequence::DeleteEndOfWord, QKeySequence::DeleteStartOfWord,
                                QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine}) {
        if (evento->matches(cancella)) {
            digita(BACKSPACE);
            return true;
        }
    }
    if (codiceTasto(evento) >= 0)
        return false; // a key with a code: the rule decides
    // Any other key a line edit edits with deletes as well (Ctrl+H where it
    // is a backspace): the edit is put back and the rule gets its backspace.
    // Keys that do not edit (caret, selection, copy) keep their meaning.
    const QString prima = text();
    const int caret = cursorPosition();
    QLineEdit::keyPressEvent(evento);
    if (text() != prima) {
        setText(prima);
        setCursorPosition(caret);
        digita(BACKSPACE);
    }
    return true;
}

void TextBox::keyPressEvent(QKeyEvent* evento)
{
    if (evento->matches(QKeySequence::Paste)) {
        if (!isReadOnly()) {
            QClipboard* appunti = QGuiApplication::clipboard();
            // Ctrl+Shift+Insert pastes the selection where the platform has one.
            const bool selezione = evento->key() == Qt::Key_Insert
                && evento->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
                && appunti->supportsSelection();
            incollaTesto(appunti->text(selezione ? QClipboard::Selection : QClipboard::Clipboard));
        }
        evento->accept();
        return;
    }
    if (maschera() && !isReadOnly() && tastoMaschera(evento)) {
        evento->accept();
        return;
    }

    const int tasto = codiceTasto(evento);
    if (tasto < 0) {
        QLineEdit::keyPressEvent(evento);
        return;
    }

    int codice = tasto;
    emit KeyPress(codice);
    evento->accept();
    if (codice == 0 || codice == INVIO || codice == ESC)
        return;
    if (codice == BACKSPACE) {
        if (!isReadOnly())
            backspace();
        return;
    }
    if (carattereDiControllo(codice)) {
        // Control keys left alone by the handler keep their editing meaning
        // (undo, copy, select all...).
        if (codice == tasto)
            QLineEdit::keyPressEvent(evento);
        return;
    }
    if (!isReadOnly() && codice <= 0xFFFF && !QChar(codice).isSurrogate())
        inserisci(QChar(codice));
}

void TextBox::focusInEvent(QFocusEvent* evento)
{
    QLineEdit::focusInEvent(evento);
    if (m_focusLogico)
        return;
    m_entrataMouse = evento->reason() == Qt::MouseFocusReason;
    // The control that held the focus in this window loses it first, also
    // when the change happened while the window was inactive.
    if (QWidget* finestra = window()) {
        const auto campi = finestra->findChildren<TextBox*>();
        for (TextBox* campo : campi) {
            if (campo != this && campo->m_focusLogico) {
                campo->m_focusLogico = false;
                emit campo->LostFocus();
            }
        }
    }
    m_focusLogico = true;
    m_lunghezzaEntrata = int(text().size());
    emit GotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* evento)
{
    QLineEdit::focusOutEvent(evento);
    m_entrataMouse = false;
    // The window being deactivated (a message box) or a popup opening over
    // the field is not a change of field.
    if (evento->reason() == Qt::ActiveWindowFocusReason || evento->reason() == Qt::PopupFocusReason)
        return;
    if (m_focusLogico) {
        m_focusLogico = false;
        emit LostFocus();
    }
}

void TextBox::inputMethodEvent(QInputMethodEvent* evento)
{
    const QString confermato = evento->commitString();
    if (confermato.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(evento);
        return;
    }
    // The composition is handled as usual; the committed text is typed (in
    // a mask field one character as a key, more as a paste).
    QInputMethodEvent senzaTesto(evento->preeditString(), evento->attributes());
    senzaTesto.setCommitString(QString(), evento->replacementStart(), evento->replacementLength());
    QLineEdit::inputMethodEvent(&senzaTesto);
    if (maschera() && confermato.size() == 1)
        digita(confermato.at(0).unicode());
    else
        incollaTesto(confermato);
    evento->accept();
}

void TextBox::dropEvent(QDropEvent* evento)
{
    const QString testo = evento->mimeData()->text();
    if (testo.isNull() || isReadOnly()) {
        evento->ignore();
        return;
    }
    setCursorPosition(cursorPositionAt(evento->position().toPoint()));
    // Characters the rules refuse must stay where they came from: take a copy.
    if (evento->possibleActions() & Qt::CopyAction) {
        evento->setDropAction(Qt::CopyAction);
        evento->accept();
    } else {
        evento->acceptProposedAction();
    }
    incollaTesto(testo);
}

void TextBox::mousePressEvent(QMouseEvent* evento)
{
    const bool entrata = m_entrataMouse;
    m_entrataMouse = false;
    const int caret = cursorPosition();
    QLineEdit::mousePressEvent(evento);
    // The press that brought the focus does not move the caret of a mask
    // field away from where GotFocus put it.
    if (entrata && maschera())
        setCursorPosition(caret);
}

void TextBox::mouseReleaseEvent(QMouseEvent* evento)
{
    QClipboard* appunti = QGuiApplication::clipboard();
    if (evento->button() == Qt::MiddleButton && appunti->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            incollaTesto(appunti->text(QClipboard::Selection));
        }
        evento->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(evento);
}

void TextBox::contextMenuEvent(QContextMenuEvent* evento)
{
    QMenu* menu = createStandardContextMenu();
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto azioni = menu->actions();
    for (QAction* azione : azioni) {
        // The submenu of Unicode control characters would insert them
        // directly into the text.
        if (azione->menu()) {
            menu->removeAction(azione);
            continue;
        }
        // Paste, and in a mask field every entry that edits, go through the rules.
        std::function<void()> via;
        if (voceMenu(azione, "edit-paste", "&Paste"))
            via = [this] { incollaTesto(QGuiApplication::clipboard()->text()); };
        else if (maschera() && voceMenu(azione, "edit-undo", "&Undo"))
            via = [this] { digita(CTRL_Z); };
        else if (maschera() && voceMenu(azione, "edit-redo", "&Redo"))
            via = [this] { digita(CTRL_Y); };
        else if (maschera() && voceMenu(azione, "edit-cut", "Cu&t"))
            via = [this] {
                copy();
                digita(BACKSPACE);
            };
        else if (maschera() && voceMenu(azione, "edit-delete", "Delete"))
            via = [this] { digita(BACKSPACE); };
        if (via) {
            disconnect(azione, &QAction::triggered, nullptr, nullptr);
            connect(azione, &QAction::triggered, this, via);
        }
    }
    menu->popup(evento->globalPos());
}

void TextBox::incollaTesto(const QString& testo)
{
    // A handler may close the window, and the field with it, while the
    // characters go through.
    QPointer<TextBox> campo(this);
    if (maschera()) {
        const QList<int> tasti = m_tastiIncolla(testo);
        if (tasti.isEmpty())
            QApplication::beep();
        for (const int tasto : tasti) {
            if (!campo || campo->isReadOnly())
                return;
            campo->digita(tasto);
        }
        return;
    }
    for (const QChar c : testo) {
        if (!campo || campo->isReadOnly())
            return;
        // A single-line field has no line breaks; characters outside the
        // basic plane have no single key code.
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.isSurrogate())
            continue;
        campo->digita(c.unicode());
    }
}
