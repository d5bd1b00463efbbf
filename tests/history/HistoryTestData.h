#pragma once

// What the history tests compare: every stored value of the tables a change may
// touch, exactly (a real by its bits, text and blobs by their bytes, the kind of
// every value), and the stamps' own rows alone.

#include "db/Database.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sqlite3.h>

inline QString ExactRows(sqlite3* db, const QString& table, const QString& where = QString())
{
    QString out;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql =
        (QStringLiteral("SELECT * FROM \"%1\"").arg(table) +
         (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) + QStringLiteral(" ORDER BY rowid"))
            .toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    out += QStringLiteral("i%1").arg(sqlite3_column_int64(stmt, c));
                    break;
                case SQLITE_FLOAT: {
                    const double value = sqlite3_column_double(stmt, c);
                    out += QStringLiteral("r") +
                           QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(&value), 8).toHex());
                    break;
                }
                case SQLITE_TEXT:
                    out += QStringLiteral("t") +
                           QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                             sqlite3_column_bytes(stmt, c));
                    break;
                case SQLITE_BLOB:
                    out += QStringLiteral("b") +
                           QString::fromLatin1(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, c)),
                                                          sqlite3_column_bytes(stmt, c))
                                                   .toHex());
                    break;
                default:
                    out += QStringLiteral("null");
                    break;
            }
            out += u'|';
        }
        out += u'\n';
    }
    sqlite3_finalize(stmt);
    return out;
}

// Every table a change may touch, with the stored text keys.
inline QString CatalogueState(Database& db)
{
    sqlite3* handle = db.SharedConnection()->db;
    QString out;
    for (const char* table : {"Stamp", "DeletedStamp", "StampImage", "Picture", "PictureData", "cancel", "Condition",
                              "country", "format", "gum", "paper", "Perf", "topic", "type"})
        out += QStringLiteral("[%1]\n").arg(QString::fromLatin1(table)) + ExactRows(handle, QString::fromLatin1(table));
    return out;
}
