// Finding a substitute as the operator types, on the real window: what the
// list shows for accents, apostrophes and codes, the first line always
// there, the count, Ctrl+F and Esc; clicks, deletion, change of codice
// fiscale and the three orders on a filtered list; the export and the print
// of the list as shown (the CSV read back, the PDF's text extracted).
#include "schedaprova.h"

#include "support/csvprova.h"
#include "window/dialoghi.h"

#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

const QString PRIMA = "------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------";

struct Riga {
    QString codazi, cfs, cognome, nome;
};
// Key order: 007, 101, 102, 103, 104, 105.
const Riga BIANCHI{"007", "BNCLRA80A41F205Y", "BIANCHI", "LAURA"};
const Riga ROSSI{"101", "RSSMRA75M15H501X", "ROSSI", "MARIO"};
const Riga DELLACQUA{"102", "DLLMRC66P30D612S", "DELL'ACQUA", "MARCO"};
const Riga DANGELO{"103", "DNGNCL80A01F205Z", "D'ANGELO", "NICOL\u00d2"};
const Riga CITTA{"104", "12345678903", "COSTRUZIONI CITT\u00c0 ROSSINI SRL", ""};
const Riga VERDI{"105", "VRDGPP70A01F205X", "VERDI", "GIUSEPPE"};
const QList<Riga> TUTTE = {BIANCHI, ROSSI, DELLACQUA, DANGELO, CITTA, VERDI};

// The line the list shows for a row.
QString linea(const Riga& r)
{
    const QString nome = (r.cognome + ' ' + r.nome).left(45);
    return (r.codazi + ' ' + r.cfs.leftJustified(16) + ' ' + nome).leftJustified(66);
}
QStringList linee(const QList<Riga>& righe)
{
    QStringList l{PRIMA};
    for (const Riga& r : righe)
        l << linea(r);
    return l;
}

// The text pdftotext extracts from a PDF, ligatures (the "fi" of the fonts)
// as their letters; "" when it cannot run.
QString testoPdf(const QString& pdf, const QStringList& opzioni = {})
{
    QProcess p;
    p.start("pdftotext", opzioni + QStringList{pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The words of each page of a PDF as pdftotext places them, and the words
// that overlap another one, leave the page or cross from one column into the
// next (the columns begin where their headings do): a line drawn over
// another, or a text too wide for its column, shows so.
QStringList paroleSovrapposte(const QString& pdf, int* parole)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {"pdftotext -bbox did not run"};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpression pagina(R"x(<page width="([\d.]+)" height="([\d.]+)">(.*?)</page>)x",
                                    QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression parola(
        R"x(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)x");
    QStringList sovrapposte;
    *parole = 0;
    for (auto pg = pagina.globalMatch(html); pg.hasNext();) {
        const auto m = pg.next();
        const QRectF foglio(0, 0, m.captured(1).toDouble(), m.captured(2).toDouble());
        QList<std::pair<QRectF, QString>> riquadri;
        QList<double> colonne;
        for (auto w = parola.globalMatch(m.captured(3)); w.hasNext();) {
            const auto n = w.next();
            const QRectF r(QPointF(n.captured(1).toDouble(), n.captured(2).toDouble()),
                           QPointF(n.captured(3).toDouble(), n.captured(4).toDouble()));
            if (QStringList{"Codice", "Cognome", "Data", "Residenza"}.contains(n.captured(5)) && colonne.size() < 4)
                colonne << r.left() - 1;
            if (!foglio.contains(r))
                sovrapposte << n.captured(5) + " off the page";
            for (const double inizio : colonne) {
                if (r.left() < inizio && r.right() > inizio + 1)
                    sovrapposte << n.captured(5) + " across a column";
            }
            // Glyph boxes of neighbouring lines touch: only a real overlap counts.
            const QRectF interno = r.adjusted(0.5, 0.5, -0.5, -0.5);
            for (const auto& [altro, testo] : riquadri) {
                if (interno.intersects(altro))
                    sovrapposte << n.captured(5) + " over " + testo;
            }
            riquadri.append({interno, n.captured(5)});
        }
        *parole += riquadri.size();
    }
    return sovrapposte;
}

} // namespace

class TestTrova : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;
    QTemporaryDir cartella;

    QLineEdit* trova() { return prova->controllo<QLineEdit>("TextTrova"); }
    QString conteggio() { return prova->controllo<QLabel>("LabConteggio")->text(); }
    void cerca(const QString& testo)
    {
        trova()->setFocus(Qt::MouseFocusReason);
        trova()->selectAll();
        QTest::keyClick(trova(), Qt::Key_Backspace);
        scheda::digita(trova(), testo);
    }
    void ordina(int n) { QTest::mouseClick(prova->controllo<QRadioButton>(QString("Option1(%1)").arg(n)), Qt::LeftButton); }
    int riga(const Riga& r) { return prova->rigaDi(r.codazi, r.cfs); }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        archivio = scheda::annoProva();
        archivio->aggiungiFrontespizio("007", "03456789014", {}, {}, "GAMMA SPA");
        // Stored out of key order.
        for (const Riga& r : {VERDI, CITTA, DANGELO, DELLACQUA, ROSSI, BIANCHI}) {
            archivio->aggiungiSostituto(r.codazi, r.cfs,
                                        {r.cognome, r.nome, "M", "19700101", "ROMA", "RM", "ROMA", "RM", "VIA PO 1", "001"});
        }
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
    }
    void cleanup()
    {
        Dialoghi::clearNext();
        prova.reset();
        archivio.reset();
    }

    void righeTrovate_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QList<int>>("righe"); // of TUTTE, in key order
        QTest::newRow("nothing typed") << "" << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("surname in lower case, also inside a company's name") << "rossi" << QList<int>{1, 4};
        QTest::newRow("accent stored, typed without") << "citta" << QList<int>{4};
        QTest::newRow("accent stored and typed") << "nicol\u00f2" << QList<int>{3};
        QTest::newRow("apostrophe as typed") << "dell'acqua" << QList<int>{2};
        QTest::newRow("apostrophe left out") << "dellacqua" << QList<int>{};
        QTest::newRow("surname and first name") << "angelo nic" << QList<int>{3};
        QTest::newRow("company code with its zeros") << "007" << QList<int>{0};
        QTest::newRow("part of the codice fiscale") << "f205" << QList<int>{0, 3, 5};
        QTest::newRow("partita IVA") << "5678903" << QList<int>{4};
        QTest::newRow("nothing holds it") << "zzz" << QList<int>{};
    }
    void righeTrovate()
    {
        QFETCH(QString, testo);
        QFETCH(QList<int>, righe);
        QList<Riga> attese;
        for (const int i : righe)
            attese << TUTTE.at(i);
        const QString conta = QString("%1 di 6").arg(attese.size());
        cerca(testo);
        QCOMPARE(prova->righeLista(), linee(attese));
        QCOMPARE(conteggio(), conta);
    }

    void ordiniConLaRicerca()
    {
        // The search stays through the three orders, each showing its order.
        cerca("o");
        const QList<Riga> perCodice{ROSSI, DELLACQUA, DANGELO, CITTA};
        const QList<Riga> perCf{CITTA, DELLACQUA, DANGELO, ROSSI};
        const QList<Riga> perNome{CITTA, DANGELO, DELLACQUA, ROSSI};
        QCOMPARE(prova->righeLista(), linee(perCodice));
        ordina(1);
        QCOMPARE(prova->righeLista(), linee(perCf));
        ordina(2);
        QCOMPARE(prova->righeLista(), linee(perNome));
        ordina(0);
        QCOMPARE(prova->righeLista(), linee(perCodice));
        QCOMPARE(conteggio(), "4 di 6");
    }

    void clickSullaListaFiltrata()
    {
        cerca("rossi");
        // The first line stays and still opens the insertion frame.
        prova->doppioClickLista(0);
        QVERIFY(prova->controllo<QWidget>("FrmInserimento")->isVisible());
        prova->clickLista(0);
        QVERIFY(!prova->bottone("Cmdcancella")->isEnabled());
        // A single click picks the substitute of its line, a double click opens it.
        prova->clickLista(2);
        QVERIFY(prova->bottone("Cmdcancella")->isEnabled());
        prova->doppioClickLista(2);
        QVERIFY(scheda::mostra(*prova, {CITTA.codazi, CITTA.cfs}));
        // Back to the list: rebuilt, the search still applied.
        prova->click("cmdselprec");
        QCOMPARE(prova->righeLista(), linee({ROSSI, CITTA}));
        QCOMPARE(trova()->text(), "rossi");
    }

    void sceltaMantenutaMentreSiDigita()
    {
        // A picked line stays picked while it is shown; when the search hides it nothing is picked.
        cerca("r");
        prova->clickLista(riga(DELLACQUA));
        scheda::digita(trova(), "c");
        QCOMPARE(prova->finestra.testoSelezionato(), linea(DELLACQUA));
        scheda::digita(trova(), "z");
        QCOMPARE(prova->finestra.testoSelezionato(), QString());
        // Hidden while the lines after it stay: none of them is picked in its place.
        cerca("r");
        prova->clickLista(riga(BIANCHI));
        scheda::digita(trova(), "o");
        QCOMPARE(prova->righeLista(), linee({ROSSI, CITTA}));
        QCOMPARE(prova->finestra.testoSelezionato(), QString());
        azzeraMessaggi();
        prova->click("Cmdcancella");
        QCOMPARE(testiMostrati(), QStringList{"Nessun sostituto selezionato per la cancellazione"});
    }

    void cancellazioneSullaListaFiltrata()
    {
        // The substitute of the line picked goes, the others stay; the list keeps the search.
        cerca("o");
        const QString prima = archivio->istantaneaDopo("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?",
                                                        {DANGELO.codazi, DANGELO.cfs});
        prova->clickLista(riga(DANGELO));
        azzeraMessaggi();
        prova->click("Cmdcancella");
        QCOMPARE(testiMostrati().last(), "Cancellazione effettuata");
        QCOMPARE(archivio->istantanea(), prima);
        QCOMPARE(prova->righeLista(), linee({ROSSI, DELLACQUA, CITTA}));
        QCOMPARE(conteggio(), "3 di 5");
    }

    void cambioCfSullaListaFiltrata()
    {
        // The field is locked with the list while the change is under way; the new code shows in the filtered list.
        cerca("verdi");
        prova->clickLista(1);
        prova->click("CmdCambia");
        QVERIFY(!trova()->isEnabled());
        QTest::keyClicks(prova->campo("Text2"), "VRDGPP70A01F205V");
        prova->click("CmdConfermaCF");
        QVERIFY(trova()->isEnabled());
        QCOMPARE(prova->righeLista(), linee({{VERDI.codazi, "VRDGPP70A01F205V", VERDI.cognome, VERDI.nome}}));
        QCOMPARE(archivio->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CFS = 'VRDGPP70A01F205V'"), 1);
    }

    void tastiDellaRicerca()
    {
        // Ctrl+F from the list selects what was typed; Esc empties the field and the list is whole again.
        prova->clickLista(0);
        cerca("rossi");
        prova->lista()->setFocus();
        QTest::keyClick(prova->lista(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), trova());
        QCOMPARE(trova()->selectedText(), "rossi");
        // In the field too, whatever was picked of its text.
        trova()->setCursorPosition(2);
        QTest::keyClick(trova(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(trova()->selectedText(), "rossi");
        // Down goes on to the first substitute found, picked as by a click.
        QVERIFY(!prova->bottone("Cmdcancella")->isEnabled());
        QTest::keyClick(trova(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), prova->lista());
        QCOMPARE(prova->finestra.testoSelezionato(), linea(ROSSI));
        QVERIFY(prova->bottone("Cmdcancella")->isEnabled());
        QTest::keyClick(prova->lista(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(trova(), Qt::Key_Escape);
        QCOMPARE(trova()->text(), "");
        QCOMPARE(prova->righeLista(), linee(TUTTE));
        QCOMPARE(conteggio(), "6 di 6");
        // On the data sheet Ctrl+F does not reach the hidden field.
        QVERIFY(scheda::apri(*prova, {ROSSI.codazi, ROSSI.cfs}));
        QWidget* campo = QApplication::focusWidget();
        QTest::keyClick(campo, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), campo);
    }

    void esportazione()
    {
        // The list as shown, in its order, every field: read back from the file.
        cerca("o");
        ordina(2);
        const QString percorso = cartella.filePath("elenco.csv");
        Dialoghi::setNextFile(percorso);
        azzeraMessaggi();
        prova->click("CmdEsporta");
        QCOMPARE(scheda::boxMostrati(*prova).size(), 1);
        QVERIFY(scheda::boxMostrati(*prova).first().startsWith("64:Esportazione effettuata\r\r4 anagrafiche sostituti"));
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QStringList> righe = leggiCsv(file.readAll());
        QCOMPARE(righe.size(), 5);
        QStringList codici;
        for (const QStringList& r : righe.mid(1))
            codici << r.at(0) + ' ' + r.at(1) + ' ' + r.at(2) + ' ' + r.at(3) + ' ' + r.at(5) + ' ' + r.at(11);
        QCOMPARE(codici, (QStringList{"104 12345678903 COSTRUZIONI CITT\u00c0 ROSSINI SRL  01/01/1970 001",
                                      "103 DNGNCL80A01F205Z D'ANGELO NICOL\u00d2 01/01/1970 001",
                                      "102 DLLMRC66P30D612S DELL'ACQUA MARCO 01/01/1970 001",
                                      "101 RSSMRA75M15H501X ROSSI MARIO 01/01/1970 001"}));
    }

    void esportazioneNonFatta()
    {
        // A cancelled dialog writes nothing and says nothing; a folder that is not there is told.
        Dialoghi::setNextFile(QString());
        azzeraMessaggi();
        prova->click("CmdEsporta");
        QCOMPARE(MessageBox::shown().size(), 0);
        const QString percorso = cartella.filePath("manca/elenco.csv");
        Dialoghi::setNextFile(percorso);
        prova->click("CmdEsporta");
        QCOMPARE(scheda::boxMostrati(*prova).size(), 1);
        QVERIFY(scheda::boxMostrati(*prova).first().startsWith("16:Impossibile scrivere il file\r"));
        // With no line shown there is nothing to export, and no dialog.
        cerca("zzz");
        azzeraMessaggi();
        Dialoghi::setNextFile(cartella.filePath("vuoto.csv"));
        prova->click("CmdEsporta");
        QCOMPARE(scheda::boxMostrati(*prova), QStringList{"64:Nessuna anagrafica sostituto da esportare"});
        QVERIFY(!QFile::exists(cartella.filePath("vuoto.csv")));
        QCOMPARE(Dialoghi::fileDaSalvare(nullptr, {}, {}, {}, {}), cartella.filePath("vuoto.csv")); // never asked
        // Nor anything to print.
        azzeraMessaggi();
        Dialoghi::setNextPdf(cartella.filePath("vuoto.pdf"));
        prova->click("CmdStampa");
        QCOMPARE(scheda::boxMostrati(*prova), QStringList{"64:Nessuna anagrafica sostituto da stampare"});
        QVERIFY(!QFile::exists(cartella.filePath("vuoto.pdf")));
    }

    void stampaSuPdf()
    {
        // Every substitute shown once, with its name and birth, the heading, the page number.
        cerca("o");
        const QString pdf = cartella.filePath("elenco.pdf");
        const QString oggi = QDate::currentDate().toString("dd/MM/yyyy");
        const QString nomeArchivio = "Archivio: " + prova->modulo.NOMEARCHIVIOANNO();
        Dialoghi::setNextPdf(pdf);
        azzeraMessaggi();
        prova->click("CmdStampa");
        QCOMPARE(MessageBox::shown().size(), 0);
        const QString testo = testoPdf(pdf);
        QVERIFY2(!testo.isEmpty(), "pdftotext (poppler-utils) is needed");
        for (const Riga& r : {ROSSI, DELLACQUA, DANGELO, CITTA})
            QCOMPARE(testo.count(r.cfs), 1);
        for (const Riga& r : {BIANCHI, VERDI})
            QCOMPARE(testo.count(r.cfs), 0);
        QVERIFY(testo.contains("D'ANGELO NICOL\u00d2"));
        QCOMPARE(testo.count("01/01/1970 ROMA (RM)"), 4);
        QVERIFY(testo.contains("Anagrafiche sostituti"));
        QVERIFY(testo.contains(oggi));
        QVERIFY(testo.contains(nomeArchivio));
        QVERIFY(testo.contains("Anagrafiche che contengono \u00abo\u00bb: 4 di 6"));
        QVERIFY(testo.contains("Pagina 1 di 1"));
    }

    void stampaDiPiuPagine()
    {
        // Enough substitutes for several pages, names too long for their column:
        // each substitute once, the pages numbered, every word of a name there.
        QList<Riga> molti;
        for (int i = 0; i < 90; ++i) {
            const Riga r{QString("%1").arg(200 + i), QString("NUOVO%1X").arg(i, 5, 10, QChar('0')),
                         QString("COGNOME LUNGHISSIMO NUMERO %1 CON PAROLE").arg(i),
                         "NOME DI BATTESIMO E UNA PAROLASENZAFINEMAIINTERROTTACHENONSTAINNESSUNACOLONNANEANCHEINUNASOLA"
                             + QString::number(i)};
            molti << r;
            archivio->aggiungiSostituto(r.codazi, r.cfs,
                                        {r.cognome, r.nome, "M", "19700101", "SAN GIOVANNI IN PERSICETO", "BO",
                                         "CASTELNUOVO DI GARFAGNANA", "LU", "VIA DEI MILLE CENTO DUECENTO 1234 SCALA B",
                                         "001"});
        }
        prova->finestra.LISTASOSTITUTI();
        const QString pdf = cartella.filePath("lungo.pdf");
        Dialoghi::setNextPdf(pdf);
        prova->click("CmdStampa");
        const QString testo = testoPdf(pdf);
        QVERIFY2(!testo.isEmpty(), "pdftotext (poppler-utils) is needed");
        const QRegularExpression pagine("Pagina (\\d+) di (\\d+)");
        QStringList numeri;
        QString totale;
        for (auto m = pagine.globalMatch(testo); m.hasNext();) {
            const auto p = m.next();
            numeri << p.captured(1);
            totale = p.captured(2);
        }
        QVERIFY(numeri.size() >= 3);
        QCOMPARE(totale, QString::number(numeri.size()));
        for (int n = 0; n < numeri.size(); ++n)
            QCOMPARE(numeri.at(n), QString::number(n + 1));
        // The text in the order it was drawn: each cell's lines one after the other.
        const QString flusso = testoPdf(pdf, {"-raw"});
        QString unito = flusso;
        unito.remove(QRegularExpression("\\s"));
        for (const Riga& r : molti) {
            QCOMPARE(testo.count(r.cfs), 1);
            QCOMPARE(unito.count(QString(r.cognome + r.nome).remove(' ')), 1);
        }
        // No text drawn over another, none off the page.
        int parole = 0;
        QCOMPARE(paroleSovrapposte(pdf, &parole).join(", "), QString());
        QVERIFY(parole > 96 * 20);
    }

    void anteprimaDiStampa()
    {
        // Without a file chosen beforehand the preview opens on the pages, from which the print dialog prints.
        Dialoghi::setAutoCancel(false);
        const auto ripristina = qScopeGuard([] { Dialoghi::setAutoCancel(true); });
        int pagine = -1;
        QTimer::singleShot(0, [&pagine] {
            auto* anteprima = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!anteprima)
                return;
            if (auto* vista = anteprima->findChild<QPrintPreviewWidget*>())
                pagine = vista->pageCount();
            anteprima->reject();
        });
        prova->click("CmdStampa");
        QCOMPARE(pagine, 1);
    }
};

QTEST_MAIN(TestTrova)
#include "tst_trova.moc"
