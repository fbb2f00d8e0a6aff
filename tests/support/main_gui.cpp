// main() of a test program of several classes, with widgets: the window's
// environment prepared once (finestraprova.h).
#include "support/finestraprova.h"
#include "support/programma.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    preparaAmbienteProva();
    SALTA_SENZA_MOTORE();
    return eseguiProve(argc, argv);
}
