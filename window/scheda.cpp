// Data sheet: load, clear, field events, the save-or-discard question.
#include "window/anagsost.h"

void ANAGSOST::COLLEGASCHEDA() {}
void ANAGSOST::CARICADATI() {}
void ANAGSOST::PULISCICAMPI() {}
void ANAGSOST::MESSAGGIOVARIAZ() {}
void ANAGSOST::Text1_Change(int) {}
void ANAGSOST::Text1_GotFocus(int) {}
void ANAGSOST::Text1_LostFocus(int) {}
void ANAGSOST::Text1_KeyPress(int, int&) {}
