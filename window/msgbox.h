#pragma once
// The program's message box: modal, titled, lines separated by carriage
// returns, style and answers as the classic values (see startup/msgbox_fn.h).
// Tests can preset the next answers and read back what was shown.
#include "startup/msgbox_fn.h"

#include <QList>
#include <QString>

class MessageBox {
public:
    struct Mostrato {
        QString testo;
        int stile = 0;
        QString titolo;
        int risposta = 0;
    };

    // Shows the box (or takes the next preset answer) and returns the answer.
    static int show(const QString& testo, int stile, const QString& titolo);

    // Answers given to the next boxes instead of showing them, in order.
    static void setNextAnswer(int risposta);
    static void clearNextAnswers();
    static int pendingAnswers();

    // With no preset answer left, answer with the box's default button
    // (Yes, or OK) instead of showing it. For tests that run unattended.
    static void setAutoAnswer(bool automatica);

    // Every box shown since the last clearShown(), when recording is on.
    static void setRecording(bool registra);
    static const QList<Mostrato>& shown();
    static void clearShown();
};

inline int MsgBox(const QString& testo, int stile, const QString& titolo)
{
    return MessageBox::show(testo, stile, titolo);
}
