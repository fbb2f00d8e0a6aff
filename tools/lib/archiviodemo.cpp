#include "archiviodemo.h"

#include "checks/codicifiscali.h"
#include "checks/decodificacf.h"
#include "startup/configurazione.h"
#include "store/database.h"
#include "store/luogo.h"
#include "store/province.h"
#include "store/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QVariantList>
#include <stdexcept>

namespace strumenti {

namespace {

struct Dichiarante {
    QString codazi, cfd, fr1, fr2, fr3;
    QVariant fr14;
};

struct Sostituto {
    QString codazi, cfs;
    QVariantList asost; // ASOST_1 .. ASOST_10
};

QString data(const QDate& d)
{
    return d.toString(QStringLiteral("yyyyMMdd"));
}

// A natural person as a substitute, with full birth data.
Sostituto persona(const QString& codazi, const QString& cognome, const QString& nome, QChar sesso,
                  const QDate& nascita, const QString& comuneNascita, const QString& codiceComune,
                  const QString& provNascita, const QString& comune, const QString& prov, const QString& via,
                  const QString& collegata)
{
    return {codazi, codiceFiscale(cognome, nome, nascita, sesso, codiceComune),
            {cognome, nome, QString(sesso), data(nascita), comuneNascita, provNascita, comune, prov, via, collegata}};
}

// A company as a substitute: no first name, no birth data.
Sostituto societa(const QString& codazi, const QString& dieciCifre, const QString& denominazione,
                  const QString& comune, const QString& prov, const QString& via, const QString& collegata)
{
    return {codazi, partitaIva(dieciCifre),
            {denominazione, QString(), QString(), QStringLiteral("00000000"), QString(), QString(), comune, prov, via,
             collegata}};
}

void riempi(store::Database& db)
{
    store::inserisciProvince(db);

    const QList<Dichiarante> dichiaranti = {
        {QStringLiteral("001"),
         codiceFiscale(QStringLiteral("VENTURELLI"), QStringLiteral("GIORGIO"), QDate(1955, 3, 12), 'M',
                       QStringLiteral("A944")),
         QStringLiteral("VENTURELLI"), QStringLiteral("GIORGIO"), QString(), QStringLiteral("19550312")},
        {QStringLiteral("002"), partitaIva(QStringLiteral("0412378037")), QString(), QString(),
         QStringLiteral("COMMERCIALE ADRIATICA SRL"), QString()},
        {QStringLiteral("003"), partitaIva(QStringLiteral("0298765002")), QString(), QString(),
         QStringLiteral("OFFICINE MECCANICHE VALSESIA SPA"), QVariant()},
        {QStringLiteral("004"), partitaIva(QStringLiteral("0355512027")), QString(), QString(),
         QStringLiteral("COOPERATIVA SERVIZI LAGUNARI SCARL"), QVariant()},
    };
    for (const Dichiarante& d : dichiaranti) {
        db.Execute(QStringLiteral("INSERT INTO FRONTESPIZIO (CODAZI, CFD, FR_1, FR_2, FR_3, fr_14) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"),
                   {d.codazi, d.cfd, d.fr1, d.fr2, d.fr3, d.fr14});
    }
    auto cfd = [&](const QString& codazi) {
        for (const Dichiarante& d : dichiaranti) {
            if (d.codazi == codazi)
                return d.cfd;
        }
        return QString();
    };

    const QList<Sostituto> sostituti = {
        persona("101", "BRAMBILLA", "ERCOLE", 'M', QDate(1962, 5, 14), "MILANO", "F205", "MI", "MONZA", "MI",
                "VIA DEI TIGLI 12", "002"),
        persona("102", "FONTANAROSA", "LUCIA", 'F', QDate(1971, 11, 3), "NAPOLI", "F839", "NA", "CASERTA", "CE",
                "CORSO GIANNONE 45", "002"),
        persona("103", "TREVISANI", "PAOLO", 'M', QDate(1958, 1, 27), "VENEZIA", "L736", "VE", "PADOVA", "PD",
                "VIA ALTINATE 8", "003"),
        persona("104", "GALBIATI", "ANNA", 'F', QDate(1980, 7, 19), "COMO", "C933", "CO", "LECCO", "LC",
                "PIAZZA CERMENATI 3", "003"),
        persona("105", "DELL'ACQUA", "MARCO", 'M', QDate(1966, 9, 30), "FIRENZE", "D612", "FI", "PRATO", "PO",
                "VIA DEL CORSO 21", "001"),
        persona("106", "SPADAFORA", "ELENA", 'F', QDate(1975, 2, 8), "PALERMO", "G273", "PA", "TRAPANI", "TP",
                "VIA FARDELLA 140", "004"),
        persona("107", "MORETTONI", "GIULIO", 'M', QDate(1949, 12, 1), "SVIZZERA", "Z133", "EE", "TORINO", "TO",
                "CORSO FRANCIA 77", "001"),
        societa("108", "0734561040", "TIPOGRAFIA ALBANI SNC", "RIMINI", "RN", "VIA FLAMINIA 210", "002"),
        societa("109", "0145678019", "LATTERIA SOCIALE DEL CIGNO SCARL", "CREMONA", "CR", "VIA MANTOVA 5", "003"),
        societa("110", "0167890033", "COSTRUZIONI PIANELLO SPA", "PIACENZA", "PC", "STRADA AGAZZANA 9", "004"),
        societa("111", "0223344040", "IMMOBILIARE FORLIVESE SRL", "FORLI'", "FC", "VIALE DELL'APPENNINO 18", "001"),
        // Registered without its names yet: the list marks it as incomplete.
        {"112", partitaIva("0311122044"),
         {QString(), QString(), QString(), QStringLiteral("00000000"), QString(), QString(), QString(), QString(),
          QString(), QStringLiteral("004")}},
    };
    for (const Sostituto& s : sostituti) {
        QVariantList valori{s.codazi, s.cfs};
        valori += s.asost;
        db.Execute(QStringLiteral("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, "
                                  "ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   valori);
    }
    auto sostituto = [&](const QString& codazi) {
        for (const Sostituto& s : sostituti) {
            if (s.codazi == codazi)
                return s;
        }
        throw std::logic_error("sostituto demo mancante");
    };

    // Recipients of employee income of some substitutes, and their rows.
    struct Percettore {
        QString codazi, cognome, nome;
        QChar sesso;
        QDate nascita;
        QString comune;
    };
    const QList<Percettore> percettori = {
        {"101", "COLOMBARI", "SILVIA", 'F', QDate(1984, 4, 2), "F205"},
        {"101", "RIGAMONTI", "LUCA", 'M', QDate(1979, 10, 22), "F205"},
        {"103", "BORTOLAN", "GIANNI", 'M', QDate(1969, 6, 15), "L736"},
        {"108", "CASADEI", "MONICA", 'F', QDate(1990, 1, 9), "H294"},
        {"108", "PAGLIARANI", "STEFANO", 'M', QDate(1987, 8, 28), "H294"},
        {"109", "BODINI", "CARLA", 'F', QDate(1972, 3, 17), "D150"},
    };
    int rigo = 0;
    for (const Percettore& p : percettori) {
        const QString cf = codiceFiscale(p.cognome, p.nome, p.nascita, p.sesso, p.comune);
        db.Execute(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME, NOME) VALUES (?, ?, ?, ?)"),
                   {p.codazi, cf, p.cognome, p.nome});
        const Sostituto s = sostituto(p.codazi);
        const QString dich = cfd(s.asost.at(9).toString());
        ++rigo;
        const QString tabella = QStringLiteral("QUADROLDIP%1").arg(1 + rigo % 4);
        db.Execute(QStringLiteral("INSERT INTO %1 (CODAZI, CFD, CFS, RIGO, CFPERC, IMPORTO1, IMPORTO2) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?)")
                       .arg(tabella),
                   {s.codazi, dich, s.cfs, rigo, cf, 18500 + 750 * rigo, 4120 + 180 * rigo});
        db.Execute(QStringLiteral("INSERT INTO QUADROLDIP1 (CODAZI, CFD, CFS, RIGO, CFPERC, IMPORTO1, IMPORTO2) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                   {s.codazi, dich, s.cfs, 100 + rigo, cf, 1200, 264});
    }

    // Self-employment income and section ST rows.
    const QList<QPair<QString, int>> autonomi = {{"102", 3}, {"105", 1}, {"111", 2}};
    for (const auto& [codazi, righe] : autonomi) {
        const Sostituto s = sostituto(codazi);
        for (int r = 1; r <= righe; ++r) {
            db.Execute(QStringLiteral("INSERT INTO QUADROLAUT (CODAZI, CFD, CFS, RIGO, CFPERC, COMPENSO, RITENUTA) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                       {s.codazi, cfd(s.asost.at(9).toString()), s.cfs, r, s.cfs, 2500 * r, 500 * r});
        }
    }
    const QStringList conST = {"101", "103", "108", "110"};
    for (const QString& codazi : conST) {
        const Sostituto s = sostituto(codazi);
        for (int mese = 1; mese <= 3; ++mese) {
            db.Execute(QStringLiteral("INSERT INTO QUADROST (CODAZI, CFD, CFS, RIGO, PERIODO, RITENUTE, VERSATO) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                       {s.codazi, cfd(s.asost.at(9).toString()), s.cfs, mese,
                        QStringLiteral("%1/2004").arg(mese, 2, 10, QLatin1Char('0')), 830 + 10 * mese,
                        830 + 10 * mese});
        }
    }
}

QString percorsoNormale(const QString& cartella)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(cartella).absoluteFilePath()));
}

} // namespace

QString codiceFiscale(const QString& cognome, const QString& nome, const QDate& nascita, QChar sesso,
                      const QString& comune)
{
    static const QString MESI = QStringLiteral("ABCDEHLMPRST");
    const int giorno = nascita.day() + (sesso == QLatin1Char('F') ? 40 : 0);
    const QString base = checks::lettereCognome(cognome) + checks::lettereNome(nome) +
                         QStringLiteral("%1").arg(nascita.year() % 100, 2, 10, QLatin1Char('0')) +
                         MESI.at(nascita.month() - 1) + QStringLiteral("%1").arg(giorno, 2, 10, QLatin1Char('0')) +
                         comune.toUpper();
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QString codice = base + QLatin1Char(c);
        if (CONTROLLOCF(codice) == 0)
            return codice;
    }
    throw std::runtime_error("nessun carattere di controllo accettato per " + base.toStdString());
}

QString partitaIva(const QString& dieciCifre)
{
    for (char c = '0'; c <= '9'; ++c) {
        const QString codice = dieciCifre + QLatin1Char(c);
        if (CONTROLLOPIVA(codice) == 0)
            return codice;
    }
    throw std::runtime_error("nessuna cifra di controllo accettata per " + dieciCifre.toStdString());
}

void creaArchivioDemo(const QString& cartella, const QString& server, const QString& prefisso)
{
    if (server.trimmed().isEmpty())
        return creaArchivioDemo(cartella);
    for (const QString& motivo : {store::controllaServer(server), store::controllaPrefisso(prefisso)}) {
        if (!motivo.isEmpty())
            throw store::ErroreArchivio(store::TipoErrore::Altro, motivo, motivo);
    }
    const store::Luogo anno = store::Luogo::server(server, store::nomeSuServer(nomeFileAnno(), prefisso));
    const store::Luogo modello =
        store::Luogo::server(server, store::nomeSuServer(store::nomeFileTemplate(), prefisso));
    if (store::presenza(anno) != store::Presenza::Assente)
        throw store::ErroreArchivio(store::TipoErrore::Altro, QStringLiteral("database già esistente"),
                                    QStringLiteral("L'archivio %1 esiste già e non viene sostituito.")
                                        .arg(anno.descrizione()));
    const QDir dir(QFileInfo(cartella).absoluteFilePath());
    if (!QDir().mkpath(dir.absolutePath()))
        throw store::ErroreArchivio(store::TipoErrore::NonApribile, QStringLiteral("cartella non creata"),
                                    QDir::toNativeSeparators(dir.absolutePath()));
    store::creaArchivio(anno, riempi);
    if (store::presenza(modello) == store::Presenza::Assente)
        store::creaTemplate(modello);
}

void creaArchivioDemo(const QString& cartella)
{
    const QDir dir(QFileInfo(cartella).absoluteFilePath());
    const QString anno = dir.filePath(nomeFileAnno());
    if (QFileInfo::exists(anno))
        throw store::ErroreArchivio(store::TipoErrore::Altro, QStringLiteral("file già esistente"),
                                    QStringLiteral("Il file %1 esiste già e non viene sostituito.")
                                        .arg(QDir::toNativeSeparators(anno)));
    if (!QDir().mkpath(dir.absolutePath()))
        throw store::ErroreArchivio(store::TipoErrore::NonApribile, QStringLiteral("cartella non creata"),
                                    QDir::toNativeSeparators(dir.absolutePath()));
    // The year's database first: it holds the template's contents plus the
    // demo's rows, and is refused as a whole if anything goes wrong.
    store::creaArchivio(anno, riempi);
    const QString modello = dir.filePath(store::nomeFileTemplate());
    if (!QFileInfo::exists(modello))
        store::creaTemplate(modello);
}

bool scriviConfigurazioneDemo(const QString& cartella, QString* nota, const QString& server,
                              const QString& prefisso)
{
    const QString archivi = percorsoNormale(cartella);
    const QString programmi = QDir::toNativeSeparators(QDir(archivi).filePath(QStringLiteral("programmi")));
    const CONFIGURAZIONE attuale = LEGGICONFIGURAZIONE();
    if (!attuale.difetto.isEmpty()) {
        if (nota)
            *nota = attuale.difetto + QStringLiteral(" La configurazione non viene modificata.");
        return false;
    }
    const QString archiviAttuale = attuale.valori.value(QStringLiteral("PERCORSOARCHIVI"));
    if (!archiviAttuale.isEmpty() && percorsoNormale(archiviAttuale) != archivi) {
        if (nota) {
            *nota = QStringLiteral("La configurazione esistente punta a %1: non viene modificata. "
                                   "Per usare l'archivio dimostrativo impostare PERCORSOARCHIVI a %2.")
                        .arg(archiviAttuale, archivi);
        }
        return false;
    }
    const QString serverAttuale = attuale.valori.value(QStringLiteral("SERVERPOSTGRESQL")).trimmed();
    const QString prefissoAttuale = attuale.valori.value(QStringLiteral("PREFISSOPOSTGRESQL"));
    if (!serverAttuale.isEmpty() && (serverAttuale != server.trimmed() || prefissoAttuale != prefisso)) {
        if (nota) {
            *nota = QStringLiteral("La configurazione esistente punta al server %1 (prefisso \"%2\"): non viene "
                                   "modificata.")
                        .arg(serverAttuale, prefissoAttuale);
        }
        return false;
    }
    QDir().mkpath(programmi);
    const bool suServer = !server.trimmed().isEmpty();
    const QString niente; // null: the value is removed
    QString errore;
    if (!SCRIVICONFIGURAZIONE({{QStringLiteral("PERCORSOARCHIVI"), archivi},
                               {QStringLiteral("PERCORSOPROGRAMMI"), programmi},
                               {QStringLiteral("SERVERPOSTGRESQL"), suServer ? server.trimmed() : niente},
                               {QStringLiteral("PREFISSOPOSTGRESQL"), suServer && !prefisso.isEmpty() ? prefisso : niente}},
                              &errore)) {
        if (nota)
            *nota = errore;
        return false;
    }
    return true;
}

} // namespace strumenti
