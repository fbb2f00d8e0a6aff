// Lookup list of provinces and of declarants' front pages.
#include "window/anagsost.h"

void ANAGSOST::COLLEGATABMIN() {}
void ANAGSOST::CMDAPRILIST_Click(int) {}
void ANAGSOST::ListTabmin_DblClick() {}
void ANAGSOST::ListTabmin_KeyDown(int, int) {}
