// A bare Qt window: shown, then the process ends at the first idle moment,
// as the program does when ANAGSOST_MISURA_AVVIO is set.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow finestra;
    finestra.resize(808, 608);
    finestra.show();
    QTimer::singleShot(0, [] { std::_Exit(0); });
    return app.exec();
}
