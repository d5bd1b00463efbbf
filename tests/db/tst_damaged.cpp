#include "TestCatalogue.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray Fingerprint(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("unreadable");
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::pair<int, QString> OpenHere(const QString& path)
{
    try {
        auto db = Database::Open(path, true, CatalogueTables());
        auto rs = db->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
    } catch (const DbError& e) {
        return {e.Number(), e.Text()};
    }
    return {0, QString()};
}

std::pair<int, QString> OpenAsNobody(const QString& path)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {-1, QStringLiteral("no pipe")};
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        QByteArray answer = "-1 cannot drop privileges";
        if (setgid(65534) == 0 && setuid(65534) == 0) {
            const auto [number, text] = OpenHere(path);
            answer = QByteArray::number(number) + ' ' + text.toUtf8();
        }
        if (write(pipeFds[1], answer.constData(), static_cast<size_t>(answer.size())) < 0) _exit(2);
        _exit(0);
    }
    close(pipeFds[1]);
    QByteArray answer;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) answer.append(buffer, n);
    close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    const qsizetype space = answer.indexOf(' ');
    return {answer.left(space).toInt(), QString::fromUtf8(answer.mid(space + 1))};
}

}  // namespace

// Files that are not a whole catalogue: each is refused with a clear error, and
// none of them is changed by the attempt.
class TestDamagedFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("empty") << "empty" << 3078 << "'%1' is not a Tessarine catalogue: it has no table 'Stamp'.";
        QTest::newRow("truncated") << "truncated" << 11 << "database disk image is malformed";
        QTest::newRow("random bytes") << "random" << 26 << "file is not a database";
        QTest::newRow("text file") << "text" << 26 << "file is not a database";
        QTest::newRow("folder") << "folder" << 3051 << "Could not open '%1': it is a folder, not a catalogue file.";
        QTest::newRow("table missing") << "notable" << 3078 << "'%1' is not a Tessarine catalogue: it has no table 'country'.";
        QTest::newRow("read-only") << "readonly" << 3051 << "Could not open '%1' for writing: the file is read-only.";
        QTest::newRow("no permission") << "noperm" << 3051 << "Could not open '%1': you may not have permission";
    }
    void refused()
    {
        QFETCH(QString, kind);
        QFETCH(int, number);
        QFETCH(QString, textStart);
        TestCatalogue cat;
        const QString path = cat.File(QStringLiteral("damaged.mdb"));
        QFile good(cat.Path());
        QVERIFY(good.open(QIODevice::ReadOnly));
        const QByteArray catalogue = good.readAll();
        if (kind == u"empty") Write(path, {});
        if (kind == u"truncated") Write(path, catalogue.left(3000));
        if (kind == u"random") {
            QByteArray noise(50000, '\0');
            for (char& c : noise) c = static_cast<char>(QRandomGenerator::global()->bounded(256));
            Write(path, noise);
        }
        if (kind == u"text") Write(path, QByteArray("Penny Black, 1840, unused\n").repeated(500));
        if (kind == u"folder") QVERIFY(QDir().mkdir(path));
        if (kind == u"notable") {
            cat.Exec(QStringLiteral("DROP TABLE country"));
            QVERIFY(QFile::copy(cat.Path(), path));
        }
        const bool permissions = kind == u"readonly" || kind == u"noperm";
        if (permissions) {
            QVERIFY(QFile::copy(cat.Path(), path));
            QFile::setPermissions(path, kind == u"readonly" ? QFile::ReadOwner | QFile::ReadOther : QFileDevice::Permissions());
            QFile::setPermissions(cat.Dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
        }
        const QByteArray before = Fingerprint(path);
        // Permissions do not bind the superuser: then the attempt is made as nobody.
        const auto [gotNumber, gotText] = permissions && geteuid() == 0 ? OpenAsNobody(path) : OpenHere(path);
        QCOMPARE(gotNumber, number);
        const QString expected = textStart.contains(u"%1") ? textStart.arg(QFileInfo(path).absoluteFilePath()) : textStart;
        QVERIFY2(gotText.startsWith(expected), qPrintable(gotText));
        QCOMPARE(Fingerprint(path), before);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void goodCatalogueIsNotChangedByOpening()
    {
        TestCatalogue cat(20);
        const QByteArray before = Fingerprint(cat.Path());
        {
            auto db = Database::Open(cat.Path(), true, CatalogueTables());
            auto rs = db->OpenDynaset(QStringLiteral("Select * from stamp order by [descr]"));
            rs->MoveLast();
        }
        QCOMPARE(Fingerprint(cat.Path()), before);
        QVERIFY(!QFile::exists(cat.Path() + QStringLiteral("-journal")));
    }
};

QTEST_APPLESS_MAIN(TestDamagedFiles)
#include "tst_damaged.moc"
