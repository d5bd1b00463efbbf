#pragma once

// Writing a comma-separated file as spreadsheets read it everywhere: UTF-8 with
// a byte-order mark, CR LF after every record, a field quoted when it holds a
// comma, a quote or a line break, its quotes doubled. The records go to a
// temporary file beside the chosen one, which replaces it only when everything
// is written: a failure or a stop half-way leaves the old file (or none).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSaveFile;

class CsvWriter {
public:
    explicit CsvWriter(QString path);
    ~CsvWriter();
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    // False (and Error() says why) when the file cannot be made.
    bool Open();
    // False once writing has failed.
    bool WriteRecord(const QStringList& fields);
    // A record already written out as UTF-8, its line end included.
    bool WriteEncoded(const QByteArray& record);
    // Puts the finished file in place; false on failure.
    bool Commit();
    // Drops what was written.
    void Discard();
    const QString& Error() const { return mError; }

private:
    bool Flush();
    void Fail(const QString& reason);

    QString mPath;
    std::unique_ptr<QSaveFile> mFile;
    QByteArray mBuffer;
    QString mError;
};

// One field as a record holds it: quoted when it must be.
QString CsvField(const QString& text);
