#pragma once

// The file targets of every report: the Save dialog and the "File Exists"
// question, the report file itself, and the text conversions of its lines.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

inline const QString kTextFileFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
inline const QString kHtmlFileFilter = QStringLiteral("Html Files (*.htm)|*.htm|All Files (*.*)|*.*");

// The last lines of every standard report page.
QString HtmlFooterLine();

// Shows the Save dialog with the default name and filter, then asks "File
// Exists" when the chosen file is there. The chosen name, or nothing when the
// report is to end: Cancel goes to the central error handler as the dialog's
// cancel error (which sets gRptCancel), a No sets gRptCancel.
std::optional<QString> AskReportFile(const QString& defaultName, const QString& filter);

// When fileName names an existing file, asks "File Exists" whether to replace
// it; false when the answer is No.
bool ReplaceExistingFile(const QString& fileName);

// Sets gRptCancel to false, then, when fileName names an existing file, asks
// whether to replace it; No sets gRptCancel to true.
void ConfirmOverwrite(const QString& fileName);

// Shows a file failure as the number-and-text message. Unlike a database
// failure it ends only the report under way: the collector may have unsaved
// work in the main window.
void ShowReportFileError(int number, const QString& text);

// A report file being written: UTF-8, CR LF after every line. The lines go to a
// temporary file beside the chosen one, which replaces it only when the report
// has written everything; a report that fails or stops half-way leaves the old
// file (or none) as it was. In a folder where no temporary file can be made, an
// existing writable file is written in place instead. A failure is shown once,
// as error 75.
class ReportFile {
public:
    explicit ReportFile(QString path);
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    const QString& Path() const { return mPath; }
    // False (and the message shown) when the file cannot be made.
    bool Open();
    // False once writing has failed; the report should then end.
    bool WriteLine(QStringView line);
    // Puts the finished file in place. False (and the message shown) on failure.
    bool Close();
    // Drops what was written; the chosen file stays as it was.
    void Discard();
    bool Failed() const { return mFailed; }

private:
    bool Flush();
    void Fail(const QString& reason);

    QString mPath;
    std::unique_ptr<QSaveFile> mFile;
    QByteArray mBuffer;
    bool mFailed = false;
};

// A row string ("a|b|c;") as a line of the text file: every "|" a tab, every
// ";" removed.
QString TextFileLine(QString rowString);

// A value as it goes into a report file: a line break in it (CR LF, CR or LF)
// becomes one space, so that a value never splits its record's line.
QString OneLineText(QString text);

// A cell text made safe for an HTML page: & < > as entities, a line break as one
// space.
QString HtmlEscape(const QString& text);
void AppendHtmlEscaped(QString& out, QStringView text);
