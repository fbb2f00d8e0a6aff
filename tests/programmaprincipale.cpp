// The hand-back to the suite's main program at exit, as the window system
// answers: its window brought forward when there is one, even when it refuses
// to come; the program started only when no window of it exists.
#include "startup/mod770bas.h"
#include "support/programma.h"

#include <QtTest>

class TestProgrammaPrincipale : public QObject {
    Q_OBJECT

private slots:
    void consegna_data()
    {
        QTest::addColumn<bool>("esiste");
        QTest::addColumn<bool>("siAttiva");
        QTest::addColumn<QString>("fatto");
        QTest::newRow("no window") << false << false << "avvia";
        QTest::newRow("window brought forward") << true << true << "attiva";
        QTest::newRow("window that refuses to come forward") << true << false << "attiva";
    }
    void consegna()
    {
        QFETCH(bool, esiste);
        QFETCH(bool, siAttiva);
        QFETCH(QString, fatto);
        QStringList chiamate;
        FINESTRAPRINCIPALE finestra;
        finestra.esiste = [&] { return esiste; };
        finestra.attiva = [&] {
            chiamate << "attiva";
            return siAttiva;
        };
        finestra.avvia = [&] { chiamate << "avvia"; };
        CONSEGNA(finestra);
        QCOMPARE(chiamate, QStringList{fatto});
    }
};

PROVA(TestProgrammaPrincipale);
#include "programmaprincipale.moc"
