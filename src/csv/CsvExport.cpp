#include "csv/CsvExport.h"

#include "codes/CodeTables.h"
#include "csv/CsvWriter.h"
#include "csv/StampRow.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Prompts.h"
#include "db/SqlDialect.h"
#include "db/StampSort.h"
#include "reports/ReportFile.h"

#include <QLocale>

#include <sqlite3.h>

namespace {

const QString kExportTitle = QStringLiteral("Export to CSV");

}  // namespace

ExportResult ExportStamps(Database& db, const QString& path, int sortOrder)
{
    ExportResult result;
    const auto conn = db.SharedConnection();

    std::array<QHash<qint64, QString>, 10> descriptions;
    for (int table = 1; table <= 9; ++table) {
        const CodeTableInfo& info = CodeTableInfoFor(table);
        Statement read(conn, QStringLiteral("SELECT %1, %2 FROM %3").arg(info.keyField, info.descField, info.table));
        while (read.Step()) {
            sqlite3_stmt* s = read.Handle();
            descriptions[size_t(table)].insert(
                sqlite3_column_int64(s, 0),
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)), sqlite3_column_bytes(s, 1)));
        }
    }
    qint64 total = 0;
    {
        Statement count(conn, QStringLiteral("SELECT count(*) FROM Stamp"));
        if (count.Step()) total = sqlite3_column_int64(count.Handle(), 0);
    }

    CsvWriter writer(path);
    if (!writer.Open()) {
        result.error = writer.Error();
        return result;
    }
    QStringList fields;
    for (const StampField& f : StampFields()) fields << f.caption;
    writer.WriteRecord(fields);

    // The main window's order; stamps that sort alike keep the order of their keys,
    // as the main window shows them.
    const QString sql = TranslateSql(QStringLiteral("Select ") + StampColumnList() + QStringLiteral(" from Stamp ") +
                                     StampOrderClause(sortOrder)) +
                        QStringLiteral(", Stamp.StampID");
    Statement read(conn, sql);
    Progress progress(kExportTitle, QStringLiteral("Writing the stamps..."), total, true);
    while (read.Step()) {
        const StampRow row = ReadStampRow(read.Handle(), 0);
        for (int field = 0; field < Fld::Count; ++field) fields[field] = FieldText(row, field, descriptions);
        if (!writer.WriteRecord(fields)) break;
        ++result.stamps;
        if (!progress.Step(result.stamps)) {
            result.cancelled = true;
            writer.Discard();
            return result;
        }
    }
    read.Reset();
    if (!writer.Commit()) result.error = writer.Error();
    return result;
}

void ExportToCsv(Database& db, int sortOrder)
{
    const std::optional<QString> chosen = prompts().SaveFile(QStringLiteral("Stamps.csv"), kCsvFileFilter);
    if (!chosen || chosen->isEmpty()) return;
    if (!ReplaceExistingFile(*chosen)) return;
    ExportResult result;
    const bool ran = Guard([&] { result = ExportStamps(db, *chosen, sortOrder); });
    if (!ran || result.cancelled) return;
    if (!result.error.isEmpty()) {
        ShowReportFileError(ErrNo::FileError,
                            QStringLiteral("Could not write the file '") + *chosen + QStringLiteral("': ") + result.error);
        return;
    }
    const QString count = QLocale(QLocale::English, QLocale::UnitedStates).toString(result.stamps);
    MsgBox((result.stamps == 1 ? QStringLiteral("1 stamp was") : count + QStringLiteral(" stamps were")) +
               QStringLiteral(" written to '") + *chosen + QStringLiteral("'."),
           MsgButtons::Ok, kExportTitle);
}
