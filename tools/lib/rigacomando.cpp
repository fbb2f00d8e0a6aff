#include "rigacomando.h"

#include "store/luogo.h"

#include <QHash>
#include <QTextStream>

namespace strumenti {

QString TestiParser::translate(const char* contesto, const char* testo, const char* /*disambiguazione*/,
                               int /*n*/) const
{
    static const QHash<QByteArray, QString> testi = {
        {"Usage: %1", QStringLiteral("Uso: %1")},
        {"Options:", QStringLiteral("Opzioni:")},
        {"Arguments:", QStringLiteral("Argomenti:")},
        {"[options]", QStringLiteral("[opzioni]")},
        {"Unknown option '%1'.", QStringLiteral("Opzione sconosciuta '%1'.")},
        {"Unknown options: %1.", QStringLiteral("Opzioni sconosciute: %1.")},
        {"Missing value after '%1'.", QStringLiteral("Manca il valore dopo '%1'.")},
        {"Unexpected value after '%1'.", QStringLiteral("Valore inatteso dopo '%1'.")},
    };
    return qstrcmp(contesto, "QCommandLineParser") == 0 ? testi.value(testo) : QString();
}

RigaComando::RigaComando(const QString& descrizione)
    : m_aiuto({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra questo aiuto.")),
      m_server(QStringLiteral("server"),
               QStringLiteral("L'archivio sul server PostgreSQL descritto da <connessione> (per esempio "
                              "\"host=server port=5432 user=utente\"; la password va nel file .pgpass)."),
               QStringLiteral("connessione")),
      m_prefisso(QStringLiteral("prefisso"),
                 QStringLiteral("Con --server: prefisso dei nomi dei database (lettere minuscole, cifre e \"_\")."),
                 QStringLiteral("prefisso"))
{
    QCoreApplication::installTranslator(&m_testi);
    m_parser.setApplicationDescription(descrizione);
    m_parser.addOption(m_aiuto);
}

void RigaComando::opzioniServer(bool prefisso)
{
    m_parser.addOption(m_server);
    if (prefisso)
        m_parser.addOption(m_prefisso);
    m_conServer = true;
    m_conPrefisso = prefisso;
}

QString RigaComando::server() const
{
    return m_conServer ? m_parser.value(m_server) : QString();
}

QString RigaComando::prefisso() const
{
    return m_conPrefisso ? m_parser.value(m_prefisso) : QString();
}

int RigaComando::leggi(const QCoreApplication& app, int posizionali, int posizionaliConServer)
{
    QTextStream out(stdout);
    QString errore;
    if (!m_parser.parse(app.arguments())) {
        errore = m_parser.errorText();
    } else if (m_parser.isSet(m_aiuto)) {
        out << m_parser.helpText();
        return 0;
    } else if (m_conServer && m_parser.isSet(m_server)) {
        const QString motivo = store::controllaServer(server());
        const QString motivoPrefisso = store::controllaPrefisso(prefisso());
        if (!motivo.isEmpty())
            errore = QStringLiteral("server non valido: ") + motivo;
        else if (!motivoPrefisso.isEmpty())
            errore = QStringLiteral("prefisso non valido: ") + motivoPrefisso;
    } else if (m_conPrefisso && m_parser.isSet(m_prefisso)) {
        errore = QStringLiteral("--prefisso vale solo con --server");
    }
    const int attesi = suServer() && posizionaliConServer >= 0 ? posizionaliConServer : posizionali;
    if (errore.isEmpty() && attesi >= 0 && m_parser.positionalArguments().size() != attesi)
        errore = m_parser.positionalArguments().size() < attesi ? QStringLiteral("manca un argomento")
                                                                : QStringLiteral("troppi argomenti");
    if (errore.isEmpty())
        return -1;
    return rifiuta(errore);
}

int RigaComando::rifiuta(const QString& errore) const
{
    QTextStream(stderr) << QCoreApplication::applicationName() << ": " << errore << "\n" << m_parser.helpText();
    return 2;
}

} // namespace strumenti
