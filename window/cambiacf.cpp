// Change of a substitute's codice fiscale throughout the return.
#include "window/anagsost.h"

void ANAGSOST::COLLEGACAMBIOCF() {}
void ANAGSOST::CmdCambia_Click() {}
void ANAGSOST::CmdConfermaCF_Click() {}
void ANAGSOST::CmdAnnullaCF_Click() {}
void ANAGSOST::CAMBIACF() {}
void ANAGSOST::Text2_Change() {}
void ANAGSOST::Text2_GotFocus() {}
void ANAGSOST::Text2_KeyPress(int&) {}
