// Print of the list as shown: a heading naming the archive, the date and
// what is listed, five columns whose long texts wrap rather than being cut,
// "Pagina n di N" at the foot of every page.
#include "window/anagsost.h"
#include "window/dialoghi.h"
#include "window/guardie.h"
#include "window/msgbox.h"

#include "registry/stampa.h"

#include <QDate>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTextOption>

#include <algorithm>
#include <array>

namespace {

constexpr int COLONNE = 5;

struct Intestazione {
    QString archivio; // as the status bar names it
    QString data;
    QString contenuto; // what the list holds: all, or the rows with the search text
};

QFont carattere(double punti, bool grassetto = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    return font;
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

    void stampa(const Intestazione& intestazione, const std::vector<registro::RigaStampa>& righe)
    {
        const QStringList titoli = registro::intestazioneStampa();
        larghezze(titoli, righe);
        m_pittore.setFont(carattere(9, true));
        const double altezzaTitoli = altezza(titoli);
        m_pittore.setFont(carattere(9));
        const QFontMetricsF metrica(m_pittore.font(), m_pittore.device());
        const double testata = inizioTitoli() + altezzaTitoli + m_mm;
        const double piede = metrica.lineSpacing() + 3 * m_mm;

        std::vector<double> altezze;
        altezze.reserve(righe.size());
        for (const registro::RigaStampa& riga : righe)
            altezze.push_back(altezza(riga.colonne()));
        const std::vector<std::size_t> inizi = registro::impagina(altezze, m_pagina.height() - testata - piede);

        for (std::size_t p = 0; p < inizi.size(); ++p) {
            if (p > 0)
                static_cast<QPrinter*>(m_pittore.device())->newPage();
            double y = disegnaTestata(intestazione, titoli, altezzaTitoli);
            const std::size_t fine = p + 1 < inizi.size() ? inizi[p + 1] : righe.size();
            for (std::size_t r = inizi[p]; r < fine; ++r) {
                disegnaRiga(righe[r].colonne(), y, altezze[r]);
                y += altezze[r];
            }
            m_pittore.setFont(carattere(9));
            m_pittore.drawText(QRectF(0, m_pagina.height() - metrica.lineSpacing(), m_pagina.width(),
                                      metrica.lineSpacing()),
                               Qt::AlignRight | Qt::AlignBottom,
                               QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(inizi.size()));
        }
    }

private:
    // The code and the codice fiscale as wide as their widest text; the
    // other three share what is left.
    void larghezze(const QStringList& titoli, const std::vector<registro::RigaStampa>& righe)
    {
        const QFontMetricsF normale(carattere(9), m_pittore.device());
        const QFontMetricsF grassetto(carattere(9, true), m_pittore.device());
        for (int c = 0; c < 2; ++c) {
            double massima = grassetto.horizontalAdvance(titoli.at(c));
            for (const registro::RigaStampa& riga : righe)
                massima = std::max(massima, normale.horizontalAdvance(c == 0 ? riga.codazi : riga.cfs));
            m_larghezze[c] = massima + 2 * m_margine + 1;
        }
        const double resto = std::max(m_pagina.width() - m_larghezze[0] - m_larghezze[1], 30 * m_mm);
        const double quote[3] = {0.36, 0.30, 0.34};
        for (int c = 2; c < COLONNE; ++c)
            m_larghezze[c] = resto * quote[c - 2];
    }

    // Height of a row of cells in the painter's font, each wrapped in its column.
    double altezza(const QStringList& celle) const
    {
        const QFontMetricsF metrica(m_pittore.font(), m_pittore.device());
        double massima = metrica.height();
        for (int c = 0; c < COLONNE; ++c) {
            const double spazio = m_larghezze[c] - 2 * m_margine;
            if (metrica.horizontalAdvance(celle.at(c)) <= spazio)
                continue;
            massima = std::max(massima, m_pittore.boundingRect(QRectF(0, 0, spazio, 1e6), celle.at(c), m_avvolgi).height());
        }
        return massima + 2 * m_margine;
    }

    void disegnaCelle(const QStringList& celle, double y, double alta)
    {
        double x = 0;
        for (int c = 0; c < COLONNE; ++c) {
            m_pittore.drawText(QRectF(x + m_margine, y + m_margine, m_larghezze[c] - 2 * m_margine, alta - 2 * m_margine),
                               celle.at(c), m_avvolgi);
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
    double disegnaTestata(const Intestazione& intestazione, const QStringList& titoli, double altezzaTitoli)
    {
        const double titolo = rigaTitolo();
        const double riga = rigaTesto();
        const double larghezza = m_pagina.width();
        m_pittore.setFont(carattere(11, true));
        m_pittore.drawText(QRectF(0, 0, larghezza, titolo), Qt::AlignLeft | Qt::AlignBottom,
                           QStringLiteral("Anagrafiche sostituti"));
        m_pittore.setFont(carattere(9));
        m_pittore.drawText(QRectF(0, 0, larghezza, titolo), Qt::AlignRight | Qt::AlignBottom, intestazione.data);
        m_pittore.drawText(QRectF(0, titolo, larghezza, riga), Qt::AlignLeft | Qt::AlignVCenter, intestazione.archivio);
        m_pittore.drawText(QRectF(0, titolo + riga, larghezza, riga), Qt::AlignLeft | Qt::AlignVCenter,
                           intestazione.contenuto);

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
    std::array<double, COLONNE> m_larghezze{};
};

// False when the printer (or the PDF file) cannot be written.
bool stampaElenco(QPrinter& stampante, const Intestazione& intestazione,
                  const std::vector<registro::RigaStampa>& righe)
{
    QPainter pittore;
    if (!pittore.begin(&stampante))
        return false;
    const QRectF pagina(QPointF(0, 0), stampante.pageLayout().paintRectPixels(stampante.resolution()).size());
    Impaginazione(pittore, pagina).stampa(intestazione, righe);
    return pittore.end();
}

} // namespace

void ANAGSOST::COLLEGASTAMPA()
{
    connect(CmdStampa, &QPushButton::clicked, this, [this] { protetto([this] { CmdStampa_Click(); }); });
}

void ANAGSOST::CmdStampa_Click()
{
    const std::vector<registro::ChiaveSostituto> chiavi = CHIAVIMOSTRATE(QStringLiteral("stampare"));
    if (chiavi.empty())
        return;
    std::vector<registro::RigaStampa> righe;
    {
        const CursoreOccupato occupato;
        righe = registro::righeStampa(*M.DBANNO, chiavi);
    }
    const QString ricerca = TextTrova->text();
    const qsizetype totale = STATO.ELENCO.righe();
    Intestazione intestazione{QStringLiteral("Archivio: ") + M.NOMEARCHIVIOANNO(),
                              QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")),
                              ricerca.isEmpty()
                                  ? QStringLiteral("Tutte le anagrafiche: %1").arg(righe.size())
                                  : QStringLiteral("Anagrafiche che contengono \u00ab%1\u00bb: %2 di %3")
                                        .arg(ricerca)
                                        .arg(righe.size())
                                        .arg(totale)};

    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(QStringLiteral("Anagrafiche sostituti"));
    stampante.setCreator(QStringLiteral("anagsost"));
    stampante.setPageOrientation(QPageLayout::Landscape);
    stampante.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    Dialoghi::stampa(this, stampante, [this, &intestazione, &righe](QPrinter& destinazione) {
        if (!stampaElenco(destinazione, intestazione, righe))
            MsgBox(QStringLiteral("Impossibile stampare: la stampante o il file scelto non può essere scritto."),
                   vbCritical, Caption());
    });
}
