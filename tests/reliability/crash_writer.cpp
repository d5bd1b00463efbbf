// Adds, changes and deletes stamps through the main window's own save code, in a
// loop, until it is killed. Each operation is announced on stdout before it
// starts ("I ...") and confirmed after the window reports it done ("D ...").

#include "ScriptedPrompts.h"

#include "app/frmMain.h"
#include "db/FieldValue.h"
#include "db/Globals.h"
#include "db/Recordset.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRandomGenerator>

#include <cstdio>
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    QRandomGenerator random(static_cast<quint32>(QByteArray(argv[2]).toUInt()));
    ScriptedPrompts prompts;  // answers Yes to "delete this stamp?"
    frmMain window;
    window.Form_Load();
    window.Form_Activate();
    if (prompts.endedWith) return 4;
    auto* descr = window.findChild<QLineEdit*>(QStringLiteral("txtDescr"));
    for (int n = 0;; ++n) {
        const int choice = static_cast<int>(random.bounded(10));
        const bool empty = gStampRs->IsEmpty();
        const QByteArray text = "Stamp " + QByteArray(argv[2]) + "-" + QByteArray::number(n);
        if (empty || choice < 5) {
            Say("I ADD " + text);
            window.cmdAddNew_Click();
            descr->setText(QString::fromLatin1(text));
            window.cmdUpdate_Click();
            Say("D ADD " + QByteArray::number(gStampRs->Field(QStringLiteral("StampID")).toLongLong()) + " " + text);
        } else {
            // Somewhere in the catalogue.
            const int steps = static_cast<int>(random.bounded(static_cast<quint32>(gStampRs->RecordCount())));
            window.cmdFirst_Click();
            for (int i = 0; i < steps; ++i) window.cmdNext_Click();
            const QByteArray id = QByteArray::number(gStampRs->Field(QStringLiteral("StampID")).toLongLong());
            if (choice < 8) {
                Say("I UPD " + id + " " + text);
                window.BeginEdit();
                descr->setText(QString::fromLatin1(text));
                window.cmdUpdate_Click();
                Say("D UPD " + id + " " + text);
            } else {
                Say("I DEL " + id);
                window.cmdDelete_Click();
                Say("D DEL " + id);
            }
        }
        if (prompts.endedWith || (!prompts.messages.empty() && prompts.messages.back().buttons == MsgButtons::Ok)) return 5;
    }
}
