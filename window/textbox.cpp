// Placeholder until the typed field lands.
#include "window/textbox.h"

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}
void TextBox::setForeColor(long c) { m_foreColor = c; }
void TextBox::setBackColor(long c) { m_backColor = c; }
void TextBox::setSelStart(int p) { setCursorPosition(p); }
CAMPOTESTO TextBox::stato() const { return {text(), maxLength(), cursorPosition(), false}; }
void TextBox::applica(const CAMPOTESTO& c) { setText(c.testo); setCursorPosition(c.caret); }
void TextBox::digita(int) {}
void TextBox::keyPressEvent(QKeyEvent* e) { QLineEdit::keyPressEvent(e); }
void TextBox::focusInEvent(QFocusEvent* e) { QLineEdit::focusInEvent(e); }
void TextBox::focusOutEvent(QFocusEvent* e) { QLineEdit::focusOutEvent(e); }
void TextBox::inputMethodEvent(QInputMethodEvent* e) { QLineEdit::inputMethodEvent(e); }
void TextBox::dropEvent(QDropEvent* e) { QLineEdit::dropEvent(e); }
void TextBox::mouseReleaseEvent(QMouseEvent* e) { QLineEdit::mouseReleaseEvent(e); }
void TextBox::contextMenuEvent(QContextMenuEvent* e) { QLineEdit::contextMenuEvent(e); }
void TextBox::incollaTesto(const QString&) {}
void TextBox::aggiornaColori() {}
