#pragma once

#include "db/Prompts.h"

class QProgressDialog;
class QWidget;

// The program's own prompts: Qt message boxes, input boxes, the save dialog, the
// calendar picker, the help viewer.
class QtPrompts final : public Prompts {
public:
    MsgAnswer Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString Input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> SaveFile(const QString& defaultName, const QString& filter) override;
    QStringList OpenFiles(const QString& title, const QString& filter, bool several) override;
    void PickDate(const PickRequest& request) override;
    void Beep() override;
    void Busy(bool on) override;
    void Help(int command, int context) override;
    void EndProgram(int exitCode) override;
    void ProgressBegin(const QString& title, const QString& text, qint64 total, bool cancellable) override;
    bool ProgressStep(qint64 done) override;
    void ProgressEnd() override;

private:
    int mBusyDepth = 0;
    // Where the Open dialog was last left, for the next one.
    QString mOpenFolder;
    // The progress window of the outermost piece of long work under way.
    QProgressDialog* mProgress = nullptr;
    qint64 mProgressTotal = 0;
    int mProgressDepth = 0;
};
