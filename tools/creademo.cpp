// creademo <cartella>: writes a demo archive (template and year's database
// with fictional data) and points the configuration at it, unless the
// configuration already names another archive folder.
#include "lib/archiviodemo.h"
#include "store/errore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <exception>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() != 2) {
        err << "Uso: creademo <cartella>\n"
               "Scrive nella cartella un archivio dimostrativo e vi punta la configurazione.\n";
        return 2;
    }
    const QString cartella = QFileInfo(argomenti.at(1)).absoluteFilePath();
    const QString anno = QDir(cartella).filePath(strumenti::nomeFileAnno());
    if (QFileInfo::exists(anno)) {
        err << "Il file " << QDir::toNativeSeparators(anno)
            << " esiste già: non viene sostituito. Nessun dato e nessuna configurazione sono stati scritti.\n";
        return 1;
    }
    try {
        strumenti::creaArchivioDemo(cartella);
    } catch (const store::ErroreArchivio& e) {
        err << QString(e.messaggio()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << "Archivio dimostrativo non creato: " << e.what() << "\n";
        return 1;
    }
    out << "Archivio dimostrativo creato in " << QDir::toNativeSeparators(cartella) << "\n";
    QString nota;
    if (strumenti::scriviConfigurazioneDemo(cartella, &nota))
        out << "Configurazione aggiornata: PERCORSOARCHIVI = " << QDir::toNativeSeparators(cartella) << "\n";
    else
        out << "Nota: " << nota << "\n";
    return 0;
}
