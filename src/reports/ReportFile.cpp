#include "reports/ReportFile.h"

#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"

#include <QFileInfo>

#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

constexpr qsizetype kFlushSize = 1 << 16;

}  // namespace

QString HtmlFooterLine()
{
    return QStringLiteral("<H6>List Produced by <A HREF=\"https://tessarine.org\">Tessarine</A></H6>");
}

std::optional<QString> AskReportFile(const QString& defaultName, const QString& filter)
{
    const std::optional<QString> chosen = prompts().SaveFile(defaultName, filter);
    if (!chosen || chosen->isEmpty()) {
        HandleError(DbError(ErrNo::DialogCancel, QStringLiteral("Cancel was selected.")));
        gRptCancel = true;
        return std::nullopt;
    }
    ConfirmOverwrite(*chosen);
    if (gRptCancel) return std::nullopt;
    return chosen;
}

bool ReplaceExistingFile(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile()) return true;
    const MsgAnswer answer = MsgBox(
        QStringLiteral("The file '") + fileName + QStringLiteral("' already exists.  Do you wish to replace it?"),
        MsgButtons::YesNo, QStringLiteral("File Exists"));
    return answer != MsgAnswer::No;
}

void ConfirmOverwrite(const QString& fileName)
{
    gRptCancel = false;
    if (!ReplaceExistingFile(fileName)) gRptCancel = true;
}

void ShowReportFileError(int number, const QString& text)
{
    MsgBox(QString::number(number) + QStringLiteral("  ") + text);
}

ReportFile::ReportFile(QString path) : mPath(std::move(path)) {}

ReportFile::~ReportFile()
{
    Discard();
}

bool ReportFile::Open()
{
    mFile = std::make_unique<QSaveFile>(mPath);
    // In a folder the collector may not write to, an existing file that may be
    // written is overwritten in place, as a plain write would do; everywhere
    // else the finished file replaces the old one in one step.
    mFile->setDirectWriteFallback(true);
    // Unbuffered: the lines are gathered here, and a write that fails must be
    // seen when it fails; the save file's own buffer would only fail in commit(),
    // which does not tell.
    if (!mFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Fail(mFile->errorString());
        mFile.reset();
        return false;
    }
    mBuffer.reserve(kFlushSize + 4096);
    return true;
}

bool ReportFile::WriteLine(QStringView line)
{
    if (mFailed || !mFile) return false;
    // Most lines are plain ASCII: those go straight into the buffer, without a
    // converted copy of their own.
    const qsizetype used = mBuffer.size();
    mBuffer.resize(used + line.size() + 2);
    char* out = mBuffer.data() + used;
    bool ascii = true;
    for (const QChar c : line) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
        *out++ = static_cast<char>(c.unicode());
    }
    if (ascii) {
        *out++ = '\r';
        *out++ = '\n';
    } else {
        mBuffer.truncate(used);
        mBuffer += line.toUtf8();
        mBuffer += "\r\n";
    }
    if (mBuffer.size() >= kFlushSize) return Flush();
    return true;
}

bool ReportFile::Flush()
{
    // A write may put down only part of the data (a disk that fills up takes what
    // it has room for); the rest is written again, so that the failure shows with
    // its reason.
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

bool ReportFile::Close()
{
    if (mFailed || !mFile) return false;
    if (!Flush()) return false;
    // commit() syncs the file but lets a failure of the sync pass; a disk that
    // runs out of room may say so only here.
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

void ReportFile::Discard()
{
    if (mFile) mFile->cancelWriting();
    mFile.reset();
    mBuffer.clear();
}

void ReportFile::Fail(const QString& reason)
{
    if (mFailed) return;
    mFailed = true;
    if (mFile) mFile->cancelWriting();
    ShowReportFileError(ErrNo::FileError,
                        QStringLiteral("Could not write the report file '") + mPath + QStringLiteral("': ") + reason);
}

QString TextFileLine(QString rowString)
{
    // One pass, in place: every report line goes through here.
    QChar* out = rowString.data();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < rowString.size(); ++i) {
        const QChar c = out[i];
        if (c == u';') continue;
        out[kept++] = c == u'|' ? QChar(u'\t') : c;
    }
    rowString.truncate(kept);
    return rowString;
}

QString OneLineText(QString text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n')) return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

void AppendHtmlEscaped(QString& out, QStringView text)
{
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const char16_t* entity = nullptr;
        qsizetype skip = 0;
        if (c == u'&')
            entity = u"&amp;";
        else if (c == u'<')
            entity = u"&lt;";
        else if (c == u'>')
            entity = u"&gt;";
        else if (c == u'\r' || c == u'\n') {
            entity = u" ";
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') skip = 1;
        } else
            continue;
        out.append(text.mid(plain, i - plain));
        out.append(QStringView(entity));
        i += skip;
        plain = i + 1;
    }
    out.append(text.mid(plain));
}

QString HtmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}
