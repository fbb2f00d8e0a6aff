// The real window on the demo archive driven at random: keys, frames filled in, clicks on every visible
// button, field and list line, message boxes answered at random. After every step the window is between two
// operations and, when the step changed the database (PRAGMA data_version on the test's own connection
// tells), every stored row keeps its forms.
// Seed: ANAGSOST_SEME (default 770). Steps: ANAGSOST_PASSI (default 40000, 10000 under AddressSanitizer).
#include "support/finestraprova.h"
#include "tools/lib/archiviodemo.h"
#include "window/textbox.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

#ifdef __SANITIZE_ADDRESS__
constexpr int PASSI = 10000;
#else
constexpr int PASSI = 40000;
#endif

namespace {
const QString ASOST = "ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10";
// The ASOST_ fields of a row another program left incomplete (a change of codice fiscale keeps them).
const QString ALTRUI = "'VERDI', NULL, NULL, '', NULL, NULL, NULL, NULL, NULL, '001'";
const QString SEZIONI = "SELECT CODAZI, CFS FROM " + QStringList{"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3",
    "QUADROLDIP4", "QUADROLAUT", "QUADROST"}.join(" UNION ALL SELECT CODAZI, CFS FROM ");
// Each counts the stored rows that break a form.
const QStringList VINCOLI{
    "SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CODAZI NOT GLOB '[0-9][0-9][0-9]' OR TRIM(CFS) = '' OR CODAZI IN "
    "(SELECT CODAZI FROM FRONTESPIZIO) OR RTRIM(CFS) IN (SELECT RTRIM(CFD) FROM FRONTESPIZIO)",
    "SELECT 2 * COUNT(*) - COUNT(DISTINCT CODAZI) - COUNT(DISTINCT RTRIM(CFS)) FROM ANAGSOSTITUTI",
    "SELECT COUNT(*) FROM (SELECT " + ASOST + " FROM ANAGSOSTITUTI EXCEPT VALUES (" + ALTRUI + ")) WHERE ("
        + QString(ASOST).replace(",", " ||") + ") IS NULL OR ASOST_10 NOT IN (SELECT CODAZI FROM FRONTESPIZIO) "
        "OR (ASOST_4 <> '00000000' AND strftime('%Y%m%d', substr(ASOST_4, 1, 4) || '-' || substr(ASOST_4, 5, 2) "
        "|| '-' || substr(ASOST_4, 7)) IS NOT ASOST_4)",
    "SELECT COUNT(*) FROM (" + SEZIONI + ") AS q WHERE NOT EXISTS "
    "(SELECT 1 FROM ANAGSOSTITUTI AS a WHERE a.CODAZI = q.CODAZI AND a.CFS = q.CFS)"};
QString cf(int giorni) { return strumenti::codiceFiscale("NERI", "EVA", QDate(1940, 1, 1).addDays(giorni), 'F', "H501"); }
} // namespace

class TestCasuale : public QObject {
    Q_OBJECT
    QTemporaryDir archivio, programmi; // programs folder empty: the hand-back at exit finds nothing to start
    const QString anno = archivio.filePath(strumenti::nomeFileAnno()), iniziale = archivio.filePath("iniziale");
    std::unique_ptr<FinestraProva> prova;
    QSqlDatabase db;
    QRandomGenerator caso;
    QHash<QString, QStringList> valori; // texts to type, by field name ("" for any other field)

    template <class T> T* unoDi(const QList<T*>& l) { return l.isEmpty() ? nullptr : l[caso.bounded(l.size())]; }
    QString unoDi(const QStringList& l) { return l[caso.bounded(l.size())]; }
    QWidget* cornice(const QString& c) { return prova->finestra.findChild<QWidget*>(c.section('=', 0, 0)); }
    template <class T> QList<T*> attivi(QWidget* dove)
    {
        QList<T*> l = dove->findChildren<T*>();
        l.removeIf([](T* w) { return !w->isVisible() || !w->isEnabled(); });
        return l;
    }
    qint64 conta(const QString& sql)
    {
        QSqlQuery q(sql, db);
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    // A frame's fields filled in their order with values that suit them, its own button often pressed: by
    // single keys alone an insertion, a save or a change of code is a long way off for chance.
    void compila(const QString& conferma)
    {
        for (TextBox* campo : attivi<TextBox>(cornice(conferma))) {
            if (caso.bounded(16) == 0 || !campo->isVisible() || !campo->isEnabled())
                continue;
            QTest::mouseClick(campo, Qt::LeftButton);
            QTest::keyClick(campo, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(campo, Qt::Key_Delete);
            QTest::keyClicks(campo, unoDi(valori.value(campo->objectName(), valori[QString()])));
        }
        QPushButton* b = prova->finestra.findChild<QPushButton*>(conferma.section('=', 1));
        if (b && b->isVisible() && b->isEnabled() && caso.bounded(3) != 0)
            QTest::mouseClick(b, Qt::LeftButton);
    }

    void passo()
    {
        static const QString caratteri("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/ .,-'*+\"àè");
        static const Qt::Key speciali[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,
                                           Qt::Key_Home, Qt::Key_End, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                                           Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown};
        static const Qt::Key modifica[] = {Qt::Key_Z, Qt::Key_V, Qt::Key_A, Qt::Key_X, Qt::Key_Y}; // with Ctrl
        QStringList conferme{"FrmInserimento=CmdInserimento(0)", "FrameCambiaCf=CmdConfermaCF", "Frmmoduli(0)=cmdmemorizza"};
        conferme.removeIf([this](const QString& c) { return !cornice(c)->isVisible(); });
        // Buttons (an exit, ending the window's run, now and then only), fields, list lines.
        QList<QWidget*> bersagli = attivi<QWidget>(&prova->finestra);
        bersagli.removeIf([this](QWidget* w) {
            return !qobject_cast<TextBox*>(w) && !qobject_cast<QListWidget*>(w->parentWidget())
                && (!qobject_cast<QAbstractButton*>(w) || (w->objectName().startsWith("cmduscita") && caso.bounded(40)));
        });
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &prova->finestra;
        const quint32 azione = caso.bounded(100);
        if (azione < 12 && !conferme.isEmpty()) {
            compila(unoDi(conferme));
        } else if (QWidget* w = unoDi(bersagli); azione < 50 && w) {
            QPoint punto(caso.bounded(w->width()), caso.bounded(w->height()));
            if (auto* lista = qobject_cast<QListWidget*>(w->parentWidget()); lista && lista->count()) {
                // The insertion entry, first line of the selection list, on purpose now and then.
                const int riga = lista->objectName() == "List1" && caso.bounded(4) == 0 ? 0 : caso.bounded(lista->count());
                lista->scrollToItem(lista->item(riga));
                punto = lista->visualItemRect(lista->item(riga)).center();
            }
            if (caso.bounded(6) == 0)
                QTest::mouseDClick(w, Qt::LeftButton, {}, punto);
            else
                QTest::mouseClick(w, Qt::LeftButton, {}, punto);
        } else if (azione < 80) {
            const QChar c = caratteri[caso.bounded(caratteri.size())];
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key(c.toUpper().unicode()), c, {});
        } else {
            QTest::keyClick(focus, azione < 97 ? speciali[caso.bounded(14)] : modifica[caso.bounded(5)],
                            azione < 97 ? Qt::NoModifier : Qt::ControlModifier);
        }
    }

    void avvia(bool daCapo)
    {
        prova.reset();
        if (daCapo) { // back to the archive as built, when the random steps have emptied it
            db.close();
            QVERIFY(QFile::remove(anno) && QFile::copy(iniziale, anno) && db.open());
        }
        prova = std::make_unique<FinestraProva>();
        QVERIFY2(prova->avvia(), qPrintable(testiMostrati().join('|')));
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        strumenti::creaArchivioDemo(archivio.path());
        configura(archivio.path(), programmi.path());
        db = QSqlDatabase::addDatabase("QSQLITE", "casuale");
        db.setDatabaseName(anno);
        QSqlQuery q(db);
        QVERIFY(db.open() && q.exec("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, " + ASOST + ") VALUES ('150', '"
                                    + cf(12645) + "', " + ALTRUI + ")"));
        // Codes of every kind, fresh ones to insert or re-key with, plausible texts for the other fields.
        QStringList codici{"ORFANO", "AB'CD", "RSSMRA80A01H501", cf(12645).toLower()}, aziende{"7", "150", "101", "0"};
        for (q.exec("SELECT CFS FROM ANAGSOSTITUTI WHERE CODAZI < '103' UNION SELECT CFD FROM FRONTESPIZIO"); q.next();)
            codici << q.value(0).toString().trimmed();
        for (int i = 1; i < 40; ++i) {
            codici << cf(i * 611) << strumenti::partitaIva(QString::number(i * 97531).rightJustified(10, '0'));
            aziende << QString::number(300 + i * 17);
        }
        valori = {{"TEXTCF", codici}, {"Text2", codici}, {"TEXTAZI", aziende}};
        for (const char* campo : {"TextAZICOL=1;2;3;101", "TextCOGNO=verdi;d'angelo", "TextNOME=;;anna", "Text1(1)=verdi;",
                                  "Text1(2)=;anna; ", "Text1(3)=m;F;f;x", "Text1(4)=01021960;29021981;00000000;3112",
                                  "Text1(5)=ROMA;SAN DONA' DI PIAVE;", "Text1(7)=ROMA;SAN DONA' DI PIAVE;",
                                  "Text1(6)=rm;MI;XX;", "Text1(8)=rm;MI;XX;", "Text1(9)=VIA PO 2;p.za d'azeglio;"}) {
            valori[QString(campo).section('=', 0, 0)] = QString(campo).section('=', 1).split(';');
            valori[QString()] += valori[QString(campo).section('=', 0, 0)];
        }
        QGuiApplication::clipboard()->setText(QStringLiteral("a'b\nc\t9/9 \u20AC")); // for Ctrl+V
        QVERIFY(QFile::copy(anno, iniziale));
        for (const QString& v : VINCOLI)
            QVERIFY2(conta(v) == 0, qPrintable(v));
    }

    void tastiEClickACaso()
    {
        const quint32 seme = qEnvironmentVariable("ANAGSOST_SEME", "770").toUInt();
        const int passi = qEnvironmentVariableIsSet("ANAGSOST_PASSI") ? qEnvironmentVariableIntValue("ANAGSOST_PASSI") : PASSI;
        caso.seed(seme);
        qInfo("seed %u, %d steps (ANAGSOST_SEME, ANAGSOST_PASSI change them)", seme, passi);
        avvia(false);
        int scritture = 0, cancellazioni = 0, cambi = 0, inserimenti = 0;
        for (qint64 n = 1, versione = -1; n <= passi; ++n) {
            const QString dove = QStringLiteral("step %1, seed %2: ").arg(n).arg(seme);
            const bool nuovoInAttesa = prova->modulo.NUOVOSOSTITUTO == 1;
            MessageBox::clearNextAnswers();
            for (int i = 0; i < 3; ++i) // Yes, No or Cancel; a box with no answer left takes its default
                MessageBox::setNextAnswer(QList<int>{vbYes, vbYes, vbNo, vbNo, vbCancel}[caso.bounded(5)]);
            passo();
            while (QWidget* menu = QApplication::activePopupWidget())
                menu->close();
            for (const auto& box : MessageBox::shown()) {
                cancellazioni += box.testo == "Cancellazione effettuata";
                cambi += box.testo.contains("Cambio codice fiscale eseguito !");
            }
            MessageBox::clearShown();
            const MOD770BAS& m = prova->modulo;
            QVERIFY2(!QApplication::overrideCursor() && (prova->finestra.scaricata() || (m.DBANNO && m.TABANAGSOST
                     && m.TABFRONTESPIZIO && m.TABPROV && !m.DBANNO->inTransazione() && !m.TABSQL
                     && m.TABANAGSOST->Index() == "CHIAVE" && m.TABFRONTESPIZIO->Index() == "CHIAVE")),
                     qPrintable(dove + "busy pointer, transaction or record set left behind"));
            if (conta("PRAGMA data_version") != versione) {
                scritture += versione >= 0;
                inserimenti += nuovoInAttesa && m.NUOVOSOSTITUTO == 0 && !prova->finestra.scaricata();
                versione = conta("PRAGMA data_version");
                for (const QString& v : VINCOLI)
                    QVERIFY2(conta(v) == 0, qPrintable(dove + "rows break " + v));
            }
            if (prova->finestra.scaricata() || (n % 500 == 0 && conta("SELECT COUNT(*) FROM ANAGSOSTITUTI") < 4)) {
                avvia(!prova->finestra.scaricata());
                QVERIFY(!QTest::currentTestFailed());
            }
        }
        qInfo("%d writes: %d deletions, %d changes of codice fiscale, %d new substitutes, the rest saves", scritture,
              cancellazioni, cambi, inserimenti);
        if (passi >= 10000) { // every kind of write reached, or the checks proved little
            QVERIFY(cancellazioni > 0 && cambi > 0 && inserimenti > 0);
            QVERIFY(scritture > cancellazioni + cambi + inserimenti);
        }
    }
};

QTEST_MAIN(TestCasuale)
#include "tst_casuale.moc"
