#include "images/ImageCommands.h"

#include "db/Database.h"
#include "images/AttachByName.h"
#include "images/ImageStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sqlite3.h>

#include <algorithm>
#include <set>

namespace {

QString Plural(qint64 count, const char* one, const char* many)
{
    return QString::number(count) + u' ' + QString::fromLatin1(count == 1 ? one : many);
}

QString NoStamp(qint64 stampId)
{
    return QStringLiteral("there is no stamp %1 in the catalogue").arg(stampId);
}

}  // namespace

int ImagesAdd(Database& db, qint64 stampId, const QStringList& files, const QString& kind, const QString& caption,
              CommandOutput& output)
{
    ImageStore store(db);
    if (!store.StampExists(stampId)) {
        output.err << NoStamp(stampId);
        return 1;
    }
    std::vector<ImageEntry> entries;
    QStringList refused;
    QStringList problems;
    for (const QString& file : files) {
        const Intake intake = PrepareFile(file);
        if (!intake.picture) {
            refused << file;
            problems << intake.problem;
            continue;
        }
        ImageEntry entry;
        entry.picture = intake.picture;
        entry.kind = kind;
        entry.caption = caption;
        entries.push_back(std::move(entry));
    }
    for (qsizetype i = 0; i < refused.size(); ++i)
        output.err << QStringLiteral("%1: not added: %2").arg(refused.at(i), problems.at(i));
    if (!entries.empty()) store.AppendStampImages(stampId, entries);
    output.out << QStringLiteral("added %1 to stamp %2")
                      .arg(Plural(static_cast<qint64>(entries.size()), "image", "images"))
                      .arg(stampId);
    return refused.isEmpty() ? 0 : 1;
}

int ImagesList(Database& db, std::optional<qint64> stampId, CommandOutput& output)
{
    ImageStore store(db);
    if (stampId && !store.StampExists(*stampId)) {
        output.err << NoStamp(*stampId);
        return 1;
    }
    const std::vector<StoredImage> images = stampId ? store.StampImages(*stampId, false) : store.AllImages();
    for (const StoredImage& image : images) {
        QString caption = image.caption;
        caption.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
        output.out << QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6x%7\t%8")
                          .arg(image.stampId)
                          .arg(image.position)
                          .arg(image.kind, caption)
                          .arg(image.byteSize)
                          .arg(image.size.width())
                          .arg(image.size.height())
                          .arg(HashText(image.hash));
    }
    return 0;
}

int ImagesExport(Database& db, qint64 stampId, const QString& folder, CommandOutput& output)
{
    ImageStore store(db);
    if (!store.StampExists(stampId)) {
        output.err << NoStamp(stampId);
        return 1;
    }
    if (!QFileInfo(folder).isDir()) {
        output.err << QStringLiteral("%1 is not a folder").arg(folder);
        return 1;
    }
    int status = 0;
    int written = 0;
    for (const StoredImage& image : store.StampImages(stampId, false)) {
        const QString name = QStringLiteral("%1-%2-%3.%4")
                                 .arg(stampId)
                                 .arg(image.position)
                                 .arg(image.kind.toLower(), ExtensionOf(image.format));
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo::exists(path)) {
            output.err << QStringLiteral("%1 is there already; not written").arg(path);
            status = 1;
            continue;
        }
        QSaveFile file(path);
        const QByteArray bytes = store.Original(image.pictureId);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            output.err << QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
            status = 1;
            continue;
        }
        output.out << path;
        ++written;
    }
    if (written == 0 && status == 0) output.out << QStringLiteral("stamp %1 has no images").arg(stampId);
    return status;
}

int ImagesAttach(Database& db, const QString& folder, CommandOutput& output)
{
    if (!QFileInfo(folder).isDir()) {
        output.err << QStringLiteral("%1 is not a folder").arg(folder);
        return 1;
    }
    CatalogueNumberIndex index;
    {
        Statement stamps(db.SharedConnection(), QStringLiteral("SELECT StampID, catnum FROM Stamp"));
        while (stamps.Step())
            index.Add(sqlite3_column_int64(stamps.Handle(), 0),
                      QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stamps.Handle(), 1))));
    }

    const QDir dir(folder);
    std::vector<NameMatch> matched;
    QStringList unmatched;
    QStringList ambiguous;
    int others = 0;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (!HasImageExtension(name)) {
            ++others;
            continue;
        }
        NameMatch match = index.Match(name);
        if (match.stamps.isEmpty()) {
            unmatched << name;
        } else if (match.stamps.size() > 1) {
            QStringList ids;
            for (qint64 id : match.stamps) ids << QString::number(id);
            ambiguous << QStringLiteral("%1 (catalogue number %2: stamps %3)")
                             .arg(name, match.catalogueNumber, ids.join(QStringLiteral(", ")));
        } else {
            matched.push_back(std::move(match));
        }
    }
    // Each stamp's front before its back, then by name.
    std::stable_sort(matched.begin(), matched.end(), [](const NameMatch& a, const NameMatch& b) {
        if (a.stamps.front() != b.stamps.front()) return a.stamps.front() < b.stamps.front();
        return (a.kind == kFrontKind) > (b.kind == kFrontKind);
    });

    ImageStore store(db);
    QStringList unreadable;
    QStringList already;
    std::set<qint64> stamps;
    int attached = 0;
    db.Execute(QStringLiteral("SAVEPOINT attach"));
    try {
        for (const NameMatch& match : matched) {
            const qint64 stampId = match.stamps.front();
            const Intake intake = PrepareFile(dir.filePath(match.fileName));
            if (!intake.picture) {
                unreadable << match.fileName + QStringLiteral(": ") + intake.problem;
                continue;
            }
            bool present = false;
            for (const StoredImage& image : store.StampImages(stampId, false))
                present = present || image.hash == intake.picture->hash;
            if (present) {
                already << match.fileName;
                continue;
            }
            ImageEntry entry;
            entry.picture = intake.picture;
            entry.kind = match.kind;
            store.AppendStampImages(stampId, {entry});
            stamps.insert(stampId);
            ++attached;
        }
        db.Execute(QStringLiteral("RELEASE attach"));
    } catch (...) {
        db.Execute(QStringLiteral("ROLLBACK TO attach"));
        db.Execute(QStringLiteral("RELEASE attach"));
        throw;
    }

    output.out << QStringLiteral("attached %1 to %2")
                      .arg(Plural(attached, "file", "files"),
                           Plural(static_cast<qint64>(stamps.size()), "stamp", "stamps"));
    for (const QString& name : already) output.out << QStringLiteral("already attached: ") + name;
    if (others > 0) output.out << QStringLiteral("not image files, left alone: %1").arg(others);
    for (const QString& name : unmatched) output.err << QStringLiteral("no stamp with this catalogue number: ") + name;
    for (const QString& line : ambiguous) output.err << QStringLiteral("several stamps: ") + line;
    for (const QString& line : unreadable) output.err << QStringLiteral("not attached: ") + line;
    return unmatched.isEmpty() && ambiguous.isEmpty() && unreadable.isEmpty() ? 0 : 1;
}
