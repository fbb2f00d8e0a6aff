#pragma once
// Reads back the CSV files the export writes, as a spreadsheet would: ";"
// between fields, CR LF between rows, a field in quotes may hold ";", quotes
// (doubled) and line breaks.
#include <QByteArray>
#include <QList>
#include <QStringList>

inline QList<QStringList> leggiCsv(const QByteArray& contenuto)
{
    const QString testo = QString::fromUtf8(contenuto); // drops the byte-order mark, when there
    QList<QStringList> righe(1);                        // the row being read last
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (c == '"' && virgolette && testo.mid(i + 1, 1) == "\"") {
            campo += c; // a doubled quote inside quotes
            ++i;
        } else if (c == '"') {
            virgolette = !virgolette;
        } else if (virgolette || (c != ';' && testo.mid(i, 2) != "\r\n")) {
            campo += c;
        } else {
            righe.last() << std::exchange(campo, QString());
            if (c == '\r') {
                ++i;
                righe.append(QStringList());
            }
        }
    }
    if (campo.isEmpty() && righe.last().isEmpty())
        righe.removeLast();
    else
        righe.last() << campo;
    return righe;
}
