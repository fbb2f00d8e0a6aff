#include "registry/verifica.h"

#include "registry/archivio.h"
#include "registry/regolesostituto.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace registro {

namespace {

using Tipo = TipoSegnalazione;
using namespace verifica;

// A registry or section row's key as one text, written into `chiave`.
void componiChiave(QString& chiave, const QString& codazi, const QString& cfs)
{
    chiave.clear();
    chiave.append(senzaCoda(codazi));
    chiave.append(QChar(0));
    chiave.append(senzaCoda(cfs));
}

// The same key held in place, for the keys of the program's own forms
// (company code of 3, codice fiscale of 16): a set of them is looked up for
// every section row without reaching for texts scattered over the memory.
struct ChiaveBreve {
    std::array<char16_t, 22> testo{};
    quint8 azienda = 0; // how many of testo's characters are the company code,
    quint8 codice = 0;  // and how many after them the codice fiscale

    // False, and the key unusable, when the two do not fit.
    bool componi(const QString& codazi, const QString& cfs)
    {
        const QString a = senzaCoda(codazi), c = senzaCoda(cfs);
        if (a.size() + c.size() > qsizetype(testo.size()))
            return false;
        testo.fill(0);
        std::copy(a.utf16(), a.utf16() + a.size(), testo.begin());
        std::copy(c.utf16(), c.utf16() + c.size(), testo.begin() + a.size());
        azienda = quint8(a.size());
        codice = quint8(c.size());
        return true;
    }
    friend bool operator==(const ChiaveBreve& x, const ChiaveBreve& y)
    {
        return x.azienda == y.azienda && x.codice == y.codice && x.testo == y.testo;
    }
};
size_t qHash(const ChiaveBreve& k, size_t seme = 0)
{
    return qHashMulti(seme, qHashBits(k.testo.data(), sizeof(k.testo)), k.azienda, k.codice);
}

// The provinces and the front pages' company codes, in one statement.
// ORIGINE: 0 a province, 1 a front page.
const QString TABELLE = QStringLiteral(
    "SELECT 0 AS ORIGINE, codprov AS CODICE FROM TABMIN_PROV UNION ALL SELECT 1, CODAZI FROM FRONTESPIZIO");

// The company and code of every section row, in one statement. ORIGINE: the
// table's place in QUADRI.
QString selezioneQuadri()
{
    QStringList parti;
    for (int i = 0; i < QUADRI.size(); ++i)
        parti << QStringLiteral("SELECT %1 AS ORIGINE, CODAZI, CFS FROM %2").arg(i).arg(QUADRI.at(i));
    return parti.join(QStringLiteral(" UNION ALL "));
}

// Section rows of one company and code, per table in QUADRI's order.
struct RigheQuadri {
    QString codazi;
    QString cfs;
    std::array<qint64, 6> righe{};
};

Riferimenti leggiTabelle(store::Database& db)
{
    Riferimenti t;
    const auto righe = db.OpenRecordset(TABELLE);
    for (; !righe->Eof(); righe->MoveNext()) {
        QSet<QString>& insieme = righe->Value(QStringLiteral("ORIGINE")).toInt() == 0 ? t.province : t.aziende;
        insieme.insert(senzaCoda(righe->Fields(QStringLiteral("CODICE"))));
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
    explicit Verifica(const Riferimenti& riferimenti) : m_riferimenti(riferimenti) {}

    void sostituto(const Sostituto& s)
    {
        m_nominativo.reset();
        m_corrente = &s;
        controllaSostituto(s, m_riferimenti, [this](Tipo tipo, const QString& messaggio) { segnala(tipo, messaggio); });
        Riga riga{s.cfs.trimmed().toUpper(), s.codazi, s.cfs, s.cognome, s.nome};
        m_impronte.push_back({qHash(riga.chiave), m_codici.size()});
        m_codici.push_back(std::move(riga));
        ChiaveBreve breve;
        if (breve.componi(s.codazi, s.cfs)) {
            m_registro.insert(breve);
        } else {
            componiChiave(m_chiave, s.codazi, s.cfs);
            m_registroLungo.insert(m_chiave);
        }
    }

    // A section row, once every registry row has been seen: counted when
    // no registry row has its key.
    void rigaQuadro(int quadro, const QString& codazi, const QString& cfs)
    {
        ChiaveBreve breve;
        const bool corta = breve.componi(codazi, cfs);
        // A substitute's rows of one table mostly come one after the other.
        if (corta && m_ultimaTrovata && breve == *m_ultimaTrovata)
            return;
        if (corta && m_registro.contains(breve)) {
            m_ultimaTrovata = breve;
            return;
        }
        componiChiave(m_chiave, codazi, cfs);
        if (!corta && m_registroLungo.contains(m_chiave))
            return;
        RigheQuadri& r = m_orfane[m_chiave];
        if (r.codazi.isEmpty() && r.cfs.isEmpty()) {
            r.codazi = senzaCoda(codazi);
            r.cfs = senzaCoda(cfs);
        }
        ++r.righe[std::size_t(quadro)];
    }

    // What can be told only once every row has been read.
    std::vector<Segnalazione> concludi()
    {
        codiciDoppi();
        righeOrfane();
        std::sort(m_segnalazioni.begin(), m_segnalazioni.end(), [](const Segnalazione& a, const Segnalazione& b) {
            if (const int c = senzaCoda(a.codazi).compare(senzaCoda(b.codazi)))
                return c < 0;
            if (const int c = QStringView(a.cfs).trimmed().compare(QStringView(b.cfs).trimmed()))
                return c < 0;
            if (a.tipo != b.tipo)
                return a.tipo < b.tipo;
            return a.messaggio < b.messaggio;
        });
        return std::move(m_segnalazioni);
    }

private:
    struct Riga {
        QString chiave; // the code trimmed, in capitals
        QString codazi, cfs, cognome, nome;
    };

    static QString nominativo(const QString& cognome, const QString& nome)
    {
        return (cognome.trimmed() + QLatin1Char(' ') + nome.trimmed()).trimmed();
    }

    void segnala(Tipo tipo, const QString& messaggio)
    {
        if (!m_nominativo)
            m_nominativo = nominativo(m_corrente->cognome, m_corrente->nome);
        m_segnalazioni.push_back({m_corrente->codazi, m_corrente->cfs, *m_nominativo, tipo, messaggio});
    }

    // The rows sorted by their code's hash: those of one code follow each
    // other, and texts are compared only among rows whose hashes are equal.
    void codiciDoppi()
    {
        std::sort(m_impronte.begin(), m_impronte.end());
        for (auto inizio = m_impronte.cbegin(); inizio != m_impronte.cend();) {
            auto fine = inizio + 1;
            while (fine != m_impronte.cend() && fine->first == inizio->first)
                ++fine;
            for (auto r = inizio; fine - inizio > 1 && r != fine; ++r) {
                const Riga& riga = m_codici[r->second];
                QStringList altre;
                for (auto a = inizio; a != fine; ++a) {
                    const Riga& altra = m_codici[a->second];
                    if (a != r && altra.chiave == riga.chiave)
                        altre << senzaCoda(altra.codazi) + QLatin1Char(' ') + altra.cfs.trimmed();
                }
                if (!altre.isEmpty()) {
                    m_segnalazioni.push_back(
                        {riga.codazi, riga.cfs, nominativo(riga.cognome, riga.nome), Tipo::CodiceDoppio,
                         QStringLiteral("Codice fiscale presente anche in: ") + altre.join(QStringLiteral(", "))});
                }
            }
            inizio = fine;
        }
    }

    void righeOrfane()
    {
        for (auto q = m_orfane.cbegin(); q != m_orfane.cend(); ++q) {
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

    const Riferimenti& m_riferimenti;
    const Sostituto* m_corrente = nullptr;
    std::optional<QString> m_nominativo;                    // the current substitute's name, once a finding needs it
    std::vector<Riga> m_codici;                             // every registry row
    std::vector<std::pair<size_t, std::size_t>> m_impronte; // the hash of each one's code, and where it is
    QSet<ChiaveBreve> m_registro;                           // every registry row's key
    QSet<QString> m_registroLungo;                          // those that do not fit a ChiaveBreve
    std::optional<ChiaveBreve> m_ultimaTrovata;             // the last section row\'s key found in the registry
    QHash<QString, RigheQuadri> m_orfane;                   // section rows by key, without a registry row
    QString m_chiave;                                       // a key being looked up
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
    const Riferimenti riferimenti = leggiTabelle(db);
    Verifica verifica(riferimenti);
    {
        const auto registro = db.OpenRecordset(QStringLiteral("SELECT * FROM ANAGSOSTITUTI"));
        const LetturaIstantanee lettura(*registro);
        for (; !registro->Eof(); registro->MoveNext())
            verifica.sostituto(daIstantanea(lettura.leggi()));
    }
    const auto quadri = db.OpenRecordset(selezioneQuadri());
    const int origine = quadri->Indice(QStringLiteral("ORIGINE")), codazi = quadri->Indice(QStringLiteral("CODAZI")),
              cfs = quadri->Indice(QStringLiteral("CFS"));
    for (; !quadri->Eof(); quadri->MoveNext()) {
        verifica.rigaQuadro(quadri->ValueAt(origine).toInt(), quadri->ValueAt(codazi).toString(),
                            quadri->ValueAt(cfs).toString());
    }
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

Tabella tabellaSegnalazioni(const std::vector<Segnalazione>& segnalazioni)
{
    Tabella tabella{QStringLiteral("Verifica dell'archivio"),
                    {QStringLiteral("Codice azienda"), QStringLiteral("Codice fiscale"),
                     QStringLiteral("Denominazione/Nominativo"), QStringLiteral("Segnalazione"),
                     QStringLiteral("Da correggere")},
                    {}};
    tabella.righe.reserve(segnalazioni.size());
    for (const Segnalazione& s : segnalazioni) {
        tabella.righe.push_back({Cella::diTesto(s.codazi.trimmed()), Cella::diTesto(s.cfs.trimmed()),
                                 Cella::diTesto(s.nominativo), Cella::diTesto(descrizioneSegnalazione(s.tipo)),
                                 Cella::diTesto(s.messaggio)});
    }
    return tabella;
}

} // namespace registro
