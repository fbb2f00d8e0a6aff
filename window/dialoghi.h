#pragma once
// The program's file and print dialogs. Tests preset what the operator
// would choose, as they preset the answers of the message boxes (msgbox.h).
#include <QString>
#include <functional>

class QPrinter;
class QWidget;

class Dialoghi {
public:
    // The save dialog: the file chosen (with `suffisso` added when the name
    // has none), "" when cancelled. A file that exists is replaced only when
    // the operator confirms it.
    static QString fileDaSalvare(QWidget* padre, const QString& titolo, const QString& proposto,
                                 const QString& filtro, const QString& suffisso);
    // The next save dialog is not shown and answers with this file ("" for cancelled).
    static void setNextFile(const QString& percorso);

    // The print preview of the pages `pagine` paints, from which the
    // system's print dialog prints them (to a printer or to a PDF file).
    static void stampa(QWidget* padre, QPrinter& stampante, const std::function<void(QPrinter&)>& pagine);
    // The next print is not shown: its pages go straight into this PDF file.
    static void setNextPdf(const QString& percorso);
    // Forgets the file and the PDF preset and not taken.
    static void clearNext();
    // With nothing preset, take every dialog as cancelled instead of
    // showing it. For tests that run unattended.
    static void setAutoCancel(bool annulla);
};
