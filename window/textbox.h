#pragma once
// The typed field of the window: a single-line text field whose key-press
// event hands the key code to the window, which may replace it or swallow it
// (0) before it enters the field. Text that arrives without being typed
// (paste, drag and drop, input methods) goes through the same key event, one
// character at a time, so no field rule can be bypassed.
#include "checks/tasti.h"

#include <QLineEdit>
#include <functional>

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    // Colours as the classic colour values (0 black, 65535 yellow, 16777215 white).
    long ForeColor() const { return m_foreColor; }
    long BackColor() const { return m_backColor; }
    void setForeColor(long colore);
    void setBackColor(long colore);

    // The longest text the operator may type. Unlike QLineEdit's own
    // maximum length it never cuts a text the program sets: a value stored
    // longer by another program is shown and saved whole. Typing never makes
    // a text longer than this limit, or than the text was when the operator
    // entered the field; deleting, and typing over a selection, work as in
    // any field.
    int maxLength() const { return m_limite; }
    void setMaxLength(int limite) { m_limite = limite; }

    // Caret position (0-based); setting it beyond the end puts it at the end.
    int SelStart() const { return cursorPosition(); }
    void setSelStart(int posizione);

    // The field as the keystroke routines see it, and back.
    CAMPOTESTO stato() const;
    void applica(const CAMPOTESTO& campo);

    // Delivers one key code as if typed: KeyPress, then the (possibly
    // replaced) character enters the field. Used for typed keys and for text
    // that arrives by paste, drop or input method.
    void digita(int keyAscii);

    // A field whose text keeps a fixed shape through its KeyPress rule (the
    // date mask), which no edit may bypass: the keys that delete (Delete,
    // word and line deletion, Cut, the menu's Delete) reach the rule as a
    // backspace, Undo and Redo as their control codes; text that arrives
    // whole (paste, drop, middle click, an input method's word) is turned by
    // `tastiIncolla` into the keys that type it, as one unit, or refused
    // whole with a beep when it gives none; and entering the field by mouse
    // leaves the caret where GotFocus put it, as entering it by Tab does.
    using TastiIncolla = std::function<QList<int>(const QString&)>;
    void setMaschera(TastiIncolla tastiIncolla);
    bool maschera() const { return static_cast<bool>(m_tastiIncolla); }

signals:
    void KeyPress(int& KeyAscii);
    void Change();
    void GotFocus();
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void focusInEvent(QFocusEvent* evento) override;
    void focusOutEvent(QFocusEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;

private:
    // A typed character enters at the caret, over the selection, within the limit.
    void inserisci(QChar carattere);
    void incollaTesto(const QString& testo);
    // A key of a mask field that edits by itself; true when handled.
    bool tastoMaschera(QKeyEvent* evento);
    void aggiornaColori();

    int m_limite = 32767;
    int m_lunghezzaEntrata = 0; // of the text when the field got the focus
    long m_foreColor = 0;
    long m_backColor = 16777215;
    // The field holds the focus as the window's handlers see it: GotFocus was
    // signalled and LostFocus not yet. The window losing and regaining the
    // activation (a message box, a popup) does not change it.
    bool m_focusLogico = false;
    TastiIncolla m_tastiIncolla;
    // The focus came with a mouse press, whose caret is not to stay.
    bool m_entrataMouse = false;
};
