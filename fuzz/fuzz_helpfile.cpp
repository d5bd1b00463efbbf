// The help file is read from the program's folder, where anything may have been
// put in its place. The reader must never crash, and what it builds must hang
// together: every topic can be found by each of its ids, every keyword points at
// topics that exist, and a search gives only keywords that exist, once each.
#include "help/HelpFile.h"

#include <QSet>
#include <QUrl>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    HelpFile help;
    help.Parse(bytes);

    const auto& topics = help.Topics();
    for (int i = 0; i < topics.size(); ++i) {
        const HelpTopic& topic = topics.at(i);
        if (topic.title.isEmpty() || (topic.contexts.isEmpty() && topic.names.isEmpty())) std::abort();
        for (const int context : topic.contexts) {
            if (help.IndexOfContext(context) != i) std::abort();
            if (help.IndexOfLink(QUrl(QStringLiteral("help:%1").arg(context))) != i) std::abort();
        }
        for (const QString& name : topic.names)
            if (help.IndexOfName(name) != i || help.IndexOfId(name.toUpper()) != i) std::abort();
        if (!help.Markdown(i).contains(topic.title)) std::abort();
    }
    const int contents = help.ContentsIndex();
    if (topics.isEmpty() ? contents != -1 : (contents < 0 || contents >= topics.size())) std::abort();
    const int usingHelp = help.UsingHelpIndex();
    if (usingHelp < -1 || usingHelp >= topics.size()) std::abort();

    const auto& keywords = help.Keywords();
    for (const HelpKeyword& keyword : keywords)
        for (const int topic : keyword.topics)
            if (topic < 0 || topic >= topics.size()) std::abort();
    // Search for the first line of the input, and for nothing.
    for (const QString& text : {QString::fromUtf8(bytes.left(bytes.indexOf('\n'))).left(64), QString()}) {
        const QList<int> found = help.Search(text);
        QSet<int> seen;
        for (const int k : found) {
            if (k < 0 || k >= keywords.size() || seen.contains(k)) std::abort();
            seen.insert(k);
        }
        if (text.isEmpty() && found.size() != keywords.size()) std::abort();
    }
    (void)help.IndexOfLink(QUrl(QString::fromUtf8(bytes.left(64))));
    return 0;
}
