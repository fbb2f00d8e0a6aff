#include "argomenti.h"

#include "store/luogo.h"

namespace strumenti {

Argomenti leggiArgomenti(const QStringList& argomenti)
{
    Argomenti a;
    bool serverDato = false;
    for (int i = 0; i < argomenti.size(); ++i) {
        const QString& arg = argomenti.at(i);
        QString* valore = nullptr;
        for (const char* opzione : {"--server", "--prefisso"}) {
            const QString o = QString::fromLatin1(opzione);
            if (arg == o || arg.startsWith(o + QLatin1Char('='))) {
                valore = o == QLatin1String("--server") ? &a.server : &a.prefisso;
                serverDato = serverDato || o == QLatin1String("--server");
                if (arg == o) {
                    if (i + 1 >= argomenti.size()) {
                        a.errore = QStringLiteral("manca il valore di %1").arg(o);
                        return a;
                    }
                    *valore = argomenti.at(++i);
                } else {
                    *valore = arg.mid(o.size() + 1);
                }
            }
        }
        if (valore)
            continue;
        if (arg.startsWith(QLatin1String("--"))) {
            a.errore = QStringLiteral("opzione sconosciuta %1").arg(arg);
            return a;
        }
        a.posizionali << arg;
    }
    if (serverDato) {
        const QString motivo = store::controllaServer(a.server);
        if (!motivo.isEmpty()) {
            a.errore = QStringLiteral("server non valido: ") + motivo;
            return a;
        }
    }
    if (!a.prefisso.isEmpty() && !serverDato) {
        a.errore = QStringLiteral("--prefisso vale solo con --server");
        return a;
    }
    const QString motivo = store::controllaPrefisso(a.prefisso);
    if (!motivo.isEmpty())
        a.errore = QStringLiteral("prefisso non valido: ") + motivo;
    return a;
}

} // namespace strumenti
