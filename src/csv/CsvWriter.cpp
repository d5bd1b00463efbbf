#include "csv/CsvWriter.h"

#include <QSaveFile>

#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

constexpr qsizetype kFlushSize = 1 << 16;

}  // namespace

QString CsvField(const QString& text)
{
    bool quote = false;
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote) return text;
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        if (c == u'"') out += u'"';
        out += c;
    }
    out += u'"';
    return out;
}

CsvWriter::CsvWriter(QString path) : mPath(std::move(path)) {}

CsvWriter::~CsvWriter()
{
    Discard();
}

bool CsvWriter::Open()
{
    mFile = std::make_unique<QSaveFile>(mPath);
    if (!mFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(mFile->errorString());
        mFile.reset();
        return false;
    }
    mBuffer.reserve(kFlushSize + 4096);
    mBuffer += "\xEF\xBB\xBF";
    return true;
}

bool CsvWriter::WriteRecord(const QStringList& fields)
{
    if (!mError.isEmpty() || !mFile) return false;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) mBuffer += ',';
        const QString field = CsvField(fields.at(i));
        bool ascii = true;
        for (const QChar c : field) ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            const qsizetype used = mBuffer.size();
            mBuffer.resize(used + field.size());
            char* out = mBuffer.data() + used;
            for (const QChar c : field) *out++ = static_cast<char>(c.unicode());
        } else {
            mBuffer += field.toUtf8();
        }
    }
    mBuffer += "\r\n";
    if (mBuffer.size() >= kFlushSize) return Flush();
    return true;
}

bool CsvWriter::WriteEncoded(const QByteArray& record)
{
    if (!mError.isEmpty() || !mFile) return false;
    mBuffer += record;
    if (mBuffer.size() >= kFlushSize) return Flush();
    return true;
}

bool CsvWriter::Flush()
{
    for (qsizetype done = 0; done < mBuffer.size();) {
        const qint64 written = mFile->write(mBuffer.constData() + done, mBuffer.size() - done);
        if (written <= 0) {
            Fail(mFile->errorString());
            return false;
        }
        done += written;
    }
    mBuffer.clear();
    return true;
}

bool CsvWriter::Commit()
{
    if (!mError.isEmpty() || !mFile) return false;
    if (!Flush()) return false;
    if (::fsync(mFile->handle()) != 0) {
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!mFile->commit()) {
        Fail(mFile->errorString());
        mFile.reset();
        return false;
    }
    mFile.reset();
    return true;
}

void CsvWriter::Discard()
{
    if (mFile) mFile->cancelWriting();
    mFile.reset();
    mBuffer.clear();
}

void CsvWriter::Fail(const QString& reason)
{
    if (!mError.isEmpty()) return;
    mError = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    if (mFile) mFile->cancelWriting();
}
