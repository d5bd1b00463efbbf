#pragma once

// Reading comma-separated files as spreadsheets and other collection programs
// write them: records of fields, quoted fields with doubled quotes and line
// breaks inside, any of the three line ends. The file is read a piece at a
// time, so its size does not matter; a record never holds more than a bounded
// amount of text, whatever the file holds.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

enum class CsvEncoding { Utf8, Utf16LE, Utf16BE, Windows1252 };

// What keeps a record from being read as the file meant it. The first fault of
// a record is kept, except that a quote never closed outranks every other.
enum class CsvFault {
    None,
    InvalidText,    // bytes that are no text in the file's encoding
    NulCharacter,   // a NUL character: the file is not plain text
    StrayQuote,     // a quote inside a field that does not start with one, or after a closing quote
    UnclosedQuote,  // a quoted field still open at the end of the file
    FieldTooLong,   // a field of more than kMaxFieldChars characters
    RecordTooLong,  // more than kMaxRecordChars characters in all
};

struct CsvRecord {
    qint64 line = 0;              // the line on which the record starts, from 1
    QStringList fields;           // at most kMaxFields of them
    qsizetype extraFields = 0;    // fields beyond kMaxFields, counted but not kept
    qsizetype nonEmptyExtra = 0;  // of those, the ones that hold something
    CsvFault fault = CsvFault::None;
    int faultColumn = 0;  // the column (from 1) of the fault

    qsizetype FieldCount() const { return fields.size() + extraFields; }
    // True for a line without a single character in any field.
    bool IsBlank() const;
};

class CsvReader {
public:
    static constexpr qsizetype kMaxFieldChars = 1'000'000;
    static constexpr qsizetype kMaxRecordChars = 2'000'000;
    static constexpr qsizetype kMaxFields = 1000;

    // Reads from an open device. A byte-order mark at the start of the device
    // that belongs to the encoding is passed over. chunkBytes is the size of
    // each read (small values serve tests of characters split between reads).
    CsvReader(QIODevice& device, CsvEncoding encoding, QChar separator, qint64 chunkBytes = 1 << 16);

    // The next record; false at the end of the file or when the device fails
    // (then Error() says why). Lines without any character are passed over.
    bool Next(CsvRecord& record);
    const QString& Error() const { return mError; }
    // Bytes read from the device so far.
    qint64 BytesRead() const { return mBytesRead; }

private:
    // The next character, or -1 at the end. Invalid input reads as kInvalid.
    int Get();
    int Peek();
    bool Fill();
    void Decode(const char* data, qsizetype size, bool atEnd);

    QIODevice& mDevice;
    CsvEncoding mEncoding;
    char16_t mSeparator;
    qint64 mChunkBytes;
    QString mText;  // decoded text not yet read
    qsizetype mPos = 0;
    QByteArray mPending;  // bytes of a character split between two reads
    bool mStarted = false;
    bool mAtEnd = false;
    qint64 mBytesRead = 0;
    qint64 mLine = 1;
    QString mError;
};

// The character that stands for input that is no text in the encoding: a
// noncharacter, so it never comes from a valid file.
inline constexpr char16_t kInvalidText = 0xFFFF;

// Decodes a whole byte array the way the reader does (for short texts: samples
// and tests). Invalid input becomes kInvalidText.
QString DecodeCsvBytes(const QByteArray& bytes, CsvEncoding encoding);

// The plain name of an encoding, as the import window and the tool show it.
QString EncodingName(CsvEncoding encoding);
