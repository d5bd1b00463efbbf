#include "history/AutoBackups.h"

#include "db/CatalogueVersion.h"
#include "db/Database.h"
#include "upkeep/FileWork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::function<void(const char*)> gStepHook;

void AtStep(const char* step)
{
    if (gStepHook) gStepHook(step);
}

const QString kNameFormat = QStringLiteral("yyyy-MM-dd-HHmmss");
const QString kTempPattern = QStringLiteral(".stamp-backup-XXXXXX.tmp");

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a backup file is, read without changing it.
struct Inspection {
    bool catalogue = false;
    qint64 stamps = -1;
    QString problem;
};

Inspection Inspect(const QString& path)
{
    Inspection result;
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        result.problem = QStringLiteral("The file cannot be read: %1.").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return result;
    }
    auto scalar = [&](const char* sql, qint64* value) {
        sqlite3_stmt* stmt = nullptr;
        bool ok = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW;
        if (ok) *value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return ok;
    };
    qint64 version = 0;
    qint64 hasStamp = 0;
    if (!scalar("PRAGMA user_version", &version) ||
        !scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Stamp' COLLATE NOCASE",
                &hasStamp)) {
        result.problem =
            QStringLiteral("The file is damaged or is not a catalogue: %1.").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    } else if (hasStamp == 0) {
        result.problem = QStringLiteral("The file is not a Tessarine catalogue.");
    } else if (version > kCatalogueVersion) {
        result.problem = QStringLiteral("The file was written by a newer version of Tessarine.");
    } else if (!scalar("SELECT count(*) FROM Stamp", &result.stamps)) {
        result.problem = QStringLiteral("The file is damaged: %1.").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        result.stamps = -1;
    } else {
        result.catalogue = true;
    }
    sqlite3_close(db);
    return result;
}

// Temporary files of copies that were never finished (the program was stopped).
void RemoveLeftovers(const QString& folder)
{
    const QStringList leftovers =
        QDir(folder).entryList({QStringLiteral(".stamp-backup-*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QString& name : leftovers) RemoveFileIfPresent(QDir(folder).filePath(name));
}

}  // namespace

void SetAutomaticBackupStepHook(std::function<void(const char* step)> hook)
{
    gStepHook = std::move(hook);
}

QDateTime BackupMoment(const QString& fileName)
{
    static const QRegularExpression form(QStringLiteral(R"(^stamp-(\d{4}-\d{2}-\d{2}-\d{6})(?:-\d+)?\.mdb$)"));
    const auto match = form.match(fileName);
    if (!match.hasMatch()) return QDateTime();
    return QDateTime::fromString(match.captured(1), kNameFormat);
}

QList<QDateTime> BackupsToRemove(QList<QDateTime> made, const QDateTime& now)
{
    std::sort(made.begin(), made.end(), std::greater<>());
    QList<QDateTime> kept;
    for (qsizetype i = 0; i < made.size() && i < AutomaticBackups::kNewestKept; ++i) kept << made[i];
    // The newest of each month, this one and the eleven before it.
    const QDate thisMonth(now.date().year(), now.date().month(), 1);
    for (int back = 0; back < AutomaticBackups::kMonthsKept; ++back) {
        const QDate month = thisMonth.addMonths(-back);
        for (const QDateTime& moment : made) {
            if (moment.date().year() == month.year() && moment.date().month() == month.month()) {
                if (!kept.contains(moment)) kept << moment;
                break;
            }
        }
    }
    QList<QDateTime> removed;
    for (const QDateTime& moment : made)
        if (!kept.contains(moment)) removed << moment;
    return removed;
}

AutomaticBackups::AutomaticBackups(const QString& catalogue, BackupClock clock)
    : mCatalogue(catalogue), mClock(std::move(clock))
{
}

QString AutomaticBackups::Folder() const
{
    return QFileInfo(mCatalogue).absoluteDir().filePath(QStringLiteral("backups"));
}

QDateTime AutomaticBackups::Now() const
{
    return mClock ? mClock() : QDateTime::currentDateTime();
}

std::optional<QDateTime> AutomaticBackups::LastMade() const
{
    std::optional<QDateTime> last;
    for (const QString& name : QDir(Folder()).entryList(QDir::Files)) {
        const QDateTime moment = BackupMoment(name);
        if (moment.isValid() && (!last || moment > *last)) last = moment;
    }
    return last;
}

bool AutomaticBackups::IsDue() const
{
    const auto last = LastMade();
    const QDateTime now = Now();
    // A backup from later than now means the clock was wrong: a new one is made.
    return !last || *last > now || last->secsTo(now) >= 24 * 60 * 60;
}

QList<AutomaticBackup> AutomaticBackups::List() const
{
    QList<AutomaticBackup> ours;
    QList<AutomaticBackup> others;
    const QFileInfoList files = QDir(Folder()).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        AutomaticBackup backup;
        backup.path = file.absoluteFilePath();
        backup.fileName = file.fileName();
        backup.bytes = file.size();
        backup.made = BackupMoment(backup.fileName);
        if (!backup.made.isValid()) {
            backup.problem = QStringLiteral("This file is not an automatic backup of Tessarine.");
            others << backup;
            continue;
        }
        const Inspection inspection = Inspect(backup.path);
        backup.usable = inspection.catalogue;
        backup.stamps = inspection.stamps;
        backup.problem = inspection.problem;
        ours << backup;
    }
    std::sort(ours.begin(), ours.end(), [](const AutomaticBackup& a, const AutomaticBackup& b) {
        return a.made != b.made ? a.made > b.made : a.fileName > b.fileName;
    });
    return ours + others;
}

QStringList AutomaticBackups::Rotate() const
{
    QStringList names;
    QList<QDateTime> moments;
    for (const QString& name : QDir(Folder()).entryList(QDir::Files)) {
        const QDateTime moment = BackupMoment(name);
        if (!moment.isValid()) continue;
        names << name;
        moments << moment;
    }
    const QList<QDateTime> going = BackupsToRemove(moments, Now());
    QStringList removed;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!going.contains(moments[i])) continue;
        if (RemoveFileIfPresent(QDir(Folder()).filePath(names[i]))) removed << names[i];
    }
    if (!removed.isEmpty()) SyncFolder(Folder());
    return removed;
}

QString AutomaticBackups::NewBackupPath() const
{
    const QString stem = QStringLiteral("stamp-") + Now().toString(kNameFormat);
    const QDir folder(Folder());
    QString name = stem + QStringLiteral(".mdb");
    for (int n = 2; folder.exists(name); ++n) name = stem + u'-' + QString::number(n) + QStringLiteral(".mdb");
    return folder.filePath(name);
}

// ---------------------------------------------------------------------------

CatalogueCopy::CatalogueCopy(Database& db, QString target) : mConn(db.SharedConnection()), mTarget(std::move(target)) {}

CatalogueCopy::~CatalogueCopy()
{
    if (!mKept) Abandon();
}

bool CatalogueCopy::Fail(const QString& problem)
{
    mProblem = problem.isEmpty() ? QStringLiteral("The copy could not be made.") : problem;
    Abandon();
    return false;
}

bool CatalogueCopy::Begin()
{
    sqlite3* source = mConn->db;
    if (!source) return Fail(QStringLiteral("The catalogue is closed."));
    const QString folder = QFileInfo(mTarget).absolutePath();
    if (QFileInfo(folder).exists() && !QFileInfo(folder).isDir())
        return Fail(QStringLiteral("'%1' is in the way: it is a file, not a folder.").arg(folder));
    mMadeFolder = !QFileInfo(folder).exists();
    if (!QDir().mkpath(folder)) return Fail(QStringLiteral("The folder '%1' could not be made.").arg(folder));
    RemoveLeftovers(folder);

    QByteArray name = QFile::encodeName(QDir(folder).filePath(kTempPattern));
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0) return Fail(QStringLiteral("Could not write in '%1': %2.").arg(folder, SystemError(errno)));
    ::close(fd);
    mTemp = QFile::decodeName(name);

    AtStep("copy");
    if (sqlite3_open_v2(name.constData(), &mCopy, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return Fail(QString::fromUtf8(sqlite3_errmsg(mCopy)));
    // The copy is synced as a whole at the end; it needs no journal of its own.
    sqlite3_exec(mCopy, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    mBackup = sqlite3_backup_init(mCopy, "main", source, "main");
    if (!mBackup) return Fail(QString::fromUtf8(sqlite3_errmsg(mCopy)));
    return true;
}

bool CatalogueCopy::Step(int pages)
{
    if (mFinished || Failed()) return true;
    if (!mBackup || !mConn->db) return !Fail(QStringLiteral("The catalogue was closed while it was copied."));
    const int rc = sqlite3_backup_step(mBackup, pages);
    mTotal = sqlite3_backup_pagecount(mBackup);
    mDone = mTotal - sqlite3_backup_remaining(mBackup);
    if (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) return false;
    if (rc != SQLITE_DONE) return !Fail(QString::fromUtf8(sqlite3_errstr(rc)));

    // The stamps the catalogue holds as the copy is finished: the copy must hold
    // as many.
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(mConn->db, "SELECT count(*) FROM Stamp", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        mStamps = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);

    const int finish = sqlite3_backup_finish(mBackup);
    mBackup = nullptr;
    if (finish != SQLITE_OK) return !Fail(QString::fromUtf8(sqlite3_errmsg(mCopy)));
    if (sqlite3_close(mCopy) != SQLITE_OK) return !Fail(QStringLiteral("The copy could not be closed."));
    mCopy = nullptr;
    const QByteArray name = QFile::encodeName(mTemp);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        return !Fail(QStringLiteral("Could not write the copy: %1.").arg(SystemError(error)));
    }
    ::close(fd);
    CopyPermissions(mConn->path, mTemp);
    mFinished = true;
    return true;
}

bool CatalogueCopy::Check()
{
    if (!mFinished || Failed()) return false;
    AtStep("check");
    TableCounts counts;
    QString problem;
    // The engine wrote the copy from a sound catalogue: the structure of every
    // page and the count of stamps prove it was written whole.
    if (!CheckCatalogueFile(mTemp, &counts, &problem, CheckDepth::Structure)) {
        mProblem = problem;
        return false;
    }
    qint64 stamps = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.key().compare(QLatin1String("Stamp"), Qt::CaseInsensitive) == 0) stamps = it.value();
    if (stamps != mStamps) {
        mProblem = QStringLiteral("The copy holds %1 stamps instead of %2.").arg(stamps).arg(mStamps);
        return false;
    }
    return true;
}

bool CatalogueCopy::Keep()
{
    if (!mFinished || Failed()) return false;
    AtStep("name");
    QString problem;
    if (!RenameFile(mTemp, mTarget, &problem)) return Fail(problem);
    mKept = true;
    SyncFolder(QFileInfo(mTarget).absolutePath());
    return true;
}

void CatalogueCopy::Abandon()
{
    if (mBackup) sqlite3_backup_finish(mBackup);
    mBackup = nullptr;
    if (mCopy) sqlite3_close(mCopy);
    mCopy = nullptr;
    if (!mTemp.isEmpty() && !mKept) RemoveFileIfPresent(mTemp);
    if (mMadeFolder && !mKept) QDir().rmdir(QFileInfo(mTarget).absolutePath());
    mMadeFolder = false;
    mFinished = false;
}

// ---------------------------------------------------------------------------

bool MakeAutomaticBackup(Database& db, const AutomaticBackups& backups, QString* problem,
                         const BackupProgress& progress, bool rotate)
{
    auto fail = [&](const QString& why) {
        if (problem) *problem = why;
        return false;
    };
    CatalogueCopy copy(db, backups.NewBackupPath());
    if (!copy.Begin()) return fail(copy.Problem());
    constexpr int kPagesAStep = 2048;
    while (!copy.Step(kPagesAStep)) {
        // The count doubles: the copy, then its check.
        if (progress && !progress(copy.PagesDone(), 2 * std::max<qint64>(copy.PagesTotal(), 1))) {
            copy.Abandon();
            return fail(QString());
        }
    }
    if (copy.Failed()) return fail(copy.Problem());
    if (progress) progress(copy.PagesTotal(), 2 * std::max<qint64>(copy.PagesTotal(), 1));
    if (!copy.Check()) return fail(copy.Problem());
    if (!copy.Keep()) return fail(copy.Problem());
    if (rotate) backups.Rotate();
    return true;
}

bool RestoreAutomaticBackup(const AutomaticBackup& backup, const QString& catalogue, QString* problem)
{
    auto fail = [&](const QString& why) {
        if (problem) *problem = why;
        return false;
    };
    if (!backup.usable || !BackupMoment(backup.fileName).isValid())
        return fail(backup.problem.isEmpty() ? QStringLiteral("This file is not an automatic backup of Tessarine.")
                                             : backup.problem);
    const QFileInfo target(catalogue);
    const QString folder = target.absolutePath();
    const QString journal = target.absoluteFilePath() + QStringLiteral("-journal");
    // A journal beside the catalogue would be played into the restored file.
    if (QFileInfo::exists(journal))
        return fail(QStringLiteral("The catalogue is still in use: '%1' is there.").arg(journal));

    TableCounts original;
    QString why;
    if (!CheckCatalogueFile(backup.path, &original, &why, CheckDepth::Full))
        return fail(QStringLiteral("The backup is damaged: %1").arg(why));

    const QString copy = QDir(folder).filePath(QStringLiteral("stamprestore.mdb"));
    RemoveFileIfPresent(copy);
    RemoveFileIfPresent(copy + QStringLiteral("-journal"));
    auto failAndClean = [&](const QString& text) {
        RemoveFileIfPresent(copy);
        SyncFolder(folder);
        return fail(text);
    };
    AtStep("copy");
    if (!CopyFileDurably(backup.path, copy, &why)) return failAndClean(why);
    if (target.exists()) CopyPermissions(target.absoluteFilePath(), copy);
    AtStep("check");
    TableCounts copied;
    if (!CheckCatalogueFile(copy, &copied, &why, CheckDepth::Structure)) return failAndClean(why);
    if (copied != original) return failAndClean(QStringLiteral("The copy of the backup does not match the backup."));
    AtStep("swap");
    if (!RenameFile(copy, target.absoluteFilePath(), &why)) return failAndClean(why);
    SyncFolder(folder);
    return true;
}
