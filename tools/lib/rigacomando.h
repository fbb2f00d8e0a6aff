#pragma once
// The tools' command line: Qt's parser, speaking Italian (its own texts
// translated), with the options of the tools that write archives.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTranslator>

namespace strumenti {

// The command-line parser's own texts ("Uso:", "Opzioni:", its errors) in Italian.
class TestiParser : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* contesto, const char* testo, const char* disambiguazione, int n) const override;
};

class RigaComando {
public:
    // `descrizione`: what the tool does, for its help.
    explicit RigaComando(const QString& descrizione);
    QCommandLineParser& parser() { return m_parser; }

    // --server <connessione> and --prefisso <prefisso>: an archive on a
    // PostgreSQL server instead of a folder. Without `prefisso` only
    // --server: the tool names the database itself.
    void opzioniServer(bool prefisso = true);
    // Reads the application's arguments. -1 when the tool goes on; otherwise
    // the exit status, after the help (0, --help) or the error followed by
    // the help (2) has been written. `posizionali`: how many positional
    // arguments are wanted, without and with --server.
    int leggi(const QCoreApplication& app, int posizionali, int posizionaliConServer = -1);

    // A value of the command line that cannot be used: says so, with the
    // usage, as leggi() does; returns the exit status (2).
    int rifiuta(const QString& errore) const;

    QString server() const;
    QString prefisso() const;
    bool suServer() const { return !server().isEmpty(); }
    QStringList posizionali() const { return m_parser.positionalArguments(); }

private:
    TestiParser m_testi;
    QCommandLineParser m_parser;
    QCommandLineOption m_aiuto;
    QCommandLineOption m_server;
    QCommandLineOption m_prefisso;
    bool m_conServer = false;
    bool m_conPrefisso = false;
};

} // namespace strumenti
