#include "support/finestraprova.h"

#include "support/archivioprova.h"

#include "window/textbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

namespace {

QTemporaryDir& cartellaConfigurazione()
{
    static QTemporaryDir cartella;
    return cartella;
}

} // namespace

void preparaAmbienteProva()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, cartellaConfigurazione().path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, cartellaConfigurazione().path());
    QApplication::setQuitOnLastWindowClosed(false);
    MessageBox::setRecording(true);
    MessageBox::setAutoAnswer(true);
    azzeraMessaggi();
}

void configura(const QString& archivi, const QString& programmi)
{
    QSettings registro(QStringLiteral("TARVESSA"), QStringLiteral("VELMORIA"));
    const std::pair<const char*, QString> valori[] = {{"PERCORSOARCHIVI", archivi}, {"PERCORSOPROGRAMMI", programmi}};
    for (const auto& [nome, valore] : valori) {
        if (valore.isNull())
            registro.remove(QString::fromLatin1(nome));
        else
            registro.setValue(QString::fromLatin1(nome), valore);
    }
    registro.sync();
    const ArchivioProva* archivio = archivi.isEmpty() ? nullptr : ArchivioProva::diCartella(archivi);
    if (archivio && archivio->suServer())
        configuraServer(archivio->server(), archivio->prefisso());
    else
        configuraServer(QString(), QString());
}

void configuraServer(const QString& server, const QString& prefisso)
{
    QSettings registro(QStringLiteral("TARVESSA"), QStringLiteral("VELMORIA"));
    const std::pair<const char*, QString> valori[] = {{"SERVERPOSTGRESQL", server}, {"PREFISSOPOSTGRESQL", prefisso}};
    for (const auto& [nome, valore] : valori) {
        if (valore.isNull())
            registro.remove(QString::fromLatin1(nome));
        else
            registro.setValue(QString::fromLatin1(nome), valore);
    }
    registro.sync();
}

void azzeraMessaggi()
{
    MessageBox::clearShown();
    MessageBox::clearNextAnswers();
}

QStringList testiMostrati()
{
    QStringList testi;
    for (const auto& box : MessageBox::shown())
        testi.append(box.testo);
    return testi;
}

FinestraProva::FinestraProva(int attesaBloccoMs) : modulo(MsgBox), finestra(modulo)
{
    modulo.fileBloccoIstanza = m_blocco.filePath(QStringLiteral("anagsost.lock"));
    modulo.opzioniArchivio.attesaBloccoMs = attesaBloccoMs;
}

FinestraProva::~FinestraProva()
{
    MessageBox::clearNextAnswers();
    if (!finestra.scaricata()) {
        finestra.CHIUDITAB();
        modulo.CHIUDIDATABASE();
    }
}

bool FinestraProva::avvia()
{
    if (!finestra.Form_Load())
        return false;
    QApplication::setActiveWindow(&finestra);
    return QTest::qWaitForWindowActive(&finestra);
}

TextBox* FinestraProva::campo(const QString& nome)
{
    return controllo<TextBox>(nome);
}

void FinestraProva::click(const QString& nomeBottone)
{
    QTest::mouseClick(bottone(nomeBottone), Qt::LeftButton);
}

void FinestraProva::clickLista(int riga)
{
    QListWidget* l = lista();
    l->scrollToItem(l->item(riga));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(riga)).center());
}

void FinestraProva::doppioClickLista(int riga)
{
    QListWidget* l = lista();
    l->scrollToItem(l->item(riga));
    const QPoint punto = l->visualItemRect(l->item(riga)).center();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, punto);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, punto);
}

int FinestraProva::rigaDi(const QString& codazi, const QString& cfs)
{
    const QString inizio = codazi + QLatin1Char(' ') + cfs.leftJustified(16, QLatin1Char(' '));
    const QStringList righe = righeLista();
    for (int i = 0; i < righe.size(); ++i) {
        if (righe[i].startsWith(inizio))
            return i;
    }
    return -1;
}

QStringList FinestraProva::righeLista()
{
    QStringList righe;
    for (int i = 0; i < lista()->count(); ++i)
        righe.append(lista()->item(i)->text());
    return righe;
}

void rispondiBoxReale(int risposta, BoxReale* visto)
{
    MessageBox::setAutoAnswer(false);
    QTimer::singleShot(0, [risposta, visto] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [risposta, visto] { rispondiBoxReale(risposta, visto); });
            return;
        }
        if (visto) {
            visto->testo = box->text();
            visto->titolo = box->windowTitle();
            visto->icona = box->icon();
            visto->bottoni.clear();
            for (QAbstractButton* b : box->buttons())
                visto->bottoni.append(b->text().remove(QLatin1Char('&')));
            if (box->defaultButton())
                visto->predefinito = box->defaultButton()->text().remove(QLatin1Char('&'));
        }
        const QMessageBox::StandardButton quale = risposta == vbYes  ? QMessageBox::Yes
                                                  : risposta == vbNo ? QMessageBox::No
                                                  : risposta == vbCancel ? QMessageBox::Cancel
                                                                          : QMessageBox::Ok;
        QTest::mouseClick(box->button(quale), Qt::LeftButton);
        MessageBox::setAutoAnswer(true);
    });
}
