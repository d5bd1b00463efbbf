#include "ScriptedPrompts.h"

#include "db/Globals.h"

ScriptedPrompts::ScriptedPrompts()
{
    InstallPrompts(this);
    SetProgramEnded(false);
}

ScriptedPrompts::~ScriptedPrompts()
{
    // A newer script may have taken over already; leave it in place.
    if (&prompts() != this) return;
    InstallPrompts(nullptr);
    SetProgramEnded(false);
}

MsgAnswer ScriptedPrompts::Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    messages.push_back({text, title, icon, buttons});
    if (onMessage) onMessage(messages.back());
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return defaultAnswer;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedPrompts::Input(const QString& prompt, const QString& title, const QString&)
{
    inputRequests.push_back({prompt, title});
    if (inputs.empty()) return QString();
    const QString answer = inputs.front();
    inputs.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::SaveFile(const QString& defaultName, const QString& filter)
{
    saveRequests.push_back({defaultName, filter});
    if (saveFiles.empty()) return std::nullopt;
    const auto answer = saveFiles.front();
    saveFiles.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::OpenFile(const QString& title, const QString& filter)
{
    openRequests.push_back({title, filter});
    if (openFiles.empty()) return std::nullopt;
    const auto answer = openFiles.front();
    openFiles.pop_front();
    return answer;
}

void ScriptedPrompts::PickDate(const PickRequest& request)
{
    pickRequests.push_back(request);
    if (pickedDates.empty()) return;
    const auto pick = pickedDates.front();
    pickedDates.pop_front();
    if (pick) gPickDate = *pick;
}

void ScriptedPrompts::Clear()
{
    messages.clear();
    inputRequests.clear();
    saveRequests.clear();
    openRequests.clear();
    pickRequests.clear();
    beeps = 0;
    busy.clear();
    helpCalls.clear();
    progress.clear();
    endedWith.reset();
    SetProgramEnded(false);
}
