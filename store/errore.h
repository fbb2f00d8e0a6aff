#pragma once
// Failures of the data store, with the message the operator reads.
#include <QString>
#include <exception>
#include <string>

namespace store {

enum class TipoErrore {
    Occupato,              // the file is locked by another program past the wait
    SolaLettura,           // the file or its folder cannot be written
    DiscoPieno,            // no room left on the disk
    Danneggiato,           // not a database, or a damaged one
    NonApribile,           // the file cannot be opened at all
    AccessoNegato,         // the server refuses the user: authentication failed
    OggettoMancante,       // a table, index or field the program needs is missing
    NessunRecord,          // a field read or an edit without a current row
    Conflitto,             // the row was changed or removed by someone else meanwhile
    ArchivioSpostato,      // the open file was moved, replaced or removed by another program
    ConnessionePersa,      // the connection to the server broke off; opened again at the next use
    ConfermaIncerta,       // it broke off while a transaction was being committed: the outcome is unknown
    ServerIrraggiungibile, // the server does not answer
    ArchivioMancante,      // no such database on the server
    PermessoNegato,        // the user lacks a right on the server (SQLSTATE 42501)
    ServerSolaLettura,     // the server accepts reads only (SQLSTATE 25006)
    FilePasswordIgnorato,  // libpq ignored the password file: others may read it
    Altro
};

// Facts a message names when the failure has them (empty when not known).
struct Precisazioni {
    QString utente;       // PermessoNegato: the role the program works as on the server
    QString privilegio;   // PermessoNegato: the right refused (SELECT, INSERT, ...)
    QString tabella;      // PermessoNegato: the table it concerns
    QString proprietario; // PermessoNegato: the role the tables belong to
    QString file;         // FilePasswordIgnorato: the password file
};

class ErroreArchivio : public std::exception {
public:
    // dettaglio: the engine's own text, for what() and support;
    // oggetto: what the operator is told about, e.g. the file name, or
    // "la tabella ANAGSOSTITUTI", "il campo ASOST_11" for a missing object.
    ErroreArchivio(TipoErrore tipo, QString dettaglio, QString oggetto = {});
    ErroreArchivio(TipoErrore tipo, QString dettaglio, QString oggetto, Precisazioni precisazioni);

    TipoErrore tipo() const { return m_tipo; }
    const QString& dettaglio() const { return m_dettaglio; }
    const QString& oggetto() const { return m_oggetto; }
    const Precisazioni& precisazioni() const { return m_precisazioni; }

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
    Precisazioni m_precisazioni;
    std::string m_what;
};

} // namespace store
