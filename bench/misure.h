#pragma once
// Timing and memory figures of the benchmarks.
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

double mediana(std::vector<double> valori);

// Milliseconds taken by `azione`, median of `volte` runs; `prima` runs untimed before each.
double misura(int volte, const std::function<void()>& azione, const std::function<void()>& prima = {});

struct EsitoProcesso {
    double millisecondi = 0;
    long piccoMemoriaKb = 0; // peak resident set size
    int codiceUscita = -1;
};

// Runs a program to its end with the given environment; wall time and peak memory.
EsitoProcesso eseguiProcesso(const QString& programma, const QProcessEnvironment& ambiente);
