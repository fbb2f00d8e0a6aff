// The real window driven at random: tens of thousands of key presses, typed
// values, clicks on every visible button, field and list line, message boxes
// answered at random. After every step nothing has crashed, the window is in
// a state between two operations (no busy pointer, no transaction, no SQL
// record set left open, the table record sets on their primary index), and
// every row stored keeps its forms:
//   - company codes (CODAZI, ASOST_10) of three digits; keys unique, also
//     with trailing blanks ignored; no substitute with a declarant's codes;
//   - rows the program wrote: no Null in ASOST_1 to ASOST_10, the date of
//     birth as eight digits (a real date, or eight zeros), and the rules of
//     the data sheet's checks (a natural person has sex, date, town and
//     province of birth; a company none; a valid province of residence; a
//     linked company with a front page);
//   - section rows that pointed at a registered substitute still do.
// The database is read after every step that changed it (PRAGMA
// data_version on a connection of the test's own tells, at next to no cost):
// a step that wrote nothing cannot have spoilt it.
//
// Seed: ANAGSOST_SEME (default 770); steps: ANAGSOST_PASSI (default 40000).
// Both are printed, with the last steps, when a check fails.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "tools/lib/archiviodemo.h"
#include "window/textbox.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QGroupBox>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <set>

namespace {

const QString DICHIARANTE = QStringLiteral("01234567897");
const QString PERSONA = QStringLiteral("RSSMRA80A01H501U");
const QStringList QUADRI{QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP2"), QStringLiteral("QUADROLDIP3"),
                         QStringLiteral("QUADROLDIP4"), QStringLiteral("QUADROLAUT"),  QStringLiteral("QUADROST")};

// A registry row: key and ASOST_1 .. ASOST_10 as stored (a null QVariant for Null).
struct Riga {
    QString codazi;
    QString cfs;
    QVariantList asost;
};

QString tupla(const QVariantList& asost)
{
    QStringList t;
    for (const QVariant& v : asost)
        t << (v.isNull() ? QStringLiteral("\x01NULL") : v.toString());
    return t.join(QLatin1Char('|'));
}

// The offscreen platform says, at every context menu, that it cannot raise
// or grab: noise here.
QtMessageHandler gestoreQt = nullptr;
void filtraMessaggi(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo)
{
    if (tipo == QtWarningMsg && testo.startsWith(QLatin1String("This plugin does not support")))
        return;
    gestoreQt(tipo, contesto, testo);
}

bool dataMemorizzata(const QString& v)
{
    static const QRegularExpression otto(QStringLiteral("^[0-9]{8}$"));
    if (!otto.match(v).hasMatch())
        return false;
    return v == QLatin1String("00000000") || QDate::fromString(v, QStringLiteral("yyyyMMdd")).isValid();
}

} // namespace

class TestCasuale : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;
    QTemporaryDir programmi;      // an empty programs folder: the hand-back at exit finds nothing
    QString iniziale;             // copy of the year's database as the test built it
    QRandomGenerator caso;
    QString connessione = QStringLiteral("casuale-controllo");

    // What the rows looked like before the program touched them.
    std::set<QString> tupleNonScritte;              // ASOST_ tuples of rows written by others
    std::set<std::pair<QString, qint64>> orfaneIniziali; // section rows pointing at no substitute
    QSet<QString> province;
    QSet<QString> aziendeFrontespizio;
    QSet<QString> cfFrontespizio;
    QStringList valori;           // plausible texts to type
    QHash<QString, QStringList> valoriCampo; // the same, by field
    QSet<QString> chiaviIniziali;  // registry keys as built
    QSet<QString> chiaviNuove;     // keys the program added since
    QStringList diario;           // the last steps, for a failure message
    qint64 versione = -1;
    int controlliArchivio = 0;
    int riavvii = 0;

    QSqlQuery interroga(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(connessione, false));
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw std::runtime_error((sql + QStringLiteral(": ") + q.lastError().text()).toStdString());
        return q;
    }

    QList<Riga> registro()
    {
        QList<Riga> righe;
        QSqlQuery q = interroga(QStringLiteral("SELECT CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, "
                                               "ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10 FROM ANAGSOSTITUTI"));
        while (q.next()) {
            Riga r{q.value(0).toString(), q.value(1).toString(), {}};
            for (int i = 2; i < 12; ++i)
                r.asost << q.value(i);
            righe << r;
        }
        return righe;
    }

    std::set<std::pair<QString, qint64>> orfane()
    {
        std::set<std::pair<QString, qint64>> o;
        for (const QString& t : QUADRI) {
            QSqlQuery q = interroga(QStringLiteral("SELECT ID FROM %1 AS q WHERE NOT EXISTS (SELECT 1 FROM "
                                                   "ANAGSOSTITUTI AS a WHERE a.CODAZI = q.CODAZI AND a.CFS = q.CFS)")
                                        .arg(t));
            while (q.next())
                o.insert({t, q.value(0).toLongLong()});
        }
        return o;
    }

    // Every rule a stored row must keep; the first one broken, or "".
    QString verificaArchivio()
    {
        ++controlliArchivio;
        static const QRegularExpression tre(QStringLiteral("^[0-9]{3}$"));
        const QList<Riga> righe = registro();
        QSet<QString> chiavi, aziende, codici;
        for (const Riga& r : righe) {
            const QString chiave = r.codazi + QLatin1Char('|') + r.cfs.trimmed();
            if (!chiaviIniziali.contains(chiave))
                chiaviNuove.insert(chiave);
            const QString chi = QStringLiteral("row %1 '%2': ").arg(r.codazi, r.cfs);
            const QString cf = QString(r.cfs).remove(QRegularExpression(QStringLiteral(" +$")));
            if (!tre.match(r.codazi).hasMatch())
                return chi + QStringLiteral("company code not of three digits");
            if (cf.trimmed().isEmpty())
                return chi + QStringLiteral("empty codice fiscale");
            if (chiavi.contains(r.codazi + QLatin1Char('|') + cf))
                return chi + QStringLiteral("key twice");
            chiavi.insert(r.codazi + QLatin1Char('|') + cf);
            // The insertion and the change of code refuse a company code or a
            // codice fiscale that another substitute or a declarant holds.
            if (aziende.contains(r.codazi))
                return chi + QStringLiteral("company code twice");
            aziende.insert(r.codazi);
            if (codici.contains(cf))
                return chi + QStringLiteral("codice fiscale twice");
            codici.insert(cf);
            if (aziendeFrontespizio.contains(r.codazi))
                return chi + QStringLiteral("a declarant's company code");
            if (cfFrontespizio.contains(cf))
                return chi + QStringLiteral("a declarant's codice fiscale");

            if (tupleNonScritte.count(tupla(r.asost)))
                continue; // as another program wrote it, untouched since
            for (int n = 1; n <= 10; ++n) {
                if (r.asost.at(n - 1).isNull())
                    return chi + QStringLiteral("ASOST_%1 Null in a row the program wrote").arg(n);
            }
            auto a = [&r](int n) { return r.asost.at(n - 1).toString(); };
            if (!tre.match(a(10)).hasMatch())
                return chi + QStringLiteral("linked company '%1' not of three digits").arg(a(10));
            if (!aziendeFrontespizio.contains(a(10)))
                return chi + QStringLiteral("linked company '%1' without a front page").arg(a(10));
            if (!dataMemorizzata(a(4)))
                return chi + QStringLiteral("date of birth '%1' not eight digits of a date").arg(a(4));
            if (a(7).trimmed().isEmpty() || a(9).trimmed().isEmpty() || !province.contains(a(8)))
                return chi + QStringLiteral("residence incomplete: '%1' '%2' '%3'").arg(a(7), a(8), a(9));
            if (a(2).trimmed().isEmpty()) {
                if (!a(3).isEmpty() || a(4) != QLatin1String("00000000") || !a(5).isEmpty() || !a(6).isEmpty())
                    return chi + QStringLiteral("a company with birth data");
            } else if ((a(3) != QLatin1String("M") && a(3) != QLatin1String("F")) || a(4) == QLatin1String("00000000")
                       || a(5).trimmed().isEmpty() || !province.contains(a(6))) {
                return chi + QStringLiteral("a natural person without full birth data: '%1' '%2' '%3' '%4'")
                                 .arg(a(3), a(4), a(5), a(6));
            }
        }
        for (const auto& o : orfane()) {
            if (!orfaneIniziali.count(o))
                return QStringLiteral("%1 row %2 no longer points at a substitute").arg(o.first).arg(o.second);
        }
        return QString();
    }

    // The window between two operations.
    QString verificaFinestra()
    {
        if (QApplication::overrideCursor())
            return QStringLiteral("busy pointer left on");
        if (prova->finestra.scaricata())
            return QString();
        const MOD770BAS& m = prova->modulo;
        if (!m.DBANNO || !m.TABANAGSOST || !m.TABFRONTESPIZIO || !m.TABPROV)
            return QStringLiteral("database or table record set closed");
        if (m.DBANNO->inTransazione())
            return QStringLiteral("transaction left open");
        if (m.TABSQL)
            return QStringLiteral("SQL record set left open");
        if (m.TABANAGSOST->Index() != QLatin1String("CHIAVE") || m.TABFRONTESPIZIO->Index() != QLatin1String("CHIAVE"))
            return QStringLiteral("record set left off its primary index");
        if (!prova->finestra.isVisible())
            return QStringLiteral("window hidden but not unloaded");
        return QString();
    }

    void avvia()
    {
        configura(archivio->cartella(), programmi.path());
        prova = std::make_unique<FinestraProva>();
        if (!prova->avvia())
            throw std::runtime_error(qPrintable(QStringLiteral("start-up refused: ") + testiMostrati().join('|')));
    }

    // Back to the archive as built, when the random steps have emptied it.
    void ricomincia()
    {
        prova.reset();
        {
            QSqlDatabase::database(connessione, false).close();
        }
        QFile::remove(archivio->percorsoAnno());
        if (!QFile::copy(iniziale, archivio->percorsoAnno()))
            throw std::runtime_error("archive not restored");
        QSqlDatabase::database(connessione, false).open();
        versione = -1;
        avvia();
    }

    template <class T>
    QList<T*> visibili()
    {
        QList<T*> trovati;
        for (T* w : prova->finestra.findChildren<T*>()) {
            if (w->isVisible() && w->isEnabled())
                trovati << w;
        }
        return trovati;
    }

    template <class T>
    T* unoDi(const QList<T*>& elenco)
    {
        return elenco.isEmpty() ? nullptr : elenco.at(int(caso.bounded(elenco.size())));
    }

    void annota(const QString& passo)
    {
        diario << passo;
        if (diario.size() > 25)
            diario.removeFirst();
    }

    // One random key into the focused control (or the window).
    void tasto()
    {
        QWidget* bersaglio = QApplication::focusWidget();
        if (!bersaglio || bersaglio->window() != &prova->finestra)
            bersaglio = &prova->finestra;
        static const QString caratteri =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/ .,-'*+\"àè");
        static const Qt::Key speciali[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,   Qt::Key_Right,
                                           Qt::Key_Home,      Qt::Key_End,    Qt::Key_Return, Qt::Key_Enter,
                                           Qt::Key_Escape,    Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Up,
                                           Qt::Key_Down,      Qt::Key_Space,  Qt::Key_PageDown};
        const quint32 tipo = caso.bounded(100);
        if (tipo < 55) {
            const QChar c = caratteri.at(int(caso.bounded(caratteri.size())));
            annota(QStringLiteral("key '%1' into %2").arg(c).arg(bersaglio->objectName()));
            if (c.unicode() < 128)
                QTest::keyClick(bersaglio, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, bersaglio, Qt::Key(c.toUpper().unicode()), QString(c), {});
        } else if (tipo < 92) {
            const Qt::Key k = speciali[caso.bounded(int(std::size(speciali)))];
            annota(QStringLiteral("key %1 into %2").arg(int(k), 0, 16).arg(bersaglio->objectName()));
            QTest::keyClick(bersaglio, k);
        } else {
            // Editing shortcuts: undo, paste, select all, cut, redo.
            static const Qt::Key scorciatoie[] = {Qt::Key_Z, Qt::Key_V, Qt::Key_A, Qt::Key_X, Qt::Key_Y};
            const Qt::Key k = scorciatoie[caso.bounded(int(std::size(scorciatoie)))];
            annota(QStringLiteral("Ctrl+%1 into %2").arg(QChar(k)).arg(bersaglio->objectName()));
            QTest::keyClick(bersaglio, k, Qt::ControlModifier);
        }
    }

    // A plausible value typed into the focused field, so that the checks are
    // passed now and then and the saves, insertions and changes really run.
    void digitaValore()
    {
        QWidget* bersaglio = QApplication::focusWidget();
        if (!qobject_cast<TextBox*>(bersaglio))
            return tasto();
        const QString v = valori.at(int(caso.bounded(valori.size())));
        annota(QStringLiteral("type \"%1\" into %2").arg(v, bersaglio->objectName()));
        QTest::keyClicks(bersaglio, v);
    }

    // A value for a field: mostly one that suits it (a fresh, formally
    // correct code for a codice fiscale, an unused company code), now and
    // then any plausible text.
    QString valorePer(const QString& campo)
    {
        if (caso.bounded(8) == 0)
            return valori.at(int(caso.bounded(valori.size())));
        const bool fresco = caso.bounded(2) == 0;
        if (fresco && (campo == QLatin1String("TEXTCF") || campo == QLatin1String("Text2"))) {
            if (caso.bounded(3) == 0)
                return strumenti::partitaIva(QStringLiteral("%1").arg(caso.bounded(1000000000u), 10, 10, QLatin1Char('0')));
            static const char* const cognomi[] = {"NERI", "BRUNO", "GALLO", "CONTI", "RICCI"};
            static const char* const nomi[] = {"ADA", "EVA", "UGO", "LEA", "PIO"};
            return strumenti::codiceFiscale(QString::fromLatin1(cognomi[caso.bounded(5)]),
                                            QString::fromLatin1(nomi[caso.bounded(5)]),
                                            QDate(1940, 1, 1).addDays(caso.bounded(25000)),
                                            caso.bounded(2) ? QChar('M') : QChar('F'), QStringLiteral("H501"));
        }
        if (fresco && campo == QLatin1String("TEXTAZI"))
            return QString::number(400 + caso.bounded(600));
        const QStringList adatti = valoriCampo.value(campo);
        return adatti.isEmpty() ? valori.at(int(caso.bounded(valori.size())))
                                : adatti.at(int(caso.bounded(adatti.size())));
    }

    // Fills the fields of one frame in their order, most with a value that
    // suits the field, and often presses the frame's own button, as an
    // operator completing a frame does: by single keys alone the way to the
    // far end of the checks (an insertion, a save, a change of code) is
    // long for chance.
    void compila()
    {
        static const QHash<QString, QString> conferma{{QStringLiteral("FrmInserimento"), QStringLiteral("CmdInserimento(0)")},
                                                      {QStringLiteral("FrameCambiaCf"), QStringLiteral("CmdConfermaCF")},
                                                      {QStringLiteral("Frmmoduli(0)"), QStringLiteral("cmdmemorizza")}};
        QList<QWidget*> frame;
        for (const QString& nome : conferma.keys()) {
            auto* f = prova->finestra.findChild<QWidget*>(nome);
            if (f && f->isVisible())
                frame << f;
        }
        QWidget* scelto = unoDi(frame);
        if (!scelto)
            return tasto();
        QList<TextBox*> campi;
        for (TextBox* campo : scelto->findChildren<TextBox*>()) {
            if (campo->isVisible() && campo->isEnabled())
                campi << campo;
        }
        std::sort(campi.begin(), campi.end(), [](TextBox* a, TextBox* b) {
            return std::make_pair(a->y(), a->x()) < std::make_pair(b->y(), b->x());
        });
        annota(QStringLiteral("fill %1").arg(scelto->objectName()));
        for (TextBox* campo : campi) {
            if (caso.bounded(10) == 0 || !campo->isVisible() || !campo->isEnabled())
                continue;
            const QString v = valorePer(campo->objectName());
            annota(QStringLiteral("  \"%1\" into %2").arg(v, campo->objectName()));
            QTest::mouseClick(campo, Qt::LeftButton);
            QTest::keyClick(campo, Qt::Key_End);
            for (qsizetype i = campo->text().size(); i > 0; --i)
                QTest::keyClick(campo, Qt::Key_Backspace);
            QTest::keyClicks(campo, v);
            while (QWidget* menu = QApplication::activePopupWidget())
                menu->close();
        }
        auto* bottone = prova->finestra.findChild<QPushButton*>(conferma.value(scelto->objectName()));
        if (caso.bounded(3) != 0 && bottone && bottone->isVisible() && bottone->isEnabled()) {
            annota(QStringLiteral("  click %1").arg(bottone->objectName()));
            QTest::mouseClick(bottone, Qt::LeftButton);
        }
    }

    void clickBottone()
    {
        QList<QAbstractButton*> bottoni = visibili<QAbstractButton>();
        // The exit buttons end the run of the window: pressed now and then only.
        if (caso.bounded(40) != 0) {
            bottoni.removeIf([](QAbstractButton* b) { return b->objectName().startsWith(QLatin1String("cmduscita")); });
        }
        QAbstractButton* b = unoDi(bottoni);
        if (!b)
            return tasto();
        annota(QStringLiteral("click %1").arg(b->objectName()));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    void clickLista()
    {
        QListWidget* lista = unoDi(visibili<QListWidget>());
        if (!lista || lista->count() == 0)
            return tasto();
        // The insertion entry, first line of the selection list, now and then
        // on purpose: the way to a new substitute starts there.
        const bool inserimento = lista->objectName() == QLatin1String("List1") && caso.bounded(4) == 0;
        const int riga = inserimento ? 0 : int(caso.bounded(lista->count()));
        const bool doppio = caso.bounded(3) == 0;
        annota(QStringLiteral("%1 %2 line %3").arg(doppio ? "double-click" : "click", lista->objectName()).arg(riga));
        lista->scrollToItem(lista->item(riga));
        const QPoint punto = lista->visualItemRect(lista->item(riga)).center();
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, punto);
        if (doppio)
            QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, punto);
    }

    void clickCampo()
    {
        TextBox* campo = unoDi(visibili<TextBox>());
        if (!campo)
            return tasto();
        const bool destro = caso.bounded(20) == 0;
        annota(QStringLiteral("%1 %2").arg(destro ? "right-click" : "click", campo->objectName()));
        const QPoint punto(int(caso.bounded(qMax(1, campo->width()))), campo->height() / 2);
        if (destro) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, punto, campo->mapToGlobal(punto));
            QApplication::sendEvent(campo, &menu);
        } else {
            QTest::mouseClick(campo, Qt::LeftButton, {}, punto);
        }
    }

    void appunti()
    {
        const QString v = caso.bounded(2) ? valori.at(int(caso.bounded(valori.size())))
                                          : QStringLiteral("a'b\nc\t9/9 ") + QChar(0x20AC);
        annota(QStringLiteral("clipboard \"%1\"").arg(v));
        QGuiApplication::clipboard()->setText(v);
    }

    void passo()
    {
        // The next boxes' answers: Yes, No or Cancel at random; a box with
        // no answer left takes its default.
        MessageBox::clearNextAnswers();
        for (int i = 0; i < 3; ++i) {
            const quint32 r = caso.bounded(10);
            MessageBox::setNextAnswer(r < 4 ? vbYes : r < 8 ? vbNo : vbCancel);
        }
        const quint32 azione = caso.bounded(100);
        if (azione < 43)
            tasto();
        else if (azione < 50)
            digitaValore();
        else if (azione < 57)
            compila();
        else if (azione < 80)
            clickBottone();
        else if (azione < 91)
            clickLista();
        else if (azione < 98)
            clickCampo();
        else
            appunti();
        // A context menu left open would take the next keys.
        while (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
        MessageBox::clearNextAnswers();
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        archivio->aggiungiFrontespizio(QStringLiteral("002"), PERSONA, QStringLiteral("ROSSI"),
                                       QStringLiteral("MARIO"), {}, QStringLiteral("1"));
        archivio->aggiungiFrontespizio(QStringLiteral("003"), QStringLiteral("02345678904"), {}, {},
                                       QStringLiteral("GAMMA SPA"));
        const QString cf1 = strumenti::codiceFiscale(QStringLiteral("BIANCHI"), QStringLiteral("LUCA"),
                                                     QDate(1980, 1, 1), QChar('M'), QStringLiteral("H501"));
        const QString cf2 = strumenti::codiceFiscale(QStringLiteral("VERDI"), QStringLiteral("ANNA"),
                                                     QDate(1975, 8, 15), QChar('F'), QStringLiteral("F205"));
        const QString piva = strumenti::partitaIva(QStringLiteral("1234567890"));
        // Rows as the program writes them.
        archivio->aggiungiSostituto(QStringLiteral("101"), cf1,
                                    {QStringLiteral("BIANCHI"), QStringLiteral("LUCA"), QStringLiteral("M"),
                                     QStringLiteral("19800101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("VIA ROMA 1"),
                                     QStringLiteral("001")});
        archivio->aggiungiSostituto(QStringLiteral("102"), piva,
                                    {QStringLiteral("DELTA SRL"), QString(), QString(), QStringLiteral("00000000"),
                                     QString(), QString(), QStringLiteral("MILANO"), QStringLiteral("MI"),
                                     QStringLiteral("VIA DANTE 3"), QStringLiteral("002")});
        // Rows another program of the suite left incomplete: Nulls, an empty date.
        archivio->aggiungiSostituto(QStringLiteral("103"), cf2, {QStringLiteral("VERDI"), QStringLiteral("ANNA")});
        archivio->aggiungiSostituto(QStringLiteral("104"), QStringLiteral("04444444444"),
                                    {QVariant(), QVariant(), QVariant(), QString(), QVariant(), QVariant(),
                                     QStringLiteral("TORINO"), QStringLiteral("TO"), QVariant(),
                                     QStringLiteral("001")});
        const QList<std::pair<QString, QString>> sostituti{
            {QStringLiteral("101"), cf1}, {QStringLiteral("102"), piva}, {QStringLiteral("103"), cf2}};
        const QStringList dichiaranti{DICHIARANTE, PERSONA, DICHIARANTE};
        for (int i = 0; i < sostituti.size(); ++i) {
            for (const QString& t : QUADRI)
                archivio->aggiungiRigaQuadro(t, sostituti[i].first, dichiaranti[i], sostituti[i].second);
            archivio->aggiungiPercettore(sostituti[i].first, QStringLiteral("PRCPRC70A01H501X"));
        }
        // Rows of a substitute nobody registered: orphans from the start.
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROST"), QStringLiteral("150"), DICHIARANTE,
                                     QStringLiteral("ORFANO"));

        // Plausible texts: codes of every kind, names, dates, provinces.
        valori = QStringList{QStringLiteral("7"), QStringLiteral("101"), QStringLiteral("1"), QStringLiteral("2"),
                             QStringLiteral("3"), QStringLiteral("150"), QStringLiteral("0"), QStringLiteral("99"),
                             cf1, cf2, piva, PERSONA, DICHIARANTE, cf1.toLower(),
                             strumenti::codiceFiscale(QStringLiteral("NERI"), QStringLiteral("PIA"),
                                                      QDate(1990, 2, 28), QChar('F'), QStringLiteral("L219")),
                             strumenti::partitaIva(QStringLiteral("0765432198")), QStringLiteral("ORFANO"),
                             QStringLiteral("12345678901"), QStringLiteral("RSSMRA80A01H501"), QStringLiteral("d'angelo"),
                             QStringLiteral("verdi"), QStringLiteral("ROSSI MARIO"), QStringLiteral("01021960"),
                             QStringLiteral("31/12/1975"), QStringLiteral("29021981"), QStringLiteral("00000000"),
                             QStringLiteral("15081975"), QStringLiteral("rm"), QStringLiteral("MI"), QStringLiteral("XX"),
                             QStringLiteral("to"), QStringLiteral("m"), QStringLiteral("f"), QStringLiteral("ROMA"),
                             QStringLiteral("VIA PO 2"), QStringLiteral(" ")};

        const QString nuovoCf = strumenti::codiceFiscale(QStringLiteral("GIALLI"), QStringLiteral("EVA"),
                                                         QDate(1985, 6, 30), QChar('F'), QStringLiteral("A944"));
        const QString nuovaPiva = strumenti::partitaIva(QStringLiteral("0011223344"));
        const QStringList codici{cf1, cf2, piva, nuovoCf, nuovaPiva, PERSONA, DICHIARANTE, QStringLiteral("ORFANO"),
                                 nuovoCf.toLower(), QStringLiteral("AB'CD")};
        const QStringList aziende{QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("150"), QStringLiteral("101"),
                                  QStringLiteral("1"), QStringLiteral("3")};
        const QStringList collegate{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7"),
                                    QStringLiteral("101")};
        const QStringList sigle{QStringLiteral("rm"), QStringLiteral("MI"), QStringLiteral("to"), QStringLiteral("na"),
                                QStringLiteral("XX"), QString()};
        const QStringList comuni{QStringLiteral("ROMA"), QStringLiteral("milano"), QStringLiteral("SAN DONA' DI PIAVE"),
                                 QStringLiteral("BARI"), QString()};
        valoriCampo = {
            {QStringLiteral("TEXTAZI"), aziende},
            {QStringLiteral("TEXTCF"), codici},
            {QStringLiteral("Text2"), codici},
            {QStringLiteral("TextCOGNO"), {QStringLiteral("verdi"), QStringLiteral("d'angelo"), QStringLiteral("ALFA")}},
            {QStringLiteral("TextNOME"), {QString(), QString(), QStringLiteral("anna"), QStringLiteral("luca")}},
            {QStringLiteral("TextAZICOL"), collegate},
            {QStringLiteral("Text1(1)"), {QStringLiteral("verdi"), QStringLiteral("ALFA SRL"), QString()}},
            {QStringLiteral("Text1(2)"), {QString(), QStringLiteral("anna"), QString(), QStringLiteral(" ")}},
            {QStringLiteral("Text1(3)"), {QStringLiteral("m"), QStringLiteral("F"), QStringLiteral("f"), QStringLiteral("x")}},
            {QStringLiteral("Text1(4)"), {QStringLiteral("01021960"), QStringLiteral("29021981"), QStringLiteral("15081975"),
                                          QStringLiteral("00000000"), QStringLiteral("31121975"), QStringLiteral("3112")}},
            {QStringLiteral("Text1(5)"), comuni},
            {QStringLiteral("Text1(6)"), sigle},
            {QStringLiteral("Text1(7)"), comuni},
            {QStringLiteral("Text1(8)"), sigle},
            {QStringLiteral("Text1(9)"), {QStringLiteral("VIA PO 2"), QStringLiteral("piazza d'azeglio 1"), QString()}},
        };

        iniziale = archivio->cartella() + QStringLiteral("/iniziale.MDB");
        QVERIFY(QFile::copy(archivio->percorsoAnno(), iniziale));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connessione);
            db.setDatabaseName(archivio->percorsoAnno());
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            QVERIFY(db.open());
        }
        for (const Riga& r : registro()) {
            chiaviIniziali.insert(r.codazi + QLatin1Char('|') + r.cfs.trimmed());
            if (r.codazi == QLatin1String("103") || r.codazi == QLatin1String("104"))
                tupleNonScritte.insert(tupla(r.asost));
        }
        orfaneIniziali = orfane();
        QCOMPARE(int(orfaneIniziali.size()), 1);
        for (QSqlQuery q = interroga(QStringLiteral("SELECT codprov FROM TABMIN_PROV")); q.next();)
            province.insert(q.value(0).toString());
        for (QSqlQuery q = interroga(QStringLiteral("SELECT CODAZI, CFD FROM FRONTESPIZIO")); q.next();) {
            aziendeFrontespizio.insert(q.value(0).toString());
            cfFrontespizio.insert(q.value(1).toString().trimmed());
        }
        QCOMPARE(verificaArchivio(), QString());
    }

    void cleanupTestCase()
    {
        prova.reset();
        QSqlDatabase::removeDatabase(connessione);
    }

    void tastiEClickACaso()
    {
        bool ok = false;
        const quint32 seme = qEnvironmentVariable("ANAGSOST_SEME").toUInt(&ok);
        const quint32 semeUsato = ok ? seme : 770;
        const int passi = qEnvironmentVariableIsSet("ANAGSOST_PASSI")
            ? qEnvironmentVariableIntValue("ANAGSOST_PASSI")
            : 40000;
        caso.seed(semeUsato);
        gestoreQt = qInstallMessageHandler(filtraMessaggi);
        qInfo("seed %u, %d steps (set ANAGSOST_SEME and ANAGSOST_PASSI to change them)", semeUsato, passi);

        avvia();
        int cancellazioni = 0, cambi = 0, scritture = 0, inserimenti = 0;
        for (int n = 1; n <= passi; ++n) {
            const bool nuovoInAttesa = !prova->finestra.scaricata() && prova->modulo.NUOVOSOSTITUTO == 1;
            passo();
            for (const auto& box : MessageBox::shown()) {
                cancellazioni += box.testo == QLatin1String("Cancellazione effettuata");
                cambi += box.testo.contains(QLatin1String("Cambio codice fiscale eseguito !"));
            }
            MessageBox::clearShown();
            // The window may have gone: the exit, answered Yes.
            QString errore = verificaFinestra();
            if (errore.isEmpty()) {
                QSqlQuery q = interroga(QStringLiteral("PRAGMA data_version"));
                q.next();
                const qint64 v = q.value(0).toLongLong();
                q.finish();
                if (v != versione) {
                    scritture += versione >= 0;
                    inserimenti += nuovoInAttesa && prova->modulo.NUOVOSOSTITUTO == 0;
                    versione = v;
                    errore = verificaArchivio();
                }
            }
            if (!errore.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("step %1 (seed %2): %3\nlast steps:\n  %4")
                                     .arg(n)
                                     .arg(semeUsato)
                                     .arg(errore, diario.join(QStringLiteral("\n  ")))));
            }
            if (prova->finestra.scaricata()) {
                ++riavvii;
                avvia();
            } else if (n % 500 == 0 && registro().size() < 3) {
                ++riavvii;
                ricomincia();
            }
        }
        qInfo("%d steps: %d changed the database (%d deletions, %d changes of codice fiscale, %d first saves of "
              "a new substitute, the rest saves), %d keys new to the registry, %d restarts of the window",
              passi, scritture, cancellazioni, cambi, inserimenti, int(chiaviNuove.size()), riavvii);
        // The random steps reached every kind of write, or the checks above
        // proved little.
        if (passi >= 10000) {
            QVERIFY(cancellazioni > 0 && cambi > 0 && inserimenti > 0);
            QVERIFY(scritture > cancellazioni + cambi + inserimenti);
        }
    }
};

QTEST_MAIN(TestCasuale)
#include "tst_casuale.moc"
