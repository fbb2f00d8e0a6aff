#include "store/file_password.h"

#include <QDir>
#include <QFileInfo>

namespace store::interno {

QString filePassword(const QList<ParametroServer>& parametri)
{
    for (const ParametroServer& p : parametri) {
        if (p.chiave == QLatin1String("passfile") && !p.valore.isEmpty())
            return p.valore;
    }
    const QString ambiente = qEnvironmentVariable("PGPASSFILE");
    if (!ambiente.isEmpty())
        return ambiente;
#ifdef Q_OS_WIN
    return QDir(qEnvironmentVariable("APPDATA")).filePath(QStringLiteral("postgresql/pgpass.conf"));
#else
    return QDir::home().filePath(QStringLiteral(".pgpass"));
#endif
}

QString filePasswordIgnorato(const QList<ParametroServer>& parametri)
{
#ifdef Q_OS_WIN
    Q_UNUSED(parametri);
    return {};
#else
    const QString percorso = filePassword(parametri);
    const QFileInfo file(percorso);
    // libpq's own test: a plain file with any permission for group or others.
    const QFileDevice::Permissions altri = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                           QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (!file.isFile() || !(file.permissions() & altri))
        return {};
    return percorso;
#endif
}

} // namespace store::interno
