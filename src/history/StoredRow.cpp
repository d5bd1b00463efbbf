#include "history/StoredRow.h"

#include <QHashFunctions>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace {

enum Tag : char { kNull = 0, kInteger = 1, kReal = 2, kText = 3, kBlob = 4 };

void PutBytes(QByteArray& out, const void* data, qsizetype size)
{
    out.append(static_cast<const char*>(data), size);
}

template <typename T>
T Get(const char* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Walks the packed values; calls visit(tag, data, size) for each, stopping when
// it answers false.
template <typename Visit>
void Walk(const QByteArray& packed, Visit visit)
{
    const char* at = packed.constData();
    const char* end = at + packed.size();
    while (at < end) {
        const char tag = *at++;
        qsizetype size = 0;
        switch (tag) {
            case kInteger:
            case kReal:
                size = 8;
                break;
            case kText:
            case kBlob:
                if (end - at < 4) return;
                size = Get<qint32>(at);
                at += 4;
                break;
            default:
                size = 0;
                break;
        }
        if (end - at < size) return;
        if (!visit(tag, at, size)) return;
        at += size;
    }
}

}  // namespace

QByteArray PackColumns(sqlite3_stmt* stmt, int first, int count)
{
    QByteArray out;
    out.reserve(count * 6);
    for (int i = first; i < first + count; ++i) {
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_INTEGER: {
                out.append(kInteger);
                const qint64 value = sqlite3_column_int64(stmt, i);
                PutBytes(out, &value, 8);
                break;
            }
            case SQLITE_FLOAT: {
                out.append(kReal);
                const double value = sqlite3_column_double(stmt, i);
                PutBytes(out, &value, 8);
                break;
            }
            case SQLITE_TEXT: {
                out.append(kText);
                const auto* text = sqlite3_column_text(stmt, i);
                const qint32 size = sqlite3_column_bytes(stmt, i);
                PutBytes(out, &size, 4);
                PutBytes(out, text, size);
                break;
            }
            case SQLITE_BLOB: {
                out.append(kBlob);
                const void* blob = sqlite3_column_blob(stmt, i);
                const qint32 size = sqlite3_column_bytes(stmt, i);
                PutBytes(out, &size, 4);
                if (size > 0) PutBytes(out, blob, size);
                break;
            }
            default:
                out.append(kNull);
                break;
        }
    }
    return out;
}

namespace {

void BindOne(sqlite3_stmt* stmt, int parameter, char tag, const char* data, qsizetype size)
{
    switch (tag) {
        case kInteger:
            sqlite3_bind_int64(stmt, parameter, Get<qint64>(data));
            break;
        case kReal:
            sqlite3_bind_double(stmt, parameter, Get<double>(data));
            break;
        case kText:
            sqlite3_bind_text(stmt, parameter, data, static_cast<int>(size), SQLITE_STATIC);
            break;
        case kBlob:
            sqlite3_bind_blob(stmt, parameter, data, static_cast<int>(size), SQLITE_STATIC);
            break;
        default:
            sqlite3_bind_null(stmt, parameter);
            break;
    }
}

// Each value of a packed row: its tag and bytes.
struct Value {
    char tag;
    const char* data;
    qsizetype size;
};

std::vector<Value> Values(const QByteArray& packed)
{
    std::vector<Value> values;
    Walk(packed, [&](char tag, const char* data, qsizetype size) {
        values.push_back({tag, data, size});
        return true;
    });
    return values;
}

}  // namespace

int BindPacked(sqlite3_stmt* stmt, int firstParameter, const QByteArray& packed)
{
    int parameter = firstParameter;
    Walk(packed, [&](char tag, const char* data, qsizetype size) {
        BindOne(stmt, parameter++, tag, data, size);
        return true;
    });
    return parameter - firstParameter;
}

std::vector<int> DifferingColumns(const QByteArray& a, const QByteArray& b)
{
    const std::vector<Value> left = Values(a);
    const std::vector<Value> right = Values(b);
    std::vector<int> differ;
    for (size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        const bool same = i < left.size() && i < right.size() && left[i].tag == right[i].tag &&
                          left[i].size == right[i].size &&
                          std::memcmp(left[i].data, right[i].data, static_cast<size_t>(left[i].size)) == 0;
        if (!same) differ.push_back(static_cast<int>(i));
    }
    return differ;
}

int BindPackedColumns(sqlite3_stmt* stmt, int firstParameter, const QByteArray& packed, const std::vector<int>& columns)
{
    const std::vector<Value> values = Values(packed);
    int parameter = firstParameter;
    for (int column : columns) {
        if (column < 0 || static_cast<size_t>(column) >= values.size()) continue;
        const Value& value = values[static_cast<size_t>(column)];
        BindOne(stmt, parameter++, value.tag, value.data, value.size);
    }
    return parameter - firstParameter;
}

QVariant PackedValue(const QByteArray& packed, int index)
{
    QVariant result;
    int at = 0;
    Walk(packed, [&](char tag, const char* data, qsizetype size) {
        if (at++ < index) return true;
        switch (tag) {
            case kInteger:
                result = QVariant(Get<qint64>(data));
                break;
            case kReal:
                result = QVariant(Get<double>(data));
                break;
            case kText:
                result = QVariant(QString::fromUtf8(data, size));
                break;
            case kBlob:
                result = QVariant(QByteArray(data, size));
                break;
            default:
                break;
        }
        return false;
    });
    return result;
}

quint64 RowFingerprint(const std::optional<QByteArray>& packed)
{
    if (!packed) return 0;
    // An absent row is 0; a present one never is.
    const quint64 hash = qHashBits(packed->constData(), static_cast<size_t>(packed->size()), 0x5eed);
    return hash == 0 ? 1 : hash;
}
