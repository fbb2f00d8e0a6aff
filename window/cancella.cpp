// Deletion of a substitute with all its rows.
#include "window/anagsost.h"

void ANAGSOST::COLLEGACANCELLAZIONE() {}
void ANAGSOST::Cmdcancella_Click() {}
