#include "window/pagine.h"

#include "registry/stampa.h"

#include <QPainter>
#include <QPrinter>
#include <QTextOption>

#include <algorithm>
#include <numeric>

namespace {

QFont carattere(double punti, bool grassetto = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    return font;
}

QStringList testi(const registro::RigaTabella& riga)
{
    QStringList celle;
    for (const registro::Cella& cella : riga)
        celle.append(cella.testo());
    return celle;
}

// Lays the rows out on the printer's pages and paints them.
class Impaginazione {
public:
    Impaginazione(QPainter& pittore, const QRectF& pagina) : m_pittore(pittore), m_pagina(pagina)
    {
        m_mm = pittore.device()->logicalDpiY() / 25.4;
        m_margine = 1.5 * m_mm;
        m_avvolgi.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    void stampa(const TestataPagine& testata, const registro::Tabella& tabella, const std::vector<double>& quote)
    {
        const QStringList& titoli = tabella.intestazione;
        std::vector<QStringList> righe;
        righe.reserve(tabella.righe.size());
        for (const registro::RigaTabella& riga : tabella.righe)
            righe.push_back(testi(riga));
        larghezze(titoli, righe, quote);
        m_pittore.setFont(carattere(9, true));
        const double altezzaTitoli = altezza(titoli);
        m_pittore.setFont(carattere(9));
        const QFontMetricsF metrica(m_pittore.font(), m_pittore.device());
        const double inizio = inizioTitoli() + altezzaTitoli + m_mm;
        const double piede = metrica.lineSpacing() + 3 * m_mm;

        std::vector<double> altezze;
        altezze.reserve(righe.size());
        for (const QStringList& riga : righe)
            altezze.push_back(altezza(riga));
        const std::vector<std::size_t> inizi = registro::impagina(altezze, m_pagina.height() - inizio - piede);

        for (std::size_t p = 0; p < inizi.size(); ++p) {
            if (p > 0)
                static_cast<QPrinter*>(m_pittore.device())->newPage();
            double y = disegnaTestata(tabella.titolo, testata, titoli, altezzaTitoli);
            const std::size_t fine = p + 1 < inizi.size() ? inizi[p + 1] : righe.size();
            for (std::size_t r = inizi[p]; r < fine; ++r) {
                disegnaRiga(righe[r], y, altezze[r]);
                y += altezze[r];
            }
            m_pittore.setFont(carattere(9));
            m_pittore.drawText(
                QRectF(0, m_pagina.height() - metrica.lineSpacing(), m_pagina.width(), metrica.lineSpacing()),
                Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(inizi.size()));
        }
    }

private:
    // The columns without a share as wide as their widest text; the others
    // share what is left.
    void larghezze(const QStringList& titoli, const std::vector<QStringList>& righe, const std::vector<double>& quote)
    {
        const QFontMetricsF normale(carattere(9), m_pittore.device());
        const QFontMetricsF grassetto(carattere(9, true), m_pittore.device());
        m_larghezze.assign(std::size_t(titoli.size()), 0);
        double occupato = 0;
        for (int c = 0; c < titoli.size(); ++c) {
            if (quote.at(std::size_t(c)) > 0)
                continue;
            double massima = grassetto.horizontalAdvance(titoli.at(c));
            for (const QStringList& riga : righe)
                massima = std::max(massima, normale.horizontalAdvance(riga.value(c)));
            m_larghezze[std::size_t(c)] = massima + 2 * m_margine + 1;
            occupato += m_larghezze[std::size_t(c)];
        }
        const double resto = std::max(m_pagina.width() - occupato, 30 * m_mm);
        const double totale = std::accumulate(quote.begin(), quote.end(), 0.0);
        for (int c = 0; c < titoli.size(); ++c) {
            if (quote.at(std::size_t(c)) > 0)
                m_larghezze[std::size_t(c)] = resto * quote.at(std::size_t(c)) / totale;
        }
    }

    // Height of a row of cells in the painter's font, each wrapped in its column.
    double altezza(const QStringList& celle) const
    {
        const QFontMetricsF metrica(m_pittore.font(), m_pittore.device());
        double massima = metrica.height();
        for (std::size_t c = 0; c < m_larghezze.size(); ++c) {
            const QString cella = celle.value(int(c));
            const double spazio = m_larghezze[c] - 2 * m_margine;
            if (metrica.horizontalAdvance(cella) <= spazio)
                continue;
            massima = std::max(massima, m_pittore.boundingRect(QRectF(0, 0, spazio, 1e6), cella, m_avvolgi).height());
        }
        return massima + 2 * m_margine;
    }

    void disegnaCelle(const QStringList& celle, double y, double alta)
    {
        double x = 0;
        for (std::size_t c = 0; c < m_larghezze.size(); ++c) {
            m_pittore.drawText(
                QRectF(x + m_margine, y + m_margine, m_larghezze[c] - 2 * m_margine, alta - 2 * m_margine),
                celle.value(int(c)), m_avvolgi);
            x += m_larghezze[c];
        }
    }

    void disegnaRiga(const QStringList& celle, double y, double alta)
    {
        m_pittore.setFont(carattere(9));
        disegnaCelle(celle, y, alta);
        m_pittore.setPen(QPen(QColor(170, 170, 170), 0.15 * m_mm));
        m_pittore.drawLine(QPointF(0, y + alta), QPointF(m_pagina.width(), y + alta));
        m_pittore.setPen(Qt::black);
    }

    // The heading's lines: the title's, then two of the text's.
    double rigaTitolo() const { return QFontMetricsF(carattere(11, true), m_pittore.device()).lineSpacing(); }
    double rigaTesto() const { return QFontMetricsF(carattere(9), m_pittore.device()).lineSpacing(); }
    double inizioTitoli() const { return rigaTitolo() + 2 * rigaTesto() + 3 * m_mm; }

    // Title and date, archive, contents, the columns' headings; returns where the rows begin.
    double disegnaTestata(const QString& titolo, const TestataPagine& testata, const QStringList& titoli,
                          double altezzaTitoli)
    {
        const double alto = rigaTitolo();
        const double riga = rigaTesto();
        const double larghezza = m_pagina.width();
        m_pittore.setFont(carattere(11, true));
        m_pittore.drawText(QRectF(0, 0, larghezza, alto), Qt::AlignLeft | Qt::AlignBottom, titolo);
        m_pittore.setFont(carattere(9));
        m_pittore.drawText(QRectF(0, 0, larghezza, alto), Qt::AlignRight | Qt::AlignBottom, testata.data);
        m_pittore.drawText(QRectF(0, alto, larghezza, riga), Qt::AlignLeft | Qt::AlignVCenter, testata.archivio);
        m_pittore.drawText(QRectF(0, alto + riga, larghezza, riga), Qt::AlignLeft | Qt::AlignVCenter,
                           testata.contenuto);

        const double y = inizioTitoli();
        m_pittore.setFont(carattere(9, true));
        disegnaCelle(titoli, y, altezzaTitoli);
        m_pittore.setPen(QPen(Qt::black, 0.3 * m_mm));
        m_pittore.drawLine(QPointF(0, y + altezzaTitoli), QPointF(larghezza, y + altezzaTitoli));
        m_pittore.setPen(Qt::black);
        return y + altezzaTitoli + m_mm;
    }

    QPainter& m_pittore;
    QRectF m_pagina;
    double m_mm = 0;
    double m_margine = 0;
    QTextOption m_avvolgi;
    std::vector<double> m_larghezze;
};

} // namespace

bool stampaTabella(QPrinter& stampante, const TestataPagine& testata, const registro::Tabella& tabella,
                   const std::vector<double>& quote)
{
    QPainter pittore;
    if (!pittore.begin(&stampante))
        return false;
    const QRectF pagina(QPointF(0, 0), stampante.pageLayout().paintRectPixels(stampante.resolution()).size());
    Impaginazione(pittore, pagina).stampa(testata, tabella, quote);
    return pittore.end();
}
