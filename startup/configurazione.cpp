#include "startup/configurazione.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>

namespace {

const QString ORGANIZZAZIONE = QStringLiteral("TARVESSA");
const QString APPLICAZIONE = QStringLiteral("VELMORIA");

QSettings configurazioneUtente()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, ORGANIZZAZIONE, APPLICAZIONE);
}

} // namespace

QString FILECONFIGURAZIONE()
{
    return configurazioneUtente().fileName();
}

#ifdef Q_OS_WIN

// The registry as the suite writes it: text values as they are, a number
// value as the decimal text of its low 16 bits read signed, any other kind as
// an empty text.
CONFIGURAZIONE LEGGICONFIGURAZIONE()
{
    CONFIGURAZIONE letta;
    QSettings registro = configurazioneUtente();
    // The user's key alone: a value missing there is missing, never taken
    // from the machine's key or the organisation's defaults.
    registro.setFallbacksEnabled(false);
    for (const QString& nome : registro.childKeys()) {
        const QVariant valore = registro.value(nome);
        QString testo;
        switch (valore.typeId()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
            testo = valore.toString();
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            testo = QString::number(static_cast<qint16>(valore.toLongLong() & 0xFFFF));
            break;
        default:
            break;
        }
        letta.valori.insert(nome.toUpper(), testo);
    }
    return letta;
}

bool SCRIVICONFIGURAZIONE(const QList<QPair<QString, QString>>& valori, QString* errore)
{
    QSettings registro = configurazioneUtente();
    for (const auto& [nome, valore] : valori)
        valore.isNull() ? registro.remove(nome) : registro.setValue(nome, valore);
    registro.sync();
    if (registro.status() == QSettings::NoError)
        return true;
    if (errore)
        *errore = QStringLiteral("Impossibile scrivere la configurazione (%1).").arg(registro.fileName());
    return false;
}

#else

namespace {

// The lines of a file without their line ends; false when it cannot be read.
bool righeDi(const QString& percorso, QStringList& righe)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // fromUtf8 drops a leading byte-order mark, as a Windows editor may write.
    const QString testo = QString::fromUtf8(file.readAll());
    righe = testo.split(QLatin1Char('\n'));
    if (!righe.isEmpty() && righe.last().isEmpty())
        righe.removeLast();
    for (QString& riga : righe) {
        if (riga.endsWith(QLatin1Char('\r')))
            riga.chop(1);
    }
    return true;
}

bool commento(const QString& riga)
{
    const QString t = riga.trimmed();
    return t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

bool sezione(const QString& riga)
{
    return riga.trimmed().startsWith(QLatin1Char('['));
}

bool sezioneNostra(const QString& riga)
{
    return riga.trimmed().compare(QLatin1String("[General]"), Qt::CaseInsensitive) == 0;
}

// Name of a value line, in upper case: letters, digits and "_" before the
// first "=", blanks and tabs around it left out ("" for any other line,
// "SERVERPOSTGRESQL host=x" among them).
QString nomeDi(const QString& riga)
{
    static const QRegularExpression nome(QStringLiteral("^\\s*([A-Za-z0-9_]+)[ \\t]*="));
    return nome.match(riga).captured(1).toUpper();
}

// Value of a value line: the text after the first "=" and the blanks and
// tabs right after it, up to the end of the line as written (blanks at its
// end included), as people write "NAME = value" by hand.
QString valoreDi(const QString& riga)
{
    qsizetype inizio = riga.indexOf(QLatin1Char('=')) + 1;
    while (inizio < riga.size() && (riga.at(inizio) == QLatin1Char(' ') || riga.at(inizio) == QLatin1Char('\t')))
        ++inizio;
    return riga.mid(inizio);
}

// Adds the values of one file that `valori` does not hold yet. false, with
// the reason, for a line that is neither a value, a comment nor a section.
bool leggiFile(const QString& percorso, QMap<QString, QString>& valori, QString& difetto)
{
    QStringList righe;
    if (!righeDi(percorso, righe))
        return true;
    QMap<QString, QString> propri;
    QMap<QString, int> doveProprio;
    bool nostra = true; // before any section, as in QSettings' files
    for (int i = 0; i < righe.size(); ++i) {
        const QString& riga = righe.at(i);
        if (commento(riga))
            continue;
        if (sezione(riga)) {
            nostra = sezioneNostra(riga);
            continue;
        }
        if (!nostra)
            continue;
        const QString nome = nomeDi(riga);
        auto rifiuta = [&](const QString& perche) {
            difetto = QStringLiteral("Il file di configurazione \"%1\" non è valido alla riga %2: %3.")
                          .arg(QDir::toNativeSeparators(percorso))
                          .arg(i + 1)
                          .arg(perche);
            return false;
        };
        if (nome.isEmpty())
            return rifiuta(QStringLiteral("ogni riga deve essere NOME=valore"));
        const QString valore = valoreDi(riga);
        if (propri.contains(nome) && propri.value(nome) != valore) {
            return rifiuta(QStringLiteral("il valore %1 è già indicato alla riga %2 con un testo diverso")
                               .arg(nome)
                               .arg(doveProprio.value(nome)));
        }
        propri.insert(nome, valore);
        doveProprio.insert(nome, i + 1);
    }
    for (auto it = propri.cbegin(); it != propri.cend(); ++it) {
        if (!valori.contains(it.key()))
            valori.insert(it.key(), it.value());
    }
    return true;
}

} // namespace

CONFIGURAZIONE LEGGICONFIGURAZIONE()
{
    // QSettings' order: the application's file, then the organisation's,
    // the user's before the system's.
    const QString file[] = {
        configurazioneUtente().fileName(),
        QSettings(QSettings::NativeFormat, QSettings::UserScope, ORGANIZZAZIONE).fileName(),
        QSettings(QSettings::NativeFormat, QSettings::SystemScope, ORGANIZZAZIONE, APPLICAZIONE).fileName(),
        QSettings(QSettings::NativeFormat, QSettings::SystemScope, ORGANIZZAZIONE).fileName(),
    };
    CONFIGURAZIONE letta;
    for (const QString& percorso : file) {
        if (!leggiFile(percorso, letta.valori, letta.difetto)) {
            letta.valori.clear();
            break;
        }
    }
    return letta;
}

bool SCRIVICONFIGURAZIONE(const QList<QPair<QString, QString>>& valori, QString* errore)
{
    const QString percorso = FILECONFIGURAZIONE();
    auto fallisci = [&](const QString& perche) {
        if (errore)
            *errore = perche;
        return false;
    };
    QStringList righe;
    if (QFileInfo::exists(percorso) && !righeDi(percorso, righe))
        return fallisci(QStringLiteral("Impossibile leggere la configurazione (%1).").arg(percorso));

    // The program's part of the file: the lines before any section, and the
    // "[General]" section. New values go at the end of it.
    int fine = 0;
    bool nostra = true;
    for (int i = 0; i < righe.size(); ++i) {
        if (sezione(righe.at(i)))
            nostra = sezioneNostra(righe.at(i));
        else if (nostra && !commento(righe.at(i)))
            fine = i + 1;
    }
    if (fine == 0) {
        // Nothing of ours yet: before the first section (or at the end).
        while (fine < righe.size() && !sezione(righe.at(fine)))
            ++fine;
        if (fine < righe.size() && sezioneNostra(righe.at(fine)))
            ++fine;
    }

    for (const auto& [nome, valore] : valori) {
        if (valore.contains(QLatin1Char('\n')) || valore.contains(QLatin1Char('\r')))
            return fallisci(QStringLiteral("Il valore %1 non può contenere un a capo.").arg(nome));
        if (valore.startsWith(QLatin1Char(' ')) || valore.startsWith(QLatin1Char('\t')))
            return fallisci(
                QStringLiteral("Il valore %1 non può iniziare con uno spazio o una tabulazione.").arg(nome));
        const QString riga = nome + QLatin1Char('=') + valore;
        bool scritta = false;
        nostra = true;
        for (int i = 0; i < righe.size(); ++i) {
            if (sezione(righe.at(i))) {
                nostra = sezioneNostra(righe.at(i));
                continue;
            }
            if (!nostra || commento(righe.at(i)) || nomeDi(righe.at(i)) != nome.toUpper())
                continue;
            if (valore.isNull() || scritta) {
                righe.removeAt(i);
                if (i < fine)
                    --fine;
                --i;
            } else {
                righe[i] = riga;
                scritta = true;
            }
        }
        if (!scritta && !valore.isNull())
            righe.insert(fine++, riga);
    }

    QDir().mkpath(QFileInfo(percorso).absolutePath());
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return fallisci(QStringLiteral("Impossibile scrivere la configurazione (%1).").arg(percorso));
    for (const QString& riga : righe)
        file.write(riga.toUtf8() + '\n');
    if (!file.commit())
        return fallisci(QStringLiteral("Impossibile scrivere la configurazione (%1).").arg(percorso));
    return true;
}

#endif
