// Writes an archive of the benchmarks' kind into a folder and a configuration
// naming it, so that the program can be run on it by hand or under a
// profiler:
//
//   archivio_bench CARTELLA SOSTITUTI [RIGHE_DI_QUADRI]
//   XDG_CONFIG_HOME=CARTELLA/config ANAGSOST_MISURA_AVVIO=1 valgrind --tool=callgrind build/anagsost
#include "generatore.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3) {
        std::fprintf(stderr, "usage: archivio_bench CARTELLA SOSTITUTI [RIGHE_DI_QUADRI]\n");
        return 2;
    }
    const QString cartella = QDir(a[1]).absolutePath();
    creaArchivioBench(QDir(cartella).filePath(QStringLiteral("archivio")), a[2].toInt(),
                      a.size() > 3 ? a[3].toLongLong() : 0);
    QSettings configurazione(QDir(cartella).filePath(QStringLiteral("config/TARVESSA/VELMORIA.conf")),
                             QSettings::IniFormat);
    configurazione.setValue(QStringLiteral("PERCORSOARCHIVI"), QDir(cartella).filePath(QStringLiteral("archivio")));
    configurazione.sync();
    return 0;
}
