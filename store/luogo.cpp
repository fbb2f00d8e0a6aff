// Where an archive lives, and the operations on a whole archive: existence
// and creation from the template. Files here; the server's side is in
// server_postgresql.cpp.
#include "store/luogo.h"

#include "store/errore.h"
#include "store/server_postgresql.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace store {

Luogo Luogo::file(const QString& percorso)
{
    Luogo l;
    l.m_nome = percorso;
    return l;
}

Luogo Luogo::server(const QString& server, const QString& nome)
{
    Luogo l;
    l.m_server = server.trimmed();
    l.m_nome = nome;
    return l;
}

QString Luogo::descrizione() const
{
    if (!suServer())
        return m_nome;
    return QStringLiteral("%1 (server %2)").arg(m_nome, m_server);
}

Presenza presenza(const Luogo& archivio)
{
    if (archivio.suServer())
        return interno::presenzaSuServer(archivio);
    QFile file(archivio.percorso());
    if (file.open(QIODevice::ReadOnly))
        return Presenza::Presente;
    return QFileInfo::exists(archivio.percorso()) ? Presenza::Inaccessibile : Presenza::Assente;
}

QList<Presenza> presenza(const QList<Luogo>& archivi)
{
    // Archives on one server are asked about on one connection.
    const bool unServer = !archivi.isEmpty() && archivi.first().suServer() &&
                          std::all_of(archivi.begin(), archivi.end(), [&](const Luogo& l) {
                              return l.suServer() && l.server() == archivi.first().server();
                          });
    if (unServer)
        return interno::presenzaSuServer(archivi);
    QList<Presenza> esiti;
    for (const Luogo& l : archivi)
        esiti << presenza(l);
    return esiti;
}

void creaDaModello(const Luogo& modello, const Luogo& anno)
{
    if (modello.suServer() != anno.suServer() || modello.server() != anno.server())
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("archivi in luoghi diversi"),
                             QStringLiteral("L'archivio %1 e il modello %2 non sono nello stesso luogo.")
                                 .arg(anno.descrizione(), modello.descrizione()));
    if (anno.suServer())
        return interno::creaDaModelloSuServer(modello, anno);

    const QString origine = modello.percorso();
    const QString destinazione = anno.percorso();
    if (QFileInfo::exists(destinazione))
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("file già esistente"),
                             QStringLiteral("Il file %1 esiste già e non viene sostituito.")
                                 .arg(QDir::toNativeSeparators(destinazione)));
    if (!QFileInfo::exists(origine))
        throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("modello inesistente"),
                             QStringLiteral("il file %1").arg(QDir::toNativeSeparators(origine)));
    // Copied under a temporary name first, so that a copy cut short never
    // looks like an archive; rename() never replaces a file made meanwhile.
    QString parziale;
    do {
        parziale = destinazione +
                   QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (QFileInfo::exists(parziale));
    QFile file(origine);
    if (!file.copy(parziale) || !QFile::rename(parziale, destinazione)) {
        const QString motivo = file.errorString();
        QFile::remove(parziale);
        throw ErroreArchivio(TipoErrore::Altro, motivo,
                             QStringLiteral("Impossibile copiare il file %1 in %2.")
                                 .arg(QDir::toNativeSeparators(origine), QDir::toNativeSeparators(destinazione)));
    }
}

} // namespace store
