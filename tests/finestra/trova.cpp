// Finding a substitute as the operator types, on the real window: the lines
// kept, the first line always there, the count, Ctrl+F, Esc and Down; clicks
// and deletion on a filtered list, rebuilt with the search; the export and
// the print of the list as shown (the CSV read back, the PDF's text
// extracted). How a text is folded and matched is the core's, every field of
// the file and of the printed rows too (tst_registro).
#include "support/csvprova.h"
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/dialoghi.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTimer>

namespace {

// code|codice fiscale|surname|first name, in key order.
// clang-format off
const QStringList TUTTE = {
    "007|BNCLRA80A41F205Y|BIANCHI|LAURA", "101|RSSMRA75M15H501X|ROSSI|MARIO", "102|DLLMRC66P30D612S|DELL'ACQUA|MARCO",
    "103|DNGNCL80A01F205Z|D'ANGELO|NICOL\u00d2", "104|12345678903|COSTRUZIONI CITT\u00c0 ROSSINI SRL|",
    "105|VRDGPP70A01F205X|VERDI|GIUSEPPE"};
// clang-format on

Chiave chiave(const QString& codazi)
{
    const QString r = TUTTE.filter(QRegularExpression("^" + codazi)).value(0);
    return {r.section('|', 0, 0), r.section('|', 1, 1)};
}
QString linea(const QString& codazi)
{
    const QString r = TUTTE.filter(QRegularExpression("^" + codazi)).value(0);
    return lineaElenco(r.section('|', 0, 0), r.section('|', 1, 1), r.section('|', 2, 2) + ' ' + r.section('|', 3));
}
// The list's lines: the insertion entry, then the rows of the codes given.
QStringList linee(const QString& codici)
{
    QStringList l{PRIMALINEA};
    for (const QString& c : codici.split(' ', Qt::SkipEmptyParts))
        l << linea(c);
    return l;
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
    // The boxes shown by a click on a button.
    QStringList clickBox(const char* bottone)
    {
        azzeraMessaggi();
        p->click(bottone);
        return p->box();
    }

private slots:
    void init()
    {
        p = std::make_unique<BancoProva>();
        for (auto r = TUTTE.crbegin(); r != TUTTE.crend(); ++r) // out of key order
            p->sostituto(chiave(r->left(3)), {"1=" + r->section('|', 2, 2), "2=" + r->section('|', 3)});
        QVERIFY(p->avvia());
    }
    void cleanup()
    {
        Dialoghi::clearNext();
        p.reset();
    }

    void righeEScelta()
    {
        // Typed with real keys: the lines holding the text kept in key order after the first, the count among all.
        for (const auto& [testo, codici] :
             {std::pair{"rossi", "101 104"}, {"zzz", ""}, {"", "007 101 102 103 104 105"}}) {
            cerca(testo);
            QCOMPARE(p->righeLista(), linee(codici));
            QCOMPARE(conteggio(), QString("%1 di 6").arg(linee(codici).size() - 1));
        }
        // A picked line stays picked while it is shown; when the search hides it nothing is picked, not even
        // when lines after it stay.
        cerca("r");
        p->clickLista(p->rigaDi(chiave("102")));
        digita(trova(), "c");
        QCOMPARE(p->scelta(), linea("102"));
        digita(trova(), "z");
        QCOMPARE(p->scelta(), QString());
        cerca("r");
        p->clickLista(p->rigaDi(chiave("007")));
        digita(trova(), "o");
        QCOMPARE(p->righeLista(), linee("101 104"));
        QCOMPARE(p->scelta(), QString());
    }

    void sullaListaFiltrata()
    {
        // A double click opens the substitute of its line; back to the list, rebuilt, the search still applied.
        // A deletion takes the substitute of the line picked, the others stay. The field is locked with the list
        // while a change of codice fiscale is under way.
        cerca("o");
        p->doppioClickLista(p->rigaDi(chiave("103")));
        QVERIFY(p->mostra(chiave("103")));
        p->click("cmdselprec");
        QCOMPARE(p->righeLista(), linee("101 102 103 104"));
        p->clickLista(p->rigaDi(chiave("103")));
        QCOMPARE(clickBox("Cmdcancella").last(), "64:Cancellazione effettuata");
        QCOMPARE(p->righeLista(), linee("101 102 104"));
        QCOMPARE(conteggio(), "3 di 5");
        p->clickLista(1);
        p->click("CmdCambia");
        QVERIFY(!trova()->isEnabled());
        p->click("CmdAnnullaCF");
        QVERIFY(trova()->isEnabled());
    }

    void tastiDellaRicerca()
    {
        // Ctrl+F from the list selects what was typed in the field; Down goes on to the first substitute found,
        // picked as by a click; Esc empties the field.
        p->clickLista(0);
        cerca("rossi");
        p->lista()->setFocus();
        QTest::keyClick(p->lista(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(trova()->selectedText(), "rossi");
        QVERIFY(!p->bottone("Cmdcancella")->isEnabled());
        QTest::keyClick(trova(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), p->lista());
        QCOMPARE(p->scelta(), linea("101"));
        QVERIFY(p->bottone("Cmdcancella")->isEnabled());
        QTest::keyClick(p->lista(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(trova(), Qt::Key_Escape);
        QCOMPARE(p->righeLista(), linee("007 101 102 103 104 105"));
    }

    void esportazione()
    {
        // The lines shown, in their order, read back from the file; what is written is told; a cancelled dialog
        // writes nothing and says nothing; a folder that is not there is told; with no line shown nothing to
        // export or print, no dialog, no file.
        cerca("o");
        QTest::mouseClick(p->controllo<QWidget>("Option1(2)"), Qt::LeftButton);
        Dialoghi::setNextFile(cartella.filePath("elenco.csv"));
        const QStringList box = clickBox("CmdEsporta");
        QVERIFY2(box.size() == 1 && box.first().startsWith("64:Esportazione effettuata\r\r4 anagrafiche"),
                 qPrintable(box[0]));
        QFile file(cartella.filePath("elenco.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList codici;
        for (const QStringList& r : leggiCsv(file.readAll()).mid(1))
            codici << r.at(0) + ' ' + r.at(1);
        QCOMPARE(codici.join(','), "104 12345678903,103 DNGNCL80A01F205Z,102 DLLMRC66P30D612S,101 RSSMRA75M15H501X");
        Dialoghi::setNextFile(QString());
        QCOMPARE(clickBox("CmdEsporta"), QStringList());
        Dialoghi::setNextFile(cartella.filePath("manca/elenco.csv"));
        QVERIFY(clickBox("CmdEsporta").value(0).startsWith("16:Impossibile scrivere il file\r"));
        cerca("zzz");
        Dialoghi::setNextFile(cartella.filePath("vuoto.csv"));
        QCOMPARE(clickBox("CmdEsporta"), QStringList{"64:Nessuna anagrafica sostituto da esportare"});
        Dialoghi::setNextPdf(cartella.filePath("vuoto.pdf"));
        QCOMPARE(clickBox("CmdStampa"), QStringList{"64:Nessuna anagrafica sostituto da stampare"});
        QCOMPARE(QDir(cartella.path()).entryList(QDir::Files), QStringList{"elenco.csv"});
    }

    void stampaSuPdf()
    {
        // Enough substitutes for several pages, names too long for their column, a search: the heading on every
        // page, each substitute shown once with every word of its name, the others not, the pages numbered.
        QStringList trovate{"RSSMRA75M15H501X", "12345678903"}, nomi{"ROSSIMARIO", "COSTRUZIONICITTÀROSSINISRL"};
        for (int i = 0; i < 90; ++i) {
            trovate << QString("NUOVO%1X").arg(i, 5, 10, QChar('0'));
            const QString parola =
                QString("PAROLASENZAFINEMAIINTERROTTACHENONSTAINNESSUNACOLONNANEANCHEINUNASOLA%1").arg(i);
            nomi << QString("COGNOMELUNGHISSIMONUMERO%1CONPAROLENOMEDIBATTESIMOEUNA").arg(i) + parola;
            p->sostituto({QString::number(200 + i), trovate.last()},
                         {QString("1=COGNOME LUNGHISSIMO NUMERO %1 CON PAROLE").arg(i),
                          "2=NOME DI BATTESIMO E UNA " + parola, "5=SAN GIOVANNI IN PERSICETO",
                          "7=CASTELNUOVO DI GARFAGNANA", "9=VIA DEI MILLE CENTO DUECENTO 1234 SCALA B"});
        }
        const QString intestazione = "Archivio: " + p->modulo.NOMEARCHIVIOANNO();
        p->finestra.LISTASOSTITUTI();
        cerca("ro");
        const QString pdf = cartella.filePath("elenco.pdf");
        Dialoghi::setNextPdf(pdf);
        QCOMPARE(clickBox("CmdStampa"), QStringList());
        const QString testo = pdftotext(pdf);
        QVERIFY2(!testo.isEmpty(), "pdftotext (poppler-utils) is needed");
        // The text in the order it was drawn: each cell's lines one after the other.
        const QString unito = pdftotext(pdf, {"-raw"}).remove(QRegularExpression("\\s"));
        for (int i = 0; i < trovate.size(); ++i)
            QCOMPARE(QString("%1 %2").arg(testo.count(trovate[i])).arg(unito.count(nomi[i])), "1 1");
        for (const QString altro : {"BNCLRA80A41F205Y", "DLLMRC66P30D612S", "DNGNCL80A01F205Z", "VRDGPP70A01F205X"})
            QCOMPARE(testo.count(altro), 0);
        const int pagine = int(testo.count('\f')); // pdftotext ends each page with a form feed
        QVERIFY(pagine >= 3);
        QStringList piedi, attesi;
        for (auto m = QRegularExpression("Pagina \\d+ di \\d+").globalMatch(testo); m.hasNext();)
            piedi << m.next().captured();
        for (int n = 1; n <= pagine; ++n)
            attesi << QString("Pagina %1 di %2").arg(n).arg(pagine);
        QCOMPARE(piedi, attesi);
        for (const QString& riga : {QString("Anagrafiche sostituti"), QDate::currentDate().toString("dd/MM/yyyy"),
                                    intestazione, QString("Anagrafiche che contengono \u00abro\u00bb: 92 di 96")})
            QCOMPARE(testo.count(riga), pagine);
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

PROVA(TestTrova);
#include "trova.moc"
