#pragma once
// Message boxes as the rest of the program sees them: text (lines separated by
// carriage returns), style (buttons + icon, the classic values), title; the
// answer is one of the button codes.
#include <QString>
#include <functional>

enum STILEMSG {
    vbOKOnly = 0,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64
};

enum RISPOSTAMSG { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

using MSGBOXFN = std::function<int(const QString& testo, int stile, const QString& titolo)>;

// Carriage return: the line separator inside message texts.
inline const QString CR = QStringLiteral("\r");
