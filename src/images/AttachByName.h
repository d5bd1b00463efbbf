#pragma once

// Scans named after catalogue numbers ("840.jpg", "840-back.jpg", "C12a front.png")
// find their stamps: a file belongs to the stamp whose catalogue number its name
// starts with, the number followed by the end of the name or by something other
// than a letter or a digit (so "C12a front" is C12a's and not C12's). Case and
// accents do not matter. Where several catalogue numbers fit, the longest wins;
// where that number belongs to several stamps the file is ambiguous. A "back"
// after the number makes the file a Back, anything else a Front.

#include <QList>
#include <QString>
#include <QStringList>

#include <unordered_map>

struct NameMatch {
    QString fileName;
    QList<qint64> stamps;  // none: no stamp; one: the stamp; several: ambiguous
    QString catalogueNumber;
    QString kind;  // "Front" or "Back"
};

class CatalogueNumberIndex {
public:
    // Adds a stamp's catalogue number; empty numbers are left out.
    void Add(qint64 stampId, const QString& catalogueNumber);
    NameMatch Match(const QString& fileName) const;

private:
    struct Entry {
        QString number;
        QList<qint64> stamps;
    };
    std::unordered_map<QString, Entry> mByFolded;
};
