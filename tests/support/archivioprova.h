#pragma once
// A throw-away archive folder for the tests.
//
//   ArchivioProva a;                 // temp folder holding the template SQ47XXXX.MDB
//                                    // (schema + provinces), nothing else
//   a.creaAnno();                    // copies it to S7702004.MDB, as start-up does
//   a.aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
//   a.aggiungiSostituto("101", "RSSMRA80A01H501U", {"ROSSI", "MARIO", "M", "19800101",
//                       "ROMA", "RM", "ROMA", "RM", "VIA ROMA 1", "001"});
//   a.aggiungiRigaQuadro("QUADROLDIP1", "101", "01234567897", "RSSMRA80A01H501U",
//                        {{"IMPORTO1", 100}});
//   const QString prima = a.istantanea();
//   ... run the code under test on a.percorsoAnno() ...
//   QCOMPARE(a.istantanea(), prima);   // nothing changed
//
// Every helper opens its own short-lived connection (a unique connection
// name, a busy wait of a few seconds), so it can be used while the program
// under test has the same file open. Values are written exactly as given (no
// key normalisation): a null QVariant (QVariant()) writes Null, any QString
// (QString() included) a text. Failures raise std::runtime_error, which Qt
// Test reports as a failure.
// By default the helpers work on the year's database; setArchivio() points
// them at another file of the folder (the template, say).
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <memory>

class ArchivioProva {
public:
    ArchivioProva();
    ~ArchivioProva();
    ArchivioProva(const ArchivioProva&) = delete;
    ArchivioProva& operator=(const ArchivioProva&) = delete;

    // The archive folder: absolute, no trailing separator.
    QString cartella() const;
    QString percorsoTemplate() const; // cartella()/SQ47XXXX.MDB
    QString percorsoAnno() const;     // cartella()/S7702004.MDB

    // Copies the template to the year's database (a plain file copy) and
    // returns its path. Raises when the year's database already exists.
    QString creaAnno();

    // File the helpers below work on; the year's database unless set.
    QString archivio() const;
    void setArchivio(const QString& percorso);

    // ---- rows ----
    void aggiungiFrontespizio(const QString& codazi, const QString& cfd, const QVariant& fr1 = {},
                              const QVariant& fr2 = {}, const QVariant& fr3 = {}, const QVariant& fr14 = {});
    // asost: the values of ASOST_1 .. ASOST_10 in order; missing ones are Null.
    void aggiungiSostituto(const QString& codazi, const QString& cfs, const QVariantList& asost = {});
    // A row of a section table (QUADROLDIP1..4, QUADROLAUT, QUADROST) with its
    // keys and any other columns; returns its ID.
    qint64 aggiungiRigaQuadro(const QString& tabella, const QString& codazi, const QString& cfd,
                              const QString& cfs, const QVariantMap& altri = {});
    // A recipient of PERCETTORI; returns its ID.
    qint64 aggiungiPercettore(const QString& codazi, const QString& cfperc, const QVariant& cognome = {},
                              const QVariant& nome = {});

    // ---- any statement, values bound to "?" ----
    // Returns the rows changed.
    int esegui(const QString& sql, const QVariantList& parametri = {});
    // Every row of a selection, column name -> value (Null as a null QVariant).
    QList<QVariantMap> righe(const QString& sql, const QVariantList& parametri = {});
    // First column of the first row as a number, e.g. "SELECT COUNT(*) FROM ...".
    qint64 conta(const QString& sql, const QVariantList& parametri = {});

    // Deterministic text of the whole file: the catalogue (tables, indexes and
    // their SQL), then every row of every table, all columns, ordered by every
    // column (binary comparison, so trailing blanks count). Texts are quoted,
    // Null is NULL.
    QString istantanea();

    // Holds a lock on the file until destroyed, as another program of the
    // suite would: esclusivo = BEGIN EXCLUSIVE (no one may even read),
    // otherwise BEGIN IMMEDIATE (others may read, not write).
    class Blocco {
    public:
        Blocco(const QString& percorso, bool esclusivo);
        ~Blocco();
        Blocco(const Blocco&) = delete;
        Blocco& operator=(const Blocco&) = delete;

    private:
        QString m_nome;
    };
    std::unique_ptr<Blocco> blocca(bool esclusivo = true);

private:
    QTemporaryDir m_cartella;
    QString m_archivio;
};
