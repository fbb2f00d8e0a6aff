#include "window/anagsost.h"
#include "window/italiano.h"
#include "window/msgbox.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt's own texts (standard buttons, context menus) in Italian; without
    // the translation file they stay in English.
    ITALIANOQT();
    MOD770BAS modulo(MsgBox);
    ANAGSOST finestra(modulo);
    if (!finestra.Form_Load())
        return 0;
    // For the start-up benchmark: stop the clock as soon as the window is up
    // with its list and the program is idle (nothing has been written).
    if (qEnvironmentVariableIsSet("ANAGSOST_MISURA_AVVIO"))
        QTimer::singleShot(0, [] { std::_Exit(0); });
    return app.exec();
}
