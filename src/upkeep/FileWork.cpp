#include "upkeep/FileWork.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class Handle {
public:
    Handle(const QString& path, int flags)
    {
        const QByteArray name = QFile::encodeName(path);
        mRc = sqlite3_open_v2(name.constData(), &mDb, flags, nullptr);
        if (mDb) sqlite3_busy_timeout(mDb, 0);
    }
    ~Handle() { sqlite3_close(mDb); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool Ok() const { return mRc == SQLITE_OK; }
    QString Error() const
    {
        return mDb ? QString::fromUtf8(sqlite3_errmsg(mDb)) : QString::fromUtf8(sqlite3_errstr(mRc));
    }
    sqlite3* Db() const { return mDb; }

private:
    sqlite3* mDb = nullptr;
    int mRc = SQLITE_ERROR;
};

// Runs a query and hands each row's first column, as text, to the callback.
bool Rows(sqlite3* db, const QString& sql, const std::function<bool(const QString&)>& row, QString* problem)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        if (problem) *problem = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    int rc = SQLITE_ROW;
    bool going = true;
    while (going && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        going = row(text ? QString::fromUtf8(text) : QString());
    }
    const bool ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
    if (!ok && problem) *problem = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    return ok;
}

bool Count(sqlite3* db, TableCounts* counts, QString* problem)
{
    QStringList tables;
    if (!Rows(
            db,
            QStringLiteral(
                "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"),
            [&](const QString& name) {
                tables.append(name);
                return true;
            },
            problem))
        return false;
    bool stamp = false;
    for (const QString& table : tables)
        stamp = stamp || table.compare(QLatin1String("Stamp"), Qt::CaseInsensitive) == 0;
    if (!stamp) {
        if (problem) *problem = QStringLiteral("The file holds no Stamp table.");
        return false;
    }
    TableCounts result;
    for (const QString& table : tables) {
        QString quoted = table;
        quoted.replace(u'"', QLatin1String("\"\""));
        qint64 rows = -1;
        if (!Rows(
                db, QStringLiteral("SELECT count(*) FROM \"") + quoted + u'"',
                [&](const QString& value) {
                    rows = value.toLongLong();
                    return false;
                },
                problem))
            return false;
        result.insert(table, rows);
    }
    if (counts) *counts = result;
    return true;
}

}  // namespace

bool CheckCatalogueFile(const QString& path, TableCounts* counts, QString* problem, CheckDepth depth)
{
    if (!QFileInfo(path).isFile()) {
        if (problem) *problem = QStringLiteral("The file '%1' does not exist.").arg(path);
        return false;
    }
    Handle handle(path, SQLITE_OPEN_READONLY);
    if (!handle.Ok()) {
        if (problem) *problem = handle.Error();
        return false;
    }
    QStringList findings;
    if (!Rows(
            handle.Db(),
            depth == CheckDepth::Full ? QStringLiteral("PRAGMA integrity_check(5)")
                                      : QStringLiteral("PRAGMA quick_check(5)"),
            [&](const QString& line) {
                findings.append(line);
                return true;
            },
            problem))
        return false;
    if (findings != QStringList{QStringLiteral("ok")}) {
        if (problem) *problem = QStringLiteral("The file is damaged: ") + findings.join(QStringLiteral("; "));
        return false;
    }
    return Count(handle.Db(), counts, problem);
}

bool CountCatalogueRows(const QString& path, TableCounts* counts, QString* problem)
{
    if (!QFileInfo(path).isFile()) {
        if (problem) *problem = QStringLiteral("The file '%1' does not exist.").arg(path);
        return false;
    }
    Handle handle(path, SQLITE_OPEN_READWRITE);
    if (!handle.Ok()) {
        if (problem) *problem = handle.Error();
        return false;
    }
    return Count(handle.Db(), counts, problem);
}

bool RemoveFileIfPresent(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    return ::unlink(name.constData()) == 0 || errno == ENOENT;
}

bool RenameFile(const QString& from, const QString& to, QString* problem)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    const int error = errno;
    if (problem) *problem = QStringLiteral("Could not rename '%1' to '%2': %3.").arg(from, to, SystemError(error));
    return false;
}

bool LinkFile(const QString& from, const QString& to, QString* problem)
{
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    const int error = errno;
    if (problem) *problem = QStringLiteral("Could not keep '%1' as '%2': %3.").arg(from, to, SystemError(error));
    return false;
}

namespace {

void GivePermissions(int fd, const struct stat& model)
{
    // The owner first (a change of owner may clear the set-id bits), then the
    // group alone where the owner cannot be given, then the mode. Where the
    // process may not, the file stays its own.
    const bool owned =
        ::fchown(fd, model.st_uid, model.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), model.st_gid) == 0;
    const bool moded = ::fchmod(fd, model.st_mode & 07777) == 0;
    static_cast<void>(owned);
    static_cast<void>(moded);
}

}  // namespace

void CopyPermissions(const QString& from, const QString& to)
{
    struct stat model {};
    if (::stat(QFile::encodeName(from).constData(), &model) != 0) return;
    const int fd = ::open(QFile::encodeName(to).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    GivePermissions(fd, model);
    ::close(fd);
}

bool CopyFileDurably(const QString& from, const QString& to, QString* problem)
{
    const QByteArray target = QFile::encodeName(to);
    int in = -1;
    int out = -1;
    auto finish = [&](int error) {
        if (in >= 0) ::close(in);
        if (out >= 0 && ::close(out) != 0 && error == 0) error = errno;
        if (error == 0) return true;
        if (out >= 0) ::unlink(target.constData());
        if (problem) *problem = QStringLiteral("Could not copy '%1' to '%2': %3.").arg(from, to, SystemError(error));
        return false;
    };
    in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return finish(errno);
    // Private until it has the source's permissions.
    out = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) return finish(errno);
    struct stat model {};
    if (::fstat(in, &model) == 0) GivePermissions(out, model);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return finish(errno);
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.constData() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return finish(errno);
            done += put;
        }
    }
    return finish(::fsync(out) == 0 ? 0 : errno);
}

void SyncFolder(const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
