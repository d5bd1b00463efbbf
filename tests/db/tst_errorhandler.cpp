#include "ScriptedPrompts.h"

#include "db/ErrorHandler.h"
#include "db/Globals.h"

#include <QTest>

class TestErrorHandler : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        gRptCancel = false;
        gRetry = false;
        gLockTries = 0;
    }

    void messages_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("91") << 91 << "" << "There was an error accessing the database file.  Aborting..." << "Tessarine";
        QTest::newRow("3045") << 3045 << ""
                              << "The database is in use.  You are attempting to run the non-network version in a "
                                 "network environment.  The program will exit."
                              << "Database File Already In Use";
        QTest::newRow("3420") << 3420 << ""
                              << "An error has occurred.  You may have forgotten to close a window before packing or "
                                 "backing up the program's database.  Please rerun the program."
                              << "Tessarine";
        QTest::newRow("3024") << 3024 << "Could not find file '/x/stamp.mdb'."
                              << "3024  Could not find file '/x/stamp.mdb'." << "Tessarine";
        QTest::newRow("engine") << 26 << "file is not a database" << "26  file is not a database" << "Tessarine";
    }
    void messages()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, title);
        ScriptedPrompts p;
        HandleError(DbError(number, text));
        QCOMPARE(p.messages.size(), size_t(1));
        QCOMPARE(p.messages[0].text, message);
        QCOMPARE(p.messages[0].title, title);
        QCOMPARE(p.messages[0].icon, MsgIcon::None);
        QCOMPARE(p.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(p.endedWith, std::optional<int>(1));
        QVERIFY(ProgramEnded());
    }

    void dialogCancelSetsReportCancel()
    {
        ScriptedPrompts p;
        HandleError(DbError(ErrNo::DialogCancel, QString()));
        QVERIFY(gRptCancel);
        QVERIFY(p.messages.empty());
        QVERIFY(!p.endedWith);
    }

    void guardedStepsStopAfterTheEnd()
    {
        ScriptedPrompts p;
        int ran = 0;
        QVERIFY(!Guard([&] { ++ran; throw DbError(3024, QStringLiteral("gone")); }));
        QVERIFY(!Guard([&] { ++ran; }));
        QCOMPARE(ran, 1);
        QCOMPARE(p.messages.size(), size_t(1));
    }

    void lockRetryAsksEveryHundred()
    {
        ScriptedPrompts p;
        std::vector<int> askedAt;
        int attempts = 0;
        p.onMessage = [&](const ShownMessage& m) {
            QCOMPARE(m.text, QStringLiteral("Could not update locked record.  Do you wish to try again?"));
            QCOMPARE(m.title, QStringLiteral("Locked Record"));
            QCOMPARE(m.buttons, MsgButtons::YesNo);
            askedAt.push_back(attempts);
        };
        RetryWrite([&] {
            ++attempts;
            if (attempts <= 250) throw DbError(attempts % 2 ? ErrNo::RecordLocked : ErrNo::PageLocked, QString());
        });
        QCOMPARE(attempts, 251);
        QCOMPARE(askedAt, (std::vector<int>{100, 199}));
        QVERIFY(!p.endedWith);
    }

    void lockRetryNoEndsTheProgram()
    {
        ScriptedPrompts p;
        p.answers = {MsgAnswer::No};
        int attempts = 0;
        RetryWrite([&] {
            ++attempts;
            throw DbError(ErrNo::RecordLocked, QString());
        });
        QCOMPARE(attempts, 100);
        QCOMPARE(p.endedWith, std::optional<int>(1));
    }

    void otherWriteFailureEndsAfterOneTry()
    {
        ScriptedPrompts p;
        int attempts = 0;
        RetryWrite([&] {
            ++attempts;
            throw DbError(19, QStringLiteral("NOT NULL constraint failed: Stamp.descr"));
        });
        QCOMPARE(attempts, 1);
        QCOMPARE(p.LastText(), QStringLiteral("19  NOT NULL constraint failed: Stamp.descr"));
        QVERIFY(p.endedWith);
    }
};

QTEST_APPLESS_MAIN(TestErrorHandler)
#include "tst_errorhandler.moc"
