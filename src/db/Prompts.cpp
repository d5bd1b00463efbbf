#include "db/Prompts.h"

#include "db/Globals.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Used only when nothing was installed: a tool or a test without a window.
class ConsolePrompts final : public Prompts {
public:
    MsgAnswer Message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    QString Input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFile(const QString&, const QString&) override { return std::nullopt; }
    void PickDate(const PickRequest&) override {}
    void Beep() override {}
    void Busy(bool) override {}
    void Help(int, int) override {}
    void EndProgram(int exitCode) override { std::_Exit(exitCode); }
};

Prompts* gInstalled = nullptr;
bool gEnded = false;

}  // namespace

Prompts& prompts()
{
    static ConsolePrompts console;
    return gInstalled ? *gInstalled : console;
}

void InstallPrompts(Prompts* installed) { gInstalled = installed; }

bool ProgramEnded() { return gEnded; }
void SetProgramEnded(bool ended) { gEnded = ended; }

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon)
{
    return prompts().Message(text, title.isEmpty() ? kAppTitle : title, icon, buttons);
}
