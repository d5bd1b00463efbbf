#pragma once

// The prompts of a measuring process: file dialogs and input boxes answered from
// queues, questions answered Yes. No case expects a message, so every message
// shown is kept and reported as an error: a report that found nothing or a
// failure must never pass for a fast run.

#include "db/Prompts.h"

#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <deque>

class BenchPrompts final : public Prompts {
public:
    std::deque<QString> inputs;
    std::deque<QString> files;
    std::deque<QString> openFiles;
    QStringList shown;
    int progressWindows = 0;  // long work that reported its progress

    MsgAnswer Message(const QString& text, const QString&, MsgIcon, MsgButtons buttons) override
    {
        shown << text;
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    QString Input(const QString&, const QString&, const QString&) override
    {
        if (inputs.empty()) return QString();
        QString text = inputs.front();
        inputs.pop_front();
        return text;
    }
    std::optional<QString> SaveFile(const QString&, const QString&) override
    {
        if (files.empty()) return std::nullopt;
        QString file = files.front();
        files.pop_front();
        return file;
    }
    QStringList OpenFiles(const QString&, const QString&, bool) override
    {
        if (openFiles.empty()) return {};
        QString file = openFiles.front();
        openFiles.pop_front();
        return {file};
    }
    void PickDate(const PickRequest&) override {}
    void Beep() override {}
    void Busy(bool) override {}
    void Help(int, int) override {}
    void ProgressBegin(const QString&, const QString&, qint64, bool) override { ++progressWindows; }
    void EndProgram(int exitCode) override
    {
        for (const QString& text : shown) std::printf("error message: %s\n", qUtf8Printable(text));
        std::printf("error the program ended with status %d\n", exitCode);
        std::fflush(stdout);
        std::_Exit(3);
    }
};
