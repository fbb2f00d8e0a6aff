// Helper process of the reliability tests: another program of the suite, or
// the program itself in a process of its own that the test can kill.
//
//   anagsost_figlio blocca FILE esclusivo|immediato [MS]
//       Holds FILE locked (BEGIN EXCLUSIVE or BEGIN IMMEDIATE), writes
//       "BLOCCATO", lets go after MS milliseconds or at a line (or the end)
//       of its standard input, then writes "RILASCIATO" and ends.
//
//   anagsost_figlio opera cancella|cambiacf|memorizza ARCHIVI CODAZI CFS [NUOVOCF]
//       Starts the real window on the archive folder, picks the substitute
//       in the list and, every box answered Yes, deletes it (cancella),
//       changes its codice fiscale to NUOVOCF (cambiacf), or opens its data
//       sheet and saves it over and over, the fields alternating between two
//       complete sets of values (memorizza). Writes "VIA" just before the
//       first click that writes, "FATTO" at the end ("FATTO n" after the n-th
//       save), then waits to be killed. Any box is written as "BOX text".
//       Its configuration and instance lock go under TMPDIR.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/textbox.h"

#include <QApplication>
#include <QThread>

#include <iostream>
#include <string>

namespace {

void scrivi(const QString& riga)
{
    std::cout << qPrintable(riga) << std::endl; // flushed: the test times the lines
}

// True when a box was shown.
bool scriviBox()
{
    for (const QString& testo : testiMostrati())
        scrivi("BOX " + QString(testo).replace('\r', '|'));
    return !testiMostrati().isEmpty();
}

int blocca(const QStringList& a)
{
    {
        ArchivioProva::Blocco blocco(store::Luogo::file(a.at(0)), a.at(1) == "esclusivo");
        scrivi("BLOCCATO");
        std::string riga;
        QThread::msleep(a.value(2).toULong());
        if (a.value(2).isEmpty())
            std::getline(std::cin, riga);
    }
    scrivi("RILASCIATO");
    return 0;
}

int opera(const QStringList& a, FinestraProva& p)
{
    static const QStringList SCHEDA[2] = {
        {"ROSSI", "MARIO", "M", "01/02/1960", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1"},
        {"ROSSINI", "MARIA", "F", "31/12/1975", "TORINO", "TO", "NAPOLI", "NA", "CORSO ITALIA 200 SCALA B"}};
    const int riga = p.avvia() ? p.rigaDi(a.at(2), a.at(3)) : -1;
    if (riga < 1) {
        scriviBox();
        scrivi("ERRORE sostituto non in lista");
        return 1;
    }
    if (a.at(0) == "memorizza") {
        p.doppioClickLista(riga);
        scrivi("VIA");
        for (int n = 1; n <= 100000; ++n) {
            for (int i = 0; i < 9; ++i)
                p.finestra.Text1[i + 1]->setText(SCHEDA[n % 2].at(i));
            p.click("cmdmemorizza");
            if (scriviBox())
                return 1;
            scrivi(QStringLiteral("FATTO %1").arg(n));
        }
    } else {
        const bool cambio = a.at(0) == "cambiacf";
        p.clickLista(riga);
        if (cambio) {
            p.click("CmdCambia");
            QTest::keyClicks(p.campo("Text2"), a.value(4));
        }
        scrivi("VIA");
        p.click(cambio ? "CmdConfermaCF" : "Cmdcancella");
        scrivi("FATTO");
        scriviBox();
    }
    for (std::string riga; std::getline(std::cin, riga);) {
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList a = QApplication::arguments().mid(1);
    if (a.size() >= 3 && a.at(0) == "blocca")
        return blocca(a.mid(1));
    if (a.size() < 5 || a.at(0) != "opera")
        return 2;
    preparaAmbienteProva();
    configura(a.at(2));
    FinestraProva p;
    return opera(a.mid(1), p);
}
