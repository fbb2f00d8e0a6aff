#pragma once
// Reads back the CSV files the export writes, as a spreadsheet would: ";"
// between fields, CR LF between rows, a field in quotes may hold ";", quotes
// (doubled) and line breaks. The byte-order mark, when there, is skipped.
#include <QByteArray>
#include <QList>
#include <QStringList>

inline QList<QStringList> leggiCsv(const QByteArray& contenuto)
{
    QString testo = QString::fromUtf8(contenuto);
    if (testo.startsWith(QChar(0xFEFF)))
        testo.remove(0, 1);
    QList<QStringList> righe;
    QStringList riga;
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (virgolette) {
            if (c == '"' && i + 1 < testo.size() && testo.at(i + 1) == '"') {
                campo += '"';
                ++i;
            } else if (c == '"') {
                virgolette = false;
            } else {
                campo += c;
            }
        } else if (c == '"') {
            virgolette = true;
        } else if (c == ';') {
            riga << campo;
            campo.clear();
        } else if (c == '\r' && i + 1 < testo.size() && testo.at(i + 1) == '\n') {
            riga << campo;
            righe << riga;
            riga.clear();
            campo.clear();
            ++i;
        } else {
            campo += c;
        }
    }
    if (!campo.isEmpty() || !riga.isEmpty())
        righe << (riga << campo);
    return righe;
}
