// A CSV file to import may hold anything. The reader must never crash, must keep
// within its bounds whatever the file, must count lines forward only, and what
// the writer makes of the fields it read must read back as the same fields.
#include "csv/CsvReader.h"
#include "csv/CsvSniff.h"
#include "csv/CsvWriter.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

std::vector<CsvRecord> ReadAll(const QByteArray& bytes, CsvEncoding encoding, QChar separator, qint64 chunk)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, encoding, separator, chunk);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.Next(record)) records.push_back(record);
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static const CsvEncoding kEncodings[] = {CsvEncoding::Utf8, CsvEncoding::Utf16LE, CsvEncoding::Utf16BE,
                                             CsvEncoding::Windows1252};
    const CsvEncoding encoding = kEncodings[data[0] % 4];
    const QChar separator = kCsvSeparators[(data[0] / 4) % 3];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    const auto records = ReadAll(bytes, encoding, separator, 1 << 16);
    qint64 line = 0;
    for (const CsvRecord& r : records) {
        if (r.line <= line) std::abort();
        line = r.line;
        if (r.fields.isEmpty() || r.fields.size() > CsvReader::kMaxFields) std::abort();
        if (r.extraFields > 0 && r.fields.size() != CsvReader::kMaxFields) std::abort();
        qsizetype chars = 0;
        for (const QString& field : r.fields) {
            if (field.size() > CsvReader::kMaxFieldChars) std::abort();
            chars += field.size();
        }
        if (chars > CsvReader::kMaxRecordChars) std::abort();
        if ((r.fault == CsvFault::None) != (r.faultColumn == 0)) std::abort();
        if (r.faultColumn < 0 || r.faultColumn > r.FieldCount()) std::abort();
    }
    // Reading a piece at a time gives the same records as reading at once.
    const auto small = ReadAll(bytes, encoding, separator, 1 + data[0] % 7);
    if (small.size() != records.size()) std::abort();
    for (size_t i = 0; i < records.size(); ++i)
        if (small[i].fields != records[i].fields || small[i].line != records[i].line ||
            small[i].fault != records[i].fault)
            std::abort();

    // The writer's fields read back as they were (after its byte-order mark, as
    // the writer puts it).
    QByteArray written = "\xEF\xBB\xBF";
    std::vector<QStringList> kept;
    for (const CsvRecord& r : records) {
        if (r.fault != CsvFault::None || r.extraFields > 0 || (r.fields.size() == 1 && r.fields.front().isEmpty()))
            continue;
        QStringList fields;
        for (const QString& field : r.fields) fields << CsvField(field);
        written += fields.join(u',').toUtf8() + "\r\n";
        kept.push_back(r.fields);
    }
    const auto back = ReadAll(written, CsvEncoding::Utf8, u',', 1 << 16);
    if (back.size() != kept.size()) std::abort();
    for (size_t i = 0; i < kept.size(); ++i)
        if (back[i].fields != kept[i] || back[i].fault != CsvFault::None) std::abort();

    const QChar detected = DetectSeparator(DecodeCsvBytes(bytes.left(4096), encoding));
    if (detected != u',' && detected != u';' && detected != u'\t') std::abort();
    return 0;
}
