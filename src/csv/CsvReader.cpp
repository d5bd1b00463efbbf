#include "csv/CsvReader.h"

#include <QIODevice>

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined keep their
// C1 control codes, as web browsers read them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Decodes UTF-8 from data into out; returns the bytes used. An incomplete
// character at the end is left unused unless atEnd.
qsizetype DecodeUtf8(const unsigned char* data, qsizetype size, bool atEnd, QString& out)
{
    qsizetype i = 0;
    while (i < size) {
        const unsigned char b = data[i];
        if (b < 0x80) {
            qsizetype run = i + 1;
            while (run < size && data[run] < 0x80) ++run;
            out.append(QLatin1StringView(reinterpret_cast<const char*>(data + i), run - i));
            i = run;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;   // no overlong forms
            if (b == 0xED) high = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
        }
        if (length == 0) {
            out.append(QChar(kInvalidText));
            ++i;
            continue;
        }
        // Check what is there of the character before deciding to wait for more.
        bool valid = true;
        const qsizetype available = std::min<qsizetype>(length, size - i);
        for (qsizetype k = 1; k < available && valid; ++k) {
            const unsigned char c = data[i + k];
            valid = k == 1 ? c >= low && c <= high : IsContinuation(c);
        }
        if (!valid) {
            out.append(QChar(kInvalidText));
            ++i;
            continue;
        }
        if (available < length) {
            if (!atEnd) return i;
            out.append(QChar(kInvalidText));
            ++i;
            continue;
        }
        char32_t code = b & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) code = (code << 6) | (data[i + k] & 0x3F);
        if (code >= 0x10000) {
            const char32_t v = code - 0x10000;
            out.append(QChar(char16_t(0xD800 + (v >> 10))));
            out.append(QChar(char16_t(0xDC00 + (v & 0x3FF))));
        } else {
            out.append(QChar(char16_t(code)));
        }
        i += length;
    }
    return i;
}

qsizetype DecodeUtf16(const unsigned char* data, qsizetype size, bool atEnd, bool bigEndian, QString& out)
{
    auto unitAt = [&](qsizetype i) -> char16_t {
        return bigEndian ? char16_t((data[i] << 8) | data[i + 1]) : char16_t(data[i] | (data[i + 1] << 8));
    };
    qsizetype i = 0;
    while (i + 1 < size) {
        const char16_t u = unitAt(i);
        if (QChar::isHighSurrogate(u)) {
            if (i + 3 >= size) {
                if (!atEnd) return i;
                out.append(QChar(kInvalidText));
                i += 2;
                continue;
            }
            const char16_t next = unitAt(i + 2);
            if (QChar::isLowSurrogate(next)) {
                out.append(QChar(u));
                out.append(QChar(next));
                i += 4;
            } else {
                out.append(QChar(kInvalidText));
                i += 2;
            }
            continue;
        }
        out.append(QChar(QChar::isLowSurrogate(u) || u == kInvalidText ? kInvalidText : u));
        i += 2;
    }
    if (i < size && atEnd) {
        out.append(QChar(kInvalidText));
        i = size;
    }
    return i;
}

qsizetype DecodeBytes(const QByteArray& bytes, CsvEncoding encoding, bool atEnd, QString& out)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    switch (encoding) {
        case CsvEncoding::Utf8:
            return DecodeUtf8(data, size, atEnd, out);
        case CsvEncoding::Utf16LE:
            return DecodeUtf16(data, size, atEnd, false, out);
        case CsvEncoding::Utf16BE:
            return DecodeUtf16(data, size, atEnd, true, out);
        case CsvEncoding::Windows1252:
            out.reserve(out.size() + size);
            for (qsizetype i = 0; i < size; ++i) {
                const unsigned char b = data[i];
                out.append(QChar(b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : char16_t(b)));
            }
            return size;
    }
    return size;
}

QByteArray ByteOrderMark(CsvEncoding encoding)
{
    switch (encoding) {
        case CsvEncoding::Utf8:
            return QByteArray("\xEF\xBB\xBF", 3);
        case CsvEncoding::Utf16LE:
            return QByteArray("\xFF\xFE", 2);
        case CsvEncoding::Utf16BE:
            return QByteArray("\xFE\xFF", 2);
        case CsvEncoding::Windows1252:
            break;
    }
    return QByteArray();
}

}  // namespace

bool CsvRecord::IsBlank() const
{
    if (nonEmptyExtra > 0) return false;
    for (const QString& field : fields)
        for (const QChar c : field)
            if (!c.isSpace()) return false;
    return true;
}

QString DecodeCsvBytes(const QByteArray& bytes, CsvEncoding encoding)
{
    QString out;
    DecodeBytes(bytes, encoding, true, out);
    return out;
}

QString EncodingName(CsvEncoding encoding)
{
    switch (encoding) {
        case CsvEncoding::Utf8:
            return QStringLiteral("UTF-8");
        case CsvEncoding::Utf16LE:
            return QStringLiteral("UTF-16 little-endian");
        case CsvEncoding::Utf16BE:
            return QStringLiteral("UTF-16 big-endian");
        case CsvEncoding::Windows1252:
            return QStringLiteral("Windows-1252");
    }
    return QString();
}

CsvReader::CsvReader(QIODevice& device, CsvEncoding encoding, QChar separator, qint64 chunkBytes)
    : mDevice(device),
      mEncoding(encoding),
      mSeparator(separator.unicode()),
      mChunkBytes(std::max<qint64>(chunkBytes, 1))
{
}

bool CsvReader::Fill()
{
    while (mPos >= mText.size()) {
        if (mAtEnd) return false;
        QByteArray bytes = mPending;
        mPending.clear();
        const QByteArray mark = mStarted ? QByteArray() : ByteOrderMark(mEncoding);
        // At the start, read until the byte-order mark can be told (or the file ends).
        do {
            const qsizetype before = bytes.size();
            bytes.resize(before + mChunkBytes);
            const qint64 n = mDevice.read(bytes.data() + before, mChunkBytes);
            bytes.resize(before + std::max<qint64>(n, 0));
            if (n <= 0) {
                if (n < 0) mError = mDevice.errorString();
                mAtEnd = true;
                break;
            }
            mBytesRead += n;
        } while (!mStarted && bytes.size() < mark.size());
        if (!mStarted) {
            mStarted = true;
            if (!mark.isEmpty() && bytes.startsWith(mark)) bytes.remove(0, mark.size());
        }
        mText.clear();
        mPos = 0;
        const qsizetype used = DecodeBytes(bytes, mEncoding, mAtEnd, mText);
        mPending = bytes.mid(used);
    }
    return true;
}

int CsvReader::Get()
{
    if (mPos >= mText.size() && !Fill()) return -1;
    return mText.at(mPos++).unicode();
}

int CsvReader::Peek()
{
    if (mPos >= mText.size() && !Fill()) return -1;
    return mText.at(mPos).unicode();
}

bool CsvReader::Next(CsvRecord& record)
{
    record = CsvRecord();
    // Passes over lines without a character.
    for (;;) {
        const int c = Peek();
        if (c < 0) return false;
        if (c == u'\n') {
            Get();
            ++mLine;
        } else if (c == u'\r') {
            Get();
            if (Peek() == u'\n') Get();
            ++mLine;
        } else {
            break;
        }
    }
    record.line = mLine;

    qsizetype recordChars = 0;
    QString field;
    bool fieldHasChars = false;
    auto fault = [&record](CsvFault f, int column) {
        if (record.fault == CsvFault::None || f == CsvFault::UnclosedQuote) {
            record.fault = f;
            record.faultColumn = column;
        }
    };
    auto column = [&record] { return static_cast<int>(record.FieldCount() + 1); };
    auto keeping = [&record] { return record.fields.size() < kMaxFields; };
    // Appends a run of plain characters within the limits.
    auto append = [&](QStringView run) {
        if (run.isEmpty()) return;
        fieldHasChars = true;
        if (!keeping()) return;
        qsizetype room = std::min(kMaxFieldChars - field.size(), kMaxRecordChars - recordChars);
        if (run.size() > room) {
            fault(field.size() + room >= kMaxFieldChars ? CsvFault::FieldTooLong : CsvFault::RecordTooLong, column());
            run = run.left(std::max<qsizetype>(room, 0));
        }
        field.append(run);
        recordChars += run.size();
    };
    auto appendOne = [&](int c) {
        if (c == kInvalidText) {
            fault(CsvFault::InvalidText, column());
            const QChar replacement(QChar::ReplacementCharacter);
            append(QStringView(&replacement, 1));
        } else if (c == 0) {
            fault(CsvFault::NulCharacter, column());
            fieldHasChars = true;
        } else {
            const QChar ch(static_cast<char16_t>(c));
            append(QStringView(&ch, 1));
        }
    };
    // The longest run of characters from the current position that need no
    // attention of their own.
    auto plainRun = [&](bool quoted) {
        if (mPos >= mText.size() && !Fill()) return QStringView();
        const qsizetype start = mPos;
        const QChar* text = mText.constData();
        const qsizetype size = mText.size();
        qsizetype i = start;
        while (i < size) {
            const char16_t c = text[i].unicode();
            if (c == u'"' || c == u'\r' || c == u'\n' || c == 0 || c == kInvalidText || (!quoted && c == mSeparator))
                break;
            ++i;
        }
        mPos = i;
        return QStringView(text + start, i - start);
    };
    auto endField = [&] {
        if (keeping()) {
            record.fields.append(field);
        } else {
            ++record.extraFields;
            if (fieldHasChars) ++record.nonEmptyExtra;
        }
        field.clear();
        fieldHasChars = false;
    };
    // Ends the record at a line end (consumed) or at the end of the file.
    auto endOfLine = [&](int c) {
        if (c == u'\r') {
            Get();
            if (Peek() == u'\n') Get();
            ++mLine;
            return true;
        }
        if (c == u'\n') {
            Get();
            ++mLine;
            return true;
        }
        return c < 0;
    };

    for (;;) {
        int c = Peek();
        if (c == u'"') {
            Get();
            fieldHasChars = true;
            for (;;) {
                append(plainRun(true));
                c = Get();
                if (c < 0) {
                    fault(CsvFault::UnclosedQuote, column());
                    endField();
                    return true;
                }
                if (c == u'"') {
                    if (Peek() == u'"') {
                        Get();
                        append(u"\"");
                        continue;
                    }
                    break;
                }
                if (c == u'\r' || c == u'\n') {
                    const QChar ch(static_cast<char16_t>(c));
                    append(QStringView(&ch, 1));
                    if (c == u'\r' && Peek() == u'\n') {
                        Get();
                        append(u"\n");
                    }
                    ++mLine;
                    continue;
                }
                appendOne(c);
            }
            // After the closing quote: the separator, a line end or the end.
            c = Peek();
            if (c == mSeparator) {
                Get();
                endField();
                continue;
            }
            if (endOfLine(c)) {
                endField();
                return true;
            }
            fault(CsvFault::StrayQuote, column());
        }
        // An unquoted field, or what follows a misplaced closing quote.
        for (;;) {
            append(plainRun(false));
            c = Peek();
            if (c == mSeparator) {
                Get();
                endField();
                break;
            }
            if (endOfLine(c)) {
                endField();
                return true;
            }
            Get();
            if (c == u'"') {
                fault(CsvFault::StrayQuote, column());
                append(u"\"");
            } else {
                appendOne(c);
            }
        }
    }
}
