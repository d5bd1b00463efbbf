// A full disk under every file the program writes: report files of the standard
// and the custom reports (text and HTML), the backup copy and the compacted
// catalogue. Each shows its message, leaves no half-written file behind, leaves
// the catalogue byte for byte as it was, and the program goes on; once there is
// room again, the same thing works.

#include "../app/MainWindowFixture.h"
#include "../upkeep/UpkeepTestFiles.h"

#include "custom/CustomReportTargets.h"
#include "custom/frmRptSpec.h"
#include "reports/ReportWindows.h"
#include "reports/frmRptSel.h"
#include "upkeep/Backup.h"
#include "upkeep/frmBackup.h"

#include <QListWidget>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <sys/resource.h>
#include <csignal>

namespace {

// No file of this process can grow beyond the given size while the object lives,
// as on a disk that is full: a write past it fails with "File too large". Only
// the soft limit is lowered, so it can be lifted again.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mSaved);
        mSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, mSaved.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) qFatal("cannot limit the file size");
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mSignal);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit mSaved{};
    void (*mSignal)(int) = nullptr;
};

const QString kPackFailed = QStringLiteral("The database could not be compacted.  The catalogue has not been changed.");

template <typename T>
T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no control %s", name);
    return child;
}

void Click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

}  // namespace

Q_DECLARE_METATYPE(rlim_t)

class TestFullDisk : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    QTemporaryDir mReports;

    // Runs a report the way the collector does, to the given target (2 text, 3 HTML).
    void RunReport(const QString& report, int target)
    {
        f->window->mnuRptOut_Click(target);
        if (report == "value") {
            f->window->mnuRptValue_Click();
        } else if (report == "country") {
            QTimer::singleShot(0, [] {
                auto* dialog = qobject_cast<frmRptSel*>(QApplication::activeModalWidget());
                if (!dialog) qFatal("no selection dialog");
                Click(Child<QRadioButton>(dialog, "optAll"));
                Click(Child<QPushButton>(dialog, "cmdOk"));
            });
            f->window->mnuRpt_Click(1);
        } else {
            f->window->mnuRptCustom_Click();
            frmRptSpec* spec = frmRptSpec::Instance();
            QVERIFY(spec);
            auto* fields = Child<QListWidget>(spec, "List1");
            for (const char* field : {"Description", "Country", "Price Paid"}) {
                fields->setCurrentItem(fields->findItems(field, Qt::MatchExactly).value(0));
                Click(Child<QToolButton>(spec, "cmdAdd"));
            }
            spec->cmdGenerate_Click();
            spec->cmdCancel_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void CheckMainWindowGoesOn(const QString& shown)
    {
        QVERIFY(!f->prompts.endedWith);
        QVERIFY(gDb && gDb->IsOpen() && gStampRs);
        QCOMPARE(f->Text("txtDescr"), shown);
        f->window->cmdNext_Click();
        QVERIFY(f->Text("txtDescr") != shown);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InstallReportWindows();
        InstallCustomReportTargets();
    }
    void init() { f = std::make_unique<MainWindowFixture>(300); }
    void cleanup()
    {
        f.reset();
        frmBackup::SetVolumeSource({});
        for (const QString& entry : Entries(mReports.path())) QFile::remove(mReports.filePath(entry));
    }

    void reportFiles_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("name");
        QTest::addColumn<rlim_t>("room");
        QTest::newRow("value, text, nothing written") << "value" << 2 << "Value.txt" << rlim_t(0);
        QTest::newRow("value, text, part written") << "value" << 2 << "Value.txt" << rlim_t(8192);
        QTest::newRow("value, html, part written") << "value" << 3 << "Value.htm" << rlim_t(8192);
        QTest::newRow("country, text, part written") << "country" << 2 << "Stamp.txt" << rlim_t(4096);
        QTest::newRow("country, html, nothing written") << "country" << 3 << "Stamps.htm" << rlim_t(0);
        QTest::newRow("custom, text, part written") << "custom" << 2 << "Stamp.txt" << rlim_t(4096);
        QTest::newRow("custom, html, part written") << "custom" << 3 << "Stamp.htm" << rlim_t(8192);
        QTest::newRow("custom, html, nothing written") << "custom" << 3 << "Stamp.htm" << rlim_t(0);
    }
    void reportFiles()
    {
        QFETCH(QString, report);
        QFETCH(int, target);
        QFETCH(QString, name);
        QFETCH(rlim_t, room);
        f->window->cmdNext_Click();
        const QString shown = f->Text("txtDescr");
        const QString path = mReports.filePath(name);
        const QByteArray older = "the report of last week\r\n";
        WriteAll(path, older);
        const QByteArray catalogue = ReadAll(f->cat.Path());

        f->prompts.saveFiles = {path};
        {
            FullDisk disk(room);
            RunReport(report, target);
        }
        // "File Exists", answered Yes, then the failure; the report ends there.
        QCOMPARE(f->prompts.messages.size(), size_t(2));
        QCOMPARE(f->prompts.messages[0].title, QString("File Exists"));
        const ShownMessage& failure = f->prompts.messages[1];
        QCOMPARE(failure.text, "75  Could not write the report file '" + path + "': File too large");
        QCOMPARE(failure.title, QString("Tessarine"));
        QCOMPARE(failure.icon, MsgIcon::None);
        QCOMPARE(failure.buttons, MsgButtons::Ok);
        QVERIFY(f->prompts.busy.empty() || !f->prompts.busy.back());
        // The older report stays whole, and nothing else is left beside it.
        QCOMPARE(ReadAll(path), older);
        QCOMPARE(Entries(mReports.path()), QStringList{name});
        QCOMPARE(ReadAll(f->cat.Path()), catalogue);
        CheckMainWindowGoesOn(shown);

        // With room again the same report is written whole.
        f->prompts.Clear();
        f->prompts.saveFiles = {path};
        RunReport(report, target);
        QCOMPARE(f->prompts.messages.size(), size_t(1));
        const QByteArray written = ReadAll(path);
        QVERIFY(written.size() > qint64(room) + 4096);
        QVERIFY(written.endsWith(target == 3 ? "</html>\r\n" : "\r\n"));
        QCOMPARE(written.count('\n'), written.count("\r\n"));
        QCOMPARE(Entries(mReports.path()), QStringList{name});
    }

    void backup_data()
    {
        QTest::addColumn<rlim_t>("room");
        QTest::newRow("nothing written") << rlim_t(0);
        QTest::newRow("part written") << rlim_t(64 * 1024);
    }
    void backup()
    {
        QFETCH(rlim_t, room);
        QTemporaryDir drive;
        frmBackup::SetVolumeSource([&] { return QList<BackupVolume>{{"Stick", drive.path()}}; });
        const QByteArray earlier = "the backup of last month";
        WriteAll(drive.filePath("stamp.mdb"), earlier);
        const QByteArray catalogue = ReadAll(f->cat.Path());
        QVERIFY(catalogue.size() > qint64(room) + 4096);
        const QString first = f->Text("txtDescr");
        f->window->cmdLast_Click();

        auto clickOk = [] {
            auto* window = qobject_cast<frmBackup*>(QApplication::activeModalWidget());
            if (!window) qFatal("no backup window");
            QTest::mouseClick(window->cmdOk, Qt::LeftButton);
        };
        QTimer::singleShot(0, clickOk);
        {
            FullDisk disk(room);
            f->window->mnuBackup_Click();
        }
        QCOMPARE(f->prompts.messages.size(), size_t(1));
        // The backup message, then the reason on the next line.
        QCOMPARE(f->prompts.LastText().section(u'\n', 0, 0), kBackupFailedText);
        QVERIFY2(f->prompts.LastText().section(u'\n', 1).startsWith("Could not write the copy: "),
                 qPrintable(f->prompts.LastText()));
        QCOMPARE(f->prompts.messages[0].title, QString("Tessarine"));
        QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});
        QCOMPARE(ReadAll(drive.filePath("stamp.mdb")), earlier);
        QCOMPARE(ReadAll(f->cat.Path()), catalogue);
        // The main window is back, on the first stamp.
        CheckMainWindowGoesOn(first);

        f->prompts.Clear();
        QTimer::singleShot(0, clickOk);
        f->window->mnuBackup_Click();
        QVERIFY(f->prompts.messages.empty());
        QCOMPARE(ReadAll(drive.filePath("stamp.mdb")), catalogue);
        QCOMPARE(Entries(drive.path()), QStringList{"stamp.mdb"});
    }

    void pack_data()
    {
        QTest::addColumn<rlim_t>("room");
        QTest::addColumn<QString>("why");
        // The engine's own words for a write that failed.
        QTest::newRow("nothing written") << rlim_t(0) << "disk I/O error";
        QTest::newRow("part written") << rlim_t(32 * 1024) << "disk I/O error";
    }
    void pack()
    {
        QFETCH(rlim_t, room);
        QFETCH(QString, why);
        const QByteArray older = "the catalogue before the last packing";
        WriteAll(f->cat.File("stampdb.bak"), older);
        const QByteArray catalogue = ReadAll(f->cat.Path());
        QVERIFY(catalogue.size() > qint64(room) + 4096);
        const QString first = f->Text("txtDescr");
        f->window->cmdLast_Click();

        {
            FullDisk disk(room);
            f->window->mnuPack_Click();
        }
        QCOMPARE(f->prompts.messages.size(), size_t(2));
        QCOMPARE(f->prompts.messages[0].title, QString("Compact Database"));
        QCOMPARE(f->prompts.LastText(), kPackFailed + "\n\n" + why);
        QCOMPARE(f->prompts.messages[1].title, QString("Tessarine"));
        // The automatic backup before packing could not be made either: the
        // status bar says so, and it left nothing behind.
        QVERIFY(f->window->statusBar()->currentMessage().startsWith("The automatic backup could not be made: "));
        QCOMPARE(Entries(f->cat.Dir()), QStringList({"stamp.mdb", "stampdb.bak"}));
        QCOMPARE(ReadAll(f->cat.File("stampdb.bak")), older);
        QCOMPARE(ReadAll(f->cat.Path()), catalogue);
        QVERIFY(!f->prompts.busy.back());
        CheckMainWindowGoesOn(first);

        f->prompts.Clear();
        f->window->mnuPack_Click();
        QCOMPARE(f->prompts.messages.size(), size_t(1));
        QCOMPARE(ReadAll(f->cat.File("stampdb.bak")), catalogue);
        // With room again, packing made its automatic backup first.
        QCOMPARE(Entries(f->cat.Dir()), QStringList({"backups", "stamp.mdb", "stampdb.bak"}));
        QCOMPARE(Entries(f->cat.File("backups")).size(), 1);
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
