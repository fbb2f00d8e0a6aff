// The real window on the demo archive driven at random: keys, frames filled in, clicks on every visible
// button, field and list line, message boxes answered at random. After every step the window is between two
// operations and, when the step changed the database (PRAGMA data_version on the test's own connection
// tells), every stored row keeps its forms.
// Seed: ANAGSOST_SEME (default 770); steps: ANAGSOST_PASSI (default 40000, about a minute also under the
// sanitizers). A failure names the step and the seed: the same seed replays the same run.
#include "support/finestraprova.h"
#include "support/programma.h"
#include "tools/lib/archiviodemo.h"
#include "window/textbox.h"

#include <QClipboard>
#include <QSqlQuery>
#include <QtTest>

// Each counts the stored rows that break a form: keys, unique codes, texts never all Null, the linked
// company a declarant, a date that is a day or none.
const QStringList VINCOLI{
    "SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CODAZI NOT GLOB '[0-9][0-9][0-9]' OR TRIM(CFS) = '' OR CODAZI IN "
    "(SELECT CODAZI FROM FRONTESPIZIO) OR RTRIM(CFS) IN (SELECT RTRIM(CFD) FROM FRONTESPIZIO)",
    "SELECT 2 * COUNT(*) - COUNT(DISTINCT CODAZI) - COUNT(DISTINCT RTRIM(CFS)) FROM ANAGSOSTITUTI",
    "SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE (ASOST_1 || ASOST_2 || ASOST_3 || ASOST_4 || ASOST_5 || ASOST_6 || "
    "ASOST_7 || ASOST_8 || ASOST_9 || ASOST_10) IS NULL OR ASOST_10 NOT IN (SELECT CODAZI FROM FRONTESPIZIO) OR "
    "(ASOST_4 <> '00000000' AND strftime('%Y%m%d', substr(ASOST_4, 1, 4) || '-' || substr(ASOST_4, 5, 2) || '-' "
    "|| substr(ASOST_4, 7)) IS NOT ASOST_4)"};
// A frame and the button that confirms it.
const QStringList CONFERME{"FrmInserimento=CmdInserimento(0)", "FrameCambiaCf=CmdConfermaCF",
                           "Frmmoduli(0)=cmdmemorizza"};
static QString cf(int d)
{
    return strumenti::codiceFiscale("NERI", "EVA", QDate(1940, 1, 1).addDays(d), 'F', "H501");
}

class TestCasuale : public QObject {
    Q_OBJECT
    QTemporaryDir archivio, programmi; // programs folder empty: the hand-back at exit finds nothing to start
    const QString anno = archivio.filePath(strumenti::nomeFileAnno()), iniziale = archivio.filePath("iniziale");
    std::unique_ptr<FinestraProva> prova;
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "casuale");
    const quint32 seme = qEnvironmentVariable("ANAGSOST_SEME", "770").toUInt();
    QRandomGenerator caso{seme};
    QHash<QString, QStringList> valori; // texts to type, by field name

    template <class L>
    auto unoDi(const L& l)
    {
        return l.value(caso.bounded(qMax(1, int(l.size()))));
    }
    qint64 conta(const QString& sql)
    {
        QSqlQuery q(sql, db);
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    void passo()
    {
        static const QString caratteri("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/ .,-'*+\"àè");
        static const QStringList tasti = QString("Backspace Del Left Right Home End Return Enter Esc Tab Backtab Up "
                                                 "Down PgDown Ctrl+Z Ctrl+V Ctrl+A Ctrl+X Ctrl+Y")
                                             .split(' ');
        // Buttons (an exit, ending the window's run, now and then only), fields, list lines.
        QList<QWidget*> bersagli = prova->finestra.findChildren<QWidget*>();
        bersagli.removeIf([this](QWidget* w) {
            return !w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::ClickFocus) ||
                   (w->objectName().startsWith("cmduscita") && caso.bounded(40));
        });
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &prova->finestra;
        const quint32 azione = caso.bounded(100);
        const QString conferma = unoDi(CONFERME);
        QWidget* frame = prova->finestra.findChild<QWidget*>(conferma.section('=', 0, 0));
        if (azione < 25 && frame->isVisible()) {
            // A frame's fields filled in their order with values that suit them, its own button often pressed:
            // by single keys alone an insertion, a save or a change of code is a long way off for chance.
            for (TextBox* campo : frame->findChildren<TextBox*>()) {
                if (caso.bounded(16) == 0 || !campo->isVisible() || !campo->isEnabled())
                    continue;
                QTest::mouseClick(campo, Qt::LeftButton);
                QTest::keyClick(campo, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(campo, unoDi(valori.value(campo->objectName(), valori["TEXTCF"])));
            }
            QPushButton* b = prova->finestra.findChild<QPushButton*>(conferma.section('=', 1));
            if (b && b->isVisible() && b->isEnabled() && caso.bounded(3) != 0)
                QTest::mouseClick(b, Qt::LeftButton);
        } else if (QWidget* w = unoDi(bersagli); azione < 50 && w) {
            QPoint punto(caso.bounded(w->width()), caso.bounded(w->height()));
            if (auto* lista = qobject_cast<QAbstractItemView*>(w); lista && lista->model()->rowCount()) {
                // The first line (in the selection list the insertion entry) on purpose now and then.
                const int righe = lista->model()->rowCount();
                const QModelIndex voce = lista->model()->index(caso.bounded(4) == 0 ? 0 : caso.bounded(righe), 0);
                lista->scrollTo(voce);
                punto = lista->visualRect(voce).center();
                w = lista->viewport();
            }
            QTest::mouseClick(w, Qt::LeftButton, {}, punto);
            if (caso.bounded(6) == 0)
                QTest::mouseDClick(w, Qt::LeftButton, {}, punto);
        } else if (azione < 80) {
            const QChar c = caratteri[caso.bounded(caratteri.size())];
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key(c.toUpper().unicode()), c, {});
        } else {
            QTest::keySequence(focus, QKeySequence(unoDi(tasti)));
        }
    }

private slots:
    void initTestCase()
    {
        strumenti::creaArchivioDemo(archivio.path());
        configura(archivio.path(), programmi.path());
        db.setDatabaseName(anno);
        QVERIFY(db.open());
        // Codes of every kind, fresh ones to insert or re-key with, plausible texts for the other fields.
        QStringList codici{"ORFANO", "AB'CD", "RSSMRA80A01H501", cf(611).toLower()}, aziende{"7", "150", "101", "0"};
        for (QSqlQuery q("SELECT CFD FROM FRONTESPIZIO UNION SELECT CFS FROM ANAGSOSTITUTI", db); q.next();)
            codici << q.value(0).toString().trimmed();
        for (int i = 1; i < 40; ++i) {
            codici << cf(i * 611) << strumenti::partitaIva(QString::number(i * 97531).rightJustified(10, '0'));
            aziende << QString::number(i % 2 ? i : 300 + i * 17);
        }
        valori = {{"TEXTCF", codici}, {"Text2", codici}, {"TEXTAZI", aziende}};
        for (const QString campo :
             {"TextAZICOL=1;3;101", "TextCOGNO=verdi;d'amico", "TextNOME=;;anna", "Text1(9)=PO;", "Text1(1)=verdi;",
              "Text1(2)=;anna; ", "Text1(3)=m;F;f;x", "Text1(4)=01021960;00000000;3112", "Text1(5)=ROMA;DONA';",
              "Text1(7)=ROMA;DONA';", "Text1(6)=rm;MI;XX;", "Text1(8)=rm;MI;XX;"})
            valori[campo.section('=', 0, 0)] = campo.section('=', 1).split(';');
        QGuiApplication::clipboard()->setText(QStringLiteral("a'b\nc\t9/9 \u20AC")); // for Ctrl+V
        QVERIFY(QFile::copy(anno, iniziale));
    }

    void tastiEClickACaso()
    {
        const int passi = qEnvironmentVariable("ANAGSOST_PASSI", "40000").toInt();
        qInfo("seed %u, %d steps (ANAGSOST_SEME, ANAGSOST_PASSI change them)", seme, passi);
        int scritture = 0, cancellazioni = 0, cambi = 0, inserimenti = 0;
        for (qint64 n = 1, versione = -1; n <= passi; ++n) {
            const QString dove = QStringLiteral("step %1, seed %2: ").arg(n).arg(seme);
            if (!prova || prova->finestra.scaricata() || n % 500 == 0) {
                prova.reset(); // started again on the archive as built, before the random steps empty it
                db.close();
                QFile::remove(anno);
                QVERIFY(QFile::copy(iniziale, anno));
                QVERIFY(db.open());
                versione = conta("PRAGMA data_version");
                prova = std::make_unique<FinestraProva>();
                QVERIFY2(prova->avvia(), qPrintable(testiMostrati().join('|')));
            }
            const bool nuovoInAttesa = prova->modulo.NUOVOSOSTITUTO == 1;
            azzeraMessaggi();
            for (int i = 0; i < 3; ++i) // Yes, No or Cancel; a box with no answer left takes its default
                MessageBox::setNextAnswer(QList<int>{vbYes, vbYes, vbNo, vbNo, vbCancel}[caso.bounded(5)]);
            passo();
            cancellazioni += testiMostrati().count("Cancellazione effettuata");
            cambi += testiMostrati().filter("Cambio codice fiscale eseguito !").size();
            // Between two operations: no busy pointer, no transaction, the record sets on their primary index.
            const MOD770BAS& m = prova->modulo;
            QVERIFY2(!QApplication::overrideCursor(), qPrintable(dove + "busy pointer"));
            if (!prova->finestra.scaricata()) {
                QVERIFY2(!m.DBANNO->inTransazione(), qPrintable(dove + "transaction left open"));
                QCOMPARE(dove + m.TABANAGSOST->Index(), dove + "CHIAVE");
                QCOMPARE(dove + m.TABFRONTESPIZIO->Index(), dove + "CHIAVE");
                QVERIFY2(m.TABPROV, qPrintable(dove + "provinces closed"));
            }
            if (conta("PRAGMA data_version") == versione)
                continue;
            scritture += versione >= 0;
            inserimenti += nuovoInAttesa && m.NUOVOSOSTITUTO == 0 && !prova->finestra.scaricata();
            versione = conta("PRAGMA data_version");
            for (const QString& v : VINCOLI)
                QVERIFY2(conta(v) == 0, qPrintable(dove + "rows break " + v));
        }
        qInfo("%d writes: %d deletions, %d re-keyings, %d insertions", scritture, cancellazioni, cambi, inserimenti);
        // Every kind of write reached, or the checks proved little.
        if (passi >= 10000) {
            QVERIFY(std::min({cancellazioni, cambi, inserimenti}) > 0);
            QVERIFY(scritture > cancellazioni + cambi + inserimenti); // saves too
        }
    }
};

PROVA(TestCasuale);
#include "tst_casuale.moc"
