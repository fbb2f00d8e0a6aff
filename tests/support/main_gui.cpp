// main() of a test program of several classes, with widgets.
#include "support/programma.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    return eseguiProve(argc, argv);
}
