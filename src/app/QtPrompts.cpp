#include "app/QtPrompts.h"

#include "dates/frmDateEnt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

MsgAnswer QtPrompts::Message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
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

QString QtPrompts::QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        if (!name.contains(u'(')) name += QStringLiteral(" (") + patterns + u')';
        filters << name;
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> QtPrompts::SaveFile(const QString& defaultName, const QString& filter)
{
    QFileDialog dialog(Owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own "File Exists" question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(QtFilter(filter));
    dialog.setDirectory(QDir::current());
    dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
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
