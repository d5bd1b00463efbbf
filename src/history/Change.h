#pragma once

// One change of the catalogue as the history keeps it: every row it touched,
// with the row's stored values as they are not in the catalogue now (before the
// change while it stands, after it once undone; an absent row is kept as
// absent) and a fingerprint of the values that are. Undo and redo are the same
// step: check that every row still holds what the change left, then write the
// kept values back and keep the ones they replace.

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class Database;
struct CaptureLayout;

// What the collector did; it names the change in the Edit menu.
enum class ChangeKind {
    Add,         // stamps added in the editor
    Update,      // a stamp changed in the editor
    Delete,      // stamps moved to the trash
    Restore,     // stamps brought back from the trash
    Change,      // a change of many stamps at once
    Import,      // stamps added or changed by an import
    CodeAdd,     // a code table entry added
    CodeRename,  // a code table entry renamed
    CodeDelete,  // a code table entry deleted
};

struct RowChange {
    int table = 0;  // index into the capture layout's tables
    qint64 key = 0;
    std::optional<QByteArray> kept;  // the values the next undo or redo writes (absent: the row goes)
    quint64 live = 0;                // fingerprint of what the catalogue holds now
};

class Change {
public:
    ChangeKind kind = ChangeKind::Update;
    QString name;           // "Update of 'Penny Black'", "Delete of 3 stamps"
    qint64 focusStamp = 0;  // the stamp to show afterwards, or 0
    QList<int> codeTables;  // the lists (1-9 the code tables, 10 the catalogues) it touched
    std::vector<RowChange> rows;
    std::shared_ptr<const CaptureLayout> layout;  // the connection it was noted on

    bool IsEmpty() const { return rows.empty(); }
    // Memory the kept values take.
    qint64 Bytes() const;
    // The stamps (by key) the change touched, each once, in key order.
    QList<qint64> Stamps() const;
};

// The values each row holds now, read by WriteChange and kept by the change once
// the write has been committed.
using CurrentRows = std::vector<std::optional<QByteArray>>;

// Writes the kept values of every row, inside the caller's transaction. Answers
// nullopt, having written nothing that the caller's rollback does not undo, when
// a row no longer holds what the change left (it was changed elsewhere since) or
// a kept row can no longer be written. Other failures are DbErrors.
std::optional<CurrentRows> WriteChange(Database& db, const Change& change);

// After the transaction committed: the change keeps what it replaced.
void KeepReplaced(Change& change, CurrentRows&& replaced);
