// placeholder
#include "window/anagsost.h"
#include <QCloseEvent>
ANAGSOST::ANAGSOST(MOD770BAS& modulo, QWidget* parent) : QMainWindow(parent), M(modulo) {}
ANAGSOST::~ANAGSOST() = default;
bool ANAGSOST::Form_Load() { return false; }
void ANAGSOST::Form_Unload() {}
void ANAGSOST::APRITAB() {}
void ANAGSOST::CHIUDITAB() {}
void ANAGSOST::ERROREARCHIVIO(const store::ErroreArchivio&) {}
void ANAGSOST::closeEvent(QCloseEvent* e) { QMainWindow::closeEvent(e); }
bool ANAGSOST::eventFilter(QObject* o, QEvent* e) { return QMainWindow::eventFilter(o, e); }
void ANAGSOST::COSTRUISCICONTROLLI() {}
void ANAGSOST::COLLEGAFINESTRA() {}
void ANAGSOST::COLLEGASELEZIONE() {}
void ANAGSOST::IMPOSTAFRAME() {}
void ANAGSOST::IMPOSTATESTATA() {}
void ANAGSOST::RITORNASELEZDIC() {}
void ANAGSOST::cmdselprec_Click() {}
void ANAGSOST::cmduscita_Click(int) {}
void ANAGSOST::LISTASOSTITUTI() {}
void ANAGSOST::Option1_Click(int) {}
void ANAGSOST::List1_Click() {}
void ANAGSOST::List1_DblClick() {}
QString ANAGSOST::testoSelezionato() const { return {}; }
