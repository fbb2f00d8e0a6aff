#include "registry/filtro.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace registro {

namespace {

const char SEPARACAMPI = '\x1f';
const char SEPARARIGHE = '\x1e';

bool apostrofo(char16_t c)
{
    // Right and left single quotation marks, modifier apostrophe, grave and acute accents typed alone.
    return c == u'\u2019' || c == u'\u2018' || c == u'\u02bc' || c == u'`' || c == u'\u00b4';
}

// Texts beyond ASCII: apostrophes made plain, compatibility decomposition
// (accented letters into letter and mark, ligatures into letters), marks
// and control characters dropped, case folded.
QString piegaCompleta(QStringView testo)
{
    QString semplice = testo.toString();
    for (QChar& c : semplice) {
        if (apostrofo(c.unicode()))
            c = QLatin1Char('\'');
    }
    const QString scomposto = semplice.normalized(QString::NormalizationForm_KD);
    QString senzaSegni;
    senzaSegni.reserve(scomposto.size());
    for (const QChar c : scomposto) {
        if (!c.isMark() && c.category() != QChar::Other_Control)
            senzaSegni.append(c);
    }
    return senzaSegni.toCaseFolded();
}

// Appends the folded text in UTF-8. Stored texts are nearly always plain
// ASCII, folded here in place, a character at a time, with no string built;
// a text holding anything else goes the long way.
void piega(QStringView testo, QByteArray& uscita)
{
    const qsizetype inizio = uscita.size();
    if (uscita.capacity() < inizio + testo.size())
        uscita.reserve(std::max(2 * uscita.capacity(), inizio + testo.size()));
    uscita.resize(inizio + testo.size());
    char* const base = uscita.data();
    char* p = base + inizio;
    for (const QChar c : testo) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            uscita.truncate(inizio);
            uscita.append(piegaCompleta(testo).toUtf8());
            return;
        }
        if (u < 0x20 || u == 0x7f)
            continue;
        *p++ = char(u >= u'A' && u <= u'Z' ? u + (u'a' - u'A') : u);
    }
    uscita.truncate(p - base);
}

// Appends the text in UTF-8; plain ASCII, nearly every line, a character at a time.
void accoda(QStringView testo, QByteArray& uscita)
{
    const qsizetype inizio = uscita.size();
    if (uscita.capacity() < inizio + testo.size())
        uscita.reserve(std::max(2 * uscita.capacity(), inizio + testo.size()));
    uscita.resize(inizio + testo.size());
    char* p = uscita.data() + inizio;
    for (const QChar c : testo) {
        if (c.unicode() >= 0x80) {
            uscita.truncate(inizio);
            uscita.append(testo.toUtf8());
            return;
        }
        *p++ = char(c.unicode());
    }
}

QByteArray piegato(QStringView testo)
{
    QByteArray uscita;
    piega(testo, uscita);
    return uscita;
}

} // namespace

QString testoRicerca(QStringView testo)
{
    return QString::fromUtf8(piegato(testo));
}

QString nominativoRicerca(const RigaElenco& riga)
{
    const QStringView cognome = QStringView(riga.cognome).trimmed();
    const QStringView nome = QStringView(riga.nome).trimmed();
    if (nome.isEmpty())
        return cognome.toString();
    QString nominativo = cognome.toString();
    nominativo.append(QLatin1Char(' ')).append(nome);
    return nominativo;
}

bool contiene(const RigaElenco& riga, QStringView testo)
{
    const QString cercato = testoRicerca(testo);
    if (cercato.isEmpty())
        return true;
    return testoRicerca(riga.codazi).contains(cercato) ||
           testoRicerca(QStringView(riga.cfs).trimmed()).contains(cercato) ||
           testoRicerca(nominativoRicerca(riga)).contains(cercato);
}

void ElencoFiltrato::riserva(qsizetype righe)
{
    m_iniziVoci.reserve(std::size_t(righe));
    m_lunghezze.reserve(std::size_t(righe));
    m_voci.reserve(righe * 48);
    m_inizi.reserve(std::size_t(righe));
    m_testi.reserve(righe * 48);
}

void ElencoFiltrato::aggiungi(const RigaElenco& riga, const QString& voce)
{
    QStringView senzaBianchi(voce);
    while (!senzaBianchi.isEmpty() && senzaBianchi.back() == QLatin1Char(' '))
        senzaBianchi.chop(1);
    m_iniziVoci.push_back(qint32(m_voci.size()));
    m_lunghezze.push_back(qint32(voce.size()));
    accoda(senzaBianchi, m_voci);
    m_ultimo = QByteArray();
    m_inizi.push_back(m_testi.size());
    piega(riga.codazi, m_testi);
    m_testi.append(SEPARACAMPI);
    piega(QStringView(riga.cfs).trimmed(), m_testi);
    m_testi.append(SEPARACAMPI);
    // The name as nominativoRicerca() gives it, folded a part at a time.
    piega(QStringView(riga.cognome).trimmed(), m_testi);
    const QStringView nome = QStringView(riga.nome).trimmed();
    if (!nome.isEmpty()) {
        m_testi.append(' ');
        piega(nome, m_testi);
    }
    m_testi.append(SEPARARIGHE);
}

QString ElencoFiltrato::voce(qsizetype i) const
{
    const std::size_t r = std::size_t(i);
    const qint32 inizio = m_iniziVoci.at(r);
    const qint32 fine = r + 1 < m_iniziVoci.size() ? m_iniziVoci[r + 1] : qint32(m_voci.size());
    QString testo = QString::fromUtf8(m_voci.constData() + inizio, fine - inizio);
    testo.resize(m_lunghezze[r], QLatin1Char(' '));
    return testo;
}

std::vector<ChiaveSostituto> ElencoFiltrato::chiavi(const std::vector<qsizetype>& righe) const
{
    std::vector<ChiaveSostituto> chiavi;
    chiavi.reserve(righe.size());
    for (const qsizetype i : righe)
        chiavi.push_back(chiaveDiLinea(voce(i)));
    return chiavi;
}

std::vector<qsizetype> ElencoFiltrato::trova(QStringView testo)
{
    const QByteArray cercato = piegato(testo);
    if (cercato.isEmpty()) {
        std::vector<qsizetype> tutte(static_cast<std::size_t>(righe()));
        std::iota(tutte.begin(), tutte.end(), qsizetype(0));
        return tutte;
    }
    // A row holding this text holds the last one too.
    const bool dentro = !m_ultimo.isEmpty() && cercato.contains(m_ultimo);
    m_trovate = dentro ? scorriTra(cercato, m_trovate) : scorri(cercato);
    m_ultimo = cercato;
    return m_trovate;
}

std::vector<qsizetype> ElencoFiltrato::scorri(const QByteArray& cercato) const
{
    // Each match names the row it falls in; the scan then goes on from the
    // next row, so a row is found once however often it holds the text.
    std::vector<qsizetype> trovate;
    qsizetype da = 0;
    for (;;) {
        const qsizetype dove = m_testi.indexOf(cercato, da);
        if (dove < 0)
            break;
        const auto riga = std::upper_bound(m_inizi.begin(), m_inizi.end(), dove) - 1;
        trovate.push_back(riga - m_inizi.begin());
        if (riga + 1 == m_inizi.end())
            break;
        da = *(riga + 1);
    }
    return trovate;
}

std::vector<qsizetype> ElencoFiltrato::scorriTra(const QByteArray& cercato, const std::vector<qsizetype>& righe) const
{
    const std::string_view ago(cercato.constData(), std::size_t(cercato.size()));
    std::vector<qsizetype> trovate;
    for (const qsizetype r : righe) {
        const qsizetype inizio = m_inizi[std::size_t(r)];
        const qsizetype fine = std::size_t(r) + 1 < m_inizi.size() ? m_inizi[std::size_t(r) + 1] : m_testi.size();
        if (std::string_view(m_testi.constData() + inizio, std::size_t(fine - inizio)).find(ago) !=
            std::string_view::npos)
            trovate.push_back(r);
    }
    return trovate;
}

} // namespace registro
