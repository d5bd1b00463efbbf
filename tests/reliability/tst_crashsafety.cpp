#include "TestCatalogue.h"

#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"
#include "db/Schema.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Intent {
    QByteArray op;
    qint64 id = 0;
    QByteArray text;
};

// Starts the writer, lets it confirm a random number of writes, then kills it at
// once (it is then in the middle of its next write), and returns its lines.
QList<QByteArray> RunAndKill(const QString& dir, quint32 seed, int confirmations)
{
    int out[2];
    if (pipe(out) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const QByteArray d = dir.toLocal8Bit();
        const QByteArray s = QByteArray::number(seed);
        execl(CRASH_WRITER, CRASH_WRITER, d.constData(), s.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    QByteArray all;
    int confirmed = 0;
    char buffer[4096];
    while (confirmed <= confirmations) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        all.append(buffer, n);
        confirmed = static_cast<int>(all.count("\nD ") + (all.startsWith("D ") ? 1 : 0));
    }
    // A few microseconds more, so that the kill lands anywhere inside a write.
    QElapsedTimer spin;
    spin.start();
    const qint64 delay = QRandomGenerator::global()->bounded(3000);
    while (spin.nsecsElapsed() < delay * 1000) {}
    kill(pid, SIGKILL);
    while (true) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        all.append(buffer, n);
    }
    close(out[0]);
    waitpid(pid, nullptr, 0);
    return all.split('\n');
}

}  // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWritesNeverHurtTheCatalogue()
    {
        TestCatalogue cat;
        QMap<qint64, QByteArray> expected;  // every write reported done
        constexpr int kKills = 200;
        int unconfirmedSeen = 0;
        for (int round = 0; round < kKills; ++round) {
            const auto lines = RunAndKill(cat.Dir(), static_cast<quint32>(round + 1),
                                          static_cast<int>(QRandomGenerator::global()->bounded(4)));
            std::optional<Intent> open;
            for (const QByteArray& line : lines) {
                const QList<QByteArray> words = line.split(' ');
                if (words.size() < 2) continue;
                if (words[0] == "I") {
                    open = Intent{words[1], words[1] == "ADD" ? 0 : words[2].toLongLong(), line.mid(line.indexOf("Stamp"))};
                } else if (words[0] == "D") {
                    const qint64 id = words[2].toLongLong();
                    if (words[1] == "DEL") expected.remove(id);
                    else expected[id] = line.mid(line.indexOf("Stamp"));
                    open.reset();
                }
            }
            auto db = Database::Open(cat.Path(), true, CatalogueTables());
            auto check = db->OpenSnapshot(QStringLiteral("PRAGMA integrity_check"));
            QCOMPARE(check->FieldAt(0).toString(), QStringLiteral("ok"));
            QMap<qint64, QByteArray> actual;
            auto rs = db->OpenSnapshot(QStringLiteral("select StampID, descr from Stamp"));
            while (!rs->Eof()) {
                actual[rs->FieldAt(0).toLongLong()] = rs->FieldAt(1).toString().toLatin1();
                rs->MoveNext();
            }
            // The write under way when the writer died may or may not have landed:
            // take the catalogue's word for that one row, and only that one.
            if (open) {
                ++unconfirmedSeen;
                if (open->op == "ADD") {
                    for (auto it = actual.begin(); it != actual.end(); ++it)
                        if (it.value() == open->text && !expected.contains(it.key())) expected[it.key()] = it.value();
                } else if (open->op == "UPD" && actual.value(open->id) == open->text) {
                    expected[open->id] = open->text;
                } else if (open->op == "DEL" && !actual.contains(open->id)) {
                    expected.remove(open->id);
                }
            }
            QCOMPARE(actual, expected);
        }
        // Many kills did land inside writes, not only between them.
        qInfo("%d of %d kills landed inside a write", unconfirmedSeen, kKills);
        QVERIFY(unconfirmedSeen > kKills / 10);
    }
};

QTEST_APPLESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
