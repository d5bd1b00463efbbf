#include "db/Prompts.h"

#include "db/Globals.h"

#include <QElapsedTimer>

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

std::optional<QString> OpenFile(const QString& title, const QString& filter)
{
    const QStringList files = prompts().OpenFiles(title, filter, false);
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon)
{
    return prompts().Message(text, title.isEmpty() ? kAppTitle : title, icon, buttons);
}

namespace {

// The clock that spaces out progress reports, shared by nested pieces of work.
QElapsedTimer& ProgressClock()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock;
}

}  // namespace

Progress::Progress(const QString& title, const QString& text, qint64 total, bool cancellable) : mTotal(total)
{
    prompts().ProgressBegin(title, text, total, cancellable);
}

Progress::~Progress() { prompts().ProgressEnd(); }

bool Progress::Step(qint64 done)
{
    if (mCancelled) return false;
    const qint64 now = ProgressClock().elapsed();
    if (mLastReport >= 0 && now - mLastReport < 50 && done < mTotal) return true;
    mLastReport = now;
    mCancelled = !prompts().ProgressStep(done);
    return !mCancelled;
}
