#include "support/finestraprova.h"

#include "support/archivioprova.h"

#include "startup/configurazione.h"
#include "window/dialoghi.h"
#include "window/italiano.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

static void scrivi(const QList<QPair<QString, QString>>& valori)
{
    QString errore;
    if (!SCRIVICONFIGURAZIONE(valori, &errore))
        qFatal("%s", qPrintable(errore));
}

void preparaAmbienteProva()
{
    static QTemporaryDir cartella;
    for (const auto formato : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(formato, QSettings::UserScope, cartella.path());
    QApplication::setQuitOnLastWindowClosed(false);
    ITALIANOQT(); // as the program does at start-up
    MessageBox::setRecording(true);
    MessageBox::setAutoAnswer(true);
    Dialoghi::setAutoCancel(true);
}

void configura(const QString& archivi, const QString& programmi)
{
    scrivi({{"PERCORSOARCHIVI", archivi}, {"PERCORSOPROGRAMMI", programmi}});
    const ArchivioProva* archivio = archivi.isEmpty() ? nullptr : ArchivioProva::diCartella(archivi);
    const bool server = archivio && archivio->suServer();
    configuraServer(server ? archivio->server() : QString(), server ? archivio->prefisso() : QString());
}

void configuraServer(const QString& server, const QString& prefisso)
{
    scrivi({{"SERVERPOSTGRESQL", server}, {"PREFISSOPOSTGRESQL", prefisso}});
}

QStringList testiMostrati()
{
    QStringList testi;
    for (const auto& box : MessageBox::shown())
        testi.append(box.testo);
    return testi;
}

void clickVoce(QListWidget* lista, QListWidgetItem* voce, bool doppio)
{
    lista->scrollToItem(voce);
    const QPoint punto = lista->visualItemRect(voce).center();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, punto);
    if (doppio)
        QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, punto);
}

void clickRiga(QAbstractItemView* lista, int riga, bool doppio)
{
    const QModelIndex indice = lista->model()->index(riga, 0);
    lista->scrollTo(indice);
    const QPoint punto = lista->visualRect(indice).center();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, punto);
    if (doppio)
        QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, punto);
}

QStringList righeDi(const QAbstractItemView* lista)
{
    QStringList righe;
    for (int i = 0; i < lista->model()->rowCount(); ++i)
        righe.append(lista->model()->index(i, 0).data().toString());
    return righe;
}

bool FinestraProva::avvia()
{
    if (!finestra.Form_Load())
        return false;
    QApplication::setActiveWindow(&finestra);
    return QTest::qWaitForWindowActive(&finestra);
}

int FinestraProva::rigaDi(const QString& codazi, const QString& cfs)
{
    const QString inizio = codazi + ' ' + cfs.leftJustified(16);
    const QStringList righe = righeLista();
    for (int i = 0; i < righe.size(); ++i)
        if (righe.at(i).startsWith(inizio))
            return i;
    return -1;
}

void rispondiBoxReale(int risposta, BoxReale* visto)
{
    MessageBox::setAutoAnswer(false);
    QTimer::singleShot(0, [risposta, visto] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return QTimer::singleShot(10, [risposta, visto] { rispondiBoxReale(risposta, visto); });
        const auto testo = [](const QAbstractButton* b) { return b->text().remove(QLatin1Char('&')); };
        if (visto) {
            *visto = {box->text(), box->windowTitle(), box->icon(), {},
                      box->defaultButton() ? testo(box->defaultButton()) : QString(), box->size()};
            for (const QAbstractButton* b : box->buttons())
                visto->bottoni.append(testo(b));
        }
        const QHash<int, QMessageBox::StandardButton> bottoni{
            {vbYes, QMessageBox::Yes}, {vbNo, QMessageBox::No}, {vbCancel, QMessageBox::Cancel}};
        QTest::mouseClick(box->button(bottoni.value(risposta, QMessageBox::Ok)), Qt::LeftButton);
        MessageBox::setAutoAnswer(true);
    });
}
