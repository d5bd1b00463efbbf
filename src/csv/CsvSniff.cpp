#include "csv/CsvSniff.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>

namespace {

constexpr qint64 kBinaryWindow = 1 << 16;
constexpr qint64 kSeparatorSample = 1 << 16;
constexpr int kSeparatorRecords = 50;

// How much of the bytes is UTF-8: the length of the valid part, with a
// character cut off by the end counted as valid unless atEnd; -1 when an
// invalid byte comes first.
qsizetype Utf8Length(const unsigned char* data, qsizetype size, bool atEnd)
{
    qsizetype i = 0;
    while (i < size) {
        const unsigned char b = data[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            return -1;
        }
        const qsizetype available = std::min<qsizetype>(length, size - i);
        for (qsizetype k = 1; k < available; ++k) {
            const unsigned char c = data[i + k];
            if (k == 1 ? c < low || c > high : (c & 0xC0) != 0x80) return -1;
        }
        if (available < length) return atEnd ? -1 : i;
        i += length;
    }
    return i;
}

// True when the bytes are UTF-8 so far; carry holds the bytes of a character
// split from the next chunk.
bool ValidUtf8(const QByteArray& chunk, QByteArray& carry, bool atEnd)
{
    const QByteArray bytes = carry + chunk;
    carry.clear();
    const qsizetype valid = Utf8Length(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), atEnd);
    if (valid < 0) return false;
    carry = bytes.mid(valid);
    return true;
}

}  // namespace

bool IsUtf8(QByteArrayView bytes)
{
    return Utf8Length(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), true) == bytes.size();
}

QString SeparatorName(QChar separator)
{
    switch (separator.unicode()) {
        case u',':
            return QStringLiteral("comma");
        case u';':
            return QStringLiteral("semicolon");
        case u'\t':
            return QStringLiteral("tab");
        default:
            return QString(separator);
    }
}

CsvSniff SniffCsvFile(const QString& path)
{
    CsvSniff sniff;
    const QFileInfo info(path);
    if (!info.exists()) {
        sniff.problem = CsvSniff::Problem::Missing;
        sniff.message = QStringLiteral("The file '%1' cannot be found.").arg(path);
        return sniff;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        sniff.problem = CsvSniff::Problem::Unreadable;
        sniff.message = QStringLiteral("The file '%1' cannot be read: %2.")
                            .arg(path, info.isDir() ? QStringLiteral("it is a folder") : file.errorString());
        return sniff;
    }
    sniff.size = file.size();
    QByteArray head = file.read(kBinaryWindow);
    if (head.isEmpty() && file.error() != QFileDevice::NoError) {
        sniff.problem = CsvSniff::Problem::Unreadable;
        sniff.message = QStringLiteral("The file '%1' cannot be read: %2.").arg(path, file.errorString());
        return sniff;
    }
    if (head.isEmpty()) {
        sniff.problem = CsvSniff::Problem::Empty;
        sniff.message = QStringLiteral("The file '%1' is empty.").arg(path);
        return sniff;
    }

    QByteArray text = head;
    if (head.startsWith("\xEF\xBB\xBF")) {
        sniff.encoding = CsvEncoding::Utf8;
        sniff.byteOrderMark = true;
        text = head.mid(3);
    } else if (head.startsWith("\xFF\xFE")) {
        sniff.encoding = CsvEncoding::Utf16LE;
        sniff.byteOrderMark = true;
        text = head.mid(2);
    } else if (head.startsWith("\xFE\xFF")) {
        sniff.encoding = CsvEncoding::Utf16BE;
        sniff.byteOrderMark = true;
        text = head.mid(2);
    }
    if (!sniff.byteOrderMark || sniff.encoding == CsvEncoding::Utf8) {
        if (head.contains('\0')) {
            sniff.problem = CsvSniff::Problem::Binary;
            sniff.message =
                QStringLiteral("The file '%1' is not a CSV file: it holds binary data, not text.").arg(path);
            return sniff;
        }
    }
    if (!sniff.byteOrderMark) {
        // UTF-8 only when every byte of the file agrees.
        QByteArray carry;
        bool valid = ValidUtf8(head, carry, file.atEnd());
        while (valid && !file.atEnd()) {
            const QByteArray chunk = file.read(1 << 20);
            if (chunk.isEmpty()) break;
            valid = ValidUtf8(chunk, carry, file.atEnd());
        }
        sniff.encoding = valid ? CsvEncoding::Utf8 : CsvEncoding::Windows1252;
    }
    const QString decoded = DecodeCsvBytes(text.left(kSeparatorSample), sniff.encoding);
    if (decoded.trimmed().isEmpty() && sniff.size <= kBinaryWindow) {
        sniff.problem = CsvSniff::Problem::Empty;
        sniff.message = QStringLiteral("The file '%1' is empty.").arg(path);
        return sniff;
    }
    sniff.separator = DetectSeparator(decoded);
    return sniff;
}

QChar DetectSeparator(const QString& head)
{
    // The last record of a sample may be cut short; it is not counted when there
    // are others.
    QChar best = u',';
    int bestScore = 0;
    qsizetype bestFields = 0;
    const QByteArray utf8 = head.toUtf8();
    for (const char16_t candidate : kCsvSeparators) {
        QBuffer buffer;
        buffer.setData(utf8);
        buffer.open(QIODevice::ReadOnly);
        CsvReader reader(buffer, CsvEncoding::Utf8, QChar(candidate));
        std::vector<qsizetype> counts;
        CsvRecord record;
        while (counts.size() < kSeparatorRecords + 1 && reader.Next(record)) counts.push_back(record.FieldCount());
        if (counts.size() > 1) counts.pop_back();
        std::map<qsizetype, int> tally;
        for (const qsizetype n : counts) ++tally[n];
        qsizetype mode = 0;
        int modeCount = 0;
        for (const auto& [fields, count] : tally)
            if (count > modeCount || (count == modeCount && fields > mode)) {
                mode = fields;
                modeCount = count;
            }
        if (mode < 2) continue;
        if (modeCount > bestScore || (modeCount == bestScore && mode > bestFields)) {
            best = QChar(candidate);
            bestScore = modeCount;
            bestFields = mode;
        }
    }
    return best;
}
