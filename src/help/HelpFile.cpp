#include "help/HelpFile.h"

#include <QFile>
#include <QMap>
#include <QSet>

#include <limits>

namespace {

const QString kContentsName = QStringLiteral("contents");
const QString kUsingHelpName = QStringLiteral("using-help");

bool IsHeader(const QString& line)
{
    return line.startsWith(QLatin1String("===")) && line.contains(u'|');
}

// A context number: decimal digits only, 1 to the largest int.
bool ParseContext(const QString& id, int* context)
{
    if (id.isEmpty() || id.size() > 10) return false;
    for (const QChar c : id)
        if (c < u'0' || c > u'9') return false;
    bool ok = false;
    const qlonglong value = id.toLongLong(&ok);
    if (!ok || value < 1 || value > std::numeric_limits<int>::max()) return false;
    *context = static_cast<int>(value);
    return true;
}

// A topic name: ASCII letters, digits and "-", with at least one letter.
bool IsName(const QString& id)
{
    if (id.isEmpty() || id.size() > 64) return false;
    bool letter = false;
    for (const QChar c : id) {
        const bool isLetter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        letter = letter || isLetter;
        if (!isLetter && !(c >= u'0' && c <= u'9') && c != u'-') return false;
    }
    return letter;
}

QString Folded(const QString& text)
{
    return text.simplified().toCaseFolded();
}

// Whether a word of the haystack begins with the needle.
bool HasWordStartingWith(const QString& haystack, const QString& needle)
{
    for (qsizetype at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + 1))
        if (at == 0 || !haystack.at(at - 1).isLetterOrNumber()) return true;
    return false;
}

}  // namespace

void HelpFile::Clear()
{
    mTopics.clear();
    mByContext.clear();
    mByName.clear();
    mKeywords.clear();
    mProblems.clear();
}

bool HelpFile::Load(const QString& path, QString* error)
{
    Clear();
    auto fail = [&](const QString& why) {
        Clear();
        if (error) *error = why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
    if (file.size() > kMaxBytes) return fail(QStringLiteral("The file is too large to be a help file."));
    const QByteArray data = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) return fail(file.errorString());
    if (data.size() > kMaxBytes) return fail(QStringLiteral("The file is too large to be a help file."));
    Parse(data);
    if (mTopics.isEmpty()) return fail(QStringLiteral("The file holds no help topics."));
    if (error) error->clear();
    return true;
}

void HelpFile::Parse(const QByteArray& data)
{
    Clear();
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    const QStringList lines = text.split(u'\n');

    bool inTopic = false;  // false before the first header and after a header that was skipped
    HelpTopic topic;
    QStringList ids;
    QStringList body;
    int headerLine = 0;

    auto finish = [&]() {
        if (!inTopic) return;
        while (!body.isEmpty() && body.front().trimmed().isEmpty()) body.removeFirst();
        while (!body.isEmpty() && body.back().trimmed().isEmpty()) body.removeLast();
        topic.body = body.join(u'\n');
        AddTopic(std::move(topic), ids, headerLine);
        inTopic = false;
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r')) line.chop(1);
        const int lineNo = i + 1 > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(i + 1);
        if (!IsHeader(line)) {
            if (inTopic) body.append(line);
            continue;
        }
        finish();
        body.clear();
        topic = HelpTopic();
        ids.clear();
        headerLine = lineNo;

        const QStringList fields = line.mid(3).split(u'|');
        const QString idField = fields.value(0).trimmed();
        topic.title = fields.value(1).simplified();
        const QString keywordField = fields.mid(2).join(u'|');

        bool good = true;
        for (const QString& raw : idField.split(u',')) {
            const QString id = raw.trimmed();
            int context = 0;
            if (!ParseContext(id, &context) && !IsName(id)) {
                mProblems.append(QStringLiteral("line %1: \"%2\" is not a topic id").arg(lineNo).arg(id.left(40)));
                good = false;
                break;
            }
            ids.append(id);
        }
        if (good && topic.title.isEmpty()) {
            mProblems.append(QStringLiteral("line %1: the topic has no title").arg(lineNo));
            good = false;
        }
        if (!good) continue;  // the body up to the next header goes with the bad header

        QSet<QString> seen;
        for (const QString& raw : keywordField.split(u';')) {
            const QString keyword = raw.simplified();
            if (keyword.isEmpty() || seen.contains(Folded(keyword))) continue;
            seen.insert(Folded(keyword));
            topic.keywords.append(keyword);
        }
        inTopic = true;
    }
    finish();
    BuildIndex();
}

void HelpFile::AddTopic(HelpTopic topic, const QStringList& ids, int line)
{
    topic.line = line;
    QSet<QString> taken;
    for (const QString& id : ids) {
        int context = 0;
        const bool isContext = ParseContext(id, &context);
        const QString key = isContext ? QString::number(context) : id.toLower();
        if (IndexOfId(id) >= 0 || taken.contains(key)) {
            mProblems.append(QStringLiteral("line %1: topic id %2 is used twice").arg(line).arg(id));
            continue;
        }
        taken.insert(key);
        if (isContext)
            topic.contexts.append(context);
        else
            topic.names.append(key);
    }
    if (topic.contexts.isEmpty() && topic.names.isEmpty()) return;  // every id was taken already
    const int index = static_cast<int>(mTopics.size());
    for (const int context : topic.contexts) mByContext.insert(context, index);
    for (const QString& name : topic.names) mByName.insert(name, index);
    mTopics.append(std::move(topic));
}

void HelpFile::BuildIndex()
{
    QMap<QString, HelpKeyword> index;
    for (int t = 0; t < mTopics.size(); ++t) {
        QStringList entries = mTopics.at(t).keywords;
        entries.prepend(mTopics.at(t).title);
        for (const QString& entry : entries) {
            HelpKeyword& keyword = index[Folded(entry)];
            if (keyword.text.isEmpty()) keyword.text = entry;
            if (!keyword.topics.contains(t)) keyword.topics.append(t);
        }
    }
    mKeywords = index.values();
}

int HelpFile::IndexOfContext(int context) const
{
    return mByContext.value(context, -1);
}

int HelpFile::IndexOfName(const QString& name) const
{
    return mByName.value(name.toLower(), -1);
}

int HelpFile::IndexOfId(const QString& id) const
{
    int context = 0;
    if (ParseContext(id.trimmed(), &context)) return IndexOfContext(context);
    return IsName(id.trimmed()) ? IndexOfName(id.trimmed()) : -1;
}

int HelpFile::IndexOfLink(const QUrl& url) const
{
    if (!IsTopicLink(url)) return -1;
    const QString id = url.path().isEmpty() ? url.host() : url.path();
    return IndexOfId(id);
}

int HelpFile::ContentsIndex() const
{
    const int named = IndexOfName(kContentsName);
    if (named >= 0) return named;
    return mTopics.isEmpty() ? -1 : 0;
}

int HelpFile::UsingHelpIndex() const
{
    return IndexOfName(kUsingHelpName);
}

QList<int> HelpFile::Search(const QString& text) const
{
    const QString needle = Folded(text);
    QList<int> ranks[4];
    const QStringList words = needle.split(u' ', Qt::SkipEmptyParts);
    for (int k = 0; k < mKeywords.size(); ++k) {
        const QString hay = Folded(mKeywords.at(k).text);
        if (needle.isEmpty() || hay.startsWith(needle)) {
            ranks[0].append(k);
        } else if (HasWordStartingWith(hay, needle)) {
            ranks[1].append(k);
        } else if (hay.contains(needle)) {
            ranks[2].append(k);
        } else if (words.size() > 1) {
            bool all = true;
            for (const QString& word : words) all = all && hay.contains(word);
            if (all) ranks[3].append(k);
        }
    }
    return ranks[0] + ranks[1] + ranks[2] + ranks[3];
}

QString HelpFile::Markdown(int index) const
{
    if (index < 0 || index >= mTopics.size()) return QString();
    const HelpTopic& topic = mTopics.at(index);
    return QStringLiteral("# ") + topic.title + QStringLiteral("\n\n") + topic.body + u'\n';
}
