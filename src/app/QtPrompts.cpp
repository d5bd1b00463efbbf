#include "app/QtPrompts.h"

#include "dates/frmDateEnt.h"
#include "help/HelpViewer.h"
#include "reports/ReportSaveDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

MsgAnswer QtPrompts::Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    // A message shown while the hourglass is up (a failure during packing, say)
    // needs the ordinary pointer to be answered.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    QMessageBox box(Owner());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

QString QtPrompts::Input(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(Owner(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

std::optional<QString> QtPrompts::SaveFile(const QString& defaultName, const QString& filter)
{
    return ShowReportSaveDialog(Owner(), defaultName, filter);
}

QStringList QtPrompts::OpenFiles(const QString& title, const QString& filter, bool several)
{
    QFileDialog dialog(Owner(), title, mOpenFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFileFilter(filter));
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) mOpenFolder = QFileInfo(files.front()).absolutePath();
    return files;
}

void QtPrompts::PickDate(const PickRequest& request) { ShowDatePicker(request); }

void QtPrompts::Beep() { QApplication::beep(); }

void QtPrompts::Busy(bool on)
{
    if (on) {
        ++mBusyDepth;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (mBusyDepth > 0) {
        --mBusyDepth;
        QApplication::restoreOverrideCursor();
    }
}

void QtPrompts::Help(int command, int context) { ShowHelp(command, context); }

void QtPrompts::EndProgram(int exitCode)
{
    // Ends at once: nothing is saved or closed first. The catalogue's journal
    // keeps the file whole.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void QtPrompts::ProgressBegin(const QString& title, const QString& text, qint64 total, bool cancellable)
{
    // Work inside other work reports through the outer window.
    if (mProgressDepth++ > 0) return;
    mProgressTotal = std::max<qint64>(total, 1);
    mProgress = new QProgressDialog(text, cancellable ? QStringLiteral("Cancel") : QString(), 0, 1000, Owner());
    mProgress->setWindowTitle(title);
    mProgress->setWindowModality(Qt::ApplicationModal);
    if (!cancellable) mProgress->setCancelButton(nullptr);
    mProgress->setAutoClose(false);
    mProgress->setAutoReset(false);
    // Shown only when the work takes longer than a moment.
    mProgress->setMinimumDuration(1000);
    mProgress->setValue(0);
}

bool QtPrompts::ProgressStep(qint64 done)
{
    if (!mProgress) return true;
    const qint64 permille = std::clamp<qint64>(done * 1000 / mProgressTotal, 0, 1000);
    mProgress->setValue(static_cast<int>(permille));
    QCoreApplication::processEvents();
    return !mProgress->wasCanceled();
}

void QtPrompts::ProgressEnd()
{
    if (mProgressDepth == 0 || --mProgressDepth > 0) return;
    delete mProgress;
    mProgress = nullptr;
}
