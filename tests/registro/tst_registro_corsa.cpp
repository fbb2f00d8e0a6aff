// Two clerks at the same moment: two connections, one thread each, released
// together behind a barrier, round after round, to register one new code or
// to give it to their substitute. Each round exactly one wins; the other is
// told the code is already present (never a failure of the store) and the
// archive holds the code once: the checks run under the write's own lock.
#include "registroprova.h"

#include "registry/cambiacf.h"
#include "registry/memorizza.h"
#include "registry/testi.h"

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace registro;

namespace {

constexpr int GIRI = 100;
const QString VINCE = "vince";

// Lets the threads go on together once all have arrived; used again every round.
class Barriera {
public:
    explicit Barriera(int fili) : m_fili(fili) {}
    void aspetta()
    {
        std::unique_lock<std::mutex> blocco(m_mutex);
        const int giro = m_giro;
        if (++m_arrivati == m_fili) {
            m_arrivati = 0;
            ++m_giro;
            m_cambiato.notify_all();
            return;
        }
        m_cambiato.wait(blocco, [&] { return m_giro != giro; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cambiato;
    const int m_fili;
    int m_arrivati = 0;
    int m_giro = 0;
};

// A new code each round: nobody's yet.
QString codice(int giro)
{
    return QStringLiteral("CORSA%1").arg(giro, 11, 10, QLatin1Char('0'));
}

// A company's sheet with its codes, passing the sheet's checks.
Sostituto nuovo(const QString& codazi, const QString& cfs)
{
    return daTestiScheda(codazi, cfs, {"DITTA " + codazi, "", "", "00/00/0000", "", "", "ROMA", "RM", "VIA", "001"});
}

} // namespace

class TestRegistroCorsa : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        a = annoVuoto();
        a->aggiungiFrontespizio("001", quartiere::DICHIARANTE, {}, {}, "ALFA SRL");
    }
    void cleanup() { a.reset(); }

    void unoSolo_data()
    {
        QTest::addColumn<QString>("azione");
        QTest::addColumn<QString>("perdente");  // what the other clerk is told
        QTest::addColumn<QString>("colonna");   // where the code is stored once
        QTest::newRow("insertion, one codice fiscale") << "cf" << testi::CFSOSTITUTO << "CFS";
        QTest::newRow("insertion, one company code") << "azienda" << testi::AZIENDASOSTITUTO << "CODAZI";
        QTest::newRow("change of codice fiscale") << "cambio" << testi::CFSOSTITUTO << "CFS";
    }
    void unoSolo()
    {
        QFETCH(QString, azione);
        QFETCH(QString, perdente);
        QFETCH(QString, colonna);
        // Each round each clerk re-keys a substitute of its own: 4gn, 4gn+1.
        if (azione == "cambio")
            for (int i = 0; i < 2 * GIRI; ++i)
                a->aggiungiSostituto(QString::number(400 + i), "ORIGINALE" + QString::number(i),
                                     {"DITTA", "", "", "00000000", "", "", "ROMA", "RM", "VIA", "001"});
        QString esiti[GIRI][2];
        Barriera barriera(2);
        const store::Luogo luogo = a->luogoAnno();
        auto impiegato = [&](int n) {
            auto db = store::Database::OpenDatabase(luogo, store::OpzioniArchivio{20000});
            const Tabelle tabelle = apriTabelle(*db);
            const Archivio archivio{*db, *tabelle.frontespizi, *tabelle.sostituti, *tabelle.province};
            const auto dice = [](const QString&, int) { return 6; }; // Yes to the form check's question
            for (int giro = 0; giro < GIRI; ++giro) {
                // The substitute this clerk registers (its codes), or re-keys.
                const QString codazi = QString::number(azione == "azienda" ? 200 + giro
                                                       : azione == "cf"    ? 300 + 2 * giro + n
                                                                           : 400 + 2 * giro + n);
                const QString cfs = azione == "cambio" ? "ORIGINALE" + QString::number(2 * giro + n) : QString();
                const QString nuovoCf = azione == "azienda" ? codice(2 * giro + n) : codice(giro);
                QString esito;
                bool insieme = false;
                try {
                    // As each clerk saw it at "Conferma": nobody had the code.
                    const bool libero = azione == "cambio"
                        ? controllaCambio(archivio, codazi, store::CHIAVECF(cfs), nuovoCf, dice).accettato()
                        : controllaInserimento(archivio, {codazi, nuovoCf, "DITTA", "", "001"}, dice).accettato();
                    barriera.aspetta();
                    insieme = true;
                    if (!libero) {
                        esito = "rifiutato prima";
                    } else if (azione == "cambio") {
                        const EsitoCambio e = cambiaCodiceFiscale(archivio, codazi, store::CHIAVECF(cfs),
                                                                  quartiere::DICHIARANTE, nuovoCf);
                        esito = e.tipo == EsitoCambio::Tipo::Eseguito ? VINCE
                            : e.tipo == EsitoCambio::Tipo::InUso      ? e.messaggio
                                                                      : "esito " + QString::number(int(e.tipo));
                    } else {
                        const EsitoMemorizza e = memorizza(archivio, nuovo(codazi, nuovoCf), std::nullopt);
                        esito = e.tipo == EsitoMemorizza::Tipo::Memorizzato ? VINCE
                            : e.tipo == EsitoMemorizza::Tipo::InUso         ? e.messaggio
                                                                            : "esito " + QString::number(int(e.tipo));
                    }
                } catch (const store::ErroreArchivio& e) {
                    esito = QString::fromUtf8(e.what());
                    if (!insieme)
                        barriera.aspetta(); // the other clerk is not left waiting
                }
                esiti[giro][n] = esito;
                barriera.aspetta(); // the round is over for both
            }
        };
        std::thread primo(impiegato, 0), secondo(impiegato, 1);
        primo.join();
        secondo.join();
        for (int giro = 0; giro < GIRI; ++giro) {
            QStringList coppia{esiti[giro][0], esiti[giro][1]};
            coppia.sort(); // the message before VINCE
            QCOMPARE(QString::number(giro) + ": " + coppia.join(" / "),
                     QString::number(giro) + ": " + perdente + " / " + VINCE);
            const QString valore = colonna == "CODAZI" ? QString::number(200 + giro) : codice(giro);
            QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE " + colonna + " = ?", {valore}), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestRegistroCorsa)
#include "tst_registro_corsa.moc"
