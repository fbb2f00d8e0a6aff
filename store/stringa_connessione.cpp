// The connection string of a PostgreSQL server: libpq's parser reads it (the
// same one that will connect with it), the program refuses what must not be
// in it.
#include "store/stringa_connessione.h"

#include "store/libpq.h"

#include <QRegularExpression>
#include <QStringList>
#include <memory>

namespace store::interno {

bool leggiServer(const QString& testo, QList<ParametroServer>& parametri, QString* motivo)
{
    auto rifiuta = [&](const QString& perche) {
        if (motivo)
            *motivo = perche;
        parametri.clear();
        return false;
    };
    parametri.clear();
    const QString s = testo.trimmed();
    if (s.isEmpty())
        return rifiuta(QStringLiteral("il server non è indicato"));
    static const QRegularExpression uri(QStringLiteral("^postgres(ql)?://"), QRegularExpression::CaseInsensitiveOption);
    if (uri.match(s).hasMatch())
        return rifiuta(QStringLiteral("usare la forma chiave=valore (per esempio host=server port=5432 user=utente)"));
    // QPSQL hands its options on with every ";" turned into a blank.
    if (s.contains(QLatin1Char(';')))
        return rifiuta(QStringLiteral("il carattere \";\" non è ammesso"));

    const Libpq& pq = libpq();
    if (!pq.errore.isEmpty())
        return rifiuta(QStringLiteral("la libreria libpq di PostgreSQL non è disponibile (%1)").arg(pq.errore));
    char* errore = nullptr;
    const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> opzioni(
        pq.leggi(s.toUtf8().constData(), &errore), pq.liberaOpzioni);
    if (!opzioni) {
        const QString perche = errore ? QString::fromLocal8Bit(errore).trimmed() : QStringLiteral("memoria esaurita");
        pq.libera(errore);
        return rifiuta(QStringLiteral("testo non leggibile (%1): attesi parametri chiave=valore").arg(perche));
    }
    for (const PQconninfoOption* o = opzioni.get(); o->keyword; ++o) {
        if (!o->val)
            continue; // not in the text
        const QString chiave = QString::fromUtf8(o->keyword);
        if (chiave == QLatin1String("password"))
            return rifiuta(QStringLiteral("la password non va scritta nella configurazione: va nel file delle "
                                          "password di PostgreSQL (.pgpass)"));
        if (chiave == QLatin1String("dbname"))
            return rifiuta(QStringLiteral("il nome del database non va indicato: lo stabilisce il programma"));
        parametri.append({chiave, QString::fromUtf8(o->val)});
    }
    if (parametri.isEmpty())
        return rifiuta(QStringLiteral("il server non è indicato"));
    return true;
}

QString opzioniConnessione(QList<ParametroServer> parametri)
{
    auto presente = [&](const char* chiave) {
        return std::any_of(parametri.begin(), parametri.end(),
                           [&](const ParametroServer& p) { return p.chiave == QLatin1String(chiave); });
    };
    if (!presente("connect_timeout"))
        parametri.append({QStringLiteral("connect_timeout"), QStringLiteral("10")});
    if (!presente("application_name"))
        parametri.append({QStringLiteral("application_name"), QStringLiteral("anagsost")});
    QStringList parti;
    for (const ParametroServer& p : parametri) {
        QString valore = p.valore;
        valore.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        valore.replace(QLatin1Char('\''), QStringLiteral("\\'"));
        parti << p.chiave + QStringLiteral("='") + valore + QLatin1Char('\'');
    }
    return parti.join(QLatin1Char(' '));
}

} // namespace store::interno
