#include "support/finestraprova.h"

#include "startup/configurazione.h"
#include "window/aspetto.h"
#include "window/dialoghi.h"
#include "window/italiano.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
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

QStringList righeDi(const QAbstractItemView* lista)
{
    QStringList righe;
    for (int i = 0; i < lista->model()->rowCount(); ++i)
        righe.append(lista->model()->index(i, 0).data().toString());
    return righe;
}

void clickVoce(QAbstractItemView* lista, int riga, bool doppio)
{
    const QModelIndex voce = lista->model()->index(riga, 0);
    lista->scrollTo(voce);
    const QPoint punto = lista->visualRect(voce).center();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, punto);
    if (doppio)
        QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, punto);
}

QString pdftotext(const QString& pdf, const QStringList& opzioni)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), opzioni + QStringList{pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

bool dalMenu(QWidget* campo, const QString& voce)
{
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(4, 4), campo->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(campo, &evento);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
        if (a->text().section('\t', 0, 0).remove('&') == voce) {
            menu->close();
            a->trigger();
            return true;
        }
    }
    return false;
}

QPoint punto(QLineEdit* campo, int posizione)
{
    for (int x = 0; x < campo->width(); ++x)
        if (campo->cursorPositionAt(QPoint(x, campo->height() / 2)) == posizione)
            return QPoint(x, campo->height() / 2);
    return QPoint(-1, -1);
}

bool FinestraProva::avvia()
{
    if (!finestra.Form_Load())
        return false;
    QApplication::setActiveWindow(&finestra);
    return QTest::qWaitForWindowActive(&finestra);
}

int FinestraProva::rigaDi(const Chiave& k)
{
    // A line starts with the company code and the codice fiscale in 16 columns.
    return int(righeLista().indexOf(
        QRegularExpression("^" + QRegularExpression::escape(k.codazi + ' ' + k.cfs.leftJustified(16)) + ".*")));
}

AnnoProva::AnnoProva()
{
    azzeraMessaggi();
    archivio.creaAnno();
    archivio.aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
    configura(archivio.cartella());
}

void BancoProva::sostituto(const Chiave& k, const QStringList& cambi)
{
    QVariantList valori(PERSONA.cbegin(), PERSONA.cend());
    for (const QString& c : cambi) {
        const QString valore = c.section('=', 1);
        valori[c.section('=', 0, 0).toInt() - 1] = valore == "NULL" ? QVariant() : QVariant(valore);
    }
    archivio.aggiungiSostituto(k.codazi, k.cfs, valori);
}

bool BancoProva::apri(const Chiave& k)
{
    if (modulo.DBANNO || avvia())
        doppioClickLista(rigaDi(k));
    return mostra(k);
}

bool BancoProva::mostra(const Chiave& k)
{
    return visibile("Frmmoduli(0)") && !visibile("FrmSelezione") && finestra.STATO.CODAZISOST.trimmed() == k.codazi &&
           finestra.STATO.CFSSOST.trimmed() == k.cfs;
}

QString BancoProva::scheda()
{
    QStringList testi;
    for (int n = 1; n <= 10; ++n)
        testi << (campo(n)->BackColor() == GIALLO ? "*" : "") + campo(n)->text();
    return testi.join('|');
}

QString BancoProva::registrato(const Chiave& k)
{
    const QVariantMap riga =
        archivio.righe("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {k.codazi, k.cfs}).value(0);
    QStringList valori;
    for (int n = 1; n <= 10; ++n)
        valori << riga.value(QString("ASOST_%1").arg(n)).toString();
    return valori.join('|');
}

void BancoProva::scrivi(int n, const QString& testo)
{
    // The date field clears itself on backspace; the others (the caret at the
    // end on entering) are selected and deleted.
    campo(n)->setFocus(Qt::TabFocusReason);
    if (n != 4)
        QTest::keyClick(campo(n), Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(campo(n), Qt::Key_Backspace);
    digita(campo(n), testo);
}

QStringList BancoProva::box(const QString& coda)
{
    QStringList r;
    for (const auto& b : MessageBox::shown()) {
        const bool prima = !coda.isEmpty() && b.testo.endsWith(coda) && b.testo.size() > coda.size();
        r << QString::number(b.stile) + (b.titolo == finestra.windowTitle() ? ":" : "?") +
                 (prima ? "..." + coda : b.testo);
    }
    return r;
}

QString BancoProva::fuoco()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void digita(QWidget* w, const QString& testo)
{
    for (const QChar c : testo)
        QTest::sendKeyEvent(QTest::Click, w,
                            c.unicode() < 128 ? QTest::asciiToKey(char(c.unicode())) : Qt::Key(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
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
            const QString predefinito = box->defaultButton() ? testo(box->defaultButton()) : QString();
            *visto = {box->text(), {}, predefinito, box->size()};
            for (const QAbstractButton* b : box->buttons())
                visto->bottoni.append(testo(b));
        }
        const QHash<int, QMessageBox::StandardButton> bottoni{
            {vbYes, QMessageBox::Yes}, {vbNo, QMessageBox::No}, {vbCancel, QMessageBox::Cancel}};
        QTest::mouseClick(box->button(bottoni.value(risposta, QMessageBox::Ok)), Qt::LeftButton);
        MessageBox::setAutoAnswer(true);
    });
}
