// The typed field under real key presses, paste, drop and input method: every
// character passes through the KeyPress rules; focus signals ignore message
// boxes.
#include "checks/tasti.h"
#include "window/textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace {

void maiuscole(int& k)
{
    if (k >= 32)
        k = QChar(k).toUpper().unicode();
}

void soloCifre(int& k)
{
    if (k != 8 && (k < '0' || k > '9'))
        k = 0;
}

// Closes the next modal box once it is the active window, with the given
// button; the box is opened by code under test with exec().
void chiudiProssimoBox(QMessageBox::StandardButton pulsante = QMessageBox::Ok)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, pulsante] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isActiveWindow()) {
            timer->stop();
            timer->deleteLater();
            box->done(pulsante);
        }
    });
    timer->start(10);
}

// The test platform has no window manager: when a box closes, nothing gives
// the activation back to the window. Do what the window manager would, a
// moment later (the handler that opened the box goes on first).
void riattivaDopo(QWidget* finestra)
{
    QMetaObject::invokeMethod(finestra, [finestra] { finestra->activateWindow(); }, Qt::QueuedConnection);
}

int mostraBox(QWidget* padre)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Titolo"), QStringLiteral("Messaggio"),
                    QMessageBox::Ok, padre);
    box.setWindowModality(Qt::ApplicationModal);
    chiudiProssimoBox();
    const int risposta = box.exec();
    riattivaDopo(padre);
    return risposta;
}

} // namespace

class TestTextBox : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void tastoSostituitoEntra();
    void tastoInghiottitoNonEntra();
    void lunghezzaMassima();
    void selezioneSostituita();
    void backspace();
    void invioEEsc();
    void tastiSenzaCodice();
    void caratteriDiControllo();
    void campoData();
    void campoCodiceAzienda();
    void incollaConCtrlV();
    void incollaNelSesso();
    void incollaDalMenuContestuale();
    void trascinamento();
    void metodoDiInput();
    void cambiamento();
    void colori();
    void posizioneEStato();
    void fuocoTraCampi();
    void boxNonToglieIlFuoco();
    void boxApertoDaGestore();
    void fuocoSpostatoConBoxAperto();
    void boxNelLostFocus();

private:
    void registra(TextBox* campo, const QString& nome);
    void gestore(TextBox* campo, void (*regola)(int&));

    QWidget* finestra = nullptr;
    TextBox* a = nullptr;
    TextBox* b = nullptr;
    QPushButton* bottone = nullptr;
    QStringList eventi;
    QList<int> codici;
};

void TestTextBox::registra(TextBox* campo, const QString& nome)
{
    connect(campo, &TextBox::GotFocus, this, [this, nome] { eventi << nome + QLatin1Char('+'); });
    connect(campo, &TextBox::LostFocus, this, [this, nome] { eventi << nome + QLatin1Char('-'); });
}

void TestTextBox::gestore(TextBox* campo, void (*regola)(int&))
{
    connect(campo, &TextBox::KeyPress, this, [this, regola](int& k) {
        codici << k;
        regola(k);
    });
}

void TestTextBox::init()
{
    finestra = new QWidget;
    auto* layout = new QVBoxLayout(finestra);
    a = new TextBox(finestra);
    b = new TextBox(finestra);
    bottone = new QPushButton(QStringLiteral("Conferma"), finestra);
    layout->addWidget(a);
    layout->addWidget(b);
    layout->addWidget(bottone);
    registra(a, QStringLiteral("a"));
    registra(b, QStringLiteral("b"));
    finestra->show();
    QVERIFY(QTest::qWaitForWindowActive(finestra));
    a->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(a->hasFocus());
    eventi.clear();
    codici.clear();
}

void TestTextBox::cleanup()
{
    delete finestra;
    finestra = nullptr;
    QGuiApplication::clipboard()->clear();
}

void TestTextBox::tastoSostituitoEntra()
{
    gestore(a, maiuscole);
    QTest::keyClicks(a, QStringLiteral("citt"));
    QTest::sendKeyEvent(QTest::Click, a, Qt::Key_Agrave, QString::fromUtf8("à"), Qt::NoModifier);
    QCOMPARE(a->text(), QString::fromUtf8("CITTÀ"));
    QCOMPARE(codici, (QList<int>{'c', 'i', 't', 't', 0xE0}));
    QCOMPARE(a->cursorPosition(), 5);
}

void TestTextBox::tastoInghiottitoNonEntra()
{
    connect(a, &TextBox::KeyPress, this, [](int& k) {
        if (k == 'x')
            k = 0;
    });
    QTest::keyClicks(a, QStringLiteral("axbx"));
    QCOMPARE(a->text(), QStringLiteral("ab"));
}

void TestTextBox::lunghezzaMassima()
{
    gestore(a, maiuscole);
    a->setMaxLength(3);
    QTest::keyClicks(a, QStringLiteral("abcdef"));
    QCOMPARE(a->text(), QStringLiteral("ABC"));
    // Every key still reached the handler.
    QCOMPARE(codici.size(), 6);
    a->setSelStart(1);
    QTest::keyClick(a, Qt::Key_Z);
    QCOMPARE(a->text(), QStringLiteral("ABC"));
}

void TestTextBox::selezioneSostituita()
{
    gestore(a, maiuscole);
    a->setMaxLength(5);
    a->setText(QStringLiteral("HELLO"));
    a->setSelection(1, 3);
    QTest::keyClick(a, Qt::Key_A);
    QCOMPARE(a->text(), QStringLiteral("HAO"));
    QCOMPARE(a->cursorPosition(), 2);
    QVERIFY(!a->hasSelectedText());
}

void TestTextBox::backspace()
{
    gestore(a, maiuscole);
    a->setText(QStringLiteral("ABC"));
    QTest::keyClick(a, Qt::Key_Backspace);
    QCOMPARE(a->text(), QStringLiteral("AB"));
    QCOMPARE(codici, QList<int>{8});

    // A key replaced by backspace acts as backspace.
    connect(a, &TextBox::KeyPress, this, [](int& k) {
        if (k == 'Q')
            k = 8;
    });
    QTest::keyClick(a, Qt::Key_Q);
    QCOMPARE(a->text(), QStringLiteral("A"));

    // A swallowed backspace deletes nothing.
    connect(a, &TextBox::KeyPress, this, [](int& k) {
        if (k == 8)
            k = 0;
    });
    QTest::keyClick(a, Qt::Key_Backspace);
    QCOMPARE(a->text(), QStringLiteral("A"));
}

void TestTextBox::invioEEsc()
{
    gestore(a, maiuscole);
    a->setText(QStringLiteral("AB"));
    QTest::keyClick(a, Qt::Key_Return);
    QTest::keyClick(a, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(a, Qt::Key_Escape);
    QCOMPARE(a->text(), QStringLiteral("AB"));
    QCOMPARE(codici, (QList<int>{13, 13, 27}));
}

void TestTextBox::tastiSenzaCodice()
{
    gestore(a, maiuscole);
    a->setText(QStringLiteral("ABC"));
    QTest::keyClick(a, Qt::Key_Left);
    QCOMPARE(a->cursorPosition(), 2);
    QTest::keyClick(a, Qt::Key_Home);
    QCOMPARE(a->cursorPosition(), 0);
    QTest::keyClick(a, Qt::Key_Delete);
    QCOMPARE(a->text(), QStringLiteral("BC"));
    QTest::keyClick(a, Qt::Key_F2);
    QCOMPARE(a->text(), QStringLiteral("BC"));
    QVERIFY(codici.isEmpty());
}

void TestTextBox::caratteriDiControllo()
{
    gestore(a, maiuscole);
    QTest::keyClicks(a, QStringLiteral("ab"));
    QCOMPARE(a->text(), QStringLiteral("AB"));
    // Ctrl+Z as the keyboard delivers it: the control character 26.
    QTest::sendKeyEvent(QTest::Click, a, Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
    QCOMPARE(codici.last(), 26);
    QVERIFY(a->text() != QStringLiteral("AB"));

    // A handler that swallows control characters stops the undo.
    b->setFocus();
    QTRY_VERIFY(b->hasFocus());
    connect(b, &TextBox::KeyPress, this, [](int& k) {
        if (k < 32 && k != 8)
            k = 0;
        else
            maiuscole(k);
    });
    QTest::keyClicks(b, QStringLiteral("ab"));
    QTest::sendKeyEvent(QTest::Click, b, Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
    QCOMPARE(b->text(), QStringLiteral("AB"));

    // Ctrl with a printable key is a shortcut: no key code, select all.
    QTest::keyClick(b, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(b->hasSelectedText());
    QCOMPARE(b->text(), QStringLiteral("AB"));
}

void TestTextBox::campoData()
{
    // The date field as the window drives it: the routine rewrites the text
    // and caret, the key itself never enters.
    int beep = 0;
    a->setMaxLength(10);
    a->setText(QStringLiteral("00/00/0000"));
    a->setSelStart(0);
    connect(a, &TextBox::KeyPress, this, [this, &beep](int& k) {
        CAMPOTESTO campo = a->stato();
        campo.testo = DIGITADATA(campo, k);
        a->applica(campo);
        beep += campo.beep;
        k = 0;
    });
    QTest::keyClicks(a, QStringLiteral("15x0819754"));
    QCOMPARE(a->text(), QStringLiteral("15/08/1974"));
    QCOMPARE(a->cursorPosition(), 9);
    QCOMPARE(beep, 1);

    // After the year, the digit would make an eleventh character: the field's
    // maximum length keeps the date as it was.
    a->setSelStart(10);
    QTest::keyClick(a, Qt::Key_1);
    QCOMPARE(a->text(), QStringLiteral("15/08/1974"));

    QTest::keyClick(a, Qt::Key_Backspace);
    QCOMPARE(a->text(), QStringLiteral("00/00/0000"));
    QCOMPARE(a->cursorPosition(), 0);
}

void TestTextBox::campoCodiceAzienda()
{
    a->setMaxLength(3);
    connect(a, &TextBox::KeyPress, this, [this](int& k) {
        CAMPOTESTO campo = a->stato();
        k = DIGITANUMERO(campo, k, 0, 0, 3, 0);
        a->applica(campo);
    });
    QTest::keyClicks(a, QStringLiteral("7a42,9"));
    QCOMPARE(a->text(), QStringLiteral("742"));
    QTest::keyClick(a, Qt::Key_Backspace);
    QCOMPARE(a->text(), QStringLiteral("  0"));
    QTest::keyClick(a, Qt::Key_5);
    QCOMPARE(a->text(), QStringLiteral("  5"));
}

void TestTextBox::incollaConCtrlV()
{
    gestore(a, soloCifre);
    QGuiApplication::clipboard()->setText(QStringLiteral("12ab3"));
    QTest::keyClick(a, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(a->text(), QStringLiteral("123"));
    QCOMPARE(codici, (QList<int>{'1', '2', 'a', 'b', '3'}));

    // Line breaks are dropped before they reach the rules.
    codici.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("4\n5\r\n6"));
    QTest::keyClick(a, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(a->text(), QStringLiteral("123456"));
    QCOMPARE(codici, (QList<int>{'4', '5', '6'}));

    // The maximum length holds for pasted text too.
    a->clear();
    a->setMaxLength(4);
    QGuiApplication::clipboard()->setText(QStringLiteral("9876543"));
    QTest::keyClick(a, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(a->text(), QStringLiteral("9876"));
}

void TestTextBox::incollaNelSesso()
{
    // The sex field: emptied before each key, then M/F only, upper-cased.
    a->setMaxLength(1);
    connect(a, &TextBox::KeyPress, this, [this](int& k) {
        a->setText(QString());
        FILTRACARATTERI(k, QStringLiteral("MmFf "), true);
    });
    QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
    QTest::keyClick(a, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(a->text(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("xmf"));
    QTest::keyClick(a, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(a->text(), QStringLiteral("F"));
}

void TestTextBox::incollaDalMenuContestuale()
{
    gestore(a, soloCifre);
    QGuiApplication::clipboard()->setText(QStringLiteral("12ab3"));
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(2, 2), a->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(a, &evento);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
    for (QAction* azione : menu->actions())
        QVERIFY2(!azione->menu(), qPrintable(azione->text()));
    // The operator picks Paste by its mnemonic.
    QTest::keyClick(menu, Qt::Key_P);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(a->text(), QStringLiteral("123"));
    QCOMPARE(codici, (QList<int>{'1', '2', 'a', 'b', '3'}));
    // The popup is not a change of field.
    QTRY_VERIFY(a->hasFocus());
    QVERIFY(eventi.isEmpty());
}

void TestTextBox::trascinamento()
{
    gestore(a, soloCifre);
    a->setText(QStringLiteral("0"));
    auto* dati = new QMimeData;
    dati->setText(QStringLiteral("12ab3"));
    const QPoint fondo(a->width() - 3, a->height() / 2);
    QDragEnterEvent entra(fondo, Qt::CopyAction | Qt::MoveAction, dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(a, &entra);
    QVERIFY(entra.isAccepted());
    QDropEvent rilascio(fondo, Qt::CopyAction | Qt::MoveAction, dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(a, &rilascio);
    QVERIFY(rilascio.isAccepted());
    // Refused characters stay with the source.
    QCOMPARE(rilascio.dropAction(), Qt::CopyAction);
    QCOMPARE(a->text(), QStringLiteral("0123"));
    delete dati;

    // Dropped on the date field, letters never enter.
    b->setMaxLength(10);
    b->setText(QStringLiteral("00/00/0000"));
    connect(b, &TextBox::KeyPress, this, [this](int& k) {
        CAMPOTESTO campo = b->stato();
        campo.testo = DIGITADATA(campo, k);
        b->applica(campo);
        k = 0;
    });
    auto* data = new QMimeData;
    data->setText(QStringLiteral("1a5"));
    const QPoint inizio(1, b->height() / 2);
    QDragEnterEvent entraData(inizio, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &entraData);
    QDropEvent sullaData(inizio, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &sullaData);
    QCOMPARE(b->text(), QStringLiteral("15/00/0000"));
    delete data;
}

void TestTextBox::metodoDiInput()
{
    gestore(a, soloCifre);
    QInputMethodEvent composto;
    composto.setCommitString(QStringLiteral("4x5"));
    QApplication::sendEvent(a, &composto);
    QCOMPARE(a->text(), QStringLiteral("45"));
    QCOMPARE(codici, (QList<int>{'4', 'x', '5'}));

    // A composition still in progress is shown, not typed.
    QInputMethodEvent inCorso(QStringLiteral("z"), {});
    QApplication::sendEvent(a, &inCorso);
    QCOMPARE(a->text(), QStringLiteral("45"));
    QInputMethodEvent fine;
    fine.setCommitString(QStringLiteral("6"));
    QApplication::sendEvent(a, &fine);
    QCOMPARE(a->text(), QStringLiteral("456"));
}

void TestTextBox::cambiamento()
{
    QSignalSpy cambi(a, &TextBox::Change);
    a->setText(QStringLiteral("ABC"));
    QCOMPARE(cambi.count(), 1);
    a->setText(QStringLiteral("ABC"));
    QCOMPARE(cambi.count(), 1);
    QTest::keyClick(a, Qt::Key_D);
    QCOMPARE(cambi.count(), 2);
    CAMPOTESTO campo = a->stato();
    campo.testo = QStringLiteral("XY");
    a->applica(campo);
    QCOMPARE(cambi.count(), 3);
    a->clear();
    QCOMPARE(cambi.count(), 4);
}

void TestTextBox::colori()
{
    QCOMPARE(a->ForeColor(), 0L);
    QCOMPARE(a->BackColor(), 16777215L);
    QCOMPARE(a->palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 255));

    a->setBackColor(65535);
    a->setForeColor(0);
    QCOMPARE(a->BackColor(), 65535L);
    for (auto gruppo : {QPalette::Active, QPalette::Inactive}) {
        QCOMPARE(a->palette().color(gruppo, QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(a->palette().color(gruppo, QPalette::Text), QColor(0, 0, 0));
    }
    a->setForeColor(128);
    QCOMPARE(a->palette().color(QPalette::Active, QPalette::Text), QColor(128, 0, 0));
    a->setForeColor(8388608);
    QCOMPARE(a->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 128));
    a->setBackColor(16777215);
    QCOMPARE(a->palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 255));
}

void TestTextBox::posizioneEStato()
{
    a->setMaxLength(3);
    a->setText(QStringLiteral("ABC"));
    a->setSelStart(10);
    QCOMPARE(a->SelStart(), 3);
    a->setSelStart(-4);
    QCOMPARE(a->SelStart(), 0);
    a->selectAll();
    a->setSelStart(1);
    QCOMPARE(a->SelStart(), 1);
    QVERIFY(!a->hasSelectedText());

    const CAMPOTESTO campo = a->stato();
    QCOMPARE(campo.testo, QStringLiteral("ABC"));
    QCOMPARE(campo.maxLength, 3);
    QCOMPARE(campo.caret, 1);

    CAMPOTESTO lungo;
    lungo.testo = QStringLiteral("ABCDEF");
    lungo.caret = 2;
    a->applica(lungo);
    QCOMPARE(a->text(), QStringLiteral("ABC"));
    QCOMPARE(a->SelStart(), 2);
    QCOMPARE(a->maxLength(), 3);
    lungo.caret = 8;
    a->applica(lungo);
    QCOMPARE(a->SelStart(), 3);
}

void TestTextBox::fuocoTraCampi()
{
    b->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(b->hasFocus());
    bottone->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(bottone->hasFocus());
    a->setFocus(Qt::BacktabFocusReason);
    QTRY_VERIFY(a->hasFocus());
    QCOMPARE(eventi, (QStringList{"a-", "b+", "b-", "a+"}));
}

void TestTextBox::boxNonToglieIlFuoco()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Titolo"), QStringLiteral("Messaggio"),
                    QMessageBox::Ok, finestra);
    box.setWindowModality(Qt::ApplicationModal);
    box.open();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTRY_VERIFY(!a->hasFocus());
    QVERIFY(eventi.isEmpty());
    box.done(QMessageBox::Ok);
    riattivaDopo(finestra);
    QVERIFY(QTest::qWaitForWindowActive(finestra));
    QTRY_VERIFY(a->hasFocus());
    QVERIFY(eventi.isEmpty());
}

void TestTextBox::boxApertoDaGestore()
{
    // A KeyPress handler that shows a message box, then lets the key enter.
    connect(a, &TextBox::KeyPress, this, [this](int& k) {
        mostraBox(finestra);
        maiuscole(k);
    });
    QTest::keyClick(a, Qt::Key_X);
    QCOMPARE(a->text(), QStringLiteral("X"));
    QTRY_VERIFY(a->hasFocus());
    QVERIFY(eventi.isEmpty());
}

void TestTextBox::fuocoSpostatoConBoxAperto()
{
    // While the box is open the window is inactive; a handler moves the
    // focus to the other field. When the window is active again, the first
    // field has lost the focus and the second has it, each signalled once.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Titolo"), QStringLiteral("Messaggio"),
                    QMessageBox::Ok, finestra);
    box.setWindowModality(Qt::ApplicationModal);
    box.open();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTRY_VERIFY(!a->hasFocus());
    b->setFocus(Qt::OtherFocusReason);
    box.done(QMessageBox::Ok);
    riattivaDopo(finestra);
    QVERIFY(QTest::qWaitForWindowActive(finestra));
    QTRY_VERIFY(b->hasFocus());
    QCOMPARE(eventi, (QStringList{"a-", "b+"}));

    // Same with a button taking the focus: the field still loses it.
    eventi.clear();
    QMessageBox box2(QMessageBox::Information, QStringLiteral("Titolo"), QStringLiteral("Messaggio"),
                     QMessageBox::Ok, finestra);
    box2.setWindowModality(Qt::ApplicationModal);
    box2.open();
    QVERIFY(QTest::qWaitForWindowActive(&box2));
    QTRY_VERIFY(!b->hasFocus());
    bottone->setFocus(Qt::OtherFocusReason);
    box2.done(QMessageBox::Ok);
    riattivaDopo(finestra);
    QVERIFY(QTest::qWaitForWindowActive(finestra));
    QTRY_VERIFY(bottone->hasFocus());
    QCOMPARE(eventi, QStringList{"b-"});
}

void TestTextBox::boxNelLostFocus()
{
    // The lost-focus handler of a refused field shows its message and puts
    // the focus back: the box itself causes no further LostFocus.
    disconnect(a, &TextBox::LostFocus, this, nullptr);
    connect(a, &TextBox::LostFocus, this, [this] {
        eventi << QStringLiteral("a-");
        mostraBox(finestra);
        a->setFocus(Qt::OtherFocusReason);
    });
    b->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(a->hasFocus());
    QVERIFY(QTest::qWaitForWindowActive(finestra));
    QTRY_VERIFY(a->hasFocus());
    QCOMPARE(eventi.count(QStringLiteral("a-")), 1);
    QCOMPARE(eventi.count(QStringLiteral("a+")), 1);
    QCOMPARE(eventi.count(QStringLiteral("b+")), eventi.count(QStringLiteral("b-")));
}

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
