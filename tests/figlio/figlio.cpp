// Helper process of the reliability tests: another program of the suite, or
// the program itself run in a process of its own so that the test can kill
// it. Commands:
//
//   anagsost_figlio blocca FILE esclusivo|immediato [MS]
//       Holds the database FILE locked (BEGIN EXCLUSIVE or BEGIN IMMEDIATE),
//       writes "BLOCCATO" and keeps the lock until a line or the end of its
//       standard input, or for MS milliseconds when given; then rolls back,
//       writes "RILASCIATO" and ends.
//
//   anagsost_figlio opera cancella|cambiacf|memorizza ARCHIVIO CONFIGURAZIONE CODAZI CFS [NUOVOCF]
//       Starts the real window in this process on the archive folder (the
//       configuration folder is where the settings live), picks the
//       substitute (CODAZI, CFS) in the selection list and runs the operation
//       through the window's own buttons, every box answered Yes:
//       cancella   the deletion (writes "VIA", then "FATTO" once it is done);
//       cambiacf   the change of codice fiscale to NUOVOCF (same lines);
//       memorizza  opens the data sheet and saves it over and over, the
//                  fields alternating between two complete sets of values
//                  (see VALORISCHEDA); "VIA" before the first save, "FATTO n"
//                  after the n-th.
//       Then it waits for the end of its standard input, or to be killed.
//       Every box shown is written as "BOX text" (carriage returns as "|").
//
//   anagsost_figlio avvia ARCHIVIO CONFIGURAZIONE
//       Start-up only: writes "BOX ..." for each box, then "CARICATA" or
//       "SCARICATA" and ends (exit code 0 either way, 2 on bad arguments).
//
// The one-instance lock of the program lives in the configuration folder.
//
// QT_QPA_PLATFORM=offscreen must be in the environment for the window.
#include "figlio/valorischeda.h"
#include "window/anagsost.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void scrivi(const QString& riga)
{
    // Unbuffered as far as the test is concerned: it times the lines.
    std::fputs(qPrintable(riga + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void scriviBox()
{
    for (const auto& box : MessageBox::shown())
        scrivi(QStringLiteral("BOX ") + QString(box.testo).replace(QLatin1Char('\r'), QLatin1Char('|')));
    MessageBox::clearShown();
}

void attendiFineIngresso()
{
    std::string riga;
    while (std::getline(std::cin, riga)) {
    }
}

int blocca(const QStringList& argomenti)
{
    if (argomenti.size() != 2 && argomenti.size() != 3)
        return 2;
    const bool esclusivo = argomenti.at(1) == QLatin1String("esclusivo");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("blocco"));
        db.setDatabaseName(argomenti.at(0));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            scrivi(QStringLiteral("ERRORE ") + db.lastError().text());
            return 1;
        }
        QSqlQuery q(db);
        if (!q.exec(esclusivo ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"))) {
            scrivi(QStringLiteral("ERRORE ") + q.lastError().text());
            return 1;
        }
        scrivi(QStringLiteral("BLOCCATO"));
        if (argomenti.size() == 3) {
            QThread::msleep(argomenti.at(2).toULong());
        } else {
            std::string riga;
            std::getline(std::cin, riga);
        }
        q.exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("blocco"));
    scrivi(QStringLiteral("RILASCIATO"));
    return 0;
}

// The program's configuration, in the folder the test chose.
void configura(const QString& archivi, const QString& configurazione)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configurazione);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configurazione);
    QSettings registro(QStringLiteral("TARVESSA"), QStringLiteral("VELMORIA"));
    registro.setValue(QStringLiteral("PERCORSOARCHIVI"), archivi);
    registro.remove(QStringLiteral("PERCORSOPROGRAMMI"));
    registro.sync();
}

struct Programma {
    MOD770BAS modulo{MsgBox};
    ANAGSOST finestra{modulo};

    explicit Programma(const QString& configurazione)
    {
        // The instance lock in the configuration folder, which the test
        // chose (and may remove): a copy killed by the test leaves a stale
        // lock, which the next copy would take over.
        modulo.fileBloccoIstanza = configurazione + QStringLiteral("/figlio.lock");
    }

    void click(const char* nome)
    {
        QTest::mouseClick(finestra.findChild<QPushButton*>(QString::fromLatin1(nome)), Qt::LeftButton);
    }

    // Clicks (and double-clicks) the line of the substitute; false when absent.
    bool scegli(const QString& codazi, const QString& cfs, bool doppio)
    {
        QListWidget* lista = finestra.findChild<QListWidget*>(QStringLiteral("List1"));
        const QString inizio = codazi + QLatin1Char(' ') + cfs.leftJustified(16, QLatin1Char(' '));
        for (int i = 1; i < lista->count(); ++i) {
            if (!lista->item(i)->text().startsWith(inizio))
                continue;
            lista->scrollToItem(lista->item(i));
            const QPoint punto = lista->visualItemRect(lista->item(i)).center();
            QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, punto);
            if (doppio)
                QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, punto);
            return true;
        }
        return false;
    }
};

int opera(const QStringList& argomenti)
{
    if (argomenti.size() < 5)
        return 2;
    const QString operazione = argomenti.at(0);
    const QString archivi = argomenti.at(1);
    const QString codazi = argomenti.at(3);
    const QString cfs = argomenti.at(4);
    configura(archivi, argomenti.at(2));

    Programma p(argomenti.at(2));
    if (!p.finestra.Form_Load()) {
        scriviBox();
        scrivi(QStringLiteral("SCARICATA"));
        return 1;
    }
    const bool scheda = operazione == QLatin1String("memorizza");
    if (!p.scegli(codazi, cfs, scheda)) {
        scrivi(QStringLiteral("ERRORE sostituto non in lista"));
        return 1;
    }

    if (operazione == QLatin1String("cancella")) {
        scrivi(QStringLiteral("VIA"));
        p.click("Cmdcancella");
        scrivi(QStringLiteral("FATTO"));
    } else if (operazione == QLatin1String("cambiacf") && argomenti.size() == 6) {
        p.click("CmdCambia");
        TextBox* campo = p.finestra.findChild<TextBox*>(QStringLiteral("Text2"));
        QTest::keyClicks(campo, argomenti.at(5));
        scrivi(QStringLiteral("VIA"));
        p.click("CmdConfermaCF");
        scrivi(QStringLiteral("FATTO"));
    } else if (scheda) {
        // Saves until killed (or at most a bound, for a run that is not).
        scrivi(QStringLiteral("VIA"));
        for (int n = 1; n <= 100000; ++n) {
            const QStringList& valori = VALORISCHEDA[n % 2];
            for (int i = 0; i < 9; ++i)
                p.finestra.Text1[i + 1]->setText(valori.at(i));
            p.click("cmdmemorizza");
            if (!MessageBox::shown().isEmpty()) {
                scriviBox();
                return 1;
            }
            scrivi(QStringLiteral("FATTO %1").arg(n));
        }
    } else {
        return 2;
    }
    scriviBox();
    attendiFineIngresso();
    return 0;
}

int avvia(const QStringList& argomenti)
{
    if (argomenti.size() != 2)
        return 2;
    configura(argomenti.at(0), argomenti.at(1));
    bool caricata = false;
    {
        Programma p(argomenti.at(1));
        caricata = p.finestra.Form_Load();
        scriviBox();
    }
    scrivi(caricata ? QStringLiteral("CARICATA") : QStringLiteral("SCARICATA"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    MessageBox::setRecording(true);
    MessageBox::setAutoAnswer(true);

    QStringList argomenti = QApplication::arguments().mid(1);
    if (argomenti.isEmpty())
        return 2;
    const QString comando = argomenti.takeFirst();
    if (comando == QLatin1String("blocca"))
        return blocca(argomenti);
    if (comando == QLatin1String("opera"))
        return opera(argomenti);
    if (comando == QLatin1String("avvia"))
        return avvia(argomenti);
    return 2;
}
