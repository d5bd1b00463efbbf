#pragma once

// What a file to import is before its rows are read: there at all, text at
// all, in which encoding, and with which separator between its fields.

#include "csv/CsvReader.h"

#include <QByteArrayView>
#include <QString>

struct CsvSniff {
    enum class Problem { None, Missing, Unreadable, Empty, Binary };
    Problem problem = Problem::None;
    QString message;  // what is wrong, for the collector; empty when nothing is
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool byteOrderMark = false;
    QChar separator = u',';
    qint64 size = 0;

    bool Ok() const { return problem == Problem::None; }
};

// Looks at the file: a byte-order mark names the encoding (UTF-8 or UTF-16);
// otherwise a file that is valid UTF-8 throughout is UTF-8, and any other is
// Windows-1252. A file with NUL bytes near its start is not text.
CsvSniff SniffCsvFile(const QString& path);

// The separator of the first records of a text: the one of comma, semicolon and
// tab that splits them into the same number of fields, more than one; comma
// when none does.
QChar DetectSeparator(const QString& head);

// True when the bytes are UTF-8 throughout.
bool IsUtf8(QByteArrayView bytes);

// The separators the import offers.
inline constexpr char16_t kCsvSeparators[] = {u',', u';', u'\t'};
QString SeparatorName(QChar separator);
