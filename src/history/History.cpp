#include "history/History.h"

#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/Transaction.h"
#include "history/ChangeCapture.h"
#include "history/TrashSchema.h"

#include <optional>

namespace {

// Beyond the changes always kept, older ones go once the history holds this much.
constexpr qint64 kMemoryBudget = 256LL * 1024 * 1024;
constexpr int kMostKept = 1000;

std::function<void()> gCommitHook;

bool TouchesTrash(const Change& change)
{
    if (!change.layout) return false;
    for (const RowChange& row : change.rows)
        if (change.layout->tables[static_cast<size_t>(row.table)].name == kTrashTable) return true;
    return false;
}

}  // namespace

void SetHistoryCommitHook(std::function<void()> hook)
{
    gCommitHook = std::move(hook);
}

History& TheHistory()
{
    static History history;
    return history;
}

void History::Changed() const
{
    if (mObserver) mObserver();
}

void History::Push(Change change)
{
    if (change.IsEmpty()) return;
    mRedo.clear();
    mUndo.push_back(std::move(change));
    Trim();
    Changed();
}

void History::Trim()
{
    qint64 bytes = 0;
    for (const Change& change : mUndo) bytes += change.Bytes();
    while (static_cast<int>(mUndo.size()) > kMostKept ||
           (static_cast<int>(mUndo.size()) > kKept && bytes > kMemoryBudget)) {
        bytes -= mUndo.front().Bytes();
        mUndo.pop_front();
    }
}

QString History::UndoName() const
{
    return mUndo.empty() ? QString() : mUndo.back().name;
}

QString History::RedoName() const
{
    return mRedo.empty() ? QString() : mRedo.back().name;
}

void History::Clear()
{
    if (mUndo.empty() && mRedo.empty()) return;
    mUndo.clear();
    mRedo.clear();
    Changed();
}

void History::ForgetTrashMoves()
{
    // Undo goes newest first: everything older than the newest trash move goes
    // with it. Redo goes in the order undone: everything after the first one.
    for (size_t i = mUndo.size(); i-- > 0;) {
        if (TouchesTrash(mUndo[i])) {
            mUndo.erase(mUndo.begin(), mUndo.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            break;
        }
    }
    for (size_t i = mRedo.size(); i-- > 0;) {
        if (TouchesTrash(mRedo[i])) {
            mRedo.erase(mRedo.begin(), mRedo.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            break;
        }
    }
    Changed();
}

HistoryStep History::Undo(Database& db)
{
    return Step(db, true);
}

HistoryStep History::Redo(Database& db)
{
    return Step(db, false);
}

HistoryStep History::Step(Database& db, bool undo)
{
    std::deque<Change>& from = undo ? mUndo : mRedo;
    std::deque<Change>& to = undo ? mRedo : mUndo;
    HistoryStep step;
    if (from.empty()) return step;
    Change& change = from.back();

    std::optional<CurrentRows> replaced;
    bool fits = true;
    RetryWrite([&] {
        Transaction together(db);
        std::optional<CurrentRows> written = WriteChange(db, change);
        if (!written) {
            fits = false;
            return;
        }
        if (gCommitHook) gCommitHook();
        together.Commit();
        replaced = std::move(written);
    });
    if (!fits) {
        step.problem = undo ? QStringLiteral(
                                  "\"%1\" cannot be undone: what it changed has been changed since in another "
                                  "way.  The changes made before it can no longer be undone either.")
                                  .arg(change.name)
                            : QStringLiteral(
                                  "\"%1\" cannot be redone: what it changed has been changed since in another "
                                  "way.")
                                  .arg(change.name);
        // The change and the ones that can only come after it go.
        from.clear();
        Changed();
        return step;
    }
    if (!replaced) return step;  // the central handler has had the failure
    KeepReplaced(change, std::move(*replaced));
    step.done = true;
    step.focusStamp = change.focusStamp;
    step.stamps = change.Stamps();
    step.codeTables = change.codeTables;
    to.push_back(std::move(change));
    from.pop_back();
    Changed();
    return step;
}

bool RecordChange(Database& db, ChangeKind kind, const std::function<void()>& writes)
{
    std::optional<Change> change;
    const bool written = Guard([&] {
        RetryWrite([&] {
            Transaction together(db);
            ChangeRecording recording(db, kind);
            writes();
            // The keys of the texts written belong to the same change.
            db.SharedConnection()->RefreshTextKeysIfWritten();
            Change noted = recording.Finish();
            together.Commit();
            change = std::move(noted);
        });
    });
    if (!written || !change) return false;
    TheHistory().Push(std::move(*change));
    return true;
}
