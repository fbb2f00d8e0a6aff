#pragma once
// The program's window on an archive, as the operator has it after start-up,
// for the benchmarks: the archive named in the configuration (QSettings,
// redirected by the benchmark to a folder of its own).
#include "window/anagsost.h"
#include "window/msgbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

// Writes the configuration: the archive folder and, for an archive on a
// server, the server and the prefix of its databases.
// The file is written as the program reads it: each value as it is, after
// the first "=".
inline void configura(const QString& cartella, const QString& server = {}, const QString& prefisso = {})
{
    const QString nome = QSettings(QStringLiteral("TARVESSA"), QStringLiteral("VELMORIA")).fileName();
    QDir().mkpath(QFileInfo(nome).absolutePath());
    QFile file(nome);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(nome));
    QString testo = QStringLiteral("[General]\nPERCORSOARCHIVI=") + cartella + QStringLiteral("\nPERCORSOPROGRAMMI=\n");
    if (!server.isEmpty())
        testo += QStringLiteral("SERVERPOSTGRESQL=") + server + QStringLiteral("\nPREFISSOPOSTGRESQL=") + prefisso +
                 QStringLiteral("\n");
    file.write(testo.toUtf8());
}

struct Sessione {
    QTemporaryDir blocco;
    MOD770BAS modulo{MsgBox};
    ANAGSOST finestra{modulo};
    // Starts on the archive the configuration names.
    Sessione()
    {
        modulo.fileBloccoIstanza = blocco.filePath(QStringLiteral("lock"));
        MessageBox::setRecording(true);
        MessageBox::clearShown();
        if (!finestra.Form_Load()) {
            const QString detto = MessageBox::shown().isEmpty() ? QString() : MessageBox::shown().last().testo;
            qFatal("the program did not start: %s", qPrintable(detto));
        }
    }
    explicit Sessione(const QString& cartella) : Sessione((configura(cartella), 0)) {}
    void scegliOrdine(int i)
    {
        finestra.STATO.FORMCARICATO = 0;
        finestra.Option1[i]->setChecked(true);
        finestra.STATO.FORMCARICATO = 1;
    }
    // Picks the substitute's line, as a click would.
    void seleziona(const QString& codazi, const QString& cfs)
    {
        const QString inizio = codazi + QLatin1Char(' ') + cfs.leftJustified(16, QLatin1Char(' '));
        const QAbstractItemModel* righe = finestra.List1->model();
        for (int r = 0; r < righe->rowCount(); ++r) {
            if (righe->index(r, 0).data().toString().startsWith(inizio)) {
                finestra.List1->setCurrentIndex(righe->index(r, 0));
                return;
            }
        }
        qFatal("substitute %s %s not in the list", qPrintable(codazi), qPrintable(cfs));
    }

private:
    explicit Sessione(int) : Sessione() {}
};
