#pragma once

// The help viewer: the contents, a keyword search with partial matching, the
// topic on using help, back and forward, and links between topics.

#include "help/HelpFile.h"

#include <QDateTime>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;

// The commands the program gives the viewer.
namespace HelpCommand {
inline constexpr int Context = 1;         // the topic of a help context number; 0 shows the contents
inline constexpr int Quit = 2;            // close the viewer
inline constexpr int Contents = 3;        // the contents topic
inline constexpr int HelpOnHelp = 4;      // the topic on using the viewer
inline constexpr int PartialKey = 0x105;  // the keyword search
}  // namespace HelpCommand

// Opens the help file gHelpPath (in the working folder) and carries out the
// command. A missing or unreadable file is reported with a message.
void ShowHelp(int command, int context);

// From now on F1 in every window asks prompts().Help for the help context of the
// focused control, else of its nearest parent that carries one, else of its
// window; on a highlighted menu item, for that item's.
void InstallHelpKey();

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // The one viewer of the program, created on first use; null when none is open.
    static HelpViewer* Existing();
    static HelpViewer* Instance();

    // Reads the help file unless it is the one already shown and unchanged since.
    bool Open(const QString& path, QString* error);

    void ShowContext(int context);
    void ShowContents();
    void ShowUsingHelp();
    void ShowSearch(const QString& text = QString());
    void ShowTopic(int index);
    void FollowLink(const QUrl& url);
    void Back();
    void Forward();

    const HelpFile& File() const { return mFile; }
    int CurrentTopic() const { return mHistoryPos >= 0 ? mHistory.at(mHistoryPos) : -1; }

private:
    void FillContents();
    void FillKeywords();
    void FillTopicsOfKeyword();
    void DisplaySelectedTopic();
    void Display(int index);
    void UpdateButtons();

    HelpFile mFile;
    QString mPath;
    QDateTime mModified;
    qint64 mSize = -1;

    QList<int> mHistory;
    int mHistoryPos = -1;
    QList<int> mShownKeywords;  // keyword indexes behind the rows of lstKeywords

    QPushButton* cmdContents;
    QPushButton* cmdSearch;
    QPushButton* cmdBack;
    QPushButton* cmdForward;
    QPushButton* cmdUsingHelp;
    QTabWidget* tabNav;
    QListWidget* lstContents;
    QLineEdit* txtSearch;
    QListWidget* lstKeywords;
    QListWidget* lstTopics;
    QPushButton* cmdDisplay;
    QTextBrowser* txtTopic;
};
