#include "upkeep/Compact.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "upkeep/FileWork.h"

#include <QFile>
#include <QFileInfo>

namespace {

RenameFunction gRename;
RenameFunction gLink;

bool Rename(const QString& from, const QString& to, QString* problem)
{
    return gRename ? gRename(from, to, problem) : RenameFile(from, to, problem);
}

bool Link(const QString& from, const QString& to, QString* problem)
{
    return gLink ? gLink(from, to, problem) : LinkFile(from, to, problem);
}

QString DescribeDifference(const TableCounts& before, const TableCounts& after)
{
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key())) return QStringLiteral("The compacted copy has lost the table %1.").arg(it.key());
        if (after.value(it.key()) != it.value())
            return QStringLiteral("The compacted copy holds %1 rows in the table %2 instead of %3.")
                .arg(after.value(it.key()))
                .arg(it.key())
                .arg(it.value());
    }
    return QStringLiteral("The compacted copy holds tables the catalogue does not.");
}

}  // namespace

void SetPackRename(RenameFunction rename)
{
    gRename = std::move(rename);
}

void SetPackLink(RenameFunction link)
{
    gLink = std::move(link);
}

bool AskToCompact()
{
    return MsgBox(QStringLiteral("Do you wish to compact the Tessarine database?"), MsgButtons::YesNo,
                  QStringLiteral("Compact Database")) == MsgAnswer::Yes;
}

bool PackCatalogue()
{
    const QString catalogue = gDbPath.isEmpty() ? gAppDir + QStringLiteral("stamp.mdb") : gDbPath;
    const QString fresh = gAppDir + QStringLiteral("stampnew.mdb");
    const QString backup = gAppDir + QStringLiteral("stampdb.bak");
    // The old file's spare name while the copy takes its place.
    const QString kept = gAppDir + QStringLiteral("stampold.mdb");
    const QString folder = QFileInfo(catalogue).absolutePath();

    // Whatever failed, the collector keeps a stamp.mdb. The steps below never take
    // it away; should it be gone all the same, the previous file goes back.
    auto fail = [&](const QString& why) {
        RemoveFileIfPresent(fresh);
        RemoveFileIfPresent(fresh + QStringLiteral("-journal"));
        bool restored = QFileInfo::exists(catalogue);
        for (const QString& old : {kept, backup}) {
            if (restored || !QFileInfo::exists(old)) continue;
            QString ignored;
            restored = Rename(old, catalogue, &ignored) || QFile::copy(old, catalogue);
        }
        RemoveFileIfPresent(kept);
        SyncFolder(folder);
        if (restored) {
            MsgBox(QStringLiteral("The database could not be compacted.  The catalogue has not been changed.\n\n") +
                   why);
        } else {
            MsgBox(QStringLiteral("The database could not be compacted, and stamp.mdb could not be put back.  The "
                                  "catalogue as it was before is the file stampdb.bak: rename it to stamp.mdb before "
                                  "you start Tessarine again.\n\n") +
                   why);
        }
        return false;
    };

    // A copy left by an interrupted compaction goes first, with its journal, which
    // would otherwise be played back into the new copy.
    RemoveFileIfPresent(fresh);
    RemoveFileIfPresent(fresh + QStringLiteral("-journal"));

    {
        // A catalogue with many images takes a while; Cancel leaves it as it was.
        Progress progress(kAppTitle, QStringLiteral("Packing the catalogue..."), QFileInfo(catalogue).size(), true);
        try {
            Database::CompactInto(catalogue, fresh, [&progress](qint64 written) { return progress.Step(written); });
        } catch (const DbError& error) {
            if (progress.Cancelled()) {
                RemoveFileIfPresent(fresh);
                RemoveFileIfPresent(fresh + QStringLiteral("-journal"));
                return false;
            }
            return fail(error.Text());
        }
    }

    TableCounts before;
    TableCounts after;
    QString problem;
    if (!CountCatalogueRows(catalogue, &before, &problem)) return fail(problem);
    // The engine has just written the copy from a catalogue it read without
    // fault: a check of every page's structure, and the same rows in every table,
    // prove the copy; a full index check would cost several compactions.
    if (!CheckCatalogueFile(fresh, &after, &problem, CheckDepth::Structure)) return fail(problem);
    if (before != after) return fail(DescribeDifference(before, after));

    // A private catalogue stays private: the copy gets its permissions, and its
    // owner and group where the process may give them.
    CopyPermissions(catalogue, fresh);

    // The old file gets a spare second name without leaving its place, the copy
    // then replaces stamp.mdb in one rename, and only then does the spare name
    // become stampdb.bak. Whenever the program is stopped there is a stamp.mdb,
    // and stampdb.bak is never the very file stamp.mdb is, whose later changes it
    // would share.
    if (QFileInfo(backup).isDir())
        return fail(QStringLiteral("Could not keep the old catalogue as '%1': a folder of that name is in the way.")
                        .arg(backup));
    RemoveFileIfPresent(kept);
    if (!Link(catalogue, kept, &problem)) {
        QString copyProblem;
        RemoveFileIfPresent(kept);
        if (!CopyFileDurably(catalogue, kept, &copyProblem)) return fail(copyProblem);
    }
    if (!Rename(fresh, catalogue, &problem)) return fail(problem);
    if (!Rename(kept, backup, &problem)) {
        RemoveFileIfPresent(kept);
        SyncFolder(folder);
        MsgBox(QStringLiteral("The database has been compacted, but the catalogue as it was before could not be kept "
                              "as stampdb.bak.\n\n") +
               problem);
        return true;
    }
    SyncFolder(folder);
    return true;
}
