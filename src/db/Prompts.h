#pragma once

// Everything modal that the collector answers goes through one interface,
// installed once at start-up: the program's Qt dialogs, or a test's script.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

enum class MsgIcon { None, Stop, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Where and how the calendar picker opens: the caption its caller gives, and the
// rectangle (global coordinates) of the date box it belongs to.
struct PickRequest {
    QString caption;
    QRect anchor;
    enum class Align { RightEdges, LeftBelow, StartDate, EndDate } align = Align::RightEdges;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box. An empty title shows the program's name.
    virtual MsgAnswer Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) = 0;
    // An input box; Cancel and an empty answer both give the empty text.
    virtual QString Input(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // The Save dialog; nullopt when the collector cancels it.
    virtual std::optional<QString> SaveFile(const QString& defaultName, const QString& filter) = 0;
    // The Open dialog for existing files, with a title and a filter in the Save
    // dialog's form: one file, or several when several is true; empty when the
    // collector cancels it. OpenFile below asks for one.
    virtual QStringList OpenFiles(const QString& title, const QString& filter, bool several = true)
    {
        Q_UNUSED(title) Q_UNUSED(filter) Q_UNUSED(several)
        return {};
    }
    // Shows the calendar picker modally; it reads and writes gPickDate.
    virtual void PickDate(const PickRequest& request) = 0;
    virtual void Beep() = 0;
    // The hourglass pointer on (true) or back to normal (false).
    virtual void Busy(bool on) = 0;
    // Opens the help viewer: command 1 a topic by context, 4 help on help,
    // 0x105 keyword search.
    virtual void Help(int command, int context) = 0;
    // Ends the program at once. The real one does not return.
    virtual void EndProgram(int exitCode) = 0;

    // Long work: a progress window that appears once the work has taken a
    // moment, with a Cancel button when the work can be cancelled safely.
    // ProgressStep answers false once the collector has cancelled. Use the
    // Progress class below rather than these.
    virtual void ProgressBegin(const QString& title, const QString& text, qint64 total, bool cancellable)
    {
        Q_UNUSED(title) Q_UNUSED(text) Q_UNUSED(total) Q_UNUSED(cancellable)
    }
    virtual bool ProgressStep(qint64 done)
    {
        Q_UNUSED(done)
        return true;
    }
    virtual void ProgressEnd() {}
};

// The progress of one piece of long work, from its start to the end of the
// object's life. Steps are handed on to the prompts a few times a second at
// most, so a loop may report every row.
class Progress {
public:
    Progress(const QString& title, const QString& text, qint64 total, bool cancellable = false);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // False once the collector has cancelled.
    bool Step(qint64 done);
    bool Cancelled() const { return mCancelled; }

private:
    qint64 mLastReport = -1;
    qint64 mTotal;
    bool mCancelled = false;
};

// The installed prompts; the program installs its own before the main window loads.
Prompts& prompts();
void InstallPrompts(Prompts* prompts);

// True once EndProgram has been asked for. Guarded steps do nothing after it.
bool ProgramEnded();
void SetProgramEnded(bool ended);

// The Open dialog for one existing file; nullopt when the collector cancels it.
std::optional<QString> OpenFile(const QString& title, const QString& filter);

// Convenience for the common boxes; an empty title shows "Tessarine".
MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok, const QString& title = QString(),
                 MsgIcon icon = MsgIcon::None);
