#pragma once

// The names of changes as the Edit menu shows them: "Update of 'Penny Black'",
// "Delete of 3 stamps", "Import of 1,234 stamps", "Rename of Country 'Prussia'".

#include "history/Change.h"

#include <QString>

#include <map>
#include <vector>

struct CapturedTable;

// Gathers what a change touched, to name it.
class StampNaming {
public:
    // A row of a stamp or a code table, with its description.
    void Note(const CapturedTable& table, qint64 key, const QString& description);
    QString Name(ChangeKind kind) const;
    // The stamp with the lowest key, or 0.
    qint64 FirstStamp() const;

private:
    std::map<qint64, QString> mStamps;
    struct Code {
        int table;
        qint64 key;
        QString description;
    };
    std::vector<Code> mCodes;
};

// "Undo Update of 'Penny Black'" with its access key, a description's own "&"
// shown as itself; "Nothing to Undo" when there is no change.
QString UndoMenuText(const QString& name);
QString RedoMenuText(const QString& name);
