#include "reports/ReportSaveDialog.h"

#include <QFileDialog>
#include <QStringList>

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString name = parts.at(i).trimmed();
        if (name.isEmpty()) continue;
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        // "*.*" means every file, with or without an extension.
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        patterns.replace(u';', u' ');
        name.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        if (!patterns.isEmpty() && !name.contains(u'(')) name += QStringLiteral(" (") + patterns + u')';
        entries << name;
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<QString> ShowReportSaveDialog(QWidget* parent, const QString& defaultName, const QString& filter)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(QtFileFilter(filter));
    dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}
