#pragma once
// The program's file and print dialogs. Tests preset what the operator
// would choose, as they preset the answers of the message boxes (msgbox.h),
// and read back what a dialog proposed.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

class Dialoghi {
public:
    // The file chosen in a save dialog ("" when cancelled) and the file type
    // chosen with it (a position among the types offered).
    struct FileScelto {
        QString percorso;
        int tipo = 0;
    };
    // The save dialog, proposing the file `proposto` and the type `tipo` of
    // `tipi` (name filters such as "File CSV (*.csv)"). A name without an
    // extension gets the one of the type chosen. A file that exists is
    // replaced only when the operator confirms it.
    static FileScelto fileDaSalvare(QWidget* padre, const QString& titolo, const QString& proposto,
                                    const QStringList& tipi, int tipo);
    // The next save dialog is not shown and answers with this file ("" for
    // cancelled) and this type (the one proposed when none is given).
    static void setNextFile(const QString& percorso, std::optional<int> tipo = std::nullopt);

    // The print preview of the pages `pagine` paints, from which the
    // system's print dialog prints them (to a printer or to a PDF file).
    // Returns the PDF file printed to; "" when the pages went to a printer or
    // nothing was printed.
    static QString stampa(QWidget* padre, QPrinter& stampante, const std::function<void(QPrinter&)>& pagine);
    // The next print is not shown: its pages go straight into this PDF file.
    static void setNextPdf(const QString& percorso);
    // Forgets the file and the PDF preset and not taken.
    static void clearNext();
    // With nothing preset, take every dialog as cancelled instead of
    // showing it. For tests that run unattended.
    static void setAutoCancel(bool annulla);

    // The file the last save or print dialog proposed (for a print, the PDF
    // file its print dialog offers), whether shown or preset.
    static QString ultimoProposto();
};
