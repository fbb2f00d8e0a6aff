#pragma once
// How the window's controls are made: a design name, a place in twips, and
// the few settings every control of its kind gets.
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace costruzione {

// An element of a control array: "Text1(4)".
QString nomeElemento(const QString& nome, int indice);
void posiziona(QWidget* controllo, int left, int top, int width, int height);
// A frame that paints its whole area: the frames lying over other controls
// (insertion, change of codice fiscale, lookups) must not let them show through.
QGroupBox* creaFrame(QWidget* padre, const QString& nome);
QLabel* creaLabel(QWidget* padre, const QString& nome, const QString& testo, int left, int top, int width, int height);
// Never the default button: Return belongs to the field or the list that has the focus.
QPushButton* creaBottone(QWidget* padre, const QString& nome, const QString& testo, int left, int top, int width,
                         int height);

} // namespace costruzione
