#include "numbers/StampNumbers.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/SqlDialect.h"
#include "db/StringHelpers.h"
#include "search/Folding.h"

#include <QHash>
#include <QSet>

#include <sqlite3.h>

namespace {

const QString kReadSql = QStringLiteral(
    "SELECT CatalogID, CatNo, NumValue, NumNote FROM StampNumber WHERE StampID = ?1 ORDER BY Position, NumberID");

QString ColumnText(sqlite3_stmt* stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

void BindText(sqlite3_stmt* stmt, int i, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void Exec(const std::shared_ptr<Connection>& conn, const char* sql)
{
    sqlite3* db = conn->Checked();
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
}

}  // namespace

QString NumberKey(const QString& number)
{
    return FoldText(number.trimmed());
}

int RepeatedNumber(const std::vector<StampNumber>& numbers)
{
    QSet<QString> seen;
    for (size_t i = 0; i < numbers.size(); ++i) {
        const QString key = QString::number(numbers[i].catalogueId) + u'\x1f' + NumberKey(numbers[i].number);
        if (seen.contains(key)) return static_cast<int>(i);
        seen.insert(key);
    }
    return -1;
}

StampNumberQuery::StampNumberQuery() = default;
StampNumberQuery::~StampNumberQuery() = default;

void StampNumberQuery::Reset()
{
    mStatement.reset();
    mConn.reset();
}

std::vector<StampNumber> StampNumberQuery::Of(Database& db, qint64 stampId)
{
    const std::shared_ptr<Connection> conn = db.SharedConnection();
    if (conn != mConn || !mStatement) {
        mStatement.reset();
        mConn = conn;
        mStatement = std::make_unique<Statement>(conn, kReadSql);
    }
    mStatement->Reset();
    sqlite3_bind_int64(mStatement->Handle(), 1, stampId);
    std::vector<StampNumber> numbers;
    try {
        while (mStatement->Step()) {
            sqlite3_stmt* s = mStatement->Handle();
            StampNumber n;
            n.catalogueId = sqlite3_column_int64(s, 0);
            n.number = ColumnText(s, 1);
            const int type = sqlite3_column_type(s, 2);
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
                n.value = Money::FromDouble(sqlite3_column_double(s, 2));
            n.note = ColumnText(s, 3);
            numbers.push_back(std::move(n));
        }
    } catch (...) {
        mStatement->Reset();
        throw;
    }
    mStatement->Reset();
    return numbers;
}

void SaveStampNumbers(Database& db, qint64 stampId, const std::vector<StampNumber>& numbers)
{
    const auto conn = db.SharedConnection();
    Exec(conn, "SAVEPOINT stamp_numbers");
    try {
        {
            Statement remove(conn, QStringLiteral("DELETE FROM StampNumber WHERE StampID = ?1"));
            sqlite3_bind_int64(remove.Handle(), 1, stampId);
            remove.Step();
        }
        Statement insert(conn,
                         QStringLiteral("INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort, "
                                        "NumValue, NumNote) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
        int position = 0;
        for (const StampNumber& n : numbers) {
            insert.Reset();
            sqlite3_stmt* s = insert.Handle();
            sqlite3_bind_int64(s, 1, stampId);
            sqlite3_bind_int64(s, 2, n.catalogueId);
            sqlite3_bind_int(s, 3, ++position);
            // Blanks around a number are no part of it.
            const QString number = n.number.trimmed();
            BindText(s, 4, number);
            BindText(s, 5, CatalogueSortKey(number));
            if (n.value)
                sqlite3_bind_double(s, 6, n.value->ToDouble());
            else
                sqlite3_bind_null(s, 6);
            BindText(s, 7, n.note);
            insert.Step();
        }
        conn->RefreshTextKeysIfWritten();
        Exec(conn, "RELEASE stamp_numbers");
    } catch (...) {
        if (conn->db) {
            sqlite3_exec(conn->db, "ROLLBACK TO stamp_numbers", nullptr, nullptr, nullptr);
            sqlite3_exec(conn->db, "RELEASE stamp_numbers", nullptr, nullptr, nullptr);
        }
        throw;
    }
}

QString StampNumberCondition(const QString& text, bool prefix)
{
    const QString match =
        prefix ? QString(QStringLiteral("CatNo like '") + SqlQuote(LikeText(text)) + QStringLiteral("*'"))
               : QString(QStringLiteral("CatNo = '") + SqlQuote(text) + u'\'');
    return QStringLiteral("StampID in (select StampID from StampNumber where ") + match + u')';
}
