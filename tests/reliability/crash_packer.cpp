// Compacts the catalogue in a folder with the program's own packing code, again
// and again, until it is killed. On stdout: "S" as each compaction starts,
// "P <nanoseconds>" when it succeeded, "F <message>" when it failed. Given a step ("keep": giving
// the previous file its spare name, "swap": the rename that puts the compacted
// copy in place, "name": the rename that makes the previous file stampdb.bak), it
// stops just before that step of its first compaction, says "H" and waits to be
// killed there.

#include "ScriptedPrompts.h"

#include "db/Globals.h"
#include "upkeep/Compact.h"
#include "upkeep/FileWork.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <unistd.h>

namespace {

void Say(const QByteArray& line)
{
    const QByteArray out = line + '\n';
    if (write(STDOUT_FILENO, out.constData(), static_cast<size_t>(out.size())) < 0) _exit(3);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) return 2;
    const QByteArray hold = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    gAppDir.clear();
    gDbPath = QStringLiteral("stamp.mdb");
    ScriptedPrompts prompts;

    auto stopBefore = [&](const char* step) {
        if (hold != step) return;
        Say("H");
        for (;;) pause();
    };
    SetPackLink([&](const QString& from, const QString& to, QString* problem) {
        stopBefore("keep");
        return LinkFile(from, to, problem);
    });
    SetPackRename([&](const QString& from, const QString& to, QString* problem) {
        if (QFileInfo(from).fileName() == QLatin1String("stampnew.mdb")) stopBefore("swap");
        if (QFileInfo(to).fileName() == QLatin1String("stampdb.bak")) stopBefore("name");
        return RenameFile(from, to, problem);
    });

    for (;;) {
        prompts.Clear();
        Say("S");
        QElapsedTimer clock;
        clock.start();
        const bool packed = PackCatalogue();
        Say(packed ? "P " + QByteArray::number(clock.nsecsElapsed())
                   : "F " + prompts.LastText().toUtf8().replace('\n', ' '));
    }
}
