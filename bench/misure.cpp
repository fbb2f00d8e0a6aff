#include "misure.h"

#include <QElapsedTimer>
#include <algorithm>
#include <stdexcept>

#include <QProcess>

double mediana(std::vector<double> valori)
{
    if (valori.empty())
        return 0;
    std::sort(valori.begin(), valori.end());
    const size_t meta = valori.size() / 2;
    return valori.size() % 2 ? valori[meta] : (valori[meta - 1] + valori[meta]) / 2;
}

double misura(int volte, const std::function<void()>& azione, const std::function<void()>& prima)
{
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        if (prima)
            prima();
        QElapsedTimer cronometro;
        cronometro.start();
        azione();
        tempi.push_back(double(cronometro.nsecsElapsed()) / 1e6);
    }
    return mediana(tempi);
}

EsitoProcesso eseguiProcesso(const QString& programma, const QProcessEnvironment& ambiente)
{
    QProcess lancio;
    lancio.setProcessEnvironment(ambiente);
    lancio.start(QStringLiteral(LANCIA_EXE), {programma});
    if (!lancio.waitForFinished(120000) || lancio.exitCode() != 0)
        throw std::runtime_error("cannot run " + programma.toStdString());
    const QStringList campi = QString::fromLocal8Bit(lancio.readAllStandardOutput()).split(QLatin1Char(' '));
    if (campi.size() != 3)
        throw std::runtime_error("unexpected output of the launcher");
    EsitoProcesso esito;
    esito.millisecondi = campi[0].toDouble();
    esito.piccoMemoriaKb = campi[1].toLong();
    esito.codiceUscita = campi[2].trimmed().toInt();
    return esito;
}
