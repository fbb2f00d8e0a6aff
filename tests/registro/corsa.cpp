// Two clerks at the same moment: two connections, one thread each, released
// together behind a barrier, round after round, to register one new code or
// to give it to their substitute. Each round exactly one wins; the other is
// told the code is already present (never a failure of the store) and the
// archive holds the code once: the checks run under the write's own lock.
#include "registroprova.h"

#include "registry/cambiacf.h"
#include "registry/memorizza.h"
#include "registry/testi.h"

#include <atomic>
#include <thread>

using namespace registro;

namespace {

constexpr int GIRI = 100;
const QString VINCE = "vince";

// A new code each round: nobody's yet.
QString codice(int n)
{
    return QStringLiteral("CORSA%1").arg(n, 11, 10, QLatin1Char('0'));
}

} // namespace

class TestRegistroCorsa : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void init()
    {
        a = annoVuoto();
        a->aggiungiFrontespizio("001", quartiere::DICHIARANTE, {}, {}, "ALFA SRL");
    }
    void cleanup() { a.reset(); }

    void unoSolo_data()
    {
        QTest::addColumn<QString>("azione");
        QTest::addColumn<QString>("perdente"); // what the other clerk is told
        QTest::addColumn<QString>("colonna");  // where the code is stored once
        QTest::newRow("insertion, one codice fiscale") << "cf" << testi::CFSOSTITUTO << "CFS";
        QTest::newRow("insertion, one company code") << "azienda" << testi::AZIENDASOSTITUTO << "CODAZI";
        QTest::newRow("change of codice fiscale") << "cambio" << testi::CFSOSTITUTO << "CFS";
    }
    void unoSolo()
    {
        QFETCH(QString, azione);
        QFETCH(QString, perdente);
        QFETCH(QString, colonna);
        // Round g: clerk n registers company 200+g (or 300+2g+n) with code g (or 2g+n), or re-keys 400+2g+n to code g.
        for (int i = 0; azione == "cambio" && i < 2 * GIRI; ++i)
            a->aggiungiSostituto(QString::number(400 + i), "ORIGINALE" + QString::number(i),
                                 {"DITTA", "", "", "00000000", "", "", "ROMA", "RM", "VIA", "001"});
        QString esiti[GIRI][2];
        std::atomic<int> arrivati{0};
        const store::Luogo luogo = a->luogoAnno();
        auto impiegato = [&](int n) {
            auto db = store::Database::OpenDatabase(luogo, store::OpzioniArchivio{20000});
            const Tabelle t = apriTabelle(*db);
            const Archivio archivio{*db, *t.frontespizi, *t.sostituti, *t.province};
            for (int g = 0; g < GIRI; ++g) {
                const QString codazi = QString::number(azione == "azienda" ? 200 + g
                                                       : azione == "cf"    ? 300 + 2 * g + n
                                                                           : 400 + 2 * g + n);
                const QString nuovo = codice(azione == "azienda" ? 2 * g + n : g);
                // The barrier: both clerks here before either goes on.
                for (++arrivati; arrivati < 2 * (g + 1);)
                    std::this_thread::yield();
                if (azione == "cambio") {
                    const EsitoCambio e = cambiaCodiceFiscale(
                        archivio, codazi, "ORIGINALE" + QString::number(2 * g + n), quartiere::DICHIARANTE, nuovo);
                    esiti[g][n] = e.tipo == EsitoCambio::Tipo::Eseguito ? VINCE : e.messaggio;
                } else {
                    const TestiScheda s = {"DITTA", "", "", "00/00/0000", "", "", "ROMA", "RM", "VIA", "001"};
                    const EsitoMemorizza e = memorizza(archivio, daTestiScheda(codazi, nuovo, s), std::nullopt);
                    esiti[g][n] = e.tipo == EsitoMemorizza::Tipo::Memorizzato ? VINCE : e.messaggio;
                }
            }
        };
        std::thread primo(impiegato, 0), secondo(impiegato, 1);
        primo.join();
        secondo.join();
        for (int g = 0; g < GIRI; ++g) {
            QStringList coppia{esiti[g][0], esiti[g][1]};
            coppia.sort(); // the message before VINCE
            QCOMPARE(QString::number(g) + ": " + coppia.join(" / "),
                     QString::number(g) + ": " + perdente + " / " + VINCE);
            const QString valore = colonna == "CODAZI" ? QString::number(200 + g) : codice(g);
            QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE " + colonna + " = ?", {valore}), 1);
        }
    }
};

PROVA(TestRegistroCorsa);
#include "corsa.moc"
