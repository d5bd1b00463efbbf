#pragma once

// The prompts a test installs: it records everything shown and answers from
// scripts queued beforehand.

#include "db/Prompts.h"

#include <QDate>

#include <deque>
#include <optional>
#include <vector>

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

struct InputRequest {
    QString prompt;
    QString title;
};

struct SaveRequest {
    QString defaultName;
    QString filter;
};

struct OpenRequest {
    QString title;
    QString filter;
    bool several;
};

class ScriptedPrompts final : public Prompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    MsgAnswer Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString Input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> SaveFile(const QString& defaultName, const QString& filter) override;
    QStringList OpenFiles(const QString& title, const QString& filter, bool several) override
    {
        openRequests.push_back({title, filter, several});
        if (openFiles.empty()) return {};
        QStringList answer = openFiles.front();
        openFiles.pop_front();
        return answer;
    }
    void PickDate(const PickRequest& request) override;
    void Beep() override { ++beeps; }
    void Busy(bool on) override { busy.push_back(on); }
    void Help(int command, int context) override { helpCalls.emplace_back(command, context); }
    void EndProgram(int exitCode) override { endedWith = exitCode; }
    void ProgressBegin(const QString& title, const QString& text, qint64 total, bool cancellable) override
    {
        progress.push_back({title, text, total, cancellable});
    }
    bool ProgressStep(qint64 done) override
    {
        if (!progress.empty()) progress.back().done = done;
        return !(cancelProgressAt && done >= *cancelProgressAt);
    }

    // Answers to Yes/No questions, in order; once they run out, defaultAnswer.
    std::deque<MsgAnswer> answers;
    MsgAnswer defaultAnswer = MsgAnswer::Yes;
    // A hook that runs when a message is shown (after it is recorded).
    std::function<void(const ShownMessage&)> onMessage;
    std::deque<QString> inputs;
    // Save dialog answers; nullopt stands for Cancel. Once they run out: Cancel.
    std::deque<std::optional<QString>> saveFiles;
    // Open dialog answers; an empty list stands for Cancel, as does running out.
    std::deque<QStringList> openFiles;
    // Picked days; nullopt closes the picker without a pick.
    std::deque<std::optional<QDate>> pickedDates;
    // The progress steps answer "cancelled" from this count of work done on.
    std::optional<qint64> cancelProgressAt;

    std::vector<ShownMessage> messages;
    std::vector<InputRequest> inputRequests;
    std::vector<SaveRequest> saveRequests;
    std::vector<OpenRequest> openRequests;
    std::vector<PickRequest> pickRequests;
    int beeps = 0;
    std::vector<bool> busy;
    std::vector<std::pair<int, int>> helpCalls;
    std::optional<int> endedWith;
    struct ProgressShown {
        QString title;
        QString text;
        qint64 total;
        bool cancellable;
        qint64 done = 0;
    };
    std::vector<ProgressShown> progress;

    // The last message's text, or the empty text.
    QString LastText() const { return messages.empty() ? QString() : messages.back().text; }
    void Clear();
};
