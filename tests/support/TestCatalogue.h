#pragma once

// A fresh catalogue in a temporary folder for each test.

#include <QString>
#include <QTemporaryDir>

#include <memory>

class Database;

class TestCatalogue {
public:
    // An empty catalogue, or a demo catalogue when stamps > 0.
    explicit TestCatalogue(int demoStamps = 0, quint64 seed = 1);

    const QString& Dir() const { return mDirPath; }
    QString Path() const { return mDirPath + QStringLiteral("/stamp.mdb"); }
    QString File(const QString& name) const { return mDirPath + u'/' + name; }

    // Runs SQL directly on the file (the file must not be open elsewhere), and
    // then makes the text keys of what it wrote as the program would; with
    // asTheProgram false the file is left as another SQLite tool leaves it.
    void Exec(const QString& sql, bool asTheProgram = true) const;
    // The first column of the first row of a query, as text ("" for none).
    QString Scalar(const QString& sql) const;

private:
    QTemporaryDir mDir;
    QString mDirPath;
};
