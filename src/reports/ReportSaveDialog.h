#pragma once

// The Save dialog of the report files, for the program's own prompts: the
// filter text of the reports ("Text Files (*.txt)|*.txt|All Files (*.*)|*.*")
// in Qt's form, and no overwrite question of Qt's own, since the reports ask
// "File Exists" themselves.

#include <QString>

#include <optional>

class QWidget;

// "Name (*.x)|*.x|Other (*.*)|*.*" as "Name (*.x);;Other (*)".
QString QtFileFilter(const QString& filter);

// Shows the Save dialog with the default file name; nothing when cancelled.
std::optional<QString> ShowReportSaveDialog(QWidget* parent, const QString& defaultName, const QString& filter);
