#include "window/italiano.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

bool ITALIANOQT(const QString& cartella)
{
    // One translator at a time, owned by the application.
    static QPointer<QTranslator> installato;
    if (installato) {
        QCoreApplication::removeTranslator(installato);
        delete installato;
    }
    auto* traduttore = new QTranslator(QCoreApplication::instance());
    if (!traduttore->load(QStringLiteral("qtbase_it"), cartella)) {
        delete traduttore;
        return false;
    }
    QCoreApplication::installTranslator(traduttore);
    installato = traduttore;
    return true;
}
