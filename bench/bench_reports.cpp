// Times the standard reports over a large demo catalogue on each target, and the
// print surface's layout alone.
//
//   bench_reports [stamps]      (default 100000)

#include "db/Database.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "db/Schema.h"
#include "reports/PrintSurface.h"
#include "reports/ReportPresenter.h"
#include "reports/Reports.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <deque>

namespace {

class BenchPrompts final : public Prompts {
public:
    std::deque<QString> files;
    MsgAnswer Message(const QString& text, const QString&, MsgIcon, MsgButtons) override
    {
        std::fprintf(stderr, "message: %s\n", qUtf8Printable(text));
        return MsgAnswer::Yes;
    }
    QString Input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFile(const QString&, const QString&) override
    {
        if (files.empty()) return std::nullopt;
        QString f = files.front();
        files.pop_front();
        return f;
    }
    void PickDate(const PickRequest&) override {}
    void Beep() override {}
    void Busy(bool) override {}
    void Help(int, int) override {}
    void EndProgram(int code) override { std::exit(code); }
};

template <typename F>
double Time(F f)
{
    QElapsedTimer t;
    t.start();
    f();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int stamps = argc > 1 ? std::atoi(argv[1]) : 100000;

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("stamp.mdb"));
    std::printf("demo catalogue of %d stamps: %.0f ms\n", stamps, Time([&] { CreateDemoCatalogue(db, stamps, 7); }));
    gDb = Database::Open(db, true);

    BenchPrompts prompts;
    InstallPrompts(&prompts);
    MemoryReportPresenter presenter;
    InstallReportPresenter(&presenter);

    struct Run {
        const char* name;
        void (*report)();
        int category;
    };
    const Run runs[] = {{"sales", SalesReport, 0},
                        {"value", ValueReport, 0},
                        {"want list", WantListReport, 0},
                        {"by country", CategoryReport, 3},
                        {"by topic", CategoryReport, 8}};
    for (const Run& run : runs) {
        gRptCategory = run.category;
        for (int target = 1; target <= 3; ++target) {
            gRptTarget = target;
            if (target > 1)
                prompts.files.push_back(dir.filePath(QStringLiteral("out%1-%2").arg(target).arg(run.category)));
            const double ms = Time(run.report);
            std::printf("%-10s target %d: %8.0f ms%s\n", run.name, target, ms,
                        target == 1 ? qPrintable(QStringLiteral(", %1 pages").arg(presenter.surface.PageCount())) : "");
        }
    }

    // Layout alone: the rows of a category report, already as table strings.
    PrintSurface surface;
    surface.SetNewPageHandler([](PrintSurface& s) {
        s.SetHeadingRows(true);
        s.AddTable(u"2160|2880|1440|>1440|>1340|>1340;Country|description|Cat #|Face Value|Year|Quantity;");
        s.SetHeadingRows(false);
    });
    QStringList rows;
    rows.reserve(stamps);
    for (int i = 0; i < stamps; ++i)
        rows << QStringLiteral(
                    "2160|2880|1440|>1440|>1340|>1340;Country %1|Queen Victoria %2c Imperforate pair|SG "
                    "%3|$1.50|1890|%4;")
                    .arg(i % 40)
                    .arg(i % 50)
                    .arg(i)
                    .arg(i % 7);
    const double layout = Time([&] {
        surface.StartDoc();
        for (const QString& r : rows) surface.AddTable(r);
        surface.EndDoc();
    });
    std::printf("layout of %d rows: %.0f ms, %d pages\n", stamps, layout, surface.PageCount());

    QImage image(850, 1100, QImage::Format_RGB32);
    const double draw = Time([&] {
        QPainter p(&image);
        surface.DrawPage(p, surface.PageCount() / 2, QRectF(0, 0, 850, 1100));
    });
    std::printf("drawing one page: %.1f ms\n", draw);

    gDb.reset();
    return 0;
}
