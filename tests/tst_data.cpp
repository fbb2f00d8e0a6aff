// The date of birth on the real window: a date pasted by any way replaces the
// field whole, any other paste is refused; entering the field by mouse puts
// the caret at its start as Tab does; no editing key breaks the mask. What is
// saved is what the field shows.
#include "schedaprova.h"

#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>

using namespace scheda;

namespace {

const Sostituto BRUNI{"101", "BRNLCU80L59H501Q"};
const QString MOSTRATA = "19/07/1980";

// A pixel of the field where a click puts the caret at `posizione`.
QPoint punto(TextBox* c, int posizione)
{
    for (int x = 0; x < c->width(); ++x) {
        if (c->cursorPositionAt(QPoint(x, c->height() / 2)) == posizione)
            return QPoint(x, c->height() / 2);
    }
    return QPoint(-1, -1);
}

// The field's context menu, once open.
QMenu* menuDi(TextBox* c)
{
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(4, 4), c->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(c, &evento);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Triggers the context menu's entry with the given translated text (no marker, no shortcut).
bool dalMenu(TextBox* c, const QString& voce)
{
    QMenu* menu = menuDi(c);
    if (!menu)
        return false;
    for (QAction* a : menu->actions()) {
        if (a->text().section('\t', 0, 0).remove('&') == voce) {
            menu->close();
            a->trigger();
            return true;
        }
    }
    menu->close();
    return false;
}

// Pastes `testo` into the field by one of the ways an operator has.
void incolla(TextBox* c, const QString& via, const QString& testo)
{
    QGuiApplication::clipboard()->setText(testo);
    if (via == "Ctrl+V") {
        QTest::keyClick(c, Qt::Key_V, Qt::ControlModifier);
    } else if (via == "Shift+Insert") {
        QTest::keyClick(c, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (via == "menu") {
        QVERIFY(dalMenu(c, "Incolla"));
    } else if (via == "drop") {
        QMimeData dati;
        dati.setText(testo);
        const QPoint dove = punto(c, 4);
        QDragEnterEvent entra(dove, Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c, &entra);
        QDropEvent rilascio(dove, Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c, &rilascio);
    } else if (via == "input method") {
        QInputMethodEvent composto;
        composto.setCommitString(testo);
        QApplication::sendEvent(c, &composto);
    }
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;
    TextBox* data = nullptr;

    QString salvata()
    {
        prova->click("cmdmemorizza");
        return archivio->righe("SELECT ASOST_4 FROM ANAGSOSTITUTI WHERE CFS = ?", {BRUNI.cfs})
            .value(0).value("ASOST_4").toString();
    }
    // Enters the date field with a click at the caret position `posizione`, as the operator's mouse does.
    void entraColMouse(int posizione) { QTest::mouseClick(data, Qt::LeftButton, {}, punto(data, posizione)); }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = annoProva();
        archivio->aggiungiSostituto(BRUNI.codazi, BRUNI.cfs, {"BRUNI", "LUCIA", "F", "19800719", "ROMA", "RM", "ROMA",
                                                              "RM", "VIA APPIA 7", "001"});
        prova = std::make_unique<FinestraProva>();
        QVERIFY(apri(*prova, BRUNI));
        data = campo(*prova, 4);
        QCOMPARE(data->text(), MOSTRATA);
    }
    void cleanup()
    {
        prova.reset();
        archivio.reset();
    }

    void digitataDopoUnClick()
    {
        // A click after "19/" enters the field at its start: the date typed is the date stored.
        entraColMouse(3);
        QCOMPARE(data->cursorPosition(), 0);
        digita(data, "15081975");
        QCOMPARE(data->text(), "15/08/1975");
        // Inside the field that has the focus a click places the caret where it falls.
        entraColMouse(6);
        QCOMPARE(data->cursorPosition(), 6);
        QCOMPARE(salvata(), "19750815");
    }

    void incollata_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("mostrata"); // empty: refused, the field unchanged
        // (A middle click pastes the selection through the same road; the offscreen platform has none.)
        const QStringList vie = {"Ctrl+V", "Shift+Insert", "menu", "drop", "input method"};
        for (const QString& via : vie)
            QTest::addRow("%s, 31/12/1999", qPrintable(via)) << via << "31/12/1999" << "31/12/1999";
        QTest::newRow("dashes, blanks around") << "Ctrl+V" << " 03-11-1971\n" << "03/11/1971";
        QTest::newRow("eight digits") << "menu" << "03111971" << "03/11/1971";
        // The mask's own rules: not a day 32, not a year 0999; other shapes are no dates.
        for (const char* errata : {"32/01/1980", "01/01/0999", "31/12/99", "1999", "3/11/1971", "abc", "19/07/1980x"})
            QTest::addRow("refused: %s", errata) << "Ctrl+V" << errata << "";
        QTest::newRow("refused by drop") << "drop" << "31/12/99" << "";
    }
    void incollata()
    {
        QFETCH(QString, via);
        QFETCH(QString, testo);
        QFETCH(QString, mostrata);
        // After a click in the middle, as at the start: the field is replaced whole.
        entraColMouse(4);
        data->setCursorPosition(4);
        incolla(data, via, testo);
        QCOMPARE(data->text(), mostrata.isEmpty() ? MOSTRATA : mostrata);
        QCOMPARE(prova->modulo.VARIAZIONI, mostrata.isEmpty() ? 0 : 1);
        if (!mostrata.isEmpty())
            QCOMPARE(salvata(), mostrata.mid(6) + mostrata.mid(3, 2) + mostrata.left(2));
    }

    void tastiCheModificano_data()
    {
        // Keys (or menu entries) after entering the field by Tab; what the field shows.
        QTest::addColumn<QString>("tasti");
        QTest::addColumn<QString>("mostrata");
        const QString vuota = "00/00/0000";
        QTest::newRow("Delete") << "Delete" << vuota;
        QTest::newRow("Delete after the year") << "End Delete" << vuota;
        QTest::newRow("Ctrl+Delete") << "Ctrl+Delete" << vuota;
        QTest::newRow("Ctrl+Backspace") << "End Ctrl+Backspace" << vuota;
        QTest::newRow("Backspace with a selection") << "Shift+End Backspace" << vuota;
        QTest::newRow("Ctrl+X") << "Shift+End Ctrl+X" << vuota;
        QTest::newRow("menu Cut") << "Shift+End menu:Taglia" << vuota;
        QTest::newRow("menu Delete") << "Shift+End menu:Elimina" << vuota;
        QTest::newRow("Ctrl+Z after a Delete") << "Delete Ctrl+Z" << vuota;
        QTest::newRow("menu Undo after a Delete") << "Delete menu:Annulla" << vuota;
    }
    void tastiCheModificano()
    {
        QFETCH(QString, tasti);
        QFETCH(QString, mostrata);
        entra(*prova, 4);
        QGuiApplication::clipboard()->clear();
        const QHash<QString, QKeySequence> sequenze = {
            {"Delete", Qt::Key_Delete}, {"End", Qt::Key_End}, {"Ctrl+Delete", Qt::CTRL | Qt::Key_Delete},
            {"Ctrl+Backspace", Qt::CTRL | Qt::Key_Backspace}, {"Shift+End", Qt::SHIFT | Qt::Key_End},
            {"Backspace", Qt::Key_Backspace}, {"Ctrl+X", Qt::CTRL | Qt::Key_X}, {"Ctrl+Z", Qt::CTRL | Qt::Key_Z}};
        for (const QString& tasto : tasti.split(' ')) {
            if (tasto.startsWith("menu:"))
                QVERIFY(dalMenu(data, tasto.mid(5)));
            else if (sequenze.contains(tasto))
                QTest::keySequence(data, sequenze.value(tasto));
            else
                digita(data, tasto);
        }
        QCOMPARE(data->text(), mostrata);
        QVERIFY(QRegularExpression("^[0-9]{2}/[0-9]{2}/[0-9]{4}$").match(data->text()).hasMatch());
        // Cut is a copy before the deletion.
        const bool taglia = tasti.contains("Ctrl+X") || tasti.contains("Taglia");
        QCOMPARE(QGuiApplication::clipboard()->text(), taglia ? MOSTRATA : QString());
    }
};

QTEST_MAIN(TestData)
#include "tst_data.moc"
