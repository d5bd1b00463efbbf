#include "history/ChangeNames.h"

#include "codes/CodeTables.h"
#include "history/ChangeCapture.h"

#include <QLocale>

namespace {

// A long description is shortened, so that the menu stays a menu.
QString Quote(QString text)
{
    constexpr qsizetype kLongest = 40;
    text = text.simplified();
    if (text.size() > kLongest) text = text.left(kLongest - 3).trimmed() + QStringLiteral("...");
    return u'\'' + text + u'\'';
}

QString Verb(ChangeKind kind)
{
    switch (kind) {
        case ChangeKind::Add:
        case ChangeKind::CodeAdd:
            return QStringLiteral("Add");
        case ChangeKind::Update:
            return QStringLiteral("Update");
        case ChangeKind::Delete:
        case ChangeKind::CodeDelete:
            return QStringLiteral("Delete");
        case ChangeKind::Restore:
            return QStringLiteral("Restore");
        case ChangeKind::Change:
            return QStringLiteral("Change");
        case ChangeKind::Import:
            return QStringLiteral("Import");
        case ChangeKind::CodeRename:
            return QStringLiteral("Rename");
    }
    return QString();
}

QString Stamps(qsizetype count)
{
    return QLocale().toString(static_cast<qint64>(count)) +
           (count == 1 ? QStringLiteral(" stamp") : QStringLiteral(" stamps"));
}

QString Escaped(const QString& name)
{
    return QString(name).replace(u'&', QStringLiteral("&&"));
}

}  // namespace

void StampNaming::Note(const CapturedTable& table, qint64 key, const QString& description)
{
    if (table.stamps) {
        mStamps.emplace(key, description);
    } else if (table.codeTable > 0) {
        for (const Code& code : mCodes)
            if (code.table == table.codeTable && code.key == key) return;
        mCodes.push_back({table.codeTable, key, description});
    }
}

qint64 StampNaming::FirstStamp() const
{
    return mStamps.empty() ? 0 : mStamps.begin()->first;
}

QString StampNaming::Name(ChangeKind kind) const
{
    const QString verb = Verb(kind) + QStringLiteral(" of ");
    const bool codeChange =
        kind == ChangeKind::CodeAdd || kind == ChangeKind::CodeRename || kind == ChangeKind::CodeDelete;
    if (codeChange && mCodes.size() == 1) {
        QString word = CodeTableInfoFor(mCodes.front().table).findWord;
        if (!word.isEmpty()) word[0] = word[0].toUpper();
        return verb + word + u' ' + Quote(mCodes.front().description);
    }
    if (codeChange && mStamps.empty())
        return verb + QLocale().toString(static_cast<qint64>(mCodes.size())) + QStringLiteral(" entries");
    // An import is counted even when it brought one stamp.
    if (mStamps.size() == 1 && kind != ChangeKind::Import) return verb + Quote(mStamps.begin()->second);
    return verb + Stamps(static_cast<qsizetype>(mStamps.size()));
}

QString UndoMenuText(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("Nothing to &Undo") : QStringLiteral("&Undo ") + Escaped(name);
}

QString RedoMenuText(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("Nothing to &Redo") : QStringLiteral("&Redo ") + Escaped(name);
}
