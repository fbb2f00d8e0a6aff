// main() of a test program of several classes, without widgets.
#include "support/archivioprova.h"
#include "support/programma.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SALTA_SENZA_MOTORE();
    return eseguiProve(argc, argv);
}
