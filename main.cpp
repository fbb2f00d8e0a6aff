#include "window/anagsost.h"
#include "window/msgbox.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    MOD770BAS modulo(MsgBox);
    ANAGSOST finestra(modulo);
    if (!finestra.Form_Load())
        return 0;
    return app.exec();
}
