// Finding a substitute as the operator types, on the real window: the lines
// kept, the first line always there, the count, Ctrl+F, Esc and Down; clicks,
// deletion and change of codice fiscale on a filtered list, rebuilt with the
// search; the export and the print of the list as shown (the CSV read back,
// the PDF's text extracted). How a text is folded and matched is the core's,
// every field of the file too (tst_registro).
#include "support/csvprova.h"
#include "support/finestraprova.h"

#include "window/dialoghi.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace {

struct Riga {
    QString codazi, cfs, cognome, nome;
};
// Key order: 007, 101, 102, 103, 104, 105.
const Riga BIANCHI{"007", "BNCLRA80A41F205Y", "BIANCHI", "LAURA"}, ROSSI{"101", "RSSMRA75M15H501X", "ROSSI", "MARIO"},
    DELLACQUA{"102", "DLLMRC66P30D612S", "DELL'ACQUA", "MARCO"},
    DANGELO{"103", "DNGNCL80A01F205Z", "D'ANGELO", "NICOL\u00d2"},
    CITTA{"104", "12345678903", "COSTRUZIONI CITT\u00c0 ROSSINI SRL", ""},
    VERDI{"105", "VRDGPP70A01F205X", "VERDI", "GIUSEPPE"};
const QList<Riga> TUTTE = {BIANCHI, ROSSI, DELLACQUA, DANGELO, CITTA, VERDI};

QString linea(const Riga& r)
{
    return lineaElenco(r.codazi, r.cfs, r.cognome + ' ' + r.nome);
}
// The list's lines: the insertion entry, then the rows.
QStringList linee(const QList<Riga>& righe)
{
    QStringList l{PRIMALINEA};
    for (const Riga& r : righe)
        l << linea(r);
    return l;
}

// What pdftotext makes of a PDF, ligatures (the "fi" of the fonts) as their letters; "" when it cannot run.
QString pdftotext(const QString& pdf, const QStringList& opzioni = {})
{
    QProcess p;
    p.start("pdftotext", opzioni + QStringList{pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The words of a PDF as pdftotext places them that overlap another word of
// their page, leave the page or cross from one column into the next (the
// columns begin where their headings do): a line drawn over another, or a
// text too wide for its column, shows so. `parole` counts the words.
QStringList paroleFuoriPosto(const QString& pdf, int& parole)
{
    const QRegularExpression pagina(R"x(<page width="([\d.]+)" height="([\d.]+)">(.*?)</page>)x",
                                    QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression parola(
        R"x(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*))x");
    const QStringList titoli{"Codice", "Cognome", "Data", "Residenza"};
    QStringList fuori;
    for (auto pg = pagina.globalMatch(pdftotext(pdf, {"-bbox"})); pg.hasNext();) {
        const auto m = pg.next();
        const QRectF foglio(0, 0, m.captured(1).toDouble(), m.captured(2).toDouble());
        QList<std::pair<QRectF, QString>> riquadri;
        QList<double> colonne;
        for (auto w = parola.globalMatch(m.captured(3)); w.hasNext();) {
            const auto n = w.next();
            const QString testo = n.captured(5);
            const QRectF r(QPointF(n.captured(1).toDouble(), n.captured(2).toDouble()),
                           QPointF(n.captured(3).toDouble(), n.captured(4).toDouble()));
            if (titoli.contains(testo) && colonne.size() < 4)
                colonne << r.left() - 1;
            if (!foglio.contains(r))
                fuori << testo + " off the page";
            for (const double inizio : colonne)
                if (r.left() < inizio && r.right() > inizio + 1)
                    fuori << testo + " across a column";
            // Glyph boxes of neighbouring lines touch: only a real overlap counts.
            const QRectF interno = r.adjusted(0.5, 0.5, -0.5, -0.5);
            for (const auto& [altro, suo] : riquadri)
                if (interno.intersects(altro))
                    fuori << testo + " over " + suo;
            riquadri.append({interno, testo});
        }
        parole += riquadri.size();
    }
    return fuori;
}

} // namespace

class TestTrova : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;
    QTemporaryDir cartella;

    QLineEdit* trova() { return p->controllo<QLineEdit>("TextTrova"); }
    QString conteggio() { return p->controllo<QLabel>("LabConteggio")->text(); }
    void cerca(const QString& testo)
    {
        trova()->setFocus(Qt::MouseFocusReason);
        trova()->selectAll();
        QTest::keyClick(trova(), Qt::Key_Backspace);
        digita(trova(), testo);
    }
    int riga(const Riga& r) { return p->rigaDi({r.codazi, r.cfs}); }
    // The boxes shown by a click on a button.
    QStringList clickBox(const char* bottone)
    {
        azzeraMessaggi();
        p->click(bottone);
        return p->box();
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        p = std::make_unique<BancoProva>();
        for (const Riga& r : {VERDI, CITTA, DANGELO, DELLACQUA, ROSSI, BIANCHI}) // out of key order
            p->sostituto({r.codazi, r.cfs}, {"1=" + r.cognome, "2=" + r.nome});
        QVERIFY(p->avvia());
    }
    void cleanup()
    {
        Dialoghi::clearNext();
        p.reset();
    }

    void righeTrovate()
    {
        // Typed with real keys: the lines holding the text kept in key order after the first, the count among all.
        const QList<std::pair<QString, QList<Riga>>> casi = {{"rossi", {ROSSI, CITTA}}, {"zzz", {}}, {"", TUTTE}};
        for (const auto& [testo, righe] : casi) {
            cerca(testo);
            QCOMPARE(p->righeLista(), linee(righe));
            QCOMPARE(conteggio(), QString("%1 di 6").arg(righe.size()));
        }
    }

    void sceltaMantenutaMentreSiDigita()
    {
        // A picked line stays picked while it is shown; when the search hides it nothing is picked, not even
        // when lines after it stay.
        cerca("r");
        p->clickLista(riga(DELLACQUA));
        digita(trova(), "c");
        QCOMPARE(p->scelta(), linea(DELLACQUA));
        digita(trova(), "z");
        QCOMPARE(p->scelta(), QString());
        cerca("r");
        p->clickLista(riga(BIANCHI));
        digita(trova(), "o");
        QCOMPARE(p->righeLista(), linee({ROSSI, CITTA}));
        QCOMPARE(p->scelta(), QString());
    }

    void sullaListaFiltrata()
    {
        // A double click opens the substitute of its line; back to the list, rebuilt, the search still applied. A
        // deletion takes the substitute of the line picked, the others stay.
        cerca("o");
        p->doppioClickLista(riga(DANGELO));
        QVERIFY(p->mostra({DANGELO.codazi, DANGELO.cfs}));
        p->click("cmdselprec");
        QCOMPARE(p->righeLista(), linee({ROSSI, DELLACQUA, DANGELO, CITTA}));
        p->clickLista(riga(DANGELO));
        QCOMPARE(clickBox("Cmdcancella").last(), "64:Cancellazione effettuata");
        QCOMPARE(p->righeLista(), linee({ROSSI, DELLACQUA, CITTA}));
        QCOMPARE(conteggio(), "3 di 5");
        // The field is locked with the list while a change of codice fiscale is under way.
        cerca("verdi");
        p->clickLista(1);
        p->click("CmdCambia");
        QVERIFY(!trova()->isEnabled());
        p->click("CmdAnnullaCF");
        QVERIFY(trova()->isEnabled());
    }

    void tastiDellaRicerca()
    {
        // Ctrl+F from the list selects what was typed in the field.
        p->clickLista(0);
        cerca("rossi");
        p->lista()->setFocus();
        QTest::keyClick(p->lista(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), trova());
        QCOMPARE(trova()->selectedText(), "rossi");
        // Down goes on to the first substitute found, picked as by a click.
        QVERIFY(!p->bottone("Cmdcancella")->isEnabled());
        QTest::keyClick(trova(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), p->lista());
        QCOMPARE(p->scelta(), linea(ROSSI));
        QVERIFY(p->bottone("Cmdcancella")->isEnabled());
        // Esc empties the field: the list is whole again.
        QTest::keyClick(p->lista(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(trova(), Qt::Key_Escape);
        QCOMPARE(trova()->text(), "");
        QCOMPARE(p->righeLista(), linee(TUTTE));
        // On the data sheet Ctrl+F does not reach the hidden field.
        QVERIFY(p->apri({ROSSI.codazi, ROSSI.cfs}));
        QWidget* campo = QApplication::focusWidget();
        QTest::keyClick(campo, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), campo);
    }

    void esportazione()
    {
        // The lines shown, in their order, read back from the file; what is written is told.
        cerca("o");
        QTest::mouseClick(p->controllo<QWidget>("Option1(2)"), Qt::LeftButton);
        const QString percorso = cartella.filePath("elenco.csv");
        Dialoghi::setNextFile(percorso);
        const QStringList box = clickBox("CmdEsporta");
        QCOMPARE(box.size(), 1);
        QVERIFY2(box.first().startsWith("64:Esportazione effettuata\r\r4 anagrafiche sostituti"), qPrintable(box[0]));
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList codici;
        for (const QStringList& r : leggiCsv(file.readAll()).mid(1))
            codici << r.at(0) + ' ' + r.at(1);
        QCOMPARE(codici, (QStringList{"104 12345678903", "103 DNGNCL80A01F205Z", "102 DLLMRC66P30D612S",
                                      "101 RSSMRA75M15H501X"}));
        // A cancelled dialog writes nothing and says nothing; a folder that is not there is told.
        Dialoghi::setNextFile(QString());
        QCOMPARE(clickBox("CmdEsporta"), QStringList());
        Dialoghi::setNextFile(cartella.filePath("manca/elenco.csv"));
        const QStringList manca = clickBox("CmdEsporta");
        QCOMPARE(manca.size(), 1);
        QVERIFY2(manca.first().startsWith("16:Impossibile scrivere il file\r"), qPrintable(manca.first()));
        // With no line shown: a message, no dialog, no file; nor anything to print.
        cerca("zzz");
        Dialoghi::setNextFile(cartella.filePath("vuoto.csv"));
        QCOMPARE(clickBox("CmdEsporta"), QStringList{"64:Nessuna anagrafica sostituto da esportare"});
        QVERIFY(!QFile::exists(cartella.filePath("vuoto.csv")));
        Dialoghi::setNextPdf(cartella.filePath("vuoto.pdf"));
        QCOMPARE(clickBox("CmdStampa"), QStringList{"64:Nessuna anagrafica sostituto da stampare"});
        QVERIFY(!QFile::exists(cartella.filePath("vuoto.pdf")));
    }

    void stampaSuPdf()
    {
        // Enough substitutes for several pages, names too long for their column, a search: the heading, each
        // substitute shown once with every word of its name, the others not, the pages numbered, no text drawn
        // over another or off the page.
        QList<Riga> trovate{ROSSI, CITTA};
        for (int i = 0; i < 90; ++i) {
            const Riga r{
                QString::number(200 + i), QString("NUOVO%1X").arg(i, 5, 10, QChar('0')),
                QString("COGNOME LUNGHISSIMO NUMERO %1 CON PAROLE").arg(i),
                "NOME DI BATTESIMO E UNA PAROLASENZAFINEMAIINTERROTTACHENONSTAINNESSUNACOLONNANEANCHEINUNASOLA" +
                    QString::number(i)};
            trovate << r;
            p->sostituto({r.codazi, r.cfs},
                         {"1=" + r.cognome, "2=" + r.nome, "5=SAN GIOVANNI IN PERSICETO", "6=BO",
                          "7=CASTELNUOVO DI GARFAGNANA", "8=LU", "9=VIA DEI MILLE CENTO DUECENTO 1234 SCALA B"});
        }
        const QString intestazione = "Archivio: " + p->modulo.NOMEARCHIVIOANNO();
        const QString oggi = QDate::currentDate().toString("dd/MM/yyyy");
        p->finestra.LISTASOSTITUTI();
        cerca("ro");
        const QString pdf = cartella.filePath("elenco.pdf");
        Dialoghi::setNextPdf(pdf);
        QCOMPARE(clickBox("CmdStampa"), QStringList());
        const QString testo = pdftotext(pdf);
        QVERIFY2(!testo.isEmpty(), "pdftotext (poppler-utils) is needed");
        // The text in the order it was drawn: each cell's lines one after the other.
        const QString unito = pdftotext(pdf, {"-raw"}).remove(QRegularExpression("\\s"));
        for (const Riga& r : trovate) {
            QCOMPARE(testo.count(r.cfs), 1);
            QCOMPARE(unito.count(QString(r.cognome + r.nome).remove(' ')), 1);
        }
        for (const Riga& r : {BIANCHI, DELLACQUA, DANGELO, VERDI})
            QCOMPARE(testo.count(r.cfs), 0);
        // Every page (pdftotext ends each with a form feed) numbered among all, under the same heading.
        const int pagine = int(testo.count('\f'));
        QVERIFY(pagine >= 3);
        QStringList piedi, attesi;
        for (auto m = QRegularExpression("Pagina \\d+ di \\d+").globalMatch(testo); m.hasNext();)
            piedi << m.next().captured();
        for (int n = 1; n <= pagine; ++n)
            attesi << QString("Pagina %1 di %2").arg(n).arg(pagine);
        QCOMPARE(piedi, attesi);
        for (const QString& riga : {QString("Anagrafiche sostituti"), oggi, intestazione,
                                    QString("Anagrafiche che contengono \u00abro\u00bb: 92 di 96")})
            QCOMPARE(testo.count(riga), pagine);
        int parole = 0;
        QCOMPARE(paroleFuoriPosto(pdf, parole).join(", "), QString());
        QVERIFY(parole > 92 * 20);
    }

    void anteprimaDiStampa()
    {
        // Without a file chosen beforehand the preview opens on the pages, from which the print dialog prints.
        Dialoghi::setAutoCancel(false);
        const auto ripristina = qScopeGuard([] { Dialoghi::setAutoCancel(true); });
        int pagine = -1;
        QTimer::singleShot(0, [&pagine] {
            if (auto* anteprima = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                pagine = anteprima->findChild<QPrintPreviewWidget*>()->pageCount();
                anteprima->reject();
            }
        });
        p->click("CmdStampa");
        QCOMPARE(pagine, 1);
    }
};

QTEST_MAIN(TestTrova)
#include "tst_trova.moc"
