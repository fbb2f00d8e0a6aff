// Validation and saving of the data sheet, moves to the previous/next substitute.
#include "window/anagsost.h"

void ANAGSOST::COLLEGAMEMORIZZA() {}
void ANAGSOST::CONTROLLOCAMPI() {}
void ANAGSOST::MEMORIZZADATI() {}
void ANAGSOST::cmdmemorizza_Click() {}
void ANAGSOST::cmdparcprec_Click() {}
void ANAGSOST::cmdparcsuc_Click() {}
