#pragma once

// The history of changes for the run: what can be undone, newest first, and what
// has been undone and can be redone until a new change is made. It lives in
// memory only and starts empty each time the catalogue is opened (start-up,
// and the reopening after backup, packing or a restore).
//
// Recording a change takes one call around its writes:
//
//     RecordChange(*gDb, ChangeKind::Change, [&] { ...write the stamps... });
//
// which runs them in one transaction under the lock-retry rule and puts the
// change on the history once it is committed. Code that runs its own
// transaction notes the change with a ChangeRecording inside it and hands the
// result to TheHistory().Push() after its commit.

#include "history/Change.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

class Database;

// What an undo or a redo did, for the windows to show.
struct HistoryStep {
    bool done = false;
    QString problem;        // why it could not be done, for a message; else empty
    qint64 focusStamp = 0;  // the stamp to show, or 0
    QList<qint64> stamps;   // the stamps it touched
    QList<int> codeTables;  // the lists (1-9 the code tables, 10 the catalogues) it touched
};

class History {
public:
    // At least this many changes are kept; more while they take little memory.
    static constexpr int kKept = 100;

    // A committed change; the changes that could be redone are dropped.
    void Push(Change change);

    bool CanUndo() const { return !mUndo.empty(); }
    bool CanRedo() const { return !mRedo.empty(); }
    // The name of the change the next undo or redo takes back, or empty.
    QString UndoName() const;
    QString RedoName() const;
    int UndoCount() const { return static_cast<int>(mUndo.size()); }
    int RedoCount() const { return static_cast<int>(mRedo.size()); }

    // Takes back the newest change (redoes the newest undone one) in one
    // transaction under the lock-retry rule. A change whose rows were changed
    // since in a way the history did not see cannot be taken back: it is
    // dropped with the changes behind it, and problem says so.
    HistoryStep Undo(Database& db);
    HistoryStep Redo(Database& db);

    void Clear();
    // After the trash was emptied for good: the changes that moved stamps into
    // or out of it, and the ones that can only follow them, are dropped.
    void ForgetTrashMoves();

    // Called after every change of the history (the Edit menu's texts follow it).
    void SetObserver(std::function<void()> observer) { mObserver = std::move(observer); }

private:
    HistoryStep Step(Database& db, bool undo);
    void Trim();
    void Changed() const;

    std::deque<Change> mUndo;  // newest at the back
    std::deque<Change> mRedo;  // the next to redo at the back
    std::function<void()> mObserver;
};

// The program's one history.
History& TheHistory();

// Tests stop an undo or a redo between its writes and their commit.
void SetHistoryCommitHook(std::function<void()> hook);

// Runs the writes as one change of the given kind: one transaction under the
// lock-retry rule, noted row by row, and put on the history once committed.
// False when the writes failed (the central error handler has had the failure).
bool RecordChange(Database& db, ChangeKind kind, const std::function<void()>& writes);
