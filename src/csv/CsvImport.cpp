#include "csv/CsvImport.h"

#include "codes/CodeTables.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Prompts.h"

#include <sqlite3.h>

namespace {

void Exec(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

QString Placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i) marks << QStringLiteral("?");
    return marks.join(u',');
}

}  // namespace

ImportResult RunImport(Database& db, const ImportPlan& plan)
{
    ImportResult result;
    result.counts.skipped = plan.counts.skipped;
    result.counts.refused = plan.counts.refused;
    const auto conn = db.SharedConnection();
    sqlite3* handle = conn->Checked();

    Exec(handle, "BEGIN IMMEDIATE");
    try {
        Progress progress(QStringLiteral("Import from CSV"), QStringLiteral("Importing the stamps..."),
                          qint64(plan.rows.size()), true);
        for (int table = 1; table <= 9; ++table) {
            const QStringList& names = plan.newEntries[size_t(table)];
            if (names.isEmpty()) continue;
            const CodeTableInfo& info = CodeTableInfoFor(table);
            Statement insert(conn, QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(info.table, info.descField));
            for (const QString& name : names) {
                insert.Reset();
                const QByteArray utf8 = name.toUtf8();
                sqlite3_bind_text(insert.Handle(), 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
                insert.Step();
                result.newCodeIds[size_t(table)].push_back(sqlite3_last_insert_rowid(handle));
            }
            result.counts.newEntries[size_t(table)] = names.size();
        }

        const QString columns = StampColumnList() + QStringLiteral(", catsort");
        Statement insert(conn, QStringLiteral("INSERT INTO Stamp (") + columns + QStringLiteral(") VALUES (") +
                                   Placeholders(Fld::Count + 1) + u')');
        QStringList sets;
        for (const QString& column : columns.split(QStringLiteral(", "))) sets << column + QStringLiteral(" = ?");
        Statement update(conn, QStringLiteral("UPDATE Stamp SET ") + sets.join(QStringLiteral(", ")) +
                                   QStringLiteral(" WHERE StampID = ?"));
        qint64 done = 0;
        for (const PlannedRow& row : plan.rows) {
            Statement& write = row.stampId != 0 ? update : insert;
            write.Reset();
            BindStampRow(write.Handle(), 1, row.values, result.newCodeIds);
            if (row.stampId != 0) sqlite3_bind_int64(write.Handle(), Fld::Count + 2, row.stampId);
            write.Step();
            if (row.stampId != 0) {
                result.updatedIds.push_back(row.stampId);
                ++result.counts.updated;
            } else {
                result.addedIds.push_back(sqlite3_last_insert_rowid(handle));
                ++result.counts.added;
            }
            if (!progress.Step(++done)) {
                result = ImportResult();
                result.cancelled = true;
                break;
            }
        }
        insert.Reset();
        update.Reset();
        if (result.cancelled) {
            Exec(handle, "ROLLBACK");
            return result;
        }
        // The catalogue is whole at the commit: every text has its keys.
        conn->RefreshTextKeysIfWritten();
        Exec(handle, "COMMIT");
    } catch (...) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return result;
}
