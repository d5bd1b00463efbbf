#include "history/Change.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/RawSql.h"
#include "history/ChangeCapture.h"
#include "history/StoredRow.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <map>

namespace {

QString ColumnList(const CapturedTable& table)
{
    QStringList names;
    for (const QString& column : table.columns) names << QuotedName(column);
    return names.join(u',');
}

constexpr int kConstraint = SQLITE_CONSTRAINT;

}  // namespace

qint64 Change::Bytes() const
{
    qint64 bytes = static_cast<qint64>(rows.size() * sizeof(RowChange));
    for (const RowChange& row : rows)
        if (row.kept) bytes += row.kept->size();
    return bytes;
}

QList<qint64> Change::Stamps() const
{
    QList<qint64> keys;
    if (!layout) return keys;
    for (const RowChange& row : rows)
        if (layout->tables[static_cast<size_t>(row.table)].stamps) keys << row.key;
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

std::optional<CurrentRows> WriteChange(Database& db, const Change& change)
{
    const std::shared_ptr<Connection> conn = db.SharedConnection();
    sqlite3* handle = conn->Checked();
    // A change noted before the catalogue was last opened cannot be written.
    if (!change.layout || conn->capture.get() != change.layout.get()) return std::nullopt;
    const std::vector<CapturedTable>& tables = change.layout->tables;

    // What each row holds now: it must be what the change left.
    CurrentRows current(change.rows.size());
    for (size_t t = 0; t < tables.size(); ++t) {
        std::unique_ptr<Prepared> read;
        for (size_t i = 0; i < change.rows.size(); ++i) {
            const RowChange& row = change.rows[i];
            if (row.table != static_cast<int>(t)) continue;
            if (!read)
                read = std::make_unique<Prepared>(handle, QStringLiteral("SELECT ") + ColumnList(tables[t]) +
                                                              QStringLiteral(" FROM ") + QuotedName(tables[t].name) +
                                                              QStringLiteral(" WHERE ") + QuotedName(tables[t].key) +
                                                              QStringLiteral(" = ?"));
            read->Reset();
            sqlite3_bind_int64(**read, 1, row.key);
            if (read->Step()) current[i] = PackColumns(**read, 0, static_cast<int>(tables[t].columns.size()));
            if (RowFingerprint(current[i]) != row.live) return std::nullopt;
        }
    }

    try {
        // Rows that come back or change first, in the layout's order (a picture
        // before its images, a stamp's row in its new table before it leaves the
        // old one, so that its images always have an owner) ...
        for (size_t t = 0; t < tables.size(); ++t) {
            const CapturedTable& table = tables[t];
            std::unique_ptr<Prepared> insert;
            // An update writes only the columns that differ, so that indexes and
            // text keys of the others are left alone; one statement per set.
            std::map<std::vector<int>, std::unique_ptr<Prepared>> updates;
            for (size_t i = 0; i < change.rows.size(); ++i) {
                const RowChange& row = change.rows[i];
                if (row.table != static_cast<int>(t) || !row.kept) continue;
                if (current[i]) {
                    const std::vector<int> columns = DifferingColumns(*current[i], *row.kept);
                    if (columns.empty()) continue;
                    std::unique_ptr<Prepared>& update = updates[columns];
                    if (!update) {
                        QStringList sets;
                        for (int column : columns)
                            sets << QuotedName(table.columns[static_cast<qsizetype>(column)]) + QStringLiteral(" = ?");
                        update = std::make_unique<Prepared>(handle, QStringLiteral("UPDATE ") + QuotedName(table.name) +
                                                                        QStringLiteral(" SET ") + sets.join(u',') +
                                                                        QStringLiteral(" WHERE ") +
                                                                        QuotedName(table.key) + QStringLiteral(" = ?"));
                    }
                    update->Reset();
                    const int bound = BindPackedColumns(**update, 1, *row.kept, columns);
                    sqlite3_bind_int64(**update, bound + 1, row.key);
                    update->Step();
                } else {
                    if (!insert) {
                        QStringList marks;
                        for (qsizetype c = 0; c < table.columns.size(); ++c) marks << QStringLiteral("?");
                        insert = std::make_unique<Prepared>(
                            handle, QStringLiteral("INSERT INTO ") + QuotedName(table.name) + QStringLiteral(" (") +
                                        ColumnList(table) + QStringLiteral(") VALUES (") + marks.join(u',') + u')');
                    }
                    insert->Reset();
                    BindPacked(**insert, 1, *row.kept);
                    insert->Step();
                }
            }
        }
        // ... then the rows that go, in the reverse order.
        for (size_t t = tables.size(); t-- > 0;) {
            std::unique_ptr<Prepared> remove;
            for (size_t i = 0; i < change.rows.size(); ++i) {
                const RowChange& row = change.rows[i];
                if (row.table != static_cast<int>(t) || row.kept || !current[i]) continue;
                if (!remove)
                    remove = std::make_unique<Prepared>(
                        handle, QStringLiteral("DELETE FROM ") + QuotedName(tables[t].name) +
                                    QStringLiteral(" WHERE ") + QuotedName(tables[t].key) + QStringLiteral(" = ?"));
                remove->Reset();
                sqlite3_bind_int64(**remove, 1, row.key);
                remove->Step();
            }
        }
        // The keys of the texts that came back are made within the same change.
        conn->RefreshTextKeysIfWritten();
    } catch (const DbError& error) {
        // A kept row that clashes with one written since (a picture stored again
        // under another number) cannot come back: the change no longer fits.
        if (error.Number() == kConstraint) return std::nullopt;
        throw;
    }
    return current;
}

void KeepReplaced(Change& change, CurrentRows&& replaced)
{
    for (size_t i = 0; i < change.rows.size() && i < replaced.size(); ++i) {
        RowChange& row = change.rows[i];
        row.live = RowFingerprint(row.kept);
        row.kept = std::move(replaced[i]);
    }
}
