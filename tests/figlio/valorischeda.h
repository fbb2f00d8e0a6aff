#pragma once
// The two complete sets of values the helper process saves in turn into the
// data sheet (Text1(1) to Text1(9), as typed), and their stored form: a save
// cut by a kill must leave the row holding one set or the other, whole.
#include <QStringList>

inline const QStringList VALORISCHEDA[2] = {
    {QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("M"), QStringLiteral("01/02/1960"),
     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("MILANO"), QStringLiteral("MI"),
     QStringLiteral("VIA ROMA 1")},
    {QStringLiteral("ROSSINI"), QStringLiteral("MARIA"), QStringLiteral("F"), QStringLiteral("31/12/1975"),
     QStringLiteral("TORINO"), QStringLiteral("TO"), QStringLiteral("NAPOLI"), QStringLiteral("NA"),
     QStringLiteral("CORSO ITALIA 200 SCALA B")},
};

// ASOST_1 .. ASOST_9 as the save stores a set (the date as AAAAMMGG).
inline QStringList valoriMemorizzati(const QStringList& valori)
{
    QStringList memorizzati = valori;
    const QString& data = valori.at(3);
    memorizzati[3] = data.mid(6, 4) + data.mid(3, 2) + data.mid(0, 2);
    return memorizzati;
}
