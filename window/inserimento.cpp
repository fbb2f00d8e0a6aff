// Registration of a new substitute.
#include "window/anagsost.h"

void ANAGSOST::COLLEGAINSERIMENTO() {}
void ANAGSOST::CmdInserimento_Click(int) {}
