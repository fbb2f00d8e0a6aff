// main() of a test program of several classes, without widgets.
#include "support/programma.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return eseguiProve(argc, argv);
}
