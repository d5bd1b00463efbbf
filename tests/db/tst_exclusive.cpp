#include "ScriptedPrompts.h"
#include "TestCatalogue.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/ErrorHandler.h"
#include "db/Recordset.h"

#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Opens the catalogue in a child process and reports the error number it met
// (0 when it got in).
int OpenInChild(const QString& path)
{
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 0;
        try {
            auto db = Database::Open(path, true);
        } catch (const DbError& e) {
            code = e.Number() == ErrNo::FileInUse ? 45 : 99;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class TestExclusive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondProcessIsRefused()
    {
        TestCatalogue cat;
        {
            auto db = Database::Open(cat.Path(), true);
            QCOMPARE(OpenInChild(cat.Path()), 45);
            // The first is unaffected: it can still write.
            auto rs = db->OpenDynaset(QStringLiteral("Select * from country"));
            rs->AddNew();
            rs->SetField(QStringLiteral("Coudesc"), QStringLiteral("Iceland"));
            rs->Update();
            QCOMPARE(rs->RecordCount(), 1);
        }
        // Once closed, the file is free again.
        QCOMPARE(OpenInChild(cat.Path()), 0);
    }

    void inUseMessage()
    {
        TestCatalogue cat;
        auto db = Database::Open(cat.Path(), true);
        const pid_t pid = fork();
        if (pid == 0) {
            ScriptedPrompts p;
            const bool opened = Guard([&] { Database::Open(cat.Path(), true); });
            const bool right = !opened && p.messages.size() == 1 &&
                               p.messages[0].title == u"Database File Already In Use" && p.endedWith == 1;
            _exit(right ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_APPLESS_MAIN(TestExclusive)
#include "tst_exclusive.moc"
