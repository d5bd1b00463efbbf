#pragma once

// The help file stamp.hlp: a UTF-8 text file of topics, each with a Markdown body.
//
// Layout of the file:
//   - Lines before the first topic header are a free preamble and are ignored.
//   - A topic header is a line that starts with "===" and holds at least one "|":
//
//         === 21, 22 | Description and catalogue number | description; catalog number
//
//     Its fields are separated by "|": the topic's ids, its title, and (optional)
//     its keywords separated by ";". An id is a help context number (1 or more,
//     in decimal) or a name made of letters, digits and "-" ("contents",
//     "using-help", "dates"). Names are compared without regard to case.
//   - Every line after a header, up to the next header, is the topic's Markdown
//     body. A line of "=" signs without a "|" (a Markdown heading underline) is
//     body text.
//   - Links between topics are Markdown links to "help:" followed by an id:
//     [Issue Date](help:40), [Contents](help:contents).
//   - The topic named "contents" is the contents topic (else the first topic);
//     the topic named "using-help" explains the help viewer.
//
// The reader never fails on bad input: a header it cannot read, an id used twice
// or a topic without a title is skipped and noted in Problems().

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

struct HelpTopic {
    QList<int> contexts;  // the help context numbers that open this topic
    QStringList names;    // its names, in lower case
    QString title;
    QStringList keywords;
    QString body;  // Markdown
    int line = 0;  // line of its header in the file, from 1
};

// One entry of the keyword index: a keyword (or a topic title) and the topics
// that carry it, in file order.
struct HelpKeyword {
    QString text;
    QList<int> topics;  // indexes into HelpFile::Topics()
};

class HelpFile {
public:
    // The largest file the reader accepts; help files are a few hundred kilobytes.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

    HelpFile() = default;

    // Reads a help file. On failure the object is left empty and error says why.
    bool Load(const QString& path, QString* error = nullptr);
    // Reads help text held in memory (invalid UTF-8 is replaced, never refused).
    void Parse(const QByteArray& data);

    bool IsEmpty() const { return mTopics.isEmpty(); }
    const QList<HelpTopic>& Topics() const { return mTopics; }
    const QStringList& Problems() const { return mProblems; }

    // Index of the topic with the context number or name, or -1.
    int IndexOfContext(int context) const;
    int IndexOfName(const QString& name) const;
    // A topic id as written in a header or a link: a number or a name.
    int IndexOfId(const QString& id) const;
    // The topic a link points to ("help:21", "help:contents"), or -1.
    int IndexOfLink(const QUrl& url) const;
    // The contents topic: the one named "contents", else the first; -1 when empty.
    int ContentsIndex() const;
    // The topic on using the help viewer, or -1.
    int UsingHelpIndex() const;

    // Every keyword and title, sorted without regard to case; one entry per
    // distinct text.
    const QList<HelpKeyword>& Keywords() const { return mKeywords; }
    // The keywords that match a partial text, best first, as indexes into
    // Keywords(): those that begin with it, then those with a word that begins
    // with it, then those that contain it anywhere; letter case does not count.
    // A text of several words also matches a keyword holding all of them.
    // An empty text matches every keyword, in order.
    QList<int> Search(const QString& text) const;

    // The Markdown shown for a topic: its title as a heading, then its body.
    QString Markdown(int index) const;

    static bool IsTopicLink(const QUrl& url) { return url.scheme() == QLatin1String("help"); }

private:
    void Clear();
    void AddTopic(HelpTopic topic, const QStringList& ids, int line);
    void BuildIndex();

    QList<HelpTopic> mTopics;
    QHash<int, int> mByContext;   // context number -> topic index
    QHash<QString, int> mByName;  // lower-case name -> topic index
    QList<HelpKeyword> mKeywords;
    QStringList mProblems;
};
