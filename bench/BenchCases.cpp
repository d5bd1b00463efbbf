#include "BenchCases.h"

#include "Baseline.h"
#include "BenchPrompts.h"

#include "app/frmMain.h"
#include "custom/CustomQuery.h"
#include "custom/CustomReportOutput.h"
#include "custom/CustomReportTargets.h"
#include "custom/FieldCatalogue.h"
#include "custom/FieldSettingsTable.h"
#include "csv/CsvExport.h"
#include "csv/frmImport.h"
#include "db/CatalogueVersion.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Globals.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/Transaction.h"
#include "history/AutoBackups.h"
#include "history/ChangeCapture.h"
#include "history/History.h"
#include "images/DemoImages.h"
#include "images/ImageCanvas.h"
#include "images/ImageStore.h"
#include "images/ImagesTab.h"
#include "images/frmImageViewer.h"
#include "list/BulkChange.h"
#include "list/StampColumns.h"
#include "list/StampListDock.h"
#include "list/StampListModel.h"
#include "reports/ReportWindows.h"
#include "reports/Reports.h"
#include "reports/frmOutput.h"
#include "stats/frmStats.h"
#include "upkeep/Backup.h"
#include "upkeep/Compact.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <QStatusBar>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

BenchPrompts* gPrompts = nullptr;

template <typename F>
double Ms(F&& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return static_cast<double>(timer.nsecsElapsed()) / 1.0e6;
}

void EmitTime(const char* key, double ms)
{
    std::printf("time %s %.4f\n", key, ms);
    std::fflush(stdout);
}

void EmitError(const QString& text)
{
    std::printf("error %s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

// The peak resident memory of this process so far, in kilobytes.
long PeakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void EmitPeak(const char* key)
{
    std::printf("memory %s %ld\n", key, PeakKb());
    std::fflush(stdout);
}

// The category report's selection dialog answered "all" and OK; everything else
// is the windows' own presenter, so the preview is the real window.
class BenchPresenter final : public ReportPresenter {
public:
    PrintSurface& PreviewSurface() override { return mWindows.PreviewSurface(); }
    void SetPreviewSize(QSizeF twips) override { mWindows.SetPreviewSize(twips); }
    QSizeF PreviewSize() const override { return mWindows.PreviewSize(); }
    void ShowPreview() override { mWindows.ShowPreview(); }
    void SelectCategory() override
    {
        gRptSelID = -1;
        gRptCancel = false;
    }
    frmOutput* Window() const { return mWindows.Window(); }

private:
    QtReportPresenter mWindows;
};

// Lets the window system catch up between measured steps (paints, layout), so
// that one step's leftovers are not charged to the next.
void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window as the program starts it: load, show, first activation.
frmMain* OpenMainWindow()
{
    auto* window = new frmMain;
    window->Form_Load();
    window->show();
    window->Form_Activate();
    QCoreApplication::processEvents();
    return window;
}

QString DescrShown(const frmMain* window)
{
    const auto* box = window->findChild<QLineEdit*>(QStringLiteral("txtDescr"));
    return box ? box->text() : QString();
}

sqlite3* Connection()
{
    return gDb ? gDb->SharedConnection()->db : nullptr;
}

bool FileWritten(const QString& path)
{
    return QFileInfo(path).size() > 0;
}

// --- the groups --------------------------------------------------------------

void LoadGroup()
{
    frmMain* window = nullptr;
    const double ms = Ms([&] { window = OpenMainWindow(); });
    if (DescrShown(window).isEmpty()) EmitError(QStringLiteral("load: no record shown"));
    EmitTime("load", ms);
    EmitPeak("load");
}

void MainWindowGroup(int runs)
{
    frmMain* w = OpenMainWindow();
    constexpr int kMoves = 100;

    w->cmdFirst_Click();
    Settle();
    for (int i = 0; i < kMoves; ++i) {
        EmitTime("next", Ms([&] { w->cmdNext_Click(); }));
        Settle();
    }
    for (int i = 0; i < kMoves; ++i) {
        EmitTime("previous", Ms([&] { w->cmdPrevious_Click(); }));
        Settle();
    }
    for (int r = 0; r < runs; ++r) {
        w->cmdFirst_Click();
        Settle();
        EmitTime("last", Ms([&] { w->cmdLast_Click(); }));
        Settle();
    }

    for (int r = 0; r < runs; ++r) {
        EmitTime("sort-catnum", Ms([&] { w->mnuSort_Click(2); }));
        Settle();
        EmitTime("sort-issued", Ms([&] { w->mnuSort_Click(3); }));
        Settle();
        EmitTime("sort-descr", Ms([&] { w->mnuSort_Click(1); }));
        Settle();
    }

    // The last stamp's description: its first match lies near the end of the
    // description order. Each find starts from a freshly sorted recordset, as the
    // first find after opening or sorting does.
    w->cmdLast_Click();
    const QString wanted = DescrShown(w);
    for (int r = 0; r < runs; ++r) {
        w->mnuSort_Click(1);
        Settle();
        gPrompts->inputs.push_back(wanted);
        EmitTime("find", Ms([&] { w->cmdFind_Click(); }));
        if (!DescrShown(w).startsWith(wanted, Qt::CaseInsensitive))
            EmitError(QStringLiteral("find: '%1' not shown").arg(wanted));
        Settle();
    }

    // A number in another catalogue, of a stamp near the end of the catalogue
    // numbers, typed in another case: it is found among the stamps' numbers.
    QString number;
    {
        auto rs = gDb->OpenSnapshot(
            QStringLiteral("Select CatNo from StampNumber, Catalog where StampNumber.CatalogID = Catalog.CatalogID and "
                           "CatalogDesc = 'Michel' order by StampID desc"));
        if (!rs->IsEmpty()) number = rs->FieldAt(0).toString().toLower();
    }
    if (number.isEmpty()) EmitError(QStringLiteral("find-number: the catalogue has no Michel numbers"));
    for (int r = 0; r < runs && !number.isEmpty(); ++r) {
        w->mnuSort_Click(2);
        Settle();
        gPrompts->inputs.push_back(number);
        EmitTime("find-number", Ms([&] { w->cmdFind_Click(); }));
        Settle();
    }
    // Back on the stamp the finds by description showed.
    w->mnuSort_Click(1);
    gPrompts->inputs.push_back(wanted);
    w->cmdFind_Click();
    Settle();

    // The found stamp moves between the two ends of the description order.
    auto* descr = w->findChild<QLineEdit*>(QStringLiteral("txtDescr"));
    const QString original = DescrShown(w);
    for (int r = 0; r < runs; ++r) {
        const QString text = r % 2 == 0 ? QStringLiteral("Aardvark ") + original : original;
        descr->setText(text);
        if (!w->IsEditing()) EmitError(QStringLiteral("update: typing did not start an edit"));
        EmitTime("update", Ms([&] { w->cmdUpdate_Click(); }));
        if (w->IsEditing() || DescrShown(w) != text) EmitError(QStringLiteral("update: '%1' not shown").arg(text));
        Settle();
    }

    // A stamp added and shown in its place, then deleted into the trash.
    for (int r = 0; r < runs; ++r) {
        const QString text = QStringLiteral("Bench Added %1").arg(r);
        w->cmdAddNew_Click();
        descr->setText(text);
        EmitTime("add", Ms([&] { w->cmdUpdate_Click(); }));
        if (w->IsEditing() || DescrShown(w) != text) EmitError(QStringLiteral("add: '%1' not shown").arg(text));
        Settle();
        EmitTime("delete", Ms([&] { w->cmdDelete_Click(); }));
        if (DescrShown(w) == text) EmitError(QStringLiteral("delete: '%1' still shown").arg(text));
        // The delete's own question is expected.
        if (!gPrompts->shown.isEmpty() &&
            gPrompts->shown.last() == QStringLiteral("Are you sure that you want to delete this stamp record?"))
            gPrompts->shown.removeLast();
        Settle();
    }
    w->Form_Unload();
    delete w;
}

void RunSql(const QString& sql)
{
    Statement statement(gDb->SharedConnection(), sql);
    while (statement.Step()) {
    }
}

// The history: what noting a change costs, undo and redo of a change of 10,000
// stamps through the Edit menu, and what the automatic backup at start holds up.
void HistoryGroup(const QString& dir, int runs)
{
    frmMain* w = OpenMainWindow();
    // The same write with and without its rows noted, rolled back each time, all
    // inside one transaction that is never committed: the commit's sync is the
    // same with or without the history and would only blur the difference.
    {
        Transaction outer(*gDb);
        for (int r = 0; r < 20 * runs; ++r) {
            const QString update =
                QStringLiteral("UPDATE Stamp SET Color = 'bench %1' WHERE StampID = %2").arg(r).arg(r + 1);
            const double plain = Ms([&] {
                Transaction undone(*gDb);
                RunSql(update);
            });
            const double noted = Ms([&] {
                Transaction undone(*gDb);
                ChangeRecording recording(*gDb, ChangeKind::Update);
                RunSql(update);
                if (recording.Finish().IsEmpty()) EmitError(QStringLiteral("history-note: nothing noted"));
            });
            EmitTime("history-note", std::max(0.0, noted - plain));
        }
    }
    for (int r = 0; r < runs; ++r) {
        RecordChange(*gDb, ChangeKind::Change, [&] {
            RunSql(QStringLiteral("UPDATE Stamp SET Color = 'bulk %1', pricepaid = ifnull(pricepaid, 0) + 0.01 WHERE "
                                  "StampID IN (SELECT StampID FROM Stamp ORDER BY StampID LIMIT 10000)")
                       .arg(r));
        });
        if (TheHistory().UndoName() != QStringLiteral("Change of 10,000 stamps"))
            EmitError(QStringLiteral("undo-bulk: the change is '%1'").arg(TheHistory().UndoName()));
        Settle();
        EmitTime("undo-bulk", Ms([&] { w->mnuUndo_Click(); }));
        Settle();
        EmitTime("redo-bulk", Ms([&] { w->mnuRedo_Click(); }));
        Settle();
    }
    // A large catalogue is copied once the window shows: the start waits only
    // for a small one.
    const QString backups = dir + QStringLiteral("/backups");
    for (int r = 0; r < runs; ++r) {
        QDir(backups).removeRecursively();
        EmitTime("autobackup-start", Ms([&] { w->BackUpAtStart(); }));
        QElapsedTimer waited;
        waited.start();
        while (AutomaticBackups(gDb->Path()).List().isEmpty() && waited.elapsed() < 600000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (AutomaticBackups(gDb->Path()).List().isEmpty())
            EmitError(QStringLiteral("autobackup-start: no backup made: %1").arg(w->statusBar()->currentMessage()));
        Settle();
    }
    QDir(backups).removeRecursively();
    w->Form_Unload();
    delete w;
}

struct StandardRun {
    const char* name;
    const char* base;
    const char* text;
    const char* html;
    int category;
    void (*report)();
};

void ReportsGroup(const QString& dir, int runs)
{
    frmMain* w = OpenMainWindow();
    const StandardRun reports[] = {
        {"value", "value-base", "value-text", "value-html", 0, ValueReport},
        {"category", "category-base", "category-text", "category-html", 3, CategoryReport},
    };
    const QString out = dir + QStringLiteral("/report");
    const QString base = dir + QStringLiteral("/base.txt");
    QByteArray sql[2];
    for (int i = 0; i < 2; ++i) {
        gRptCategory = reports[i].category;
        gRptTarget = 2;
        QFile::remove(out);
        gPrompts->files.push_back(out);
        sql[i] = CaptureQuery(Connection(), reports[i].report);
        if (sql[i].isEmpty()) EmitError(QStringLiteral("%1: no query ran").arg(QString::fromLatin1(reports[i].name)));
        std::fprintf(stderr, "%s report query: %s\n", reports[i].name, sql[i].constData());
    }
    for (int r = 0; r < runs; ++r) {
        for (int i = 0; i < 2; ++i) {
            const StandardRun& run = reports[i];
            gRptCategory = run.category;
            EmitTime(run.base, RunBaseline(Connection(), sql[i], base));
            QFile::remove(base);
            for (int target = 2; target <= 3; ++target) {
                gRptTarget = target;
                QFile::remove(out);
                gPrompts->files.push_back(out);
                EmitTime(target == 2 ? run.text : run.html, Ms(run.report));
                if (!FileWritten(out))
                    EmitError(QStringLiteral("%1: no file written").arg(QString::fromLatin1(run.name)));
            }
        }
    }
    QFile::remove(out);
    w->Form_Unload();
    delete w;
}

void PreviewGroup(BenchPresenter& presenter, const QString& dir, int runs)
{
    frmMain* w = OpenMainWindow();
    gRptTarget = 1;
    gRptCategory = 3;
    const QString base = dir + QStringLiteral("/base.txt");
    const QByteArray sql = CaptureQuery(Connection(), CategoryReport);
    frmOutput* preview = presenter.Window();
    QWidget* page = preview ? preview->findChild<QWidget*>(QStringLiteral("vsPrinter")) : nullptr;
    if (!page || preview->Surface().PageCount() < 2) {
        EmitError(QStringLiteral("preview: no document"));
        return;
    }
    page->grab();
    Settle();
    EmitPeak("preview-open");
    std::fprintf(stderr, "preview: %d pages\n", preview->Surface().PageCount());
    for (int r = 0; r < runs; ++r) {
        EmitTime("preview-base", RunBaseline(Connection(), sql, base));
        QFile::remove(base);
        EmitTime("preview-doc", Ms(CategoryReport));
        EmitTime("preview-page", Ms([&] { page->grab(); }));
        Settle();
    }
    w->Form_Unload();
    delete w;
}

void CustomGroup(const QString& dir, int runs)
{
    frmMain* w = OpenMainWindow();
    const auto catalogue = FieldCatalogue::Load(*gDb);
    if (!catalogue) {
        EmitError(QStringLiteral("custom: no field catalogue"));
        return;
    }
    // Description, catalogue number, country and condition (the two joins), issue
    // date from 1900 on, catalogue value above 1 with its total, and stamps not
    // sold; sorted by country, then issue date.
    FieldSettingsTable settings;
    settings.Reset(*catalogue);
    CustomQueryInput input;
    input.fields = {1, 2, 8, 16, 20, 23, 29};
    settings[20].mStartDate = QDate(1900, 1, 1);
    settings[23].mGreater = QStringLiteral("1");
    settings[23].mTotal = true;
    settings[29].mHide = true;
    settings[29].mOptFalse = true;
    input.sort1 = 8;
    input.sort2 = 20;
    input.title = QStringLiteral("Stamps by country and issue date");
    CustomReportOptions options;
    options.target = CustomTarget::HtmlFile;
    options.title = input.title;
    const CustomReport report =
        MakeCustomReport(BuildCustomQuery(*catalogue, settings, input), options, QDate::currentDate());
    std::fprintf(stderr, "custom report query: %s\n", qUtf8Printable(report.query.sql));

    const QString out = dir + QStringLiteral("/custom.htm");
    const QString base = dir + QStringLiteral("/base.txt");
    const auto run = [&] { GenerateCustomReport(report); };
    gPrompts->files.push_back(out);
    const QByteArray sql = CaptureQuery(Connection(), run);
    for (int r = 0; r < runs; ++r) {
        EmitTime("custom-base", RunBaseline(Connection(), sql, base));
        QFile::remove(base);
        QFile::remove(out);
        gPrompts->files.push_back(out);
        EmitTime("custom-html", Ms(run));
        if (!FileWritten(out)) EmitError(QStringLiteral("custom: no file written"));
    }
    QFile::remove(out);
    w->Form_Unload();
    delete w;
}

// The statistics window as the Reports menu opens it: its summary and first chart
// read and drawn; then every other chart chosen in its list and drawn. A chart's
// time is its median over the runs, and the slowest chart's stands for them all.
void StatsGroup(int runs)
{
    frmMain* w = OpenMainWindow();
    std::vector<std::vector<double>> charts(kChartCount);
    for (int r = 0; r < runs; ++r) {
        frmStats* stats = nullptr;
        EmitTime("stats-open", Ms([&] {
                     stats = new frmStats;
                     stats->show();
                     QCoreApplication::processEvents();
                     stats->View()->grab();
                 }));
        if (stats->Summary().heldStamps == 0 || stats->Chart().bars.empty())
            EmitError(QStringLiteral("statistics: no figures"));
        Settle();
        auto* list = stats->findChild<QListWidget*>(QStringLiteral("lstCharts"));
        for (int chart = 1; chart < kChartCount; ++chart) {
            charts[size_t(chart)].push_back(Ms([&] {
                list->setCurrentRow(chart);
                stats->View()->grab();
            }));
            if (stats->Chart().bars.empty())
                EmitError(QStringLiteral("statistics: no bars in %1").arg(ChartTitle(stats->CurrentChart())));
            Settle();
        }
        delete stats;
        Settle();
    }
    double slowest = 0;
    for (int chart = 1; chart < kChartCount; ++chart) {
        std::vector<double>& times = charts[size_t(chart)];
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        std::fprintf(stderr, "statistics: %s, median %.1f ms\n", qUtf8Printable(ChartTitle(ChartKind(chart))), median);
        slowest = std::max(slowest, median);
    }
    EmitTime("stats-chart", slowest);
    w->Form_Unload();
    delete w;
}

// The stamp list as the View menu shows it: opened beside the editor, scrolled,
// filtered as the collector types, sorted by headings; then 10,000 of its
// stamps changed at once.
void ListGroup(int runs)
{
    frmMain* w = OpenMainWindow();
    StampListDock* dock = w->StampList();
    QTableView* view = dock->View();
    QAction* shown = w->findChild<QAction*>(QStringLiteral("mnuViewList"));
    const int stamps = gStampRs->RecordCount();
    for (int r = 0; r < runs; ++r) {
        EmitTime("list-open", Ms([&] {
                     shown->trigger();
                     QCoreApplication::processEvents();
                     view->viewport()->grab();
                 }));
        if (dock->Model()->rowCount() != stamps) EmitError(QStringLiteral("list: not every stamp listed"));
        shown->trigger();
        Settle();
    }
    shown->trigger();
    Settle();

    // Positions spread over the whole list, each drawn from rows not read before.
    QScrollBar* bar = view->verticalScrollBar();
    for (int r = 0; r < runs * 4; ++r) {
        const int value = static_cast<int>(static_cast<qint64>(bar->maximum()) * ((r * 7919) % 101) / 100);
        EmitTime("list-scroll", Ms([&] {
                     bar->setValue(value);
                     view->viewport()->grab();
                 }));
        Settle();
    }

    // Typing "penny" a letter at a time, each keystroke answered in full: the
    // list, the editor's stamps and the rows on screen.
    auto* filter = dock->findChild<QLineEdit*>(QStringLiteral("txtFilter"));
    const QString word = QStringLiteral("penny");
    for (int r = 0; r < runs; ++r) {
        for (int n = 1; n <= word.size(); ++n) {
            filter->setText(word.left(n));
            EmitTime("list-filter", Ms([&] {
                         // Enter in the box: the filter without the pause after typing.
                         QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                         QCoreApplication::sendEvent(filter, &enter);
                         view->viewport()->grab();
                     }));
            Settle();
        }
        if (dock->Model()->rowCount() == 0 || dock->Model()->rowCount() == stamps)
            EmitError(QStringLiteral("list: the filter did not narrow the list"));
        dock->cmdClear_Click();
        Settle();
    }
    EmitPeak("list-memory");

    QHeaderView* heading = view->horizontalHeader();
    const int columns[] = {StampColumnIndex(StampColumn::Year), StampColumnIndex(StampColumn::Country),
                           StampColumnIndex(StampColumn::CatalogValue), StampColumnIndex(StampColumn::Description)};
    for (int r = 0; r < runs; ++r) {
        for (int column : columns) {
            EmitTime("list-sort", Ms([&] {
                         Q_EMIT heading->sectionClicked(column);
                         view->viewport()->grab();
                     }));
            Settle();
        }
    }

    // 10,000 stamps of the list, their condition and quantity set (every total
    // worked out again), then the list and the editor shown anew, as the Change
    // Selected Stamps window leaves them.
    std::vector<qint64> keys;
    for (int i = 0; i < std::min(stamps, 10000); ++i) keys.push_back(gStampRs->KeyAt(i));
    for (int r = 0; r < runs; ++r) {
        StampChange change;
        change.codes = {{QStringLiteral("ConID"), QVariant(qint64(1 + r % 2))}};
        change.quantity = 1 + r % 3;
        EmitTime("list-change", Ms([&] {
                     const BulkOutcome outcome = ChangeStamps(*gDb, keys, change);
                     if (outcome.changed.size() != keys.size())
                         EmitError(QStringLiteral("list: not every stamp changed"));
                     w->OpenListQuery(-1);
                     view->viewport()->grab();
                 }));
        Settle();
    }
    w->Form_Unload();
    delete w;
}

void PackGroup(const QString& dir, int runs)
{
    // Packing works on the closed catalogue, as the Pack Database command does
    // once it has closed the main window.
    gAppDir = dir + u'/';
    gDbPath = gAppDir + QStringLiteral("stamp.mdb");
    const QString vacuumed = gAppDir + QStringLiteral("vacuum.mdb");
    const QString backup = gAppDir + QStringLiteral("stampdb.bak");
    for (int r = 0; r < runs; ++r) {
        QFile::remove(vacuumed);
        const double base = VacuumInto(gDbPath, vacuumed);
        if (base < 0)
            EmitError(QStringLiteral("pack: VACUUM INTO failed"));
        else
            EmitTime("pack-base", base);
        QFile::remove(vacuumed);
        QFile::remove(backup);
        bool packed = false;
        EmitTime("pack", Ms([&] { packed = PackCatalogue(); }));
        if (!packed) EmitError(QStringLiteral("pack: the catalogue was not packed"));
    }
    QFile::remove(backup);
}

// A catalogue of the same size as an older program wrote it (before the stored
// text keys), opened for the first time: the open brings it up to date.
void UpgradeGroup(const QString& dir, int runs)
{
    qint64 stamps = 0;
    {
        auto db = Database::Open(dir + QStringLiteral("/stamp.mdb"), false);
        auto count = db->OpenSnapshot(QStringLiteral("SELECT count(*) FROM Stamp"));
        stamps = count->FieldAt(0).toLongLong();
    }
    const QString old = dir + QStringLiteral("/old.mdb");
    for (int r = 0; r < std::min(runs, 3); ++r) {
        QFile::remove(old);
        CreateDemoCatalogue(old, static_cast<int>(stamps), 1, 0);
        std::unique_ptr<Database> db;
        EmitTime("upgrade", Ms([&] { db = Database::Open(old, true); }));
        if (CatalogueVersion(db->SharedConnection()->db) != kCatalogueVersion)
            EmitError(QStringLiteral("upgrade: the catalogue was not brought up to date"));
    }
    QFile::remove(old);
}

// --- images, on request ------------------------------------------------------

// A plain copy of a file, synced, as "cp" and "sync" make it: the physical
// limit of a backup.
double PlainCopy(const QString& from, const QString& to)
{
    QElapsedTimer timer;
    timer.start();
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = in >= 0 && out >= 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (ok) {
        const ssize_t got = ::read(in, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = ::write(out, buffer.constData(), static_cast<size_t>(got)) == got;
    }
    ok = ok && ::fsync(out) == 0;
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    return ok ? static_cast<double>(timer.nsecsElapsed()) / 1.0e6 : -1;
}

// One round of the main window's cases, each sample under prefix + its key.
void MainWindowRound(frmMain* w, const QString& prefix, int moves)
{
    const auto key = [&](const char* name) { return (prefix + QString::fromLatin1(name)).toLatin1(); };
    w->cmdFirst_Click();
    Settle();
    for (int i = 0; i < moves; ++i) {
        EmitTime(key("next").constData(), Ms([&] { w->cmdNext_Click(); }));
        Settle();
    }
    for (int i = 0; i < moves; ++i) {
        EmitTime(key("previous").constData(), Ms([&] { w->cmdPrevious_Click(); }));
        Settle();
    }
    w->cmdFirst_Click();
    Settle();
    EmitTime(key("last").constData(), Ms([&] { w->cmdLast_Click(); }));
    Settle();
    EmitTime(key("sort-catnum").constData(), Ms([&] { w->mnuSort_Click(2); }));
    Settle();
    EmitTime(key("sort-issued").constData(), Ms([&] { w->mnuSort_Click(3); }));
    Settle();
    EmitTime(key("sort-descr").constData(), Ms([&] { w->mnuSort_Click(1); }));
    Settle();
    w->cmdLast_Click();
    const QString wanted = DescrShown(w);
    w->mnuSort_Click(1);
    Settle();
    gPrompts->inputs.push_back(wanted);
    EmitTime(key("find").constData(), Ms([&] { w->cmdFind_Click(); }));
    if (!DescrShown(w).startsWith(wanted, Qt::CaseInsensitive))
        EmitError(QStringLiteral("images: find '%1' not shown").arg(wanted));
    Settle();
}

// The given catalogue has images (dir/stamp.mdb); the same catalogue without
// them is made beside it. Every case of the main window runs on both, in turn.
void ImagesGroup(const QString& dir, int runs)
{
    const QString withImages = dir + QStringLiteral("/images");
    const QString plain = dir + QStringLiteral("/plain");
    QDir().mkpath(withImages);
    QDir().mkpath(plain);
    QFile::remove(withImages + QStringLiteral("/stamp.mdb"));
    QFile::remove(plain + QStringLiteral("/stamp.mdb"));
    if (!QFile::rename(dir + QStringLiteral("/stamp.mdb"), withImages + QStringLiteral("/stamp.mdb"))) {
        EmitError(QStringLiteral("images: cannot move the catalogue"));
        return;
    }
    // The images go, then the free pages.
    QFile::copy(withImages + QStringLiteral("/stamp.mdb"), plain + QStringLiteral("/stamp.mdb"));
    qint64 scanStamp = 0;
    QByteArray scan;
    try {
        {
            auto db = Database::Open(plain + QStringLiteral("/stamp.mdb"), true);
            db->Execute(QStringLiteral("DELETE FROM StampImage"));
            if (ImageStore(*db).PictureCount() != 0) EmitError(QStringLiteral("images: pictures left behind"));
            db->Execute(QStringLiteral("VACUUM"));
        }
        // A 20-megapixel scan on the last stamp; then the catalogue is packed as
        // the one without images was, so that both lay out their stamps alike.
        auto db = Database::Open(withImages + QStringLiteral("/stamp.mdb"), true);
        if (ImageStore(*db).ImageCount() == 0) EmitError(QStringLiteral("images: the catalogue has no images"));
        auto last = db->OpenSnapshot(QStringLiteral("SELECT max(StampID) FROM Stamp"));
        scanStamp = last->FieldAt(0).toLongLong();
        last->Close();
        scan = DemoScan(20, QSize(5472, 3648), false, QStringLiteral("20 MP"));
        const Intake intake = PrepareBytes(scan);
        if (!intake.picture) EmitError(QStringLiteral("images: the scan: ") + intake.problem);
        ImageEntry entry;
        entry.picture = intake.picture;
        ImageStore(*db).SaveStampImages(scanStamp, {entry});
        db->Execute(QStringLiteral("VACUUM"));
    } catch (const DbError& error) {
        EmitError(QStringLiteral("images: ") + error.Text());
        return;
    }
    std::fprintf(stderr, "images: plain catalogue %lld bytes, with images %lld, scan %lld bytes\n",
                 static_cast<long long>(QFileInfo(plain + QStringLiteral("/stamp.mdb")).size()),
                 static_cast<long long>(QFileInfo(withImages + QStringLiteral("/stamp.mdb")).size()),
                 static_cast<long long>(scan.size()));

    // Start-up, in turn, after one start-up of each that warms the caches.
    for (int r = -1; r < runs; ++r) {
        for (const auto& [folder, key] : {std::pair{plain, "plain-load"}, {withImages, "img-load"}}) {
            QDir::setCurrent(folder);
            frmMain* window = nullptr;
            const double ms = Ms([&] { window = OpenMainWindow(); });
            if (DescrShown(window).isEmpty()) EmitError(QStringLiteral("images: load: no record shown"));
            if (r >= 0) EmitTime(key, ms);
            window->Form_Unload();
            delete window;
            Settle();
        }
    }

    // Moving, sorting, finding with the General tab showing, as most of the time.
    for (int r = 0; r < runs; ++r) {
        for (const auto& [folder, prefix] : {std::pair{plain, "plain-"}, {withImages, "img-"}}) {
            QDir::setCurrent(folder);
            frmMain* w = OpenMainWindow();
            MainWindowRound(w, QString::fromLatin1(prefix), 40);
            w->Form_Unload();
            delete w;
            Settle();
        }
    }

    // The Images tab on stamps that have images, and the viewer on the scan.
    QDir::setCurrent(withImages);
    frmMain* w = OpenMainWindow();
    w->resize(1000, 700);
    w->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(3);
    Settle();
    auto* tab = w->findChild<ImagesTab*>(QStringLiteral("tabImages"));
    for (int stamp = 1; stamp <= 20 * runs; stamp += 1) {
        gStampRs->FindFirst(QStringLiteral("StampID = %1").arg(stamp * 7));
        const double ms = Ms([&] {
            w->ShowRecord();
            w->repaint();
        });
        if (tab->Count() == 0) continue;
        EmitTime("img-thumbs", ms);
        Settle();
    }
    gStampRs->FindFirst(QStringLiteral("StampID = %1").arg(scanStamp));
    w->ShowRecord();
    Settle();
    for (int r = 0; r < runs; ++r) {
        frmImageViewer* viewer = nullptr;
        EmitTime("img-viewer", Ms([&] {
                     tab->Select(0);
                     tab->ViewSelected();
                     viewer = frmImageViewer::Instance();
                     viewer->Canvas()->repaint();
                 }));
        if (!viewer || !viewer->Canvas()->HasPicture() || viewer->Canvas()->FullSize() != QSize(5472, 3648))
            EmitError(QStringLiteral("images: the viewer shows no scan"));
        EmitPeak("img-viewer");
        EmitTime("img-viewer-full", Ms([&] {
                     viewer->Canvas()->ActualSize();
                     viewer->Canvas()->repaint();
                 }));
        EmitPeak("img-viewer");
        delete viewer;
        Settle();
    }
    w->Form_Unload();
    delete w;
    Settle();

    // Packing and backup of the catalogue with images.
    gAppDir = withImages + u'/';
    gDbPath = gAppDir + QStringLiteral("stamp.mdb");
    const QString vacuumed = gAppDir + QStringLiteral("vacuum.mdb");
    const QString copied = gAppDir + QStringLiteral("copy.mdb");
    const QString drive = dir + QStringLiteral("/drive");
    QDir().mkpath(drive);
    // Each measured from a quiet disk (what an earlier step left to write out,
    // or to free, would otherwise be charged to the next), and the two of each
    // pair in turn first.
    const auto packBase = [&] {
        QFile::remove(vacuumed);
        ::sync();
        const double base = VacuumInto(gDbPath, vacuumed);
        if (base < 0) EmitError(QStringLiteral("images: VACUUM INTO failed"));
        else EmitTime("img-pack-base", base);
        QFile::remove(vacuumed);
    };
    const auto pack = [&] {
        QFile::remove(gAppDir + QStringLiteral("stampdb.bak"));
        ::sync();
        const int before = gPrompts->progressWindows;
        bool packed = false;
        EmitTime("img-pack", Ms([&] { packed = PackCatalogue(); }));
        if (!packed) EmitError(QStringLiteral("images: the catalogue was not packed"));
        if (gPrompts->progressWindows == before) EmitError(QStringLiteral("images: packing showed no progress"));
        QFile::remove(gAppDir + QStringLiteral("stampdb.bak"));
    };
    const auto copyBase = [&] {
        QFile::remove(copied);
        ::sync();
        const double plainCopy = PlainCopy(gDbPath, copied);
        if (plainCopy < 0) EmitError(QStringLiteral("images: the plain copy failed"));
        else EmitTime("img-backup-base", plainCopy);
        QFile::remove(copied);
    };
    const auto backup = [&] {
        QFile::remove(drive + QStringLiteral("/stamp.mdb"));
        ::sync();
        bool backedUp = false;
        int steps = 0;
        QString problem;
        EmitTime("img-backup", Ms([&] {
                     backedUp = BackupCatalogue(gDbPath, drive, &problem, [&steps](qint64, qint64) {
                         ++steps;
                         return true;
                     });
                 }));
        if (!backedUp) EmitError(QStringLiteral("images: backup failed: ") + problem);
        if (steps == 0) EmitError(QStringLiteral("images: backup showed no progress"));
        QFile::remove(drive + QStringLiteral("/stamp.mdb"));
    };
    for (int r = 0; r < runs; ++r) {
        if (r % 2 == 0) {
            packBase();
            pack();
            copyBase();
            backup();
        } else {
            pack();
            packBase();
            backup();
            copyBase();
        }
    }
    QFile::remove(drive + QStringLiteral("/stamp.mdb"));
}

// Export of every stamp, in the main window's order, against the value report
// to a text file; then the same file imported into an empty catalogue through
// the File menu and the import window (its preview, the plan with the code
// lists matched, the one transaction), until the main window shows the stamps.
void CsvGroup(const QString& dir, int runs)
{
    frmMain* w = OpenMainWindow();
    const qint64 stamps = gStampRs->RecordCount();
    const QString out = dir + QStringLiteral("/export.csv");
    const QString value = dir + QStringLiteral("/value.txt");
    for (int r = 0; r < runs; ++r) {
        QFile::remove(out);
        ExportResult result;
        // One measurement, held to two targets: its time and its ratio to the report.
        const double ms = Ms([&] { result = ExportStamps(*gDb, out, gSortOrder); });
        EmitTime("csv-export", ms);
        EmitTime("csv-export-ratio", ms);
        if (!result.Written() || result.stamps != stamps) EmitError(QStringLiteral("csv: export wrote %1 stamps").arg(result.stamps));
        QFile::remove(value);
        gRptTarget = 2;
        gPrompts->files.push_back(value);
        EmitTime("csv-value-text", Ms(ValueReport));
        if (!FileWritten(value)) EmitError(QStringLiteral("csv: no value report written"));
        Settle();
    }
    EmitPeak("csv-export");
    w->Form_Unload();
    delete w;
    Settle();

    for (int r = 0; r < std::min(runs, 3); ++r) {
        const QString folder = dir + QStringLiteral("/import%1").arg(r);
        QDir().mkpath(folder);
        QFile::remove(folder + QStringLiteral("/stamp.mdb"));
        CreateCatalogue(folder + QStringLiteral("/stamp.mdb"));
        gAppDir = folder + u'/';
        frmMain* empty = OpenMainWindow();
        gPrompts->openFiles.push_back(out);
        bool shown = false;
        EmitTime("csv-import", Ms([&] {
                     empty->findChild<QAction*>(QStringLiteral("mnuImport"))->trigger();
                     if (frmImport* window = frmImport::Instance()) {
                         window->cmdImport_Click();
                         shown = gStampRs && gStampRs->RecordCount() == stamps;
                     }
                 }));
        EmitPeak("csv-import-peak");
        // The summary is the one message the import shows.
        if (!gPrompts->shown.isEmpty() && gPrompts->shown.last().startsWith(QLocale(QLocale::English, QLocale::UnitedStates).toString(stamps) +
                                                                            QStringLiteral(" stamps added")))
            gPrompts->shown.removeLast();
        if (!shown) EmitError(QStringLiteral("csv: the imported stamps are not shown"));
        empty->Form_Unload();
        delete empty;
        Settle();
    }
    gAppDir.clear();
}

}  // namespace

QStringList BenchGroups()
{
    return {QStringLiteral("load"),    QStringLiteral("main"),   QStringLiteral("reports"),
            QStringLiteral("preview"), QStringLiteral("custom"), QStringLiteral("stats"),
            QStringLiteral("list"),    QStringLiteral("pack"),    QStringLiteral("upgrade"),
            QStringLiteral("images"),  QStringLiteral("csv"), QStringLiteral("history")};
}

int RunBenchGroup(int argc, char** argv, const QString& group, const QString& dir, int runs)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Money and dates as most collectors see them.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (!QDir::setCurrent(dir)) {
        EmitError(QStringLiteral("cannot work in %1").arg(dir));
        return 1;
    }
    BenchPrompts prompts;
    gPrompts = &prompts;
    InstallPrompts(&prompts);
    InstallReportWindows();
    BenchPresenter presenter;
    InstallReportPresenter(&presenter);
    InstallCustomReportTargets();

    if (group == u"load")
        LoadGroup();
    else if (group == u"main")
        MainWindowGroup(runs);
    else if (group == u"reports")
        ReportsGroup(dir, runs);
    else if (group == u"preview")
        PreviewGroup(presenter, dir, runs);
    else if (group == u"custom")
        CustomGroup(dir, runs);
    else if (group == u"stats")
        StatsGroup(runs);
    else if (group == u"list")
        ListGroup(runs);
    else if (group == u"pack")
        PackGroup(dir, runs);
    else if (group == u"upgrade")
        UpgradeGroup(dir, runs);
    else if (group == u"csv")
        CsvGroup(dir, runs);
    else if (group == u"history")
        HistoryGroup(dir, runs);
    else if (group == u"images")
        ImagesGroup(dir, runs);
    else {
        EmitError(QStringLiteral("unknown group %1").arg(group));
        return 2;
    }
    for (const QString& text : prompts.shown) EmitError(group + QStringLiteral(": message shown: ") + text);
    std::fflush(stdout);
    // The windows and the catalogue are left to the end of the process: tearing
    // down a hundred thousand rows measures nothing.
    std::_Exit(prompts.shown.isEmpty() ? 0 : 1);
}
