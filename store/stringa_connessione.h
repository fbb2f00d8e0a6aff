#pragma once
// Internal to store/: the connection string of a PostgreSQL server, read by
// libpq itself, with the program's own refusals on top.
#include <QList>
#include <QString>

namespace store::interno {

// One key=value pair of a libpq connection string.
struct ParametroServer {
    QString chiave;
    QString valore;
};

// Reads a connection string; false (and why, in Italian) when it is not one
// the program accepts (see controllaServer).
bool leggiServer(const QString& testo, QList<ParametroServer>& parametri, QString* motivo = nullptr);
// The options QPSQL hands on to libpq: the pairs, every value quoted, plus a
// bounded wait for an unreachable host and the program's name unless the
// pairs give their own.
QString opzioniConnessione(QList<ParametroServer> parametri);

} // namespace store::interno
