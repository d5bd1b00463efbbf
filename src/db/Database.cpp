#include "db/Database.h"

#include "db/CatalogueVersion.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/SqlDialect.h"
#include "db/TextKeys.h"
#include "history/ChangeCapture.h"
#include "images/ImageSchema.h"
#include "numbers/NumberSchema.h"

#include <QDate>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Connection::~Connection() { Close(); }

void Connection::Close()
{
    if (!db) return;
    // Statements still held by recordsets are finalized here; their owners see
    // the null handle and report the object as no longer valid.
    while (sqlite3_stmt* stmt = sqlite3_next_stmt(db, nullptr)) sqlite3_finalize(stmt);
    sqlite3_close(db);
    db = nullptr;
}

sqlite3* Connection::Checked() const
{
    if (!db)
        throw DbError(ErrNo::ObjectInvalid, QStringLiteral("Object invalid or no longer set."));
    return db;
}

void Connection::RefreshTextKeysIfWritten()
{
    if (!textKeys || refreshingKeys || !db || sqlite3_total_changes64(db) == keysCheckedAt) return;
    refreshingKeys = true;
    try {
        RefreshTextKeys(db);
    } catch (...) {
        refreshingKeys = false;
        throw;
    }
    refreshingKeys = false;
    keysCheckedAt = sqlite3_total_changes64(db);
}

void ThrowEngineError(sqlite3* db, int rc)
{
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw DbError(ErrNo::RecordLocked, QStringLiteral("Could not update; currently locked."));
    QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    throw DbError(primary, text);
}

Statement::Statement(std::shared_ptr<Connection> conn, const QString& sql) : mConn(std::move(conn))
{
    sqlite3* db = mConn->Checked();
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &mStmt, nullptr);
    if (rc != SQLITE_OK) {
        mStmt = nullptr;
        ThrowEngineError(db, rc);
    }
    // A read sees the keys of every text written before it.
    if (mStmt && sqlite3_stmt_readonly(mStmt)) {
        try {
            mConn->RefreshTextKeysIfWritten();
        } catch (...) {
            sqlite3_finalize(mStmt);
            mStmt = nullptr;
            throw;
        }
    }
}

Statement::~Statement()
{
    if (mStmt && mConn->db) sqlite3_finalize(mStmt);
}

sqlite3_stmt* Statement::Handle()
{
    mConn->Checked();
    return mStmt;
}

bool Statement::Step()
{
    sqlite3* db = mConn->Checked();
    const int rc = sqlite3_step(mStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(mStmt);
    ThrowEngineError(db, rc);
}

void Statement::Reset()
{
    mConn->Checked();
    sqlite3_reset(mStmt);
    sqlite3_clear_bindings(mStmt);
}

QVariant ColumnVariant(sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt, i)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt, i));
        case SQLITE_TEXT:
            return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                              sqlite3_column_bytes(stmt, i)));
        case SQLITE_BLOB:
            return QVariant(
                QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i)));
        default:
            return QVariant();
    }
}

void BindVariant(sqlite3_stmt* stmt, int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
            sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QDate: {
            const QDate date = value.toDate();
            if (!date.isValid()) {
                sqlite3_bind_null(stmt, index);
            } else {
                const QByteArray iso = date.toString(Qt::ISODate).toUtf8();
                sqlite3_bind_text(stmt, index, iso.constData(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
            }
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

namespace {

void ExecRaw(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

}  // namespace

Database::Database(std::shared_ptr<Connection> conn) : mConn(std::move(conn)) {}

Database::~Database() { Close(); }

namespace {

// The first required table the file lacks, or the empty text.
QString MissingTable(sqlite3* db, const QStringList& required)
{
    QStringList present;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &stmt, nullptr) != SQLITE_OK)
        ThrowEngineError(db, sqlite3_errcode(db));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        present << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))).toLower();
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) ThrowEngineError(db, rc);
    for (const QString& table : required)
        if (!present.contains(table.toLower())) return table;
    return QString();
}

}  // namespace

std::unique_ptr<Database> Database::Open(const QString& path, bool exclusive, const QStringList& requiredTables)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw DbError(ErrNo::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(info.absoluteFilePath()));

    if (info.isDir())
        throw DbError(ErrNo::CannotOpen, QStringLiteral("Could not open '%1': it is a folder, not a catalogue file.")
                                             .arg(info.absoluteFilePath()));
    auto conn = std::make_shared<Connection>();
    conn->path = info.absoluteFilePath();
    const QByteArray name = QFile::encodeName(conn->path);
    const int rc = sqlite3_open_v2(name.constData(), &conn->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        conn->Close();
        if ((rc & 0xff) == SQLITE_CANTOPEN || (rc & 0xff) == SQLITE_PERM)
            throw DbError(ErrNo::CannotOpen, QStringLiteral("Could not open '%1': you may not have permission to read "
                                                            "and change it.")
                                                 .arg(conn->path));
        throw DbError(rc & 0xff, QString::fromUtf8(sqlite3_errstr(rc)));
    }
    sqlite3_extended_result_codes(conn->db, 0);
    sqlite3_busy_timeout(conn->db, 0);

    try {
        if (exclusive) ExecRaw(conn->db, "PRAGMA locking_mode=EXCLUSIVE");
        ExecRaw(conn->db, "PRAGMA synchronous=FULL");
        ExecRaw(conn->db, "PRAGMA journal_mode=DELETE");
        // Reading the schema proves that the file is a catalogue at all, and taking
        // a write lock once keeps it for the whole run in exclusive mode.
        ExecRaw(conn->db, "SELECT count(*) FROM sqlite_master");
        const QString missing = MissingTable(conn->db, requiredTables);
        if (!missing.isEmpty())
            throw DbError(ErrNo::NotACatalogue, QStringLiteral("'%1' is not a Tessarine catalogue: it has no table '%2'.")
                                                    .arg(info.absoluteFilePath(), missing));
        RefuseNewerCatalogue(conn->db, conn->path);
        if (sqlite3_db_readonly(conn->db, "main") == 1)
            throw DbError(ErrNo::CannotOpen, QStringLiteral("Could not open '%1' for writing: the file is read-only.")
                                                 .arg(info.absoluteFilePath()));
        if (exclusive) ExecRaw(conn->db, "BEGIN EXCLUSIVE; COMMIT");
        // A catalogue is brought up to this program's layout, and its text keys
        // made true to its texts, before anything reads it.
        if (MissingTable(conn->db, {QStringLiteral("Stamp")}).isEmpty()) {
            UpgradeCatalogue(conn->db);
            CheckTextKeys(conn->db);
            CheckImageTriggers(conn->db);
            CheckNumberTriggers(conn->db);
            InstallChangeCapture(*conn);
            conn->textKeys = true;
            conn->keysCheckedAt = sqlite3_total_changes64(conn->db);
        }
    } catch (const DbError& e) {
        conn->Close();
        if (e.Number() == ErrNo::RecordLocked)
            throw DbError(ErrNo::FileInUse,
                          QStringLiteral("Could not use '%1'; file already in use.").arg(info.absoluteFilePath()));
        throw;
    }
    return std::unique_ptr<Database>(new Database(std::move(conn)));
}

void Database::Close() { mConn->Close(); }

bool Database::IsOpen() const { return mConn->db != nullptr; }

void Database::Execute(const QString& sql)
{
    sqlite3* db = mConn->Checked();
    const QByteArray utf8 = TranslateSql(sql).toUtf8();
    ExecRaw(db, utf8.constData());
}

std::unique_ptr<Recordset> Database::OpenDynaset(const QString& sql) { return MakeDynaset(mConn, sql); }

std::unique_ptr<Recordset> Database::OpenFilteredDynaset(const QString& table, const QString& condition,
                                                         const QString& order)
{
    return MakeFilteredDynaset(mConn, table, condition, order);
}

std::unique_ptr<Recordset> Database::OpenSnapshot(const QString& sql) { return MakeSnapshot(mConn, sql, false); }

std::unique_ptr<Recordset> Database::OpenForwardOnly(const QString& sql) { return MakeSnapshot(mConn, sql, true); }

void Database::Idle()
{
    sqlite3* db = mConn->Checked();
    sqlite3_db_release_memory(db);
}

namespace {

// Watches the copy grow while the engine compacts into it.
struct CompactWatch {
    const std::function<bool(qint64)>* progress;
    QByteArray target;
    QElapsedTimer clock;
    qint64 lastLook = -1;
    bool stopped = false;
};

int WatchCompaction(void* context)
{
    auto* watch = static_cast<CompactWatch*>(context);
    const qint64 now = watch->clock.elapsed();
    if (watch->lastLook >= 0 && now - watch->lastLook < 50) return 0;
    watch->lastLook = now;
    struct stat info {};
    const qint64 written = ::stat(watch->target.constData(), &info) == 0 ? static_cast<qint64>(info.st_size) : 0;
    if (!(*watch->progress)(written)) watch->stopped = true;
    return watch->stopped ? 1 : 0;
}

}  // namespace

void Database::CompactInto(const QString& source, const QString& destination,
                           const std::function<bool(qint64 written)>& progress)
{
    if (!QFileInfo::exists(source))
        throw DbError(ErrNo::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(QFileInfo(source).absoluteFilePath()));
    auto conn = std::make_shared<Connection>();
    conn->path = source;
    const QByteArray name = QFile::encodeName(source);
    const int rc = sqlite3_open_v2(name.constData(), &conn->db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = conn->db ? QString::fromUtf8(sqlite3_errmsg(conn->db)) : QString::fromUtf8(sqlite3_errstr(rc));
        conn->Close();
        throw DbError(rc & 0xff, text);
    }
    sqlite3_busy_timeout(conn->db, 0);
    const QString target = QFileInfo(destination).absoluteFilePath();
    const QByteArray sql = (QStringLiteral("VACUUM INTO '") + SqlQuote(target) + u'\'').toUtf8();
    CompactWatch watch{&progress, QFile::encodeName(target), {}, -1, false};
    if (progress) {
        watch.clock.start();
        sqlite3_progress_handler(conn->db, 200, WatchCompaction, &watch);
    }
    try {
        ExecRaw(conn->db, sql.constData());
    } catch (const DbError& e) {
        conn->Close();
        if (watch.stopped) {
            QFile::remove(target);
            QFile::remove(target + QStringLiteral("-journal"));
        }
        if (e.Number() == ErrNo::RecordLocked)
            throw DbError(ErrNo::FileInUse, QStringLiteral("Could not use '%1'; file already in use.").arg(source));
        throw;
    }
    conn->Close();
    // The engine does not sync the copy it writes; make it durable before anyone
    // relies on it.
    const QByteArray out = QFile::encodeName(target);
    const int fd = ::open(out.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0) ::close(fd);
        throw DbError(ErrNo::FileError, QStringLiteral("Could not write '%1'.").arg(target));
    }
    ::close(fd);
}
