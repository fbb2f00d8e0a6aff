// The typed field under real key presses, paste, drop and input method: every
// character passes through the KeyPress rules; focus signals ignore message
// boxes. (The date field's mask on the window: tst_finestra.)
#include "support/finestraprova.h"
#include "support/programma.h"

#include "checks/tasti.h"

#include <QtWidgets>

#include <functional>

namespace {

// A modal box as a handler shows one, with exec(): once it is active (the
// window inactive), `intanto` runs and the box is closed.
void mostraBox(
    QWidget* finestra, const std::function<void()>& intanto = [] {})
{
    QMessageBox box(QMessageBox::Information, "Titolo", "Messaggio", QMessageBox::Ok, finestra);
    QTimer::singleShot(0, &box, [&box, &intanto] {
        QTRY_VERIFY(QApplication::activeWindow() == &box); // not just sharing the window's activation
        intanto();
        box.done(QMessageBox::Ok);
    });
    box.exec();
    // No window manager here gives the activation back: do what it would,
    // once the code that opened the box has gone on.
    QMetaObject::invokeMethod(
        finestra, [finestra] { finestra->activateWindow(); }, Qt::QueuedConnection);
}

} // namespace

class TestTextBox : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> finestra;
    TextBox* a = nullptr;
    TextBox* b = nullptr;
    QPushButton* bottone = nullptr;
    QStringList eventi; // "a+" GotFocus of a, "a-" its LostFocus

private slots:
    void init()
    {
        finestra = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(finestra.get());
        for (auto [campo, nome] : {std::pair{&a, "a"}, std::pair{&b, "b"}}) {
            layout->addWidget(*campo = new TextBox);
            connect(*campo, &TextBox::GotFocus, this, [this, n = nome] { eventi << n + QString('+'); });
            connect(*campo, &TextBox::LostFocus, this, [this, n = nome] { eventi << n + QString('-'); });
        }
        layout->addWidget(bottone = new QPushButton(QStringLiteral("Conferma")));
        finestra->show();
        QVERIFY(QTest::qWaitForWindowActive(finestra.get()));
        a->setFocus(Qt::OtherFocusReason);
        eventi.clear();
    }

    void tastiDigitati()
    {
        // Letters upper-cased (accented ones too), "x" swallowed, "#" made a backspace.
        connect(a, &TextBox::KeyPress, this, [](int& k) {
            k = k == 'x' ? 0 : k == '#' ? 8 : k >= 32 ? QChar(k).toUpper().unicode() : k;
        });
        a->setMaxLength(4);
        QTest::sendKeyEvent(QTest::Click, a, Qt::Key_Agrave, QString::fromUtf8("à"), Qt::NoModifier);
        QTest::keyClicks(a, QStringLiteral("xcitz\b#")); // "z" beyond the maximum length
        QCOMPARE(a->text(), QString::fromUtf8("ÀC"));
        // Enter and Escape never reach the text; cursor keys, Delete, function keys
        // and Ctrl shortcuts keep their meaning and give no key code.
        for (int tasto : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Home, Qt::Key_Delete, Qt::Key_F2})
            QTest::keyClick(a, Qt::Key(tasto));
        QCOMPARE(a->text(), QStringLiteral("C"));
        QTest::keyClick(a, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(a->selectedText(), QStringLiteral("C"));
    }

    void testoNonDigitato()
    {
        // Pasted, dropped or composed text goes through the rules a character at a time: letters never enter a
        // company code.
        a->setMaxLength(3);
        connect(a, &TextBox::KeyPress, this, [this](int& k) {
            CAMPOTESTO stato = a->stato();
            k = DIGITANUMERO(stato, k, 0, 0, 3, 0);
            a->applica(stato);
        });
        const QString testo = QStringLiteral("1\n2ab3\r\n45");
        QGuiApplication::clipboard()->setText(testo);
        QMimeData dati;
        dati.setText(testo);
        QKeyEvent incolla(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QInputMethodEvent composto;
        composto.setCommitString(testo);
        QDragEnterEvent entra(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &dati, Qt::LeftButton, Qt::NoModifier);
        // Shift: a move asked
        QDropEvent rilascio(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, &dati, Qt::LeftButton, Qt::ShiftModifier);
        for (const auto& via : QList<QList<QEvent*>>{{&incolla}, {&composto}, {&entra, &rilascio}, {}}) {
            a->clear();
            for (QEvent* evento : via)
                QApplication::sendEvent(a, evento);
            if (via.isEmpty()) // the context menu's Paste
                QVERIFY(dalMenu(a, "Incolla"));
            QCOMPARE(a->text(), QStringLiteral("123"));
        }
        QCOMPARE(rilascio.dropAction(), Qt::CopyAction); // refused characters stay with the source
        QVERIFY(eventi.isEmpty());                       // a popup is no change of field
    }

    void colori()
    {
        // Classic colour values, red in the low byte, blue in the high one, kept while the window is inactive.
        a->setBackColor(8388863);
        QCOMPARE(a->palette().color(QPalette::Inactive, QPalette::Base), QColor(255, 0, 128));
    }

    void fuocoEBox()
    {
        // A box takes the activation, not the field's focus. A focus moved while a box is open is a change of
        // field, signalled once. A LostFocus handler that refuses the field with a box and takes the focus back
        // causes no second LostFocus, the other field no signal.
        mostraBox(finestra.get(), [this] { b->setFocus(); });
        QTRY_VERIFY(b->hasFocus());
        mostraBox(finestra.get(), [this] { bottone->setFocus(); });
        QTRY_COMPARE(eventi, (QStringList{"a-", "b+", "b-"})); // the button is no field: b's LostFocus alone
        connect(a, &TextBox::LostFocus, this, [this] {
            mostraBox(finestra.get());
            a->setFocus();
        });
        a->setFocus();
        b->setFocus();
        QTRY_VERIFY(finestra->isActiveWindow());
        QVERIFY(a->hasFocus());
        QCOMPARE(eventi, (QStringList{"a-", "b+", "b-", "a+", "a-", "a+"}));
    }
};

PROVA(TestTextBox);
#include "campi.moc"
