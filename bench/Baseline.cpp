#include "Baseline.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct Capture {
    std::map<std::string, qint64> rows;
};

int CountRow(unsigned type, void* context, void* statement, void*)
{
    if (type != SQLITE_TRACE_ROW) return 0;
    const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
    if (sql) ++static_cast<Capture*>(context)->rows[sql];
    return 0;
}

double Elapsed(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1.0e6;
}

}  // namespace

QByteArray CaptureQuery(sqlite3* db, const std::function<void()>& run)
{
    Capture capture;
    sqlite3_trace_v2(db, SQLITE_TRACE_ROW, CountRow, &capture);
    run();
    sqlite3_trace_v2(db, 0, nullptr, nullptr);
    QByteArray best;
    qint64 most = 0;
    for (const auto& [sql, count] : capture.rows) {
        if (count > most) {
            most = count;
            best = QByteArray::fromStdString(sql);
        }
    }
    return best;
}

double RunBaseline(sqlite3* db, const QByteArray& sql, const QString& path, qint64* rows)
{
    QElapsedTimer timer;
    timer.start();
    const QByteArray name = QFile::encodeName(path);
    std::FILE* out = std::fopen(name.constData(), "wb");
    if (!out) return -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        std::fclose(out);
        return -1;
    }
    const int columns = sqlite3_column_count(stmt);
    qint64 count = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            if (i > 0) std::fputc('\t', out);
            const unsigned char* text = sqlite3_column_text(stmt, i);
            if (text) std::fwrite(text, 1, static_cast<size_t>(sqlite3_column_bytes(stmt, i)), out);
        }
        std::fputs("\r\n", out);
        ++count;
    }
    sqlite3_finalize(stmt);
    const bool closed = std::fclose(out) == 0;
    if (rows) *rows = count;
    return closed ? Elapsed(timer) : -1;
}

double VacuumInto(const QString& source, const QString& target)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(source);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    QString quoted = target;
    quoted.replace(u'\'', QStringLiteral("''"));
    const QByteArray sql = (QStringLiteral("VACUUM INTO '") + quoted + u'\'').toUtf8();
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? Elapsed(timer) : -1;
}
