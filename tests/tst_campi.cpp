// The typed field under real key presses, paste, drop and input method: every
// character passes through the KeyPress rules; focus signals ignore message
// boxes. The date of birth on the real window: a date pasted replaces the
// field whole, any other paste is refused; entering the field by mouse puts
// the caret at its start as Tab does; no editing key breaks the mask. Which
// texts make a date is the checks' (tst_tasti).
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

// A pixel of the field where a click puts the caret at `posizione`.
QPoint punto(TextBox* c, int posizione)
{
    for (int x = 0; x < c->width(); ++x)
        if (c->cursorPositionAt(QPoint(x, c->height() / 2)) == posizione)
            return QPoint(x, c->height() / 2);
    return QPoint(-1, -1);
}

// Triggers the entry of the field's context menu, as a right click opens it, with the given translated text.
bool dalMenu(TextBox* c, const QString& voce)
{
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(4, 4), c->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(c, &evento);
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

} // namespace

class TestTextBox : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> finestra;
    TextBox* a = nullptr;
    TextBox* b = nullptr;
    QPushButton* bottone = nullptr;
    QStringList eventi; // "a+" GotFocus of a, "a-" its LostFocus

private slots:
    void initTestCase() { preparaAmbienteProva(); } // Qt's texts in Italian: the menu's entries by their names
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

class TestData : public QObject {
    Q_OBJECT

    const Chiave BRUNI{"101", "BRNLCU80L59H501Q"};
    const QString MOSTRATA = "15/08/1975", VUOTA = "00/00/0000";
    std::unique_ptr<BancoProva> p;
    TextBox* data = nullptr;

    // The date stored by a save.
    QString salvata()
    {
        p->click("cmdmemorizza");
        return p->registrato(BRUNI).section('|', 3, 3);
    }
    // Enters the date field with a click at the caret position `posizione`, as the operator's mouse does.
    void entraColMouse(int posizione) { QTest::mouseClick(data, Qt::LeftButton, {}, punto(data, posizione)); }

private slots:
    void initTestCase() { preparaAmbienteProva(); }
    void init()
    {
        p = std::make_unique<BancoProva>();
        p->sostituto(BRUNI);
        QVERIFY(p->apri(BRUNI));
        data = p->campo(4);
    }
    void cleanup() { p.reset(); }

    void digitataDopoUnClick()
    {
        // A click after "15/" enters the field at its start: the date typed is the date stored.
        entraColMouse(3);
        QCOMPARE(data->cursorPosition(), 0);
        digita(data, "19071980");
        QCOMPARE(data->text(), "19/07/1980");
        // Inside the field that has the focus a click places the caret where it falls.
        entraColMouse(6);
        QCOMPARE(data->cursorPosition(), 6);
        QCOMPARE(salvata(), "19800719");
    }

    // After a click in the middle of the field: a date pasted replaces the field whole, any other paste is
    // refused; each editing key (or menu entry) empties the field to the mask, a cut copying the date first.
    void azione_data()
    {
        QTest::addColumn<QString>("passi");    // key sequences, "menu:entry"
        QTest::addColumn<QString>("testo");    // on the clipboard
        QTest::addColumn<QString>("mostrata"); // empty: refused, the field unchanged
        QTest::newRow("pasted") << "Ctrl+V"
                                << " 03-11-1971\n"
                                << "03/11/1971";
        QTest::newRow("pasted from the menu") << "menu:Incolla"
                                              << "31/12/1999"
                                              << "31/12/1999";
        QTest::newRow("refused") << "Ctrl+V"
                                 << "31/12/99"
                                 << "";
        for (const char* tasti : {"Delete", "End Delete", "Ctrl+Delete", "End Ctrl+Backspace",
                                  "Home Shift+End Backspace", "Home Shift+End Ctrl+X", "Home Shift+End menu:Taglia",
                                  "Home Shift+End menu:Elimina", "Delete Ctrl+Z", "Delete menu:Annulla"})
            QTest::newRow(tasti) << tasti << "" << VUOTA;
    }
    void azione()
    {
        QFETCH(QString, passi);
        QFETCH(QString, testo);
        QFETCH(QString, mostrata);
        entraColMouse(4);
        data->setCursorPosition(4);
        QGuiApplication::clipboard()->setText(testo);
        for (const QString& passo : passi.split(' ')) {
            if (passo.startsWith("menu:"))
                QVERIFY(dalMenu(data, passo.mid(5)));
            else
                QTest::keySequence(data, QKeySequence(passo));
        }
        QCOMPARE(data->text(), mostrata.isEmpty() ? MOSTRATA : mostrata);
        QCOMPARE(p->modulo.VARIAZIONI, mostrata.isEmpty() ? 0 : 1);
        const bool taglia = passi.contains("Ctrl+X") || passi.contains("Taglia");
        QCOMPARE(QGuiApplication::clipboard()->text(), taglia ? MOSTRATA : testo);
        if (!mostrata.isEmpty() && mostrata != VUOTA)
            QCOMPARE(salvata(), mostrata.mid(6) + mostrata.mid(3, 2) + mostrata.left(2));
    }
};

PROVA(TestTextBox);
PROVA(TestData);
#include "tst_campi.moc"
