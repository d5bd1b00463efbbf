#include "csv/CsvExport.h"

#include "codes/CodeTables.h"
#include "csv/CsvSniff.h"
#include "csv/CsvWriter.h"
#include "csv/StampRow.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Prompts.h"
#include "db/SqlDialect.h"
#include "db/StampSort.h"
#include "numbers/Catalogues.h"
#include "reports/ReportFile.h"

#include <QDate>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include <sqlite3.h>

namespace {

const QString kExportTitle = QStringLiteral("Export to CSV");

// A text as a field of the file: an apostrophe before a text that a spreadsheet
// would run as a formula (or that begins with one), quoted when it holds a
// comma, a quote or a line break. Written from the text's UTF-8 as the
// catalogue holds it.
void AppendText(QByteArray& out, const char* utf8, qsizetype size)
{
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i) ascii = (utf8[i] & 0x80) == 0;
    if (!ascii && !IsUtf8(QByteArrayView(utf8, size))) {
        // Bytes that are no UTF-8 (a file another tool wrote) go out as the
        // program shows them.
        const QByteArray shown = QString::fromUtf8(utf8, size).toUtf8();
        AppendText(out, shown.constData(), shown.size());
        return;
    }
    bool protect = false;
    if (size > 0) {
        switch (utf8[0]) {
            case '=':
            case '+':
            case '-':
            case '@':
            case '\t':
            case '\r':
            case '\'':
                protect = true;
                break;
            default:
                break;
        }
    }
    bool quote = false;
    for (qsizetype i = 0; i < size && !quote; ++i) {
        const char c = utf8[i];
        quote = c == ',' || c == '"' || c == '\r' || c == '\n';
    }
    if (quote) out += '"';
    if (protect) out += '\'';
    if (!quote) {
        out.append(utf8, size);
        return;
    }
    qsizetype plain = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (utf8[i] != '"') continue;
        out.append(utf8 + plain, i + 1 - plain);
        out += '"';
        plain = i + 1;
    }
    out.append(utf8 + plain, size - plain);
    out += '"';
}

void AppendText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    AppendText(out, utf8.constData(), utf8.size());
}

void AppendWhole(QByteArray& out, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// An amount from its fixed-point digits: a decimal point, two decimals at least.
void AppendAmount(QByteArray& out, Money amount)
{
    const qint64 units = amount.Units();
    const quint64 magnitude = units < 0 ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    if (units < 0) out += '-';
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / Money::kScale).ptr;
    out.append(digits, end - digits);
    const quint64 fraction = magnitude % Money::kScale;
    char decimals[5] = {'.', char('0' + fraction / 1000), char('0' + fraction / 100 % 10),
                        char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
    int length = 5;
    while (length > 3 && decimals[length - 1] == '0') --length;
    out.append(decimals, length);
}

// The catalogue file read through memory mapping for a while: the stamps come in
// the sort order, from all over the file, and reading each page through the
// engine's own small cache would ask the system for most of them again.
class MappedWhileReading {
public:
    explicit MappedWhileReading(sqlite3* db) : mDb(db)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA mmap_size", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            mBefore = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        Set(qint64(256) << 20);
    }
    ~MappedWhileReading() { Set(mBefore); }
    MappedWhileReading(const MappedWhileReading&) = delete;
    MappedWhileReading& operator=(const MappedWhileReading&) = delete;

private:
    void Set(qint64 size)
    {
        const QByteArray sql = "PRAGMA mmap_size = " + QByteArray::number(size);
        sqlite3_exec(mDb, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3* mDb;
    qint64 mBefore = 0;
};

// A date of the catalogue (ISO text) as the file writes it; nothing for any
// other text.
void AppendDate(QByteArray& out, const char* text, int size)
{
    const QDate date = QDate::fromString(QString::fromLatin1(text, std::min(size, 10)), Qt::ISODate);
    if (!date.isValid() || date.year() < 1 || date.year() > 9999) return;
    char digits[10] = {char('0' + date.year() / 1000),
                       char('0' + date.year() / 100 % 10),
                       char('0' + date.year() / 10 % 10),
                       char('0' + date.year() % 10),
                       '-',
                       char('0' + date.month() / 10),
                       char('0' + date.month() % 10),
                       '-',
                       char('0' + date.day() / 10),
                       char('0' + date.day() % 10)};
    out.append(digits, 10);
}

bool IsNumber(sqlite3_stmt* stmt, int column)
{
    const int type = sqlite3_column_type(stmt, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

// One stamp's record, field by field in the main window's order.
void AppendStamp(QByteArray& out, sqlite3_stmt* stmt, const std::array<QHash<qint64, QByteArray>, 10>& codes)
{
    const auto& fields = StampFields();
    for (int field = 0; field < Fld::Count; ++field) {
        if (field > 0) out += ',';
        const StampField& f = fields[size_t(field)];
        switch (f.kind) {
            case FieldKind::Text:
                AppendText(out, reinterpret_cast<const char*>(sqlite3_column_text(stmt, field)),
                           sqlite3_column_bytes(stmt, field));
                break;
            case FieldKind::Money:
            case FieldKind::Total:
                if (IsNumber(stmt, field))
                    if (const auto amount = Money::FromDouble(sqlite3_column_double(stmt, field)))
                        AppendAmount(out, *amount);
                break;
            case FieldKind::Year:
            case FieldKind::Quantity:
                if (sqlite3_column_type(stmt, field) == SQLITE_INTEGER)
                    AppendWhole(out, sqlite3_column_int64(stmt, field));
                else if (sqlite3_column_type(stmt, field) == SQLITE_FLOAT)
                    AppendWhole(out, static_cast<qint64>(sqlite3_column_double(stmt, field)));
                break;
            case FieldKind::YesNo:
                out += IsNumber(stmt, field) && sqlite3_column_double(stmt, field) != 0 ? "Yes" : "No";
                break;
            case FieldKind::Date:
                if (sqlite3_column_type(stmt, field) == SQLITE_TEXT)
                    AppendDate(out, reinterpret_cast<const char*>(sqlite3_column_text(stmt, field)),
                               sqlite3_column_bytes(stmt, field));
                break;
            case FieldKind::Code:
                if (sqlite3_column_type(stmt, field) != SQLITE_NULL)
                    out += codes[size_t(f.codeTable)].value(sqlite3_column_int64(stmt, field));
                break;
        }
    }
    out += "\r\n";
}

// The catalogues that stamps have numbers in, in the list's order, each with its
// column's heading.
struct ExportedCatalogues {
    std::vector<qint64> ids;
    QStringList headings;
};

ExportedCatalogues CataloguesInUse(Database& db)
{
    ExportedCatalogues used;
    const CatalogueList list = LoadCatalogues(db);
    const std::vector<QString> headings = CatalogueHeadings(list);
    Statement read(db.SharedConnection(), QStringLiteral("SELECT DISTINCT CatalogID FROM StampNumber"));
    QSet<qint64> present;
    while (read.Step()) present.insert(sqlite3_column_int64(read.Handle(), 0));
    for (size_t i = 0; i < list.size(); ++i) {
        if (!present.contains(list[i].id)) continue;
        used.ids.push_back(list[i].id);
        used.headings << headings[i];
    }
    return used;
}

// A stamp's numbers in the exported catalogues, a field each after its record's
// fields: the numbers of one catalogue a line each. Every number is read once,
// in each stamp's order, before the stamps: one pass over the table rather than
// a lookup for every stamp.
class NumberFields {
public:
    NumberFields(const std::shared_ptr<Connection>& conn, const ExportedCatalogues& catalogues)
        : mColumns(catalogues.ids.size())
    {
        if (mColumns == 0) return;
        Statement read(conn, QStringLiteral("SELECT StampID, CatalogID, CatNo FROM StampNumber ORDER BY StampID, "
                                            "Position, NumberID"));
        while (read.Step()) {
            sqlite3_stmt* s = read.Handle();
            const auto at = std::find(catalogues.ids.begin(), catalogues.ids.end(), sqlite3_column_int64(s, 1));
            if (at == catalogues.ids.end()) continue;
            std::vector<QByteArray>& fields = mNumbers[sqlite3_column_int64(s, 0)];
            if (fields.empty()) fields.resize(mColumns);
            QByteArray& field = fields[size_t(at - catalogues.ids.begin())];
            if (!field.isEmpty()) field += '\n';
            field.append(reinterpret_cast<const char*>(sqlite3_column_text(s, 2)), sqlite3_column_bytes(s, 2));
        }
    }
    void Append(QByteArray& out, qint64 stampId) const
    {
        if (mColumns == 0) return;
        // The record's line end is the last thing in it.
        out.chop(2);
        const auto found = mNumbers.find(stampId);
        for (size_t i = 0; i < mColumns; ++i) {
            out += ',';
            if (found != mNumbers.end()) AppendText(out, found->second[i].constData(), found->second[i].size());
        }
        out += "\r\n";
    }

private:
    size_t mColumns;
    std::unordered_map<qint64, std::vector<QByteArray>> mNumbers;
};

}  // namespace

ExportResult ExportStamps(Database& db, const QString& path, int sortOrder)
{
    return ExportStamps(db, path, ExportSelection{QString(), StampOrderTerms(sortOrder)});
}

ExportResult ExportStamps(Database& db, const QString& path, const ExportSelection& selection)
{
    ExportResult result;
    const auto conn = db.SharedConnection();

    // Each code's description, as its field is written.
    std::array<QHash<qint64, QByteArray>, 10> codes;
    for (int table = 1; table <= 9; ++table) {
        const CodeTableInfo& info = CodeTableInfoFor(table);
        Statement read(conn, QStringLiteral("SELECT %1, %2 FROM %3").arg(info.keyField, info.descField, info.table));
        while (read.Step()) {
            sqlite3_stmt* s = read.Handle();
            QByteArray field;
            AppendText(field, QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)),
                                                sqlite3_column_bytes(s, 1)));
            codes[size_t(table)].insert(sqlite3_column_int64(s, 0), field);
        }
    }
    qint64 total = 0;
    {
        Statement count(conn, TranslateSql(QStringLiteral("SELECT count(*) FROM Stamp") + selection.Condition()));
        if (count.Step()) total = sqlite3_column_int64(count.Handle(), 0);
    }

    CsvWriter writer(path);
    if (!writer.Open()) {
        result.error = writer.Error();
        return result;
    }
    const ExportedCatalogues catalogues = CataloguesInUse(db);
    QStringList captions;
    for (const StampField& f : StampFields()) captions << f.caption;
    captions << catalogues.headings;
    writer.WriteRecord(captions);

    // The main window's order; stamps that sort alike keep the order of their keys,
    // as the main window shows them.
    const QString sql =
        TranslateSql(QStringLiteral("Select ") + StampColumnList() + QStringLiteral(", Stamp.StampID from Stamp") +
                     selection.Condition() + QStringLiteral(" order by ") + selection.order) +
        QStringLiteral(", Stamp.StampID");
    const MappedWhileReading mapped(conn->Checked());
    Statement read(conn, sql);
    NumberFields numbers(conn, catalogues);
    Progress progress(kExportTitle, QStringLiteral("Writing the stamps..."), total, true);
    QByteArray record;
    while (read.Step()) {
        record.clear();
        AppendStamp(record, read.Handle(), codes);
        numbers.Append(record, sqlite3_column_int64(read.Handle(), Fld::Count));
        if (!writer.WriteEncoded(record)) break;
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
    ExportToCsv(db, ExportSelection{QString(), StampOrderTerms(sortOrder)});
}

void ExportToCsv(Database& db, const ExportSelection& selection)
{
    const std::optional<QString> chosen = prompts().SaveFile(QStringLiteral("Stamps.csv"), kCsvFileFilter);
    if (!chosen || chosen->isEmpty()) return;
    if (!ReplaceExistingFile(*chosen)) return;
    ExportResult result;
    const bool ran = Guard([&] { result = ExportStamps(db, *chosen, selection); });
    if (!ran || result.cancelled) return;
    if (!result.error.isEmpty()) {
        ShowReportFileError(ErrNo::FileError, QStringLiteral("Could not write the file '") + *chosen +
                                                  QStringLiteral("': ") + result.error);
        return;
    }
    const QString count = QLocale(QLocale::English, QLocale::UnitedStates).toString(result.stamps);
    MsgBox((result.stamps == 1 ? QStringLiteral("1 stamp was") : count + QStringLiteral(" stamps were")) +
               QStringLiteral(" written to '") + *chosen + QStringLiteral("'."),
           MsgButtons::Ok, kExportTitle);
}
