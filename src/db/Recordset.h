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

protected:
    bool mNoMatch = false;
};

// Next (forward) or Previous: a move past either end beeps and stays on the
// last or the first record, as the navigation buttons of every window do.
void StepWithBeep(Recordset& rs, bool forward);

std::unique_ptr<Recordset> MakeDynaset(std::shared_ptr<Connection> conn, const QString& sql);
std::unique_ptr<Recordset> MakeSnapshot(std::shared_ptr<Connection> conn, const QString& sql, bool forwardOnly);
