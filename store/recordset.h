#pragma once
// Record sets over the year's database: table-type record sets with a current
// index, Seek and cursor moves, and record sets opened from SQL texts.
// Every failure of the engine is raised as store::ErroreArchivio.
#include "store/errore.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace store {

class Database;

class Recordset {
public:
    virtual ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Releases the record set; closing one already closed does nothing.
    virtual void Close() = 0;

    // Cursor state: Eof() after moving past the last row, Bof() before the first.
    // With no rows both are true.
    virtual bool Eof() const = 0;
    virtual bool Bof() const = 0;
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;

    // 0 for an empty set, otherwise a positive number (the exact count is not promised).
    virtual long RecordCount() = 0;

    // Field of the current row, name matched without regard to case.
    // Value() gives a null QVariant for Null; Fields() reads Null as "".
    virtual QVariant Value(const QString& campo) const = 0;
    QString Fields(const QString& campo) const;
    // For rows read by the thousand: the place of a field in the row, looked
    // up once (name matched without regard to case; OggettoMancante when
    // there is none), then each row's value at that place, as Value() reads it.
    virtual int Indice(const QString& campo) const = 0;
    virtual QVariant ValueAt(int indice) const = 0;
    bool IsNull(const QString& campo) const { return Value(campo).isNull(); }

    // Edit the current row: Edit(), SetField()..., Update() stores it at once;
    // a row that another program removed meanwhile raises Conflitto.
    // SetField with a null QVariant() writes Null; any QString, QString()
    // included, writes a text (an empty field is stored as an empty text).
    virtual void Edit() = 0;
    virtual void SetField(const QString& campo, const QVariant& valore) = 0;
    virtual void Update() = 0;
    virtual void CancelUpdate() = 0;

protected:
    Recordset() = default;
};

// Table-type record set over one whole table.
class TableRecordset : public Recordset {
public:
    // Makes the named index ("CHIAVE", "CHIAVECODAZI", ...) current; Seek and
    // the moves then follow its key columns. Raises OggettoMancante when the
    // table has no such index.
    virtual void setIndex(const QString& nome) = 0;
    virtual QString Index() const = 0;

    // Seek "=": positions on the first row (in index order) whose first key
    // columns equal the given values; NoMatch() tells whether there was none.
    // After a NoMatch there is no current row: Bof() and Eof() are both
    // true, field reads, Edit, Delete and moves other than MoveFirst and
    // MoveLast raise NessunRecord. Trailing blanks are not significant in
    // the comparison.
    virtual void Seek(const QString& confronto, const QVariantList& chiavi) = 0;
    void Seek(const QString& confronto, const QVariant& chiave1) { Seek(confronto, QVariantList{chiave1}); }
    void Seek(const QString& confronto, const QVariant& chiave1, const QVariant& chiave2)
    {
        Seek(confronto, QVariantList{chiave1, chiave2});
    }
    virtual bool NoMatch() const = 0;

    virtual void MovePrevious() = 0;
    virtual void MoveLast() = 0;
    // RecordCount(), where a walk over the whole table starts, raises
    // ArchivioSpostato when the archive file is no longer the one opened, as
    // opening an SQL record set does.

    // A new row: AddNew(), SetField()..., Update() inserts it. The current row
    // stays the one before AddNew.
    virtual void AddNew() = 0;
    // Deletes the current row at once; afterwards there is no current row.
    // A row that another program removed meanwhile raises Conflitto.
    virtual void Delete() = 0;
};

// Record set over the rows of an SQL text, in the order of the SQL. Values are
// bound to the "?" placeholders of the text, never pasted into it. Once a row
// has been edited, a row still to come that another program removed
// meanwhile is skipped and the next one follows.
class SqlRecordset : public Recordset {
};

} // namespace store
