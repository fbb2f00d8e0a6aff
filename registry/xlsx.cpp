#include "registry/xlsx.h"

#include "registry/testi.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <clocale>
#include <string>
#include <utility>

namespace registro {

namespace {

// Widths in characters of the sheet's default font, a blank's worth either
// side; a bold heading is a little wider; a very long text shows cut at its
// column's edge (the cell keeps it whole) rather than making its column
// wider than the window.
constexpr double MARGINE = 2;
constexpr double GRASSETTO = 1.1;
constexpr double LARGHEZZAMASSIMA = 80;

// The date system of the sheet starts with 1900.
const QDate PRIMOGIORNO(1900, 1, 1);

// A file name as the library opens it: UTF-8 on Windows (it converts it to
// the system's wide names there), the file system's encoding elsewhere.
QByteArray nomeFile(const QString& percorso)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(percorso).toUtf8();
#else
    return QFile::encodeName(percorso);
#endif
}

// The longest line of a text, in characters.
double lunghezza(const QString& testo)
{
    qsizetype massima = 0;
    for (const QStringView riga : QStringView(testo).split(QLatin1Char('\n')))
        massima = std::max(massima, riga.size());
    return double(massima);
}

std::vector<double> larghezze(const Tabella& tabella)
{
    std::vector<double> colonne;
    for (const QString& titolo : tabella.intestazione)
        colonne.push_back(lunghezza(titolo) * GRASSETTO);
    for (const RigaTabella& riga : tabella.righe) {
        if (colonne.size() < riga.size())
            colonne.resize(riga.size(), 0);
        for (std::size_t c = 0; c < riga.size(); ++c)
            colonne[c] = std::max(colonne[c], lunghezza(riga[c].testo()));
    }
    for (double& larghezza : colonne)
        larghezza = std::min(larghezza + MARGINE, LARGHEZZAMASSIMA);
    return colonne;
}

// The library writes its numbers (widths, dates, margins) with the C
// library's printf, which follows the numeric locale: in an Italian one, a
// decimal comma the file format does not allow. The C locale while it
// writes (the program is single-threaded).
class NumeriInC {
public:
    NumeriInC() : m_prima(std::setlocale(LC_NUMERIC, nullptr)) { std::setlocale(LC_NUMERIC, "C"); }
    ~NumeriInC() { std::setlocale(LC_NUMERIC, m_prima.c_str()); }
    NumeriInC(const NumeriInC&) = delete;
    NumeriInC& operator=(const NumeriInC&) = delete;

private:
    std::string m_prima;
};

// The workbook being written; closing it writes the file.
class Cartella {
public:
    Cartella(const QString& percorso, const QString& temporanei)
        : m_nome(nomeFile(percorso)), m_temporanei(nomeFile(temporanei))
    {
        lxw_workbook_options opzioni{};
        // Rows go to a temporary file as they are written, texts inline:
        // memory stays flat however long the table.
        opzioni.constant_memory = LXW_TRUE;
        opzioni.tmpdir = m_temporanei.data();
        m_cartella = workbook_new_opt(m_nome.constData(), &opzioni);
    }
    ~Cartella()
    {
        if (m_cartella)
            workbook_close(m_cartella);
    }
    Cartella(const Cartella&) = delete;
    Cartella& operator=(const Cartella&) = delete;

    lxw_workbook* get() const { return m_cartella; }
    lxw_error chiudi() { return workbook_close(std::exchange(m_cartella, nullptr)); }

private:
    QByteArray m_nome;
    QByteArray m_temporanei;
    lxw_workbook* m_cartella = nullptr;
};

lxw_error scriviCella(lxw_worksheet* foglio, lxw_row_t riga, lxw_col_t colonna, const Cella& cella, lxw_format* testo,
                      lxw_format* data)
{
    if (cella.giornoValido() && cella.giorno() >= PRIMOGIORNO) {
        lxw_datetime giorno{cella.giorno().year(), cella.giorno().month(), cella.giorno().day(), 0, 0, 0};
        return worksheet_write_datetime(foglio, riga, colonna, &giorno, data);
    }
    // A line break inside a cell is a line feed, whatever its stored form.
    QString righe = cella.testo();
    righe.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return worksheet_write_string(foglio, riga, colonna, righe.toUtf8().constData(), testo);
}

} // namespace

QString scriviXlsx(const Tabella& tabella, const QString& percorso, const QString& cartellaTemporanei)
{
    const NumeriInC numeri;
    Cartella cartella(percorso, cartellaTemporanei);
    if (!cartella.get())
        return testi::SCRITTURAFALLITA;
    lxw_format* titolo = workbook_add_format(cartella.get());
    format_set_bold(titolo);
    // Texts stay texts when the cell is edited, too.
    lxw_format* testo = workbook_add_format(cartella.get());
    format_set_num_format(testo, "@");
    lxw_format* data = workbook_add_format(cartella.get());
    format_set_num_format(data, "dd/mm/yyyy");
    lxw_worksheet* foglio = workbook_add_worksheet(cartella.get(), tabella.titolo.toUtf8().constData());
    if (!foglio)
        return testi::SCRITTURAFALLITA;

    const std::vector<double> colonne = larghezze(tabella);
    for (std::size_t c = 0; c < colonne.size(); ++c)
        worksheet_set_column(foglio, lxw_col_t(c), lxw_col_t(c), colonne[c], nullptr);
    worksheet_freeze_panes(foglio, 1, 0);

    lxw_error errore = LXW_NO_ERROR;
    for (int c = 0; c < tabella.intestazione.size() && errore == LXW_NO_ERROR; ++c)
        errore =
            worksheet_write_string(foglio, 0, lxw_col_t(c), tabella.intestazione.at(c).toUtf8().constData(), titolo);
    for (std::size_t r = 0; r < tabella.righe.size() && errore == LXW_NO_ERROR; ++r) {
        const RigaTabella& riga = tabella.righe[r];
        for (std::size_t c = 0; c < riga.size() && errore == LXW_NO_ERROR; ++c)
            errore = scriviCella(foglio, lxw_row_t(r + 1), lxw_col_t(c), riga[c], testo, data);
    }
    if (errore == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        return testi::TESTOTROPPOLUNGO;
    if (errore != LXW_NO_ERROR)
        return testi::SCRITTURAFALLITA;
    return cartella.chiudi() == LXW_NO_ERROR ? QString() : testi::SCRITTURAFALLITA;
}

} // namespace registro
