// The program as the operator has it after choosing the order by name: the
// window started as main.cpp starts it, then "denominazione/nominativo"
// picked, which reads and sorts the whole registry. Ends at the first idle
// moment, so that bench_anagsost reads its peak memory.
#include "window/anagsost.h"
#include "window/italiano.h"
#include "window/msgbox.h"

#include <QApplication>
#include <QRadioButton>
#include <QTimer>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ITALIANOQT();
    MOD770BAS modulo(MsgBox);
    ANAGSOST finestra(modulo);
    if (!finestra.Form_Load())
        return 1;
    finestra.Option1[2]->setChecked(true);
    QTimer::singleShot(0, [] { std::_Exit(0); });
    return app.exec();
}
