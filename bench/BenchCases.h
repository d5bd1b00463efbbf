#pragma once

// The measuring side of the benchmark: one process runs one group of cases on
// its own copy of the catalogue (stamp.mdb in dir) and writes its samples to
// standard output, one a line ("time KEY MS", "memory KEY KB", "error TEXT").

#include <QString>
#include <QStringList>

// The groups, in the order run.sh runs them. "load" measures one start-up per
// process; the others repeat their cases runs times. "images" needs a catalogue
// with images and runs only when asked for by name (kOnRequestGroups).
QStringList BenchGroups();
inline const QStringList kOnRequestGroups = {QStringLiteral("images")};

// Runs one group; the exit status of the measuring process.
int RunBenchGroup(int argc, char** argv, const QString& group, const QString& dir, int runs);
