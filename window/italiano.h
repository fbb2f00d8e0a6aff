#pragma once
// Qt's own texts in Italian: the standard buttons of the message boxes ("Sì",
// "No", "Annulla", "OK"), the fields' context menu ("Annulla azione",
// "Taglia", "Copia", "Incolla"...) and the standard dialogs, whatever the
// system's language. The translations are Qt's own (qtbase_it.qm).
#include <QLibraryInfo>
#include <QString>

// Loads qtbase_it.qm from `cartella` and installs it in the application,
// in place of one installed before. false when the file is missing or
// unreadable: Qt's texts then stay in English and the program runs on.
bool ITALIANOQT(const QString& cartella = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
