#include "registry/verifica.h"

#include "checks/codicifiscali.h"
#include "checks/controllocodice.h"
#include "registry/archivio.h"
#include "registry/dalcodice.h"
#include "registry/sostituto.h"
#include "store/chiavi.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace registro {

namespace {

using Tipo = TipoSegnalazione;

// The program's keys compare without their trailing blanks, on the file as
// on the server.
QString senzaCoda(const QString& testo)
{
    qsizetype fine = testo.size();
    while (fine > 0 && testo.at(fine - 1) == QLatin1Char(' '))
        --fine;
    return fine == testo.size() ? testo : testo.left(fine);
}

bool vuoto(const QString& testo)
{
    return testo.trimmed().isEmpty();
}

// A registry or section row's key, one text.
QString chiave(const QString& codazi, const QString& cfs)
{
    return senzaCoda(codazi) + QChar(0) + senzaCoda(cfs);
}

// The provinces, the front pages' company codes and the section rows by
// company and code, in one statement: each table read once. ORIGINE tells
// the table: 0 the provinces, 1 the front pages, 2 on the sections in QUADRI's order.
QString selezioneTabelle()
{
    QStringList parti{
        QStringLiteral("SELECT 0 AS ORIGINE, codprov AS CODAZI, NULL AS CFS, 0 AS RIGHE FROM TABMIN_PROV"),
        QStringLiteral("SELECT 1, CODAZI, NULL, 0 FROM FRONTESPIZIO")};
    for (int i = 0; i < QUADRI.size(); ++i) {
        parti << QStringLiteral("SELECT %1, CODAZI, CFS, COUNT(*) FROM %2 GROUP BY CODAZI, CFS")
                     .arg(i + 2)
                     .arg(QUADRI.at(i));
    }
    return parti.join(QStringLiteral(" UNION ALL "));
}

// Section rows of one company and code, per table in QUADRI's order.
struct RigheQuadri {
    QString codazi;
    QString cfs;
    std::array<qint64, 6> righe{};
};

struct Letture {
    QSet<QString> province;
    QSet<QString> aziende; // the front pages' company codes
    QHash<QString, RigheQuadri> quadri;
};

Letture leggiTabelle(store::Database& db)
{
    Letture t;
    const auto righe = db.OpenRecordset(selezioneTabelle());
    for (; !righe->Eof(); righe->MoveNext()) {
        const int origine = righe->Value(QStringLiteral("ORIGINE")).toInt();
        const QString codazi = righe->Fields(QStringLiteral("CODAZI"));
        if (origine == 0) {
            t.province.insert(senzaCoda(codazi));
        } else if (origine == 1) {
            t.aziende.insert(senzaCoda(codazi));
        } else {
            const QString cfs = righe->Fields(QStringLiteral("CFS"));
            RigheQuadri& r = t.quadri[chiave(codazi, cfs)];
            if (r.codazi.isEmpty() && r.cfs.isEmpty()) {
                r.codazi = senzaCoda(codazi);
                r.cfs = senzaCoda(cfs);
            }
            r.righe[std::size_t(origine - 2)] += righe->Value(QStringLiteral("RIGHE")).toLongLong();
        }
    }
    return t;
}

// The archive must have what the check reads: a table or field missing is
// named, not met half-way.
void richiediTabelle(store::Database& db)
{
    QStringList campi{QStringLiteral("CODAZI"), QStringLiteral("CFS")};
    for (int n = 1; n <= 10; ++n)
        campi << campoAsost(n);
    db.richiedi(SOSTITUTI, campi);
    db.richiedi(QStringLiteral("TABMIN_PROV"), {QStringLiteral("codprov")});
    db.richiedi(QStringLiteral("FRONTESPIZIO"), {QStringLiteral("CODAZI")});
    for (const QString& quadro : QUADRI)
        db.richiedi(quadro, {QStringLiteral("CODAZI"), QStringLiteral("CFS")});
}

class Verifica {
public:
    explicit Verifica(const Letture& tabelle) : m_tabelle(tabelle) {}

    void sostituto(const Sostituto& s)
    {
        m_nominativo = (s.cognome.trimmed() + QLatin1Char(' ') + s.nome.trimmed()).trimmed();
        m_corrente = &s;
        codice(s);
        datiMancanti(s);
        nascita(s);
        province(s);
        collegata(s);
        m_registro.insert(chiave(s.codazi, s.cfs));
        m_codici[s.cfs.trimmed().toUpper()].append({s.codazi, s.cfs, m_nominativo});
    }

    // What can be told only once every row has been read.
    std::vector<Segnalazione> concludi()
    {
        codiciDoppi();
        righeOrfane();
        std::sort(m_segnalazioni.begin(), m_segnalazioni.end(), [](const Segnalazione& a, const Segnalazione& b) {
            const QString ca = senzaCoda(a.codazi), cb = senzaCoda(b.codazi);
            if (ca != cb)
                return ca < cb;
            const QString fa = a.cfs.trimmed(), fb = b.cfs.trimmed();
            if (fa != fb)
                return fa < fb;
            if (a.tipo != b.tipo)
                return a.tipo < b.tipo;
            return a.messaggio < b.messaggio;
        });
        return std::move(m_segnalazioni);
    }

private:
    struct Riga {
        QString codazi, cfs, nominativo;
    };

    void segnala(Tipo tipo, const QString& messaggio)
    {
        m_segnalazioni.push_back({m_corrente->codazi, m_corrente->cfs, m_nominativo, tipo, messaggio});
    }

    // The form check of the insertion and of the change of codice fiscale,
    // its first message taken as the finding's.
    void codice(const Sostituto& s)
    {
        const QString codice = senzaCoda(s.cfs);
        if (vuoto(codice)) {
            segnala(Tipo::CfErrato, QStringLiteral("Codice fiscale mancante"));
            return;
        }
        QString messaggio;
        CONTROLLOCODICE(codice, QString(), [&messaggio](const QString& testo, int, const QString&) {
            messaggio = testo.section(CR, 0, 0);
            return int(vbNo);
        });
        if (!messaggio.isEmpty())
            segnala(ISNUMERIC(codice) ? Tipo::PivaErrata : Tipo::CfErrato, messaggio);
    }

    void datiMancanti(const Sostituto& s)
    {
        QStringList mancanti;
        bool errati = false;
        const auto manca = [&mancanti](bool vero, const char* dato) {
            if (vero)
                mancanti << QString::fromUtf8(dato);
        };
        manca(vuoto(s.cognome), "cognome o denominazione");
        if (s.personaFisica()) {
            manca(vuoto(s.sesso), "sesso");
            // A date the sheet cannot show is wrong, unless nothing is there.
            if (s.nascita.nonValida() && !vuoto(s.nascita.perArchivio())) {
                mancanti << QStringLiteral("data di nascita errata");
                errati = true;
            } else {
                manca(!s.nascita.valida(), "data di nascita");
            }
            manca(vuoto(s.comuneNascita), "comune di nascita");
            manca(vuoto(s.provinciaNascita), "provincia di nascita");
        }
        manca(vuoto(s.comune), "comune di residenza");
        manca(vuoto(s.provincia), "provincia di residenza");
        manca(vuoto(s.indirizzo), "indirizzo");
        if (!mancanti.isEmpty()) {
            segnala(Tipo::DatiMancanti,
                    (errati ? QStringLiteral("Dati mancanti o errati: ") : QStringLiteral("Dati mancanti: ")) +
                        mancanti.join(QStringLiteral(", ")));
        }
    }

    // What the sheet's line below its note says, for the birth data.
    void nascita(const Sostituto& s)
    {
        const auto confronto = checks::confrontaCodiceFiscale(schedaNascita(s), s.cfs);
        if (!confronto)
            return;
        QList<checks::DatoAnagrafico> diversi;
        for (const checks::DatoAnagrafico dato : confronto->discordanti) {
            if (dato != checks::DatoAnagrafico::Cognome && dato != checks::DatoAnagrafico::Nome)
                diversi << dato;
        }
        if (!diversi.isEmpty())
            segnala(Tipo::NascitaDiversa, checks::rigaDiscordanze(diversi));
    }

    void province(const Sostituto& s)
    {
        QStringList sconosciute;
        const auto cerca = [&](const QString& provincia, const QString& quale) {
            if (!vuoto(provincia) && !m_tabelle.province.contains(senzaCoda(provincia)))
                sconosciute << quale + QLatin1Char(' ') + provincia.trimmed();
        };
        if (s.personaFisica())
            cerca(s.provinciaNascita, QStringLiteral("provincia di nascita"));
        cerca(s.provincia, QStringLiteral("provincia di residenza"));
        if (!sconosciute.isEmpty()) {
            segnala(Tipo::ProvinciaSconosciuta, QStringLiteral("Non presenti nella tabella delle province: ") +
                                                    sconosciute.join(QStringLiteral(", ")));
        }
    }

    void collegata(const Sostituto& s)
    {
        if (m_tabelle.aziende.contains(store::CHIAVEAZI(s.collegata)))
            return;
        segnala(Tipo::AziendaSenzaFrontespizio,
                vuoto(s.collegata) ? QStringLiteral("Codice azienda collegata non indicato")
                                   : QStringLiteral("Il codice azienda collegata %1 non è presente nel frontespizio")
                                         .arg(s.collegata.trimmed()));
    }

    void codiciDoppi()
    {
        for (const QList<Riga>& righe : std::as_const(m_codici)) {
            if (righe.size() < 2)
                continue;
            for (const Riga& r : righe) {
                QStringList altre;
                for (const Riga& altra : righe) {
                    if (&altra != &r)
                        altre << senzaCoda(altra.codazi) + QLatin1Char(' ') + altra.cfs.trimmed();
                }
                m_segnalazioni.push_back(
                    {r.codazi, r.cfs, r.nominativo, Tipo::CodiceDoppio,
                     QStringLiteral("Codice fiscale presente anche in: ") + altre.join(QStringLiteral(", "))});
            }
        }
    }

    void righeOrfane()
    {
        for (auto q = m_tabelle.quadri.cbegin(); q != m_tabelle.quadri.cend(); ++q) {
            if (m_registro.contains(q.key()))
                continue;
            QStringList tabelle;
            for (std::size_t i = 0; i < q->righe.size(); ++i) {
                if (q->righe[i] > 0)
                    tabelle << QStringLiteral("%1 in %2").arg(q->righe[i]).arg(QUADRI.at(int(i)));
            }
            m_segnalazioni.push_back(
                {q->codazi, q->cfs, QString(), Tipo::RigheOrfane,
                 QStringLiteral("Righe dei quadri senza anagrafica sostituto: ") + tabelle.join(QStringLiteral(", "))});
        }
    }

    const Letture& m_tabelle;
    const Sostituto* m_corrente = nullptr;
    QString m_nominativo;
    QSet<QString> m_registro;             // every registry row's key
    QHash<QString, QList<Riga>> m_codici; // registry rows by code in key form
    std::vector<Segnalazione> m_segnalazioni;
};

} // namespace

QString codiceSegnalazione(TipoSegnalazione tipo)
{
    switch (tipo) {
    case Tipo::CfErrato:
        return QStringLiteral("CF_ERRATO");
    case Tipo::PivaErrata:
        return QStringLiteral("PIVA_ERRATA");
    case Tipo::DatiMancanti:
        return QStringLiteral("DATI_MANCANTI");
    case Tipo::NascitaDiversa:
        return QStringLiteral("NASCITA_DIVERSA");
    case Tipo::ProvinciaSconosciuta:
        return QStringLiteral("PROVINCIA_SCONOSCIUTA");
    case Tipo::AziendaSenzaFrontespizio:
        return QStringLiteral("AZIENDA_SENZA_FRONTESPIZIO");
    case Tipo::CodiceDoppio:
        return QStringLiteral("CODICE_DOPPIO");
    case Tipo::RigheOrfane:
        return QStringLiteral("RIGHE_ORFANE");
    }
    return QString();
}

QString descrizioneSegnalazione(TipoSegnalazione tipo)
{
    switch (tipo) {
    case Tipo::CfErrato:
        return QStringLiteral("codice fiscale errato");
    case Tipo::PivaErrata:
        return QStringLiteral("partita IVA errata");
    case Tipo::DatiMancanti:
        return QStringLiteral("dati mancanti");
    case Tipo::NascitaDiversa:
        return QStringLiteral("nascita diversa dal codice fiscale");
    case Tipo::ProvinciaSconosciuta:
        return QStringLiteral("provincia sconosciuta");
    case Tipo::AziendaSenzaFrontespizio:
        return QStringLiteral("azienda collegata senza frontespizio");
    case Tipo::CodiceDoppio:
        return QStringLiteral("codice fiscale ripetuto");
    case Tipo::RigheOrfane:
        return QStringLiteral("righe dei quadri senza anagrafica");
    }
    return QString();
}

std::vector<Segnalazione> verificaArchivio(store::Database& db)
{
    richiediTabelle(db);
    const Letture tabelle = leggiTabelle(db);
    Verifica verifica(tabelle);
    const auto registro = db.OpenRecordset(QStringLiteral("SELECT * FROM ANAGSOSTITUTI"));
    for (; !registro->Eof(); registro->MoveNext())
        verifica.sostituto(daIstantanea(leggiIstantanea(*registro)));
    return verifica.concludi();
}

QString riepilogoSegnalazioni(const std::vector<Segnalazione>& segnalazioni)
{
    QStringList tipi;
    for (const Tipo tipo : TIPISEGNALAZIONE) {
        const auto n = std::count_if(segnalazioni.begin(), segnalazioni.end(),
                                     [tipo](const Segnalazione& s) { return s.tipo == tipo; });
        if (n > 0)
            tipi << descrizioneSegnalazione(tipo) + QLatin1Char(' ') + QString::number(n);
    }
    const QString quante = segnalazioni.size() == 1 ? QStringLiteral("1 segnalazione")
                                                    : QStringLiteral("%1 segnalazioni").arg(segnalazioni.size());
    return tipi.isEmpty() ? quante : quante + QStringLiteral(": ") + tipi.join(QStringLiteral(", "));
}

} // namespace registro
