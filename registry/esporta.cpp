#include "registry/esporta.h"

#include "registry/testi.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace registro {

namespace {

// The line separator of the messages.
const QString CR = QStringLiteral("\r");

// Why the file could not be opened for writing, in the operator's words.
QString causaApertura(const QString& percorso)
{
    const QFileInfo file(percorso);
    if (file.isDir())
        return testi::CARTELLAOMONIMA;
    if (file.exists() && !file.isWritable())
        return testi::FILEPROTETTO;
    return testi::CARTELLANONSCRIVIBILE;
}

} // namespace

QStringList intestazioneCsv()
{
    return {QStringLiteral("Codice azienda"),
            QStringLiteral("Codice fiscale"),
            QStringLiteral("Cognome o denominazione"),
            QStringLiteral("Nome"),
            QStringLiteral("Sesso"),
            QStringLiteral("Data di nascita"),
            QStringLiteral("Comune (o Stato estero) di nascita"),
            QStringLiteral("Provincia di nascita"),
            QStringLiteral("Comune di residenza o domicilio fiscale"),
            QStringLiteral("Provincia di residenza o domicilio fiscale"),
            QStringLiteral("Via e numero civico"),
            QStringLiteral("Codice azienda collegata")};
}

QStringList campiCsv(const Sostituto& s)
{
    QStringList campi{s.codazi,   s.cfs,           s.cognome,          s.nome,
                      s.sesso,    testoData(s.nascita), s.comuneNascita, s.provinciaNascita,
                      s.comune,   s.provincia,     s.indirizzo,        s.collegata};
    for (QString& campo : campi)
        campo = campo.trimmed();
    return campi;
}

QByteArray rigaCsv(const QStringList& campi)
{
    QString riga;
    for (qsizetype i = 0; i < campi.size(); ++i) {
        if (i > 0)
            riga.append(QLatin1Char(';'));
        const QString& campo = campi.at(i);
        const bool virgolette = campo.contains(QLatin1Char(';')) || campo.contains(QLatin1Char('"'))
            || campo.contains(QLatin1Char('\n')) || campo.contains(QLatin1Char('\r'));
        if (!virgolette) {
            riga.append(campo);
            continue;
        }
        riga.append(QLatin1Char('"'));
        riga.append(QString(campo).replace(QLatin1Char('"'), QLatin1String("\"\"")));
        riga.append(QLatin1Char('"'));
    }
    riga.append(QLatin1String("\r\n"));
    return riga.toUtf8();
}

EsitoEsportazione esporta(store::Database& db, const std::vector<ChiaveSostituto>& chiavi, const QString& percorso)
{
    EsitoEsportazione esito;
    // The rows are read and laid out before the file is touched: a failure of
    // the archive leaves no file at all.
    std::vector<QByteArray> righe(chiavi.size());
    try {
        esito.scritti = leggiMostrati(db, chiavi, [&righe](std::size_t posizione, const Sostituto& s) {
            righe[posizione] = rigaCsv(campiCsv(s));
        });
    } catch (const store::ErroreArchivio& errore) {
        esito.tipo = EsitoEsportazione::Tipo::Rifiutato;
        esito.errore = errore;
        return esito;
    }
    esito.mancanti = qsizetype(chiavi.size()) - esito.scritti;

    QSaveFile file(percorso);
    QString causa;
    if (!file.open(QIODevice::WriteOnly)) {
        causa = causaApertura(percorso);
    } else {
        bool scritto = file.write("\xEF\xBB\xBF") == 3;
        const QByteArray intestazione = rigaCsv(intestazioneCsv());
        scritto = scritto && file.write(intestazione) == intestazione.size();
        for (auto riga = righe.cbegin(); scritto && riga != righe.cend(); ++riga)
            scritto = file.write(*riga) == riga->size();
        // What is still buffered reaches the disk here, so that a full disk
        // is told apart from a file that cannot take the place of the old one.
        scritto = scritto && file.flush();
        if (!scritto)
            causa = testi::SCRITTURAFALLITA;
        else if (!file.commit())
            causa = testi::SOSTITUZIONEFALLITA;
    }
    const QString nome = QDir::toNativeSeparators(percorso);
    if (!causa.isEmpty()) {
        // The file written so far goes: the one chosen, if any, is untouched.
        file.cancelWriting();
        esito.tipo = EsitoEsportazione::Tipo::NonScritto;
        esito.messaggio = testi::FILENONSCRITTO + CR + nome + CR + CR + causa + CR + CR
            + testi::ESPORTAZIONENONESEGUITA;
        return esito;
    }
    esito.messaggio = testi::ESPORTAZIONEEFFETTUATA + CR + CR + QString::number(esito.scritti)
        + testi::ANAGRAFICHENELFILE + CR + nome;
    if (esito.mancanti > 0)
        esito.messaggio += CR + CR + QString::number(esito.mancanti) + testi::NONPIUINARCHIVIO;
    return esito;
}

} // namespace registro
