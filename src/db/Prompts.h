#pragma once

// Everything modal that the collector answers goes through one interface,
// installed once at start-up: the program's Qt dialogs, or a test's script.

#include <QPoint>
#include <QRect>
#include <QString>

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
};

// The installed prompts; the program installs its own before the main window loads.
Prompts& prompts();
void InstallPrompts(Prompts* prompts);

// True once EndProgram has been asked for. Guarded steps do nothing after it.
bool ProgramEnded();
void SetProgramEnded(bool ended);

// Convenience for the common boxes; an empty title shows "Tessarine".
MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok, const QString& title = QString(),
                 MsgIcon icon = MsgIcon::None);
