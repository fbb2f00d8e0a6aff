#pragma once
// Failures of the data store, with the message the operator reads.
#include <QString>
#include <exception>
#include <string>

namespace store {

enum class TipoErrore {
    Occupato,        // the file is locked by another program past the wait
    SolaLettura,     // the file or its folder cannot be written
    DiscoPieno,      // no room left on the disk
    Danneggiato,     // not a database, or a damaged one
    NonApribile,     // the file cannot be opened at all, or the server cannot be reached
    AccessoNegato,   // the server refuses the user (password, rights)
    OggettoMancante, // a table, index or field the program needs is missing
    NessunRecord,    // a field read or an edit without a current row
    Conflitto,       // the row was changed or removed by someone else meanwhile
    Altro
};

class ErroreArchivio : public std::exception {
public:
    // dettaglio: the engine's own text, for what() and support;
    // oggetto: what the operator is told about, e.g. the file name, or
    // "la tabella ANAGSOSTITUTI", "il campo ASOST_11" for a missing object.
    ErroreArchivio(TipoErrore tipo, QString dettaglio, QString oggetto = {});

    TipoErrore tipo() const { return m_tipo; }
    const QString& dettaglio() const { return m_dettaglio; }
    const QString& oggetto() const { return m_oggetto; }

    // Italian text for the operator; lines are separated by carriage returns.
    QString messaggio() const;
    // The same failure met while the program starts: nothing was done yet,
    // and the text says that the program closes.
    QString messaggioAvvio() const;

    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString testo(bool avvio) const;

    TipoErrore m_tipo;
    QString m_dettaglio;
    QString m_oggetto;
    std::string m_what;
};

} // namespace store
