// Helper process of the crash test: the program itself in a process of its
// own that the test can kill.
//
//   anagsost_figlio opera cancella|cambiacf ARCHIVI CODAZI CFS [NUOVOCF]
//       Starts the real window on the archive folder, picks the substitute
//       in the list and, every box answered Yes, deletes it (cancella) or
//       changes its codice fiscale to NUOVOCF (cambiacf). Writes "VIA" just
//       before the click that writes, "FATTO" at the end. Any box is written
//       as "BOX text".
//       Its configuration and instance lock go under TMPDIR.
#include "support/finestraprova.h"

#include <QApplication>

#include <iostream>

namespace {

void scrivi(const QString& riga)
{
    std::cout << qPrintable(riga) << std::endl; // flushed: the test times the lines
}

void scriviBox()
{
    for (const QString& testo : testiMostrati())
        scrivi("BOX " + QString(testo).replace('\r', '|'));
}

int opera(const QStringList& a, FinestraProva& p)
{
    const int riga = p.avvia() ? p.rigaDi({a.at(2), a.at(3)}) : -1;
    if (riga < 1) {
        scriviBox();
        return 1;
    }
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
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList a = QApplication::arguments().mid(1);
    if (a.size() < 5 || a.at(0) != "opera")
        return 2;
    preparaAmbienteProva();
    configura(a.at(2));
    FinestraProva p;
    return opera(a.mid(1), p);
}
