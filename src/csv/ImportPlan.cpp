#include "csv/ImportPlan.h"

#include "codes/CodeTables.h"
#include "csv/CatalogCodes.h"
#include "db/Database.h"
#include "db/Prompts.h"
#include "numbers/StampNumbers.h"
#include "search/Folding.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <sqlite3.h>

namespace {

const QChar kKeySeparator = u'\x1f';

QString Number(qint64 n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

QString Count(qint64 n, const char* one, const char* many)
{
    return Number(n) + u' ' + QString::fromLatin1(n == 1 ? one : many);
}

QString FaultReason(CsvFault fault, CsvEncoding encoding)
{
    switch (fault) {
        case CsvFault::None:
            break;
        case CsvFault::InvalidText:
            return QStringLiteral("the text is not valid %1; choose the file's encoding").arg(EncodingName(encoding));
        case CsvFault::NulCharacter:
            return QStringLiteral("the row holds a NUL character, which no text has");
        case CsvFault::StrayQuote:
            return QStringLiteral("a quote mark stands inside a field that is not quoted as a whole");
        case CsvFault::UnclosedQuote:
            return QStringLiteral(
                "a quote mark opens a field that is never closed; the rest of the file was read as part of it");
        case CsvFault::FieldTooLong:
            return QStringLiteral("the field holds more than %1 characters").arg(Number(CsvReader::kMaxFieldChars));
        case CsvFault::RecordTooLong:
            return QStringLiteral("the row holds more than %1 characters").arg(Number(CsvReader::kMaxRecordChars));
    }
    return QString();
}

struct CodeTable {
    QHash<QString, qint64> existing;  // folded description -> key (the first of equals)
    QHash<QString, qsizetype> added;  // folded description -> new entry
};

QString CodeKeyText(qint64 code)
{
    return code == kNoCode ? QString() : QString::number(code);
}

// A number read from the file, and its catalogue: one of the list (id), or one
// the import adds (name and prefix).
struct ReadNumber {
    qint64 id = 0;
    QString newName;
    QString newPrefix;
    QString number;
};

// Where the numbers of a row come from: the columns of catalogues, and Colnect's
// codes.
struct NumberColumns {
    struct Column {
        qsizetype column = -1;
        qint64 id = 0;    // a catalogue of the list, or
        QString newName;  // one the import adds
    };
    std::vector<Column> catalogues;
    qsizetype codes = -1;

    bool Any() const { return !catalogues.empty() || codes >= 0; }
};

// The catalogue of the list with this name or, with byPrefix, this prefix
// (folded, as collectors type them), or 0.
qint64 CatalogueNamed(const CatalogueList& list, const QString& text, bool byPrefix)
{
    const QString key = FoldText(text.trimmed());
    if (key.isEmpty()) return 0;
    for (const NumberCatalogue& c : list)
        if (FoldText(byPrefix ? c.prefix : c.name) == key) return c.id;
    return 0;
}

// The numbers of one field, a line each, as the export writes several numbers of
// one catalogue; reason is set for a number too long to keep.
QStringList NumbersOfField(const QString& text, QString* reason)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    QStringList numbers;
    for (const QString& line : UnprotectFormula(text).split(lineBreaks)) {
        const QString number = line.trimmed();
        if (number.isEmpty()) continue;
        if (number.size() > kNumberLength) {
            *reason = QStringLiteral("the number is longer than %1 characters").arg(kNumberLength);
            return {};
        }
        numbers << number;
    }
    return numbers;
}

}  // namespace

QString RefusedRow::Text() const
{
    QString where = QStringLiteral("Line %1").arg(Number(line));
    if (column > 0) {
        where += QStringLiteral(", column %1").arg(column);
        if (!heading.isEmpty()) where += QStringLiteral(" (%1)").arg(heading);
    }
    return where + QStringLiteral(": ") + reason + u'.';
}

QString NewEntriesText(int codeTable, qint64 count)
{
    if (codeTable == kCatalogueList) return Count(count, "new catalogue", "new catalogues");
    static const char* const kNames[10][2] = {
        {"", ""},
        {"new cancellation", "new cancellations"},
        {"new condition", "new conditions"},
        {"new country", "new countries"},
        {"new format", "new formats"},
        {"new gum type", "new gum types"},
        {"new paper", "new papers"},
        {"new perforation", "new perforations"},
        {"new topic", "new topics"},
        {"new type", "new types"},
    };
    if (codeTable < 1 || codeTable > 9) return QString();
    return Count(count, kNames[codeTable][0], kNames[codeTable][1]);
}

QString ImportSummary(const ImportCounts& counts)
{
    QString text = Count(counts.added, "stamp", "stamps") + QStringLiteral(" added, ") + Number(counts.updated) +
                   QStringLiteral(" updated, ") + Number(counts.skipped) + QStringLiteral(" skipped, ") +
                   Count(counts.refused, "row", "rows") + QStringLiteral(" refused");
    QStringList entries;
    // In the order of the main window's lists.
    for (const int table : {3, 9, 4, 6, 1, 7, 8, 5, 2})
        if (counts.newEntries[size_t(table)] > 0) entries << NewEntriesText(table, counts.newEntries[size_t(table)]);
    if (counts.newCatalogues > 0) entries << NewEntriesText(kCatalogueList, counts.newCatalogues);
    if (!entries.isEmpty()) text += QStringLiteral("; ") + entries.join(QStringLiteral(", "));
    return text;
}

QString ImportPlan::Description(int maxRefused) const
{
    if (!problem.isEmpty()) return problem;
    if (rowsRead == 0) return QStringLiteral("The file holds no rows of stamps.");
    QStringList lines;
    lines << Count(rowsRead, "row of stamps", "rows of stamps") + QStringLiteral(" in the file.");
    QString action = Count(counts.added, "stamp", "stamps") + QStringLiteral(" will be added");
    if (counts.updated > 0) action += QStringLiteral(", ") + Number(counts.updated) + QStringLiteral(" updated");
    if (counts.skipped > 0)
        action += QStringLiteral(", ") + Number(counts.skipped) + QStringLiteral(" skipped (already in the catalogue)");
    lines << action + u'.';
    for (const int table : {3, 9, 4, 6, 1, 7, 8, 5, 2}) {
        const QStringList& names = newEntries[size_t(table)];
        if (names.isEmpty()) continue;
        QString line =
            NewEntriesText(table, names.size()) + QStringLiteral(": ") + names.mid(0, 10).join(QStringLiteral(", "));
        if (names.size() > 10) line += QStringLiteral(" and %1 more").arg(Number(names.size() - 10));
        lines << line + u'.';
    }
    if (!newCatalogues.empty()) {
        QStringList names;
        for (const NumberCatalogue& c : newCatalogues) names << c.name;
        QString line = NewEntriesText(kCatalogueList, qint64(names.size())) + QStringLiteral(": ") +
                       names.mid(0, 10).join(QStringLiteral(", "));
        if (names.size() > 10) line += QStringLiteral(" and %1 more").arg(Number(names.size() - 10));
        lines << line + u'.';
    }
    if (counts.refused > 0) {
        lines << Count(counts.refused,
                       "row cannot be read and will be left out:", "rows cannot be read and will be left out:");
        for (size_t i = 0; i < refused.size() && i < size_t(std::max(maxRefused, 0)); ++i)
            lines << QStringLiteral("    ") + refused[i].Text();
        const qint64 shown = std::min<qint64>(qint64(refused.size()), std::max(maxRefused, 0));
        if (counts.refused > shown) lines << QStringLiteral("    and %1 more.").arg(Number(counts.refused - shown));
    }
    return lines.join(u'\n');
}

ImportPlan MakeImportPlan(Database& db, const QString& path, const ImportSettings& settings)
{
    ImportPlan plan;
    plan.settings = settings;
    const auto& fields = StampFields();

    // Each field from one column at most; the totals are computed, never read.
    std::array<qsizetype, Fld::Count> columnOf;
    columnOf.fill(-1);
    const CatalogueList catalogues = LoadCatalogues(db);
    const NumberCatalogue* own = OwnCatalogue(catalogues);
    NumberColumns numberColumns;
    for (size_t column = 0; column < settings.mapping.size(); ++column) {
        const int field = settings.mapping[column];
        if (field == Fld::CatalogCodes) {
            if (numberColumns.codes >= 0) {
                plan.problem = QStringLiteral("Two columns are given the field %1: choose one of them.")
                                   .arg(MappingName(field, catalogues));
                return plan;
            }
            numberColumns.codes = qsizetype(column);
            continue;
        }
        if (field == Fld::NewCatalogue) {
            numberColumns.catalogues.push_back({qsizetype(column), 0, QString()});
            continue;
        }
        if (IsCatalogueField(field)) {
            const qint64 id = CatalogueOfField(field);
            if (!FindCatalogue(catalogues, id)) {
                plan.problem = QStringLiteral(
                                   "Column %1 is given the numbers of a catalogue that is no longer in the "
                                   "list: choose another field for it.")
                                   .arg(column + 1);
                return plan;
            }
            for (const NumberColumns::Column& other : numberColumns.catalogues) {
                if (other.id != id) continue;
                plan.problem = QStringLiteral("Two columns are given the field %1: choose one of them.")
                                   .arg(MappingName(field, catalogues));
                return plan;
            }
            numberColumns.catalogues.push_back({qsizetype(column), id, QString()});
            continue;
        }
        if (field < 0 || field >= Fld::Count || fields[size_t(field)].kind == FieldKind::Total) continue;
        if (columnOf[size_t(field)] >= 0) {
            plan.problem = QStringLiteral("Two columns are given the field %1: choose one of them.")
                               .arg(fields[size_t(field)].caption);
            return plan;
        }
        columnOf[size_t(field)] = qsizetype(column);
    }
    if (columnOf[Fld::Descr] < 0) {
        plan.problem = QStringLiteral("No column is given the field Description: every stamp needs one.");
        return plan;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        plan.problem = QStringLiteral("The file '%1' cannot be read: %2.").arg(path, file.errorString());
        return plan;
    }

    const auto conn = db.SharedConnection();
    std::array<CodeTable, 10> codes;
    for (int field = 0; field < Fld::Count; ++field) {
        const StampField& f = fields[size_t(field)];
        if (f.kind != FieldKind::Code || columnOf[size_t(field)] < 0) continue;
        const CodeTableInfo& info = CodeTableInfoFor(f.codeTable);
        Statement read(
            conn, QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1").arg(info.keyField, info.descField, info.table));
        while (read.Step()) {
            sqlite3_stmt* s = read.Handle();
            const QString desc =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)), sqlite3_column_bytes(s, 1));
            const QString folded = FoldText(desc.trimmed());
            if (!codes[size_t(f.codeTable)].existing.contains(folded))
                codes[size_t(f.codeTable)].existing.insert(folded, sqlite3_column_int64(s, 0));
        }
    }

    // The stamps already in the catalogue, by description, catalogue number and,
    // when the file gives it, country.
    const bool byCountry = columnOf[Fld::Country] >= 0;
    QHash<QString, qint64> present;
    if (settings.duplicates != DuplicateChoice::Add) {
        Statement read(conn,
                       QStringLiteral("SELECT StampID, descr_fold, catnum_fold, CouID FROM Stamp ORDER BY StampID"));
        while (read.Step()) {
            sqlite3_stmt* s = read.Handle();
            QString key =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)),
                                  sqlite3_column_bytes(s, 1)) +
                kKeySeparator +
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 2)), sqlite3_column_bytes(s, 2));
            if (byCountry)
                key += kKeySeparator +
                       CodeKeyText(sqlite3_column_type(s, 3) == SQLITE_NULL ? kNoCode : sqlite3_column_int64(s, 3));
            if (!present.contains(key)) present.insert(key, sqlite3_column_int64(s, 0));
        }
    }
    std::unique_ptr<Statement> readStamp;

    Progress progress(QStringLiteral("Import from CSV"), QStringLiteral("Reading the file..."), file.size());
    CsvReader reader(file, settings.encoding, settings.separator);
    CsvRecord record;
    bool headerSeen = !settings.header;
    QStringList headings;
    qsizetype expected = -1;
    while (reader.Next(record)) {
        progress.Step(reader.BytesRead());
        if (record.IsBlank()) continue;
        if (!headerSeen) {
            headerSeen = true;
            headings = record.fields;
            expected = record.FieldCount();
            // A new catalogue is named by its column's heading, or is one of the
            // list by now.
            for (NumberColumns::Column& c : numberColumns.catalogues) {
                if (c.id != 0) continue;
                const QString heading = c.column < headings.size() ? headings.at(c.column).trimmed() : QString();
                c.newName = heading.endsWith(u'#') ? heading.chopped(1).trimmed() : heading;
                c.newName.truncate(kCatalogueNameLength);
                c.id = CatalogueNamed(catalogues, c.newName, false);
            }
            continue;
        }
        if (expected < 0) expected = record.FieldCount();
        ++plan.rowsRead;

        const auto refuse = [&](int column, const QString& reason) {
            ++plan.counts.refused;
            if (plan.refused.size() >= ImportPlan::kMaxRefusedKept) return;
            RefusedRow r;
            r.line = record.line;
            r.column = column;
            if (column > 0 && column <= headings.size()) r.heading = headings.at(column - 1).trimmed();
            r.reason = reason;
            plan.refused.push_back(std::move(r));
        };
        if (record.fault != CsvFault::None) {
            refuse(record.faultColumn, FaultReason(record.fault, settings.encoding));
            continue;
        }
        if (record.FieldCount() != expected) {
            bool wrong = record.nonEmptyExtra > 0;
            for (qsizetype column = expected; column < record.fields.size() && !wrong; ++column)
                wrong = !record.fields.at(column).trimmed().isEmpty();
            for (const qsizetype column : columnOf) wrong = wrong || column >= record.FieldCount();
            if (wrong) {
                refuse(0, QStringLiteral("the row has %1 fields where the %2 row has %3")
                              .arg(record.FieldCount())
                              .arg(settings.header ? QStringLiteral("header") : QStringLiteral("first"))
                              .arg(expected));
                continue;
            }
        }

        // The row's values, field by field; the first that cannot be read refuses it.
        StampRow row;
        std::array<std::optional<QString>, 10> codeTexts;
        int partialYear = 0;
        QString reason;
        int badColumn = 0;
        for (int field = 0; field < Fld::Count && badColumn == 0; ++field) {
            const qsizetype column = columnOf[size_t(field)];
            if (column < 0) continue;
            const StampField& f = fields[size_t(field)];
            const QString text = column < record.fields.size() ? record.fields.at(column) : QString();
            const bool blank = text.trimmed().isEmpty();
            const DecimalMark mark = settings.values.decimal;
            switch (f.kind) {
                case FieldKind::Text: {
                    const QString value = UnprotectFormula(text);
                    if (f.maxLength > 0 && value.size() > f.maxLength)
                        reason = QStringLiteral("the text is longer than %1 characters").arg(f.maxLength);
                    else
                        row.Text(field) = value;
                    break;
                }
                case FieldKind::Money:
                    if (!blank) row.Amount(field) = ReadAmount(text, mark, &reason);
                    break;
                case FieldKind::Total:
                    break;
                case FieldKind::Year:
                    if (!blank) {
                        row.year = ReadWhole(text, mark, -32768, 32767, &reason);
                        if (!row.year) reason = u'"' + text.trimmed() + QStringLiteral("\" is not a year");
                    }
                    break;
                case FieldKind::Quantity:
                    if (!blank)
                        row.quantity = ReadWhole(text, mark, std::numeric_limits<qint32>::min(),
                                                 std::numeric_limits<qint32>::max(), &reason);
                    break;
                case FieldKind::YesNo:
                    if (const auto value = ReadYesNo(text, settings.values.yesNo, &reason)) row.Flag(field) = *value;
                    break;
                case FieldKind::Date:
                    if (!blank)
                        row.Date(field) = ReadDate(text, settings.values.dates, &reason,
                                                   field == Fld::Issued ? &partialYear : nullptr)
                                              .value_or(QDate());
                    break;
                case FieldKind::Code: {
                    const QString value = UnprotectFormula(text).trimmed();
                    if (value.size() > kCodeDescriptionLength)
                        reason =
                            QStringLiteral("the description is longer than %1 characters").arg(kCodeDescriptionLength);
                    else
                        codeTexts[size_t(f.codeTable)] = value;
                    break;
                }
            }
            if (!reason.isEmpty()) badColumn = int(column) + 1;
        }
        // The row's numbers in other catalogues, in the order of their columns.
        std::vector<ReadNumber> numbers;
        std::vector<qint64> given;  // catalogues of the list whose numbers the row gives
        QString codeless;           // a number of Colnect's field without a code
        for (const NumberColumns::Column& c : numberColumns.catalogues) {
            if (badColumn > 0) break;
            if (c.id == 0 && c.newName.isEmpty()) continue;
            const QString text = c.column < record.fields.size() ? record.fields.at(c.column) : QString();
            const QStringList found = NumbersOfField(text, &reason);
            if (!reason.isEmpty()) {
                badColumn = int(c.column) + 1;
                break;
            }
            if (c.id != 0) given.push_back(c.id);
            for (const QString& number : found)
                numbers.push_back({c.id, c.id != 0 ? QString() : c.newName, QString(), number});
        }
        if (badColumn == 0 && numberColumns.codes >= 0 && numberColumns.codes < record.fields.size()) {
            for (const CodedNumber& part : SplitCatalogCodes(UnprotectFormula(record.fields.at(numberColumns.codes)))) {
                if (part.number.size() > kNumberLength) {
                    reason = QStringLiteral("the number is longer than %1 characters").arg(kNumberLength);
                    badColumn = int(numberColumns.codes) + 1;
                    break;
                }
                ReadNumber n;
                n.number = part.number;
                const QString named = CatalogueOfCode(part.code);
                if (part.code.isEmpty()) {
                    if (!own) {
                        if (codeless.isEmpty()) codeless = part.number;
                        continue;
                    }
                    n.id = own->id;
                } else if (!named.isEmpty()) {
                    n.id = CatalogueNamed(catalogues, named, false);
                    if (n.id == 0) {
                        n.newName = named;
                        n.newPrefix = part.code;
                    }
                } else {
                    n.id = CatalogueNamed(catalogues, part.code, true);
                    if (n.id == 0) n.id = CatalogueNamed(catalogues, part.code, false);
                    if (n.id == 0) n.newName = n.newPrefix = part.code;
                }
                if (n.id != 0 && std::find(given.begin(), given.end(), n.id) == given.end()) given.push_back(n.id);
                numbers.push_back(std::move(n));
            }
        }
        if (badColumn > 0) {
            refuse(badColumn, reason);
            continue;
        }
        // A stamp's first number in the collector's own catalogue is its Catalog
        // Num, when the file gives none.
        QString ownNumber;
        if (columnOf[Fld::CatNum] < 0) {
            for (const ReadNumber& n : numbers) {
                if (own && n.id == own->id) {
                    ownNumber = n.number;
                    break;
                }
            }
            if (ownNumber.isEmpty() && !codeless.isEmpty()) ownNumber = codeless;
            row.catnum = ownNumber;
        }
        if (partialYear > 0 && !row.year) row.year = partialYear;
        if (row.descr.isEmpty()) {
            refuse(int(columnOf[Fld::Descr]) + 1, QStringLiteral("the description is empty"));
            continue;
        }

        // The code of each list the file gives: an entry of the list, or none yet.
        std::array<qint64, 10> known;
        known.fill(kNoCode);
        std::array<bool, 10> isNew{};
        for (int table = 1; table <= 9; ++table) {
            const auto& text = codeTexts[size_t(table)];
            if (!text || text->isEmpty()) continue;
            const QString folded = FoldText(*text);
            const auto it = codes[size_t(table)].existing.constFind(folded);
            if (it != codes[size_t(table)].existing.cend())
                known[size_t(table)] = *it;
            else
                isNew[size_t(table)] = true;
        }

        PlannedRow planned;
        planned.line = record.line;
        bool mapsTotals = columnOf[Fld::Quantity] >= 0 || columnOf[Fld::PricePaid] >= 0 ||
                          columnOf[Fld::CatValue] >= 0 || columnOf[Fld::PriceAsk] >= 0;
        if (settings.duplicates != DuplicateChoice::Add && !present.isEmpty()) {
            QString key = FoldText(row.descr) + kKeySeparator + FoldText(row.catnum);
            if (byCountry) key += kKeySeparator + (isNew[3] ? QStringLiteral("new") : CodeKeyText(known[3]));
            const auto match = present.constFind(key);
            if (match != present.cend()) {
                if (settings.duplicates == DuplicateChoice::Skip) {
                    ++plan.counts.skipped;
                    continue;
                }
                // The stamp keeps every field the file does not give.
                if (!readStamp)
                    readStamp = std::make_unique<Statement>(conn, QStringLiteral("SELECT ") + StampColumnList() +
                                                                      QStringLiteral(" FROM Stamp WHERE StampID = ?"));
                readStamp->Reset();
                sqlite3_bind_int64(readStamp->Handle(), 1, *match);
                if (readStamp->Step()) {
                    StampRow merged = ReadStampRow(readStamp->Handle(), 0);
                    for (int field = 0; field < Fld::Count; ++field)
                        if (columnOf[size_t(field)] >= 0) merged.CopyField(row, field);
                    if (partialYear > 0 && columnOf[Fld::Year] < 0 && !merged.year) merged.year = partialYear;
                    // Marking a stamp sold takes it off sale, as the editor does.
                    if (columnOf[Fld::Sold] >= 0 && columnOf[Fld::ForSale] < 0 && merged.sold) merged.forSale = false;
                    if (!ownNumber.isEmpty()) merged.catnum = ownNumber;
                    row = std::move(merged);
                    planned.stampId = *match;
                }
                readStamp->Reset();
            }
        }
        if (row.forSale && row.sold) {
            refuse(0, QStringLiteral("a stamp cannot be for sale and sold at the same time"));
            continue;
        }
        if (planned.stampId == 0) mapsTotals = true;
        if (mapsTotals) {
            const int tooLarge = row.ComputeTotals();
            if (tooLarge >= 0) {
                const qsizetype column =
                    columnOf[size_t(tooLarge)] >= 0 ? columnOf[size_t(tooLarge)] : columnOf[Fld::Quantity];
                refuse(int(column) + 1, QStringLiteral("%1 times the quantity is too large an amount")
                                            .arg(fields[size_t(tooLarge)].caption));
                continue;
            }
        }
        for (int table = 1; table <= 9; ++table) {
            const auto& text = codeTexts[size_t(table)];
            qint64 code = kNoCode;
            if (!text) {
                if (planned.stampId != 0) continue;
            } else if (!isNew[size_t(table)]) {
                code = known[size_t(table)];
            } else {
                CodeTable& list = codes[size_t(table)];
                const QString folded = FoldText(*text);
                qsizetype index = list.added.value(folded, -1);
                if (index < 0) {
                    index = plan.newEntries[size_t(table)].size();
                    list.added.insert(folded, index);
                    plan.newEntries[size_t(table)] << *text;
                }
                code = kNewCode + index;
            }
            row.codes[size_t(table)] = code;
        }
        // Each number once, its catalogue resolved; a catalogue the list lacks is
        // added once, under the first spelling met.
        std::vector<QString> seen;  // a row has few numbers
        for (const ReadNumber& n : numbers) {
            qint64 catalogue = n.id;
            if (catalogue == 0) {
                const QString folded = FoldText(n.newName);
                qsizetype index = -1;
                for (size_t i = 0; i < plan.newCatalogues.size() && index < 0; ++i)
                    if (FoldText(plan.newCatalogues[i].name) == folded) index = qsizetype(i);
                if (index < 0) {
                    index = qsizetype(plan.newCatalogues.size());
                    NumberCatalogue added;
                    added.name = n.newName;
                    added.prefix = n.newPrefix.left(kCataloguePrefixLength);
                    plan.newCatalogues.push_back(std::move(added));
                }
                catalogue = kNewCode + index;
            }
            const QString key = QString::number(catalogue) + u'\x1f' + NumberKey(n.number);
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
            seen.push_back(key);
            planned.numbers.push_back({catalogue, n.number});
        }
        if (planned.stampId != 0) planned.replaced = given;
        planned.values = std::move(row);
        ++(planned.stampId != 0 ? plan.counts.updated : plan.counts.added);
        plan.rows.push_back(std::move(planned));
    }
    if (!reader.Error().isEmpty()) {
        plan = ImportPlan();
        plan.settings = settings;
        plan.problem = QStringLiteral("The file '%1' cannot be read: %2.").arg(path, reader.Error());
        return plan;
    }
    for (int table = 1; table <= 9; ++table)
        plan.counts.newEntries[size_t(table)] = plan.newEntries[size_t(table)].size();
    plan.counts.newCatalogues = qint64(plan.newCatalogues.size());
    return plan;
}
