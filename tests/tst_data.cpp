// The date of birth on the real window: a date pasted by any way replaces the
// field whole, any other paste is refused; entering the field by mouse puts
// the caret at its start as Tab does; no editing key breaks the mask. What is
// saved is what the field shows. (Shift+Insert is Ctrl+V's road.)
#include "schedaprova.h"

#include <QClipboard>
#include <QMimeData>

using namespace scheda;

namespace {

const Sostituto BRUNI{"101", "BRNLCU80L59H501Q"};
const QString MOSTRATA = "19/07/1980", VUOTA = "00/00/0000";

// A pixel of the field where a click puts the caret at `posizione`.
QPoint punto(TextBox* c, int posizione)
{
    for (int x = 0; x < c->width(); ++x)
        if (c->cursorPositionAt(QPoint(x, c->height() / 2)) == posizione)
            return QPoint(x, c->height() / 2);
    return QPoint(-1, -1);
}

// Triggers the context menu's entry with the given translated text.
bool dalMenu(TextBox* c, const QString& voce)
{
    QMenu* menu = menuDi(c);
    for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
        if (testoVoce(a) == voce) {
            menu->close();
            a->trigger();
            return true;
        }
    }
    return false;
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;
    TextBox* data = nullptr;

    // The date stored by a save.
    QString salvata()
    {
        prova->click("cmdmemorizza");
        return registrato(*archivio, BRUNI).section('|', 3, 3);
    }
    // Enters the date field with a click at the caret position `posizione`, as the operator's mouse does.
    void entraColMouse(int posizione) { QTest::mouseClick(data, Qt::LeftButton, {}, punto(data, posizione)); }

private slots:
    void initTestCase() { preparaAmbienteProva(); }
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
    void cleanup() { prova.reset(); archivio.reset(); }

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

    // After a click in the middle of the field: a date pasted by any way replaces the field whole, any other paste
    // is refused; each editing key (or menu entry) empties the field to the mask, a cut copying the date first.
    void azione_data()
    {
        QTest::addColumn<QString>("passi"); // key sequences, "menu:entry", "drop", "ime" (input method)
        QTest::addColumn<QString>("testo"); // on the clipboard, dropped or composed
        QTest::addColumn<QString>("mostrata"); // empty: refused, the field unchanged
        // (A middle click pastes the selection through the same road; the offscreen platform has none.)
        for (const char* via : {"Ctrl+V", "menu:Incolla", "drop", "ime"})
            QTest::addRow("%s, 31/12/1999", via) << via << "31/12/1999" << "31/12/1999";
        QTest::newRow("dashes, blanks around") << "Ctrl+V" << " 03-11-1971\n" << "03/11/1971";
        QTest::newRow("eight digits") << "menu:Incolla" << "03111971" << "03/11/1971";
        // The mask's own rules: not a day 32, not a year 0999; other shapes are no dates.
        for (const char* errata : {"32/01/1980", "01/01/0999", "31/12/99", "1999", "3/11/1971", "abc", "19/07/1980x"})
            QTest::addRow("refused: %s", errata) << "Ctrl+V" << errata << "";
        QTest::newRow("refused by drop") << "drop" << "31/12/99" << "";
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
        QMimeData dati;
        dati.setText(testo);
        QDragEnterEvent entra(punto(data, 4), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QDropEvent rilascio(punto(data, 4), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QInputMethodEvent composto;
        composto.setCommitString(testo);
        for (const QString& passo : passi.split(' ')) {
            if (passo.startsWith("menu:")) {
                QVERIFY(dalMenu(data, passo.mid(5)));
            } else if (passo == "drop") {
                QApplication::sendEvent(data, &entra);
                QApplication::sendEvent(data, &rilascio);
            } else if (passo == "ime") {
                QApplication::sendEvent(data, &composto);
            } else {
                QTest::keySequence(data, QKeySequence(passo));
            }
        }
        QCOMPARE(data->text(), mostrata.isEmpty() ? MOSTRATA : mostrata);
        QCOMPARE(prova->modulo.VARIAZIONI, mostrata.isEmpty() ? 0 : 1);
        const bool taglia = passi.contains("Ctrl+X") || passi.contains("Taglia");
        QCOMPARE(QGuiApplication::clipboard()->text(), taglia ? MOSTRATA : testo);
        if (!mostrata.isEmpty() && mostrata != VUOTA)
            QCOMPARE(salvata(), mostrata.mid(6) + mostrata.mid(3, 2) + mostrata.left(2));
    }
};

QTEST_MAIN(TestData)
#include "tst_data.moc"
