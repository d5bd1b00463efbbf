#pragma once

#include <QString>
#include <QVariant>

#include <memory>

struct Connection;

// What the windows and reports do with the rows of a query: move, test the ends,
// find, read fields by name (case does not matter), and, on a dynaset, add, edit,
// update and delete. A field that holds nothing reads as a null QVariant.
class Recordset {
public:
    virtual ~Recordset() = default;

    virtual int RecordCount() const = 0;
    virtual bool Bof() const = 0;
    virtual bool Eof() const = 0;
    bool IsEmpty() const { return Bof() && Eof(); }

    virtual void MoveFirst() = 0;
    virtual void MoveLast() = 0;
    virtual void MoveNext() = 0;
    virtual void MovePrevious() = 0;

    // Searches from the first record, in the recordset's order, for the first
    // record that meets the condition (program dialect). No match leaves the
    // position as it was and sets NoMatch.
    virtual void FindFirst(const QString& condition) = 0;
    bool NoMatch() const { return mNoMatch; }

    // A field of the current record by name; case does not matter.
    QVariant Field(const QString& name) const;
    // The index of a field by name, or -1.
    virtual int FieldIndex(const QString& name) const = 0;
    virtual int FieldCount() const = 0;
    virtual QString FieldName(int index) const = 0;
    virtual QVariant FieldAt(int index) const = 0;

    // Write operations: a snapshot refuses them.
    virtual void AddNew();
    virtual void Edit();
    virtual void SetField(const QString& name, const QVariant& value);
    virtual void Update();
    virtual void CancelUpdate();
    virtual void Delete();

    virtual void Close() = 0;

    // Positions and keys, as a list of the records shows them (dynasets; a
    // snapshot refuses them). The current record's position from 0, or -1 when
    // there is none.
    virtual int AbsolutePosition() const;
    // Makes the record at a position (0 to RecordCount() - 1) the current one.
    virtual void SetAbsolutePosition(int position);
    // The record key (the table's rowid) at a position, and the position of a
    // key (-1 when the recordset does not hold it).
    virtual qint64 KeyAt(int position) const;
    virtual int PositionOf(qint64 key) const;
    // A number that changes whenever the keys change (a new recordset, a read of
    // the keys after a write, a delete), never to one that was used before.
    virtual quint64 KeysetVersion() const;

protected:
    bool mNoMatch = false;
};

// Next (forward) or Previous: a move past either end beeps and stays on the
// last or the first record, as the navigation buttons of every window do.
void StepWithBeep(Recordset& rs, bool forward);

std::unique_ptr<Recordset> MakeDynaset(std::shared_ptr<Connection> conn, const QString& sql);
// The dynaset "Select * from <table> where <condition> order by <order>" (program
// dialect; an empty condition takes every row). Rows that the recordset itself
// adds or changes stay in it, in their sorted place, whether or not they still
// meet the condition, until it is opened anew. Its keys are read as the rows
// that meet the condition taken from the order of all rows, which is kept
// between reads while nothing is written: a new condition on the same order
// reads only the rows that meet it.
std::unique_ptr<Recordset> MakeFilteredDynaset(std::shared_ptr<Connection> conn, const QString& table,
                                               const QString& condition, const QString& order);
std::unique_ptr<Recordset> MakeSnapshot(std::shared_ptr<Connection> conn, const QString& sql, bool forwardOnly);
