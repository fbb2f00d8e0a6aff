// fotografie <cartella>: the README's pictures, made by the real window on the
// demo archive and written as PNG files into the folder: the selection list,
// the data sheet of a person (also with fields that disagree with its codice
// fiscale) and of a company, the insertion frame, the lookup list, the change
// of codice fiscale, a message box, the list found by a few letters typed and
// the first page of its print, the findings of the check of the archive
// (after a few faults another program could have left have been written
// into it), the list and a sheet after another workstation's changes. The
// window is driven with mouse and key events as an operator would drive it.
// Without a display it runs on Qt's offscreen platform (real fonts through
// fontconfig).
//
// The demo archive lives in a private temporary folder, named in the
// configuration by a relative path ("Archivi"), so that no machine's folder
// shows in the pictures.
#include "lib/archiviodemo.h"
#include "startup/configurazione.h"
#include "store/database.h"
#include "window/anagsost.h"
#include "window/dialoghi.h"
#include "window/italiano.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <stdexcept>

namespace {

const QString CARTELLAARCHIVI = QStringLiteral("Archivi");

class Fotografo {
public:
    Fotografo(ANAGSOST& finestra, const QString& uscita) : m_finestra(finestra), m_uscita(uscita) {}

    template <class T = QWidget> T* controllo(const QString& nome)
    {
        T* trovato = m_finestra.findChild<T*>(nome);
        if (!trovato)
            throw std::runtime_error("controllo mancante: " + nome.toStdString());
        return trovato;
    }

    void click(const QString& nome) { QTest::mouseClick(controllo(nome), Qt::LeftButton); }

    // A line of a list, picked with a click or opened with a double click.
    void voce(const QString& lista, const QString& inizio, bool doppio)
    {
        auto* elenco = controllo<QAbstractItemView>(lista);
        const QModelIndexList trovate =
            elenco->model()->match(elenco->model()->index(0, 0), Qt::DisplayRole, inizio, 1, Qt::MatchStartsWith);
        if (trovate.isEmpty())
            throw std::runtime_error("riga mancante: " + inizio.toStdString());
        elenco->scrollTo(trovate.first());
        const QPoint punto = elenco->visualRect(trovate.first()).center();
        QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, punto);
        if (doppio)
            QTest::mouseDClick(elenco->viewport(), Qt::LeftButton, {}, punto);
    }

    // Types into the control that has the focus, then moves on with Tab when asked.
    void digita(const QString& testo, bool tab = false)
    {
        QWidget* fuoco = QApplication::focusWidget();
        QTest::keyClicks(fuoco, testo);
        if (tab)
            QTest::keyClick(fuoco, Qt::Key_Tab);
    }

    // Replaces a field's text with keys, as the operator does: entering by
    // Tab, then a backspace over the whole text (the date's mask clears at once).
    void riscrivi(const QString& nome, const QString& testo)
    {
        auto* campo = controllo<TextBox>(nome);
        campo->setFocus(Qt::TabFocusReason);
        if (!campo->maschera())
            QTest::keyClick(campo, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(campo, Qt::Key_Backspace);
        QTest::keyClicks(campo, testo);
    }

    void fotografa(const QString& nome) { salva(nome, m_finestra.grab()); }

    // The message box that `azione` shows, laid over the window, answered
    // with `risposta` once photographed.
    void fotografaBox(const QString& nome, QMessageBox::StandardButton risposta, const std::function<void()>& azione)
    {
        bool fatto = false;
        std::function<void()> attendi;
        attendi = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(20, attendi);
                return;
            }
            QPixmap immagine = m_finestra.grab();
            const QPixmap riquadro = box->grab();
            QPainter pittore(&immagine);
            pittore.fillRect(immagine.rect(), QColor(0, 0, 0, 60));
            const QRect dove(QPoint((immagine.width() - riquadro.width()) / 2,
                                    (immagine.height() - riquadro.height()) / 2),
                             riquadro.size());
            pittore.drawPixmap(dove.topLeft(), riquadro);
            pittore.setPen(QColor(80, 80, 80));
            pittore.drawRect(dove.adjusted(-1, -1, 0, 0));
            pittore.end();
            salva(nome, immagine);
            fatto = true;
            QTest::mouseClick(box->button(risposta), Qt::LeftButton);
        };
        QTimer::singleShot(0, attendi);
        azione();
        if (!fatto)
            throw std::runtime_error("nessun messaggio per " + nome.toStdString());
        // No window manager gives the activation back once the box is gone.
        attiva();
    }

    // The first page of a PDF as a picture, through pdftoppm (poppler-utils).
    void paginaPdf(const QString& pdf, const QString& nome)
    {
        const QString base = QDir(m_uscita).filePath(nome);
        QProcess pdftoppm;
        pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("90"),
                                                    QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                    QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, base});
        if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitStatus() != QProcess::NormalExit || pdftoppm.exitCode() != 0)
            throw std::runtime_error("pdftoppm (poppler-utils) non trasforma " + pdf.toStdString());
        QTextStream(stdout) << QDir::toNativeSeparators(base + QStringLiteral(".png")) << "\n";
    }

    // Waits, the window's events running, until `fatto` says so.
    void attendi(const std::function<bool()>& fatto)
    {
        if (!QTest::qWaitFor(fatto, 5000))
            throw std::runtime_error("la finestra non si aggiorna");
    }

    void attiva()
    {
        QApplication::setActiveWindow(&m_finestra);
        if (!QTest::qWaitForWindowActive(&m_finestra))
            throw std::runtime_error("la finestra non diventa attiva");
    }

private:
    void salva(const QString& nome, const QPixmap& immagine)
    {
        const QString file = QDir(m_uscita).filePath(nome + QStringLiteral(".png"));
        if (!immagine.save(file))
            throw std::runtime_error("impossibile scrivere " + file.toStdString());
        QTextStream(stdout) << QDir::toNativeSeparators(file) << "\n";
    }

    ANAGSOST& m_finestra;
    QString m_uscita;
};

// Faults another program of the suite, or an earlier year's archive, could
// have left in the demo archive, for the findings of the check: a check
// character, a partita IVA's check digit, a date of birth the code does not
// carry, a person without sex linked to a company with no front page, a code
// under two rows, section rows whose substitute is gone.
void guasti(const store::Luogo& archivio)
{
    using strumenti::codiceFiscale;
    const auto db = store::Database::OpenDatabase(archivio);
    const auto dichiarante = db->OpenRecordset(QStringLiteral("SELECT CFD FROM FRONTESPIZIO WHERE CODAZI = '001'"));
    const QString cfd = dichiarante->Fields(QStringLiteral("CFD"));
    QString marini = codiceFiscale(QStringLiteral("MARINI"), QStringLiteral("LUIGI"), QDate(1965, 3, 12), 'M',
                                   QStringLiteral("F205"));
    marini[15] = marini[15] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    QString piva = strumenti::partitaIva(QStringLiteral("0456789012"));
    piva[10] = piva[10] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    const QList<QVariantList> sostituti = {
        {"113", marini, "MARINI", "LUIGI", "M", "19650312", "MILANO", "MI", "MILANO", "MI", "VIA TORINO 5", "001"},
        {"114", piva, "FERRAMENTA BRAMBILLA SNC", "", "", "00000000", "", "", "MONZA", "MI", "VIA ITALIA 3", "002"},
        {"115", codiceFiscale("COLOMBO", "GIULIA", QDate(1970, 4, 22), 'F', "F205"), "COLOMBO", "GIULIA", "F",
         "19700423", "MILANO", "MI", "COMO", "CO", "VIA VOLTA 8", "003"},
        {"116", codiceFiscale("FUMAGALLI", "PIETRO", QDate(1958, 11, 30), 'M', "F205"), "FUMAGALLI", "PIETRO", "",
         "19581130", "MILANO", "MI", "LECCO", "LC", "VIA PARINI 1", "009"}};
    for (const QVariantList& s : sostituti)
        db->Execute(QStringLiteral("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, "
                                   "ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    s);
    // The first substitute registered once more under another company.
    db->Execute(QStringLiteral("INSERT INTO ANAGSOSTITUTI SELECT '118', CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, "
                               "ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10 FROM ANAGSOSTITUTI "
                               "WHERE CODAZI = '101'"));
    const QString ricci =
        codiceFiscale(QStringLiteral("RICCI"), QStringLiteral("PAOLA"), QDate(1955, 7, 7), 'F', QStringLiteral("H501"));
    for (const QString& quadro : {QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP1"),
                                  QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROST")})
        db->Execute(QStringLiteral("INSERT INTO %1 (CODAZI, CFD, CFS, RIGO) VALUES ('117', ?, ?, 1)").arg(quadro),
                    {cfd, ricci});
}

// A change another workstation makes, on a connection of its own; on a file
// the window notices any commit of another connection.
void altraPostazione(const store::Luogo& archivio, const QString& istruzione)
{
    const auto db = store::Database::OpenDatabase(archivio);
    db->BeginTrans({QStringLiteral("ANAGSOSTITUTI")});
    db->Execute(istruzione);
    db->CommitTrans();
}

void fotografie(Fotografo& f, ANAGSOST& finestra)
{
    // Selection: a substitute picked.
    f.voce(QStringLiteral("List1"), QStringLiteral("104 "), false);
    f.fotografa(QStringLiteral("selezione"));

    // Data sheet of a person, then its lookup list of provinces.
    f.voce(QStringLiteral("List1"), QStringLiteral("101 "), true);
    f.fotografa(QStringLiteral("scheda-persona"));
    f.click(QStringLiteral("CMDAPRILIST(0)"));
    f.voce(QStringLiteral("ListTabmin"), QStringLiteral("MI "), false);
    f.fotografa(QStringLiteral("elenco-province"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // The same sheet with a date and a town of birth that the codice fiscale
    // does not carry, then as it was.
    f.riscrivi(QStringLiteral("Text1(4)"), QStringLiteral("14051963"));
    f.riscrivi(QStringLiteral("Text1(5)"), QStringLiteral("LODI"));
    f.fotografa(QStringLiteral("scheda-discordanze"));
    f.riscrivi(QStringLiteral("Text1(4)"), QStringLiteral("14051962"));
    f.riscrivi(QStringLiteral("Text1(5)"), QStringLiteral("MILANO"));

    // A change typed, and the way back to the list asks whether to save it.
    f.controllo<TextBox>(QStringLiteral("Text1(9)"))->setFocus(Qt::TabFocusReason);
    f.digita(QStringLiteral(" A"));
    f.fotografaBox(QStringLiteral("messaggio"), QMessageBox::No, [&] { f.click(QStringLiteral("cmdselprec")); });

    // Data sheet of a company.
    f.voce(QStringLiteral("List1"), QStringLiteral("108 "), true);
    f.fotografa(QStringLiteral("scheda-societa"));
    f.click(QStringLiteral("cmdselprec"));

    // Insertion of a new substitute, with the list of the companies to link it to.
    f.voce(QStringLiteral("List1"), QStringLiteral("------------ INSERIMENTO"), true);
    f.digita(QStringLiteral("120"), true);
    f.digita(QStringLiteral("VRDGPP70A01F205V"), true);
    f.digita(QStringLiteral("verdi"), true);
    f.digita(QStringLiteral("giuseppe"), true);
    f.fotografa(QStringLiteral("inserimento"));
    f.click(QStringLiteral("CMDAPRILIST(3)"));
    f.voce(QStringLiteral("ListTabmin"), QStringLiteral("002 "), false);
    f.fotografa(QStringLiteral("elenco-aziende"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    f.click(QStringLiteral("CmdInserimento(1)"));

    // Change of codice fiscale of a substitute.
    f.voce(QStringLiteral("List1"), QStringLiteral("103 "), false);
    f.click(QStringLiteral("CmdCambia"));
    f.digita(QStringLiteral("trvpla58a27l736"));
    f.fotografa(QStringLiteral("cambio-codice-fiscale"));
    f.click(QStringLiteral("CmdAnnullaCF"));

    // A few letters typed after Ctrl+F find the substitutes holding them; one picked.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    f.digita(QStringLiteral("an"));
    f.voce(QStringLiteral("List1"), QStringLiteral("104 "), false);
    f.fotografa(QStringLiteral("trova"));

    // The first page of the whole list's print, from the PDF the print writes.
    f.controllo<QLineEdit>(QStringLiteral("TextTrova"))->clear();
    QTemporaryDir stampa;
    const QString pdf = stampa.filePath(QStringLiteral("stampa.pdf"));
    Dialoghi::setNextPdf(pdf);
    f.click(QStringLiteral("CmdStampa"));
    f.paginaPdf(pdf, QStringLiteral("stampa"));

    // The check of the archive after a few faults have reached it: its
    // findings, one picked.
    guasti(finestra.M.LUOGOANNO());
    f.click(QStringLiteral("CmdVerifica"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    f.fotografa(QStringLiteral("verifica"));

    // Another workstation at work: the substitute registered twice deleted
    // there while this one shows the list, a substitute picked; then the
    // substitute whose sheet is open here saved there.
    f.click(QStringLiteral("CmdChiudiVerifica"));
    f.voce(QStringLiteral("List1"), QStringLiteral("104 "), false);
    altraPostazione(finestra.M.LUOGOANNO(), QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '118'"));
    f.attendi([&] { return finestra.elenchiAggiornati() > 0; });
    f.fotografa(QStringLiteral("aggiornato"));
    f.voce(QStringLiteral("List1"), QStringLiteral("101 "), true);
    f.controllo<TextBox>(QStringLiteral("Text1(9)"))->setFocus(Qt::TabFocusReason);
    f.digita(QStringLiteral(" A"));
    altraPostazione(finestra.M.LUOGOANNO(),
                    QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_7 = 'SESTO SAN GIOVANNI' WHERE CODAZI = '101'"));
    f.attendi([&] { return f.controllo(QStringLiteral("LabAvvisoScheda"))->isVisible(); });
    f.fotografa(QStringLiteral("scheda-altra-postazione"));
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY")
        && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "Uso: fotografie <cartella>\n"
               "Scrive nella cartella le immagini della finestra sull'archivio dimostrativo.\n";
        return 2;
    }
    const QString uscita = QFileInfo(app.arguments().at(1)).absoluteFilePath();
    if (!QDir().mkpath(uscita)) {
        err << "Impossibile creare la cartella " << uscita << "\n";
        return 1;
    }
    ITALIANOQT();
    QApplication::setQuitOnLastWindowClosed(false);

    // A configuration and an archive of its own, named relative to its folder.
    QTemporaryDir lavoro;
    if (!lavoro.isValid() || !QDir::setCurrent(lavoro.path())) {
        err << "Impossibile preparare una cartella temporanea\n";
        return 1;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, lavoro.filePath(QStringLiteral("config")));
    try {
        strumenti::creaArchivioDemo(lavoro.filePath(CARTELLAARCHIVI));
        SCRIVICONFIGURAZIONE({{QStringLiteral("PERCORSOARCHIVI"), CARTELLAARCHIVI},
                              {QStringLiteral("PERCORSOPROGRAMMI"), QString()}});

        MOD770BAS modulo(MsgBox);
        modulo.fileBloccoIstanza = lavoro.filePath(QStringLiteral("anagsost.lock"));
        ANAGSOST finestra(modulo);
        if (!finestra.Form_Load())
            throw std::runtime_error("il programma non si avvia sull'archivio dimostrativo");
        Fotografo fotografo(finestra, uscita);
        fotografo.attiva();
        fotografie(fotografo, finestra);
        MessageBox::setAutoAnswer(true);
    } catch (const std::exception& e) {
        err << "fotografie: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
