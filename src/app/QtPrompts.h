#pragma once

#include "db/Prompts.h"

class QWidget;

// The program's own prompts: Qt message boxes, input boxes, the save dialog, the
// calendar picker, the help viewer.
class QtPrompts final : public Prompts {
public:
    MsgAnswer Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString Input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> SaveFile(const QString& defaultName, const QString& filter) override;
    void PickDate(const PickRequest& request) override;
    void Beep() override;
    void Busy(bool on) override;
    void Help(int command, int context) override;
    void EndProgram(int exitCode) override;

private:
    int mBusyDepth = 0;
};
