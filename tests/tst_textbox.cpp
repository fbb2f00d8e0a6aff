// The typed field under real key presses, paste, drop and input method: every
// character passes through the KeyPress rules; focus signals ignore message
// boxes.
#include "checks/tasti.h"
#include "window/textbox.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace {

// A modal box as a handler shows one, with exec(): once it is active (the
// window inactive), `intanto` runs and the box is closed.
void mostraBox(QWidget* finestra, const std::function<void()>& intanto = [] {})
{
    QMessageBox box(QMessageBox::Information, "Titolo", "Messaggio", QMessageBox::Ok, finestra);
    box.setWindowModality(Qt::ApplicationModal);
    QTimer::singleShot(0, &box, [&box, &intanto] {
        QTRY_VERIFY(QApplication::activeWindow() == &box); // not just sharing the window's activation
        intanto();
        box.done(QMessageBox::Ok);
    });
    box.exec();
    // No window manager here gives the activation back: do what it would,
    // once the code that opened the box has gone on.
    QMetaObject::invokeMethod(finestra, [finestra] { finestra->activateWindow(); }, Qt::QueuedConnection);
}

} // namespace

class TestTextBox : public QObject {
    Q_OBJECT

    QWidget* finestra = nullptr;
    TextBox* a = nullptr;
    TextBox* b = nullptr;
    QPushButton* bottone = nullptr;
    QStringList eventi; // "a+" GotFocus of a, "a-" its LostFocus
    QList<int> codici;  // key codes a KeyPress handler received

    // Hangs a keystroke routine on a field as the window does: the routine
    // works on the field's state and replaces or swallows the key.
    void regola(TextBox* campo, const std::function<int(CAMPOTESTO&, int)>& routine)
    {
        connect(campo, &TextBox::KeyPress, this, [this, campo, routine](int& k) {
            codici << k;
            CAMPOTESTO stato = campo->stato();
            k = routine(stato, k);
            campo->applica(stato);
        });
    }

private slots:
    void init()
    {
        finestra = new QWidget;
        auto* layout = new QVBoxLayout(finestra);
        for (TextBox** campo : {&a, &b}) {
            layout->addWidget(*campo = new TextBox);
            const QString nome = campo == &a ? QStringLiteral("a") : QStringLiteral("b");
            connect(*campo, &TextBox::GotFocus, this, [this, nome] { eventi << nome + '+'; });
            connect(*campo, &TextBox::LostFocus, this, [this, nome] { eventi << nome + '-'; });
        }
        layout->addWidget(bottone = new QPushButton(QStringLiteral("Conferma")));
        finestra->show();
        QVERIFY(QTest::qWaitForWindowActive(finestra));
        a->setFocus(Qt::OtherFocusReason);
        eventi.clear();
        codici.clear();
    }
    void cleanup() { delete finestra; }

    void tastiDigitati()
    {
        // Letters upper-cased (accented ones too), "x" swallowed, "#" made a backspace.
        connect(a, &TextBox::KeyPress, this, [this](int& k) {
            codici << k;
            k = k == 'x' ? 0 : k == '#' ? 8 : k >= 32 ? QChar(k).toUpper().unicode() : k;
        });
        a->setMaxLength(5);
        QTest::sendKeyEvent(QTest::Click, a, Qt::Key_Agrave, QString::fromUtf8("à"), Qt::NoModifier);
        QTest::keyClicks(a, QStringLiteral("citxtz")); // "z" beyond the maximum length
        QCOMPARE(a->text(), QString::fromUtf8("ÀCITT"));
        QTest::keyClicks(a, QStringLiteral("\b#"));
        QCOMPARE(a->text(), QString::fromUtf8("ÀCI"));
        // Enter and Escape reach the handler, never the text; cursor keys, Delete,
        // function keys and Ctrl shortcuts keep their meaning and give no key code.
        for (int tasto : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Home, Qt::Key_Delete, Qt::Key_F2})
            QTest::keyClick(a, Qt::Key(tasto));
        QCOMPARE(a->text(), QStringLiteral("CI"));
        QTest::keyClick(a, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(a, 'q'); // replaces the selection
        QCOMPARE(a->text(), QStringLiteral("Q"));
        QCOMPARE(codici, (QList<int>{0xE0, 'c', 'i', 't', 'x', 't', 'z', 8, '#', 13, 27, 'q'}));
    }

    void testoNonDigitato_data()
    {
        QTest::addColumn<int>("via");
        int via = 0;
        for (const char* nome : {"Ctrl+V", "Maiusc+Ins", "trascinamento", "metodo di input", "menu"})
            QTest::newRow(nome) << via++;
    }
    void testoNonDigitato()
    {
        // Pasted, dropped or composed text goes through the rules a character
        // at a time, without line breaks: letters never enter a company code.
        QFETCH(int, via);
        a->setMaxLength(3);
        regola(a, [](CAMPOTESTO& c, int k) { return DIGITANUMERO(c, k, 0, 0, 3, 0); });
        const QString testo = QStringLiteral("1\n2ab3\r\n45");
        QGuiApplication::clipboard()->setText(testo);
        QMimeData dati;
        dati.setText(testo);
        QDragEnterEvent entra(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &dati, Qt::LeftButton, Qt::NoModifier);
        // Shift: a move asked
        QDropEvent rilascio(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, &dati, Qt::LeftButton, Qt::ShiftModifier);
        QInputMethodEvent composto;
        composto.setCommitString(testo);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(2, 2), a->mapToGlobal(QPoint(2, 2)));
        if (via < 2) {
            QTest::keyClick(a, via ? Qt::Key_Insert : Qt::Key_V, via ? Qt::ShiftModifier : Qt::ControlModifier);
        } else if (via == 2) {
            QApplication::sendEvent(a, &entra);
            QApplication::sendEvent(a, &rilascio);
        } else {
            QApplication::sendEvent(a, via == 3 ? static_cast<QEvent*>(&composto) : &menu);
        }
        if (via == 4) {
            QMenu* popup = nullptr;
            QTRY_VERIFY((popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
            QTest::keyClick(popup, Qt::Key_P); // Paste, by its mnemonic
            QTRY_VERIFY(!QApplication::activePopupWidget() && a->hasFocus());
        }
        QCOMPARE(a->text(), QStringLiteral("123"));
        QCOMPARE(codici, (QList<int>{'1', '2', 'a', 'b', '3', '4', '5'}));
        QVERIFY(via != 2 || rilascio.dropAction() == Qt::CopyAction); // refused characters stay with the source
        QVERIFY(eventi.isEmpty()); // a popup is no change of field
    }

    void dataESesso()
    {
        // The window's rules on its date and sex fields: a paste never puts a
        // letter into either.
        a->applica({QStringLiteral("00/00/0000"), 0, 0});
        regola(a, [](CAMPOTESTO& c, int k) { c.testo = DIGITADATA(c, k); return 0; });
        b->setMaxLength(1); // the sex field: emptied before each key
        regola(b, [](CAMPOTESTO& c, int k) { c.testo.clear(); return FILTRACARATTERI(k, "MmFf ", true); });
        const QList<std::tuple<TextBox*, const char*, const char*>> incollati = {
            {a, "1a9a75", "19/00/0000"}, {a, "0x8", "19/08/0000"}, {b, "XYZ", ""}, {b, "xmf", "F"}};
        for (const auto& [campo, incollato, risultato] : incollati) {
            QGuiApplication::clipboard()->setText(QLatin1String(incollato));
            QTest::keyClick(campo, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(campo->text(), QLatin1String(risultato));
        }
    }

    void statoEColori()
    {
        a->setMaxLength(3);
        a->applica({QStringLiteral("XYZW"), 0, 8}); // cut at the field's own maximum length
        QCOMPARE(a->text() + QString::number(a->SelStart()), "XYZ3");
        // Classic colour values: red in the low byte, blue in the high one.
        QCOMPARE(a->palette().color(QPalette::Base), QColor(255, 255, 255));
        a->setBackColor(65535);
        a->setForeColor(8388608);
        QCOMPARE(a->BackColor() + a->ForeColor(), 65535L + 8388608L);
        for (auto gruppo : {QPalette::Active, QPalette::Inactive}) {
            QCOMPARE(a->palette().color(gruppo, QPalette::Base), QColor(255, 255, 0));
            QCOMPARE(a->palette().color(gruppo, QPalette::Text), QColor(0, 0, 128));
        }
    }

    void fuocoEBox()
    {
        b->setFocus(Qt::TabFocusReason);
        bottone->setFocus(Qt::MouseFocusReason);
        a->setFocus(Qt::BacktabFocusReason);
        // A box takes the activation, not the field's focus, even when shown
        // by the KeyPress handler (the key then still enters).
        connect(a, &TextBox::KeyPress, this, [this](int&) { mostraBox(finestra); });
        QTest::keyClick(a, 'x');
        QTRY_VERIFY(a->hasFocus());
        QCOMPARE(a->text(), QStringLiteral("x"));
        QCOMPARE(eventi, (QStringList{"a-", "b+", "b-", "a+"}));

        // A focus moved while a box is open is a change of field, signalled
        // once. A LostFocus handler that refuses the field with a box and takes
        // the focus back causes no second LostFocus, the other field no signal.
        mostraBox(finestra, [this] { b->setFocus(); });
        QTRY_VERIFY(b->hasFocus());
        mostraBox(finestra, [this] { bottone->setFocus(); });
        QTRY_VERIFY(bottone->hasFocus());
        QCOMPARE(eventi.mid(4), (QStringList{"a-", "b+", "b-"}));
        connect(a, &TextBox::LostFocus, this, [this] { mostraBox(finestra); a->setFocus(); });
        a->setFocus();
        b->setFocus();
        QTRY_VERIFY(a->hasFocus() && finestra->isActiveWindow());
        QCOMPARE(eventi.mid(7), (QStringList{"a+", "a-", "a+"}));
    }
};

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
