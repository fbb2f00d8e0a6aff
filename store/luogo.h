#pragma once
// Where an archive lives: a database file, or a database on a PostgreSQL
// server. What start-up and the tools need, whatever the engine: does the
// archive exist, make the year's archive from the template, open it
// (Database::OpenDatabase).
#include <QList>
#include <QString>

namespace store {

class Database;

class Luogo {
public:
    Luogo() = default;
    // A database file.
    static Luogo file(const QString& percorso);
    // The database `nome` on the server that `server` describes: a libpq
    // connection string of key=value pairs (host, port, user, ...), with
    // neither the password (libpq reads it from the password file) nor the
    // database name (that is `nome`).
    static Luogo server(const QString& server, const QString& nome);

    bool suServer() const { return !m_server.isEmpty(); }
    // The file's path; empty for a database on a server.
    QString percorso() const { return suServer() ? QString() : m_nome; }
    // The connection string; empty for a file.
    const QString& server() const { return m_server; }
    // The database's name on the server, or the file's path.
    const QString& nome() const { return m_nome; }
    // What the operator reads: the file's path, or "nome (server ...)".
    QString descrizione() const;

    bool operator==(const Luogo& altro) const { return m_server == altro.m_server && m_nome == altro.m_nome; }
    bool operator!=(const Luogo& altro) const { return !(*this == altro); }

private:
    QString m_server;
    QString m_nome;
};

// "" when the connection string can be used; otherwise why not, in Italian.
// Accepted: key=value pairs as libpq's own parser reads them (values in
// single quotes when they hold blanks; a key libpq does not know is refused),
// no "password" (it must come from the password file), no "dbname" (the
// program names its databases), no URI form, no ";".
QString controllaServer(const QString& server);
// "" when the prefix of the database names can be used (lower-case letters,
// digits and "_", starting with a letter or "_", at most 40 characters; empty
// is fine); otherwise why not, in Italian.
QString controllaPrefisso(const QString& prefisso);
// Name on the server of the database the program keeps in the file
// `nomeFile`: the prefix and the file's name without extension, in lower case
// ("S7702004.MDB" -> "s7702004").
QString nomeSuServer(const QString& nomeFile, const QString& prefisso = QString());

enum class Presenza {
    Assente,      // no such file or database
    Presente,     // there, and it can be opened
    Inaccessibile // there, but it cannot be opened (locked, no rights)
};

// Whether the archive exists. A file counts as present when it can be opened
// for reading; a database on the server when the user may connect to it.
// Raises ErroreArchivio when the server cannot be reached (NonApribile) or
// refuses the user (AccessoNegato).
Presenza presenza(const Luogo& archivio);
// The same for several archives, in order; those on one server are asked
// about on one connection.
QList<Presenza> presenza(const QList<Luogo>& archivi);
// The same asked on the connection of `aperto`, an archive open on the same
// server: one statement, no connection of its own (with any other archive,
// as presenza(archivio)). Raises ErroreArchivio as a statement on `aperto` does.
Presenza presenza(const Luogo& archivio, Database& aperto);

// Makes `anno` a copy of `modello`: for files a copy under a temporary name,
// renamed when complete; on a server CREATE DATABASE ... TEMPLATE, which needs
// nobody connected to the template. Never replaces an existing archive; both
// must be of the same kind (and on the same server). Raises ErroreArchivio:
// Altro when `anno` exists already, OggettoMancante when `modello` does not,
// Occupato when the template is in use.
void creaDaModello(const Luogo& modello, const Luogo& anno);

} // namespace store
