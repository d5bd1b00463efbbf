// The statistics window through the real main window, offscreen: the menu item,
// the summary and the charts on screen, the list, hovering and clicking bars,
// saving and copying a chart, the empty catalogue and the desktop's palette.

#include "MainWindowFixture.h"

#include "dates/LocaleFormats.h"
#include "help/HelpContext.h"
#include "stats/frmStats.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QToolTip>

#include <optional>

namespace {

frmStats* OpenFromMenu(MainWindowFixture& f)
{
    f.window->findChild<QAction*>(QStringLiteral("mnuRptStats"))->trigger();
    frmStats* window = frmStats::Instance();
    if (window && !QTest::qWaitForWindowExposed(window)) qWarning("statistics window not exposed");
    return window;
}

QAbstractBarSeries* Series(const frmStats* w)
{
    const auto series = w->View()->chart()->series();
    return series.isEmpty() ? nullptr : qobject_cast<QAbstractBarSeries*>(series.first());
}

// The middle of a bar of the first series, in the chart view's viewport.
QPoint BarCentre(const frmStats* w, int bar)
{
    QChart* chart = w->View()->chart();
    QAbstractBarSeries* series = Series(w);
    const int axisIndex = w->Chart().Horizontal() ? int(w->Chart().bars.size()) - 1 - bar : bar;
    const double half = series->barSets().first()->at(axisIndex) / 2;
    const QPointF point = w->Chart().Horizontal() ? QPointF(half, axisIndex) : QPointF(axisIndex, half);
    return w->View()->mapFromScene(chart->mapToScene(chart->mapToPosition(point, series)));
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestFrmStats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup()
    {
        if (frmStats* w = frmStats::Instance()) delete w;
    }

    void openFromTheReportsMenu()
    {
        MainWindowFixture f(400);
        // The item stands after "Stamps Sold", before the separator above "Custom
        // Reports", and takes an access key no other item of the menu has.
        const QList<QAction*> items = f.window->findChild<QMenu*>(QStringLiteral("mnuReports"))->actions();
        const auto key = [](const QAction* a) {
            const qsizetype amp = a->text().indexOf(u'&');
            return amp >= 0 ? a->text().at(amp + 1).toLower() : QChar();
        };
        qsizetype at = -1;
        for (qsizetype i = 0; i < items.size(); ++i)
            if (items[i]->objectName() == u"mnuRptStats") at = i;
        QVERIFY(at > 0);
        for (const QAction* other : items)
            if (other != items[at]) QVERIFY2(key(other) != key(items[at]), qPrintable(other->text()));
        QCOMPARE(items[at]->text(), QStringLiteral("Collection Stat&istics"));
        QCOMPARE(items[at - 1]->objectName(), QStringLiteral("mnuRptSold"));
        QVERIFY(items[at + 1]->isSeparator());
        QCOMPARE(items[at + 2]->objectName(), QStringLiteral("mnuRptCustom"));
        QCOMPARE(HelpContextOf(items[at]), 210);

        frmStats* w = OpenFromMenu(f);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Collection Statistics"));
        QCOMPARE(HelpContextOf(w), 210);
        const StatsSummary s = LoadSummary(*gDb);
        QCOMPARE(w->findChild<QLabel*>("lblHeldStamps")->text(), QLocale().toString(s.heldStamps));
        QCOMPARE(w->findChild<QLabel*>("lblHeldValue")->text(), FormatCurrency(s.heldValue));
        QCOMPARE(w->findChild<QLabel*>("lblSoldProfit")->text(), FormatCurrency(s.soldProfit));
        QCOMPARE(w->findChild<QLabel*>("lblWantCost")->text(), FormatCurrency(s.wantCost));

        // The country chart first; the keyboard goes down the list to the decades.
        QCOMPARE(w->CurrentChart(), ChartKind::StampsByCountry);
        auto* list = w->findChild<QListWidget*>("lstCharts");
        list->setFocus();
        for (int i = 0; i < int(ChartKind::StampsByDecade); ++i) QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(w->CurrentChart(), ChartKind::StampsByDecade);
        QCOMPARE(w->View()->chart()->title(), QStringLiteral("Stamps by decade of issue"));
        auto* axis = qobject_cast<QBarCategoryAxis*>(w->View()->chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(axis);
        QStringList labels;
        for (const ChartBar& bar : w->Chart().bars) labels << bar.label;
        QCOMPARE(axis->categories(), labels);
        QCOMPARE(labels.first(), QStringLiteral("1840s"));
        QCOMPARE(w->findChild<QLabel*>("lblNote")->text(), w->Chart().note);
        // Eighty years of purchases: only round years are named on the axis.
        list->setCurrentRow(int(ChartKind::PurchasesAndSales));
        auto* years = qobject_cast<QCategoryAxis*>(w->View()->chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(years && w->Chart().bars.size() > 30);
        QVERIFY(!years->categoriesLabels().isEmpty());
        for (const QString& year : years->categoriesLabels()) QCOMPARE(year.toInt() % 5, 0);

        // The menu again brings the same window forward.
        QCOMPARE(OpenFromMenu(f), w);
        QCOMPARE(f.prompts.messages.size(), size_t(0));
    }

    // Hovering a bar shows its figures; clicking a country bar names the country.
    void hoverAndClick_data()
    {
        QTest::addColumn<bool>("none");
        QTest::newRow("the largest country") << false;
        QTest::newRow("stamps without a country") << true;
    }
    void hoverAndClick()
    {
        QFETCH(bool, none);
        MainWindowFixture f(400);
        frmStats* w = OpenFromMenu(f);
        const int bar = none ? int(w->Chart().bars.size()) - 1 : 0;
        QCOMPARE(w->Chart().bars[size_t(bar)].kind == ChartBar::Kind::None, none);
        QSignalSpy chosen(w, &frmStats::CountryChosen);
        const QPoint centre = BarCentre(w, bar);
        QTest::mouseMove(w->View()->viewport(), centre);
        QTRY_COMPARE(QToolTip::text(), w->Chart().BarText(bar));
        QTest::mouseClick(w->View()->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(chosen.size(), 1);
        const QVariant key = chosen.first().first().value<QVariant>();
        QCOMPARE(key.isNull(), none);
        if (!none) QCOMPARE(key.toLongLong(), w->Chart().bars[0].code);
    }

    void saveChart_data()
    {
        QTest::addColumn<QString>("typed");     // the name given in the Save dialog; empty: Cancel
        QTest::addColumn<QString>("existing");  // a file already there under that name
        QTest::addColumn<bool>("replace");      // the answer to "File Exists"
        QTest::addColumn<QString>("written");   // the file that must hold the chart, or empty
        QTest::addColumn<QString>("message");
        QTest::newRow("PNG") << "chart.png" << QString() << true << "chart.png" << QString();
        QTest::newRow("SVG") << "chart.SVG" << QString() << true << "chart.SVG" << QString();
        QTest::newRow("no ending: PNG") << "chart" << QString() << true << "chart.png" << QString();
        QTest::newRow("replaced") << "old.png"
                                  << "old" << true << "old.png"
                                  << "The file '%1/old.png' already exists.  Do you wish to replace it?";
        QTest::newRow("kept") << "old.svg"
                              << "old" << false << QString()
                              << "The file '%1/old.svg' already exists.  Do you wish to replace it?";
        QTest::newRow("another picture format") << "chart.jpg" << QString() << true << QString()
                                                << "A chart is saved as a PNG or an SVG picture: please give a file "
                                                   "name ending in .png or .svg.";
        QTest::newRow("Cancel") << QString() << QString() << true << QString() << QString();
    }
    void saveChart()
    {
        QFETCH(QString, typed);
        QFETCH(QString, existing);
        QFETCH(bool, replace);
        QFETCH(QString, written);
        QFETCH(QString, message);
        MainWindowFixture f(200);
        frmStats* w = OpenFromMenu(f);
        const QString dir = f.cat.Dir();
        if (!existing.isEmpty()) {
            QFile old(dir + u'/' + typed);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(existing.toUtf8());
        }
        f.prompts.saveFiles.push_back(typed.isEmpty() ? std::nullopt : std::optional(dir + u'/' + typed));
        f.prompts.answers.push_back(replace ? MsgAnswer::Yes : MsgAnswer::No);
        QTest::mouseClick(w->findChild<QPushButton*>("cmdSave"), Qt::LeftButton);

        QCOMPARE(f.prompts.saveRequests.size(), size_t(1));
        QCOMPARE(f.prompts.saveRequests[0].defaultName, QStringLiteral("Stamps by country.png"));
        QCOMPARE(f.prompts.LastText(), message.contains(u'%') ? message.arg(dir) : message);
        if (!existing.isEmpty() && !replace) QCOMPARE(Bytes(dir + u'/' + typed), existing.toUtf8());
        if (written.isEmpty()) {
            QCOMPARE(QDir(dir).entryList({"chart*"}).size(), 0);
            return;
        }
        const QString path = dir + u'/' + written;
        if (written.endsWith(u"png")) {
            const QImage picture(path, "PNG");
            QVERIFY(!picture.isNull());
            QCOMPARE(picture.size(), w->View()->size());
        } else {
            QVERIFY(Bytes(path).startsWith("<?xml"));
            QSvgRenderer drawing(path);
            QVERIFY(drawing.isValid());
            QCOMPARE(drawing.viewBoxF().size(), w->View()->chart()->size());
        }
    }

    void copyToTheClipboard()
    {
        MainWindowFixture f(50);
        frmStats* w = OpenFromMenu(f);
        QApplication::clipboard()->clear();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::mouseClick(w->findChild<QPushButton*>("cmdCopy"), Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->image().size(), w->View()->size());
    }

    // An empty catalogue: zeros, an empty chart and its note, no message.
    void emptyCatalogue()
    {
        MainWindowFixture f(0);
        frmStats* w = OpenFromMenu(f);
        for (const char* count : {"lblHeldStamps", "lblHeldCopies", "lblCountries", "lblSoldStamps", "lblWantStamps"})
            QCOMPARE(w->findChild<QLabel*>(count)->text(), QStringLiteral("0"));
        for (const char* money : {"lblHeldPaid", "lblHeldValue", "lblHeldGain", "lblSoldSales", "lblWantCost"})
            QCOMPARE(w->findChild<QLabel*>(money)->text(), QStringLiteral("$0.00"));
        QVERIFY(w->findChild<QLabel*>("lblSummaryNote")->isHidden());
        for (int chart = 0; chart < kChartCount; ++chart) {
            w->findChild<QListWidget*>("lstCharts")->setCurrentRow(chart);
            QCOMPARE(w->View()->chart()->series().size(), 0);
            QVERIFY(!w->findChild<QLabel*>("lblNote")->text().isEmpty());
        }
        QCOMPARE(f.prompts.messages.size(), size_t(0));
    }

    void followsTheDesktopPalette_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<int>("theme");
        QTest::newRow("light") << QColor(Qt::white) << QColor(Qt::black) << int(QChart::ChartThemeLight);
        QTest::newRow("dark") << QColor(0x20, 0x20, 0x20) << QColor(Qt::white) << int(QChart::ChartThemeDark);
    }
    void followsTheDesktopPalette()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        QFETCH(int, theme);
        MainWindowFixture f(50);
        frmStats* w = OpenFromMenu(f);
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Base, window);
        palette.setColor(QPalette::Text, text);
        w->setPalette(palette);
        QChart* chart = w->View()->chart();
        QCOMPARE(int(chart->theme()), theme);
        QCOMPARE(chart->backgroundBrush().color(), window);
        QCOMPARE(chart->axes().value(0)->labelsColor(), text);
    }

    void escapeCloses()
    {
        MainWindowFixture f(10);
        QPointer<frmStats> w = OpenFromMenu(f);
        QTest::keyClick(w.data(), Qt::Key_Escape);
        QTRY_VERIFY(w.isNull());
        QCOMPARE(frmStats::Instance(), nullptr);
    }
};

QTEST_MAIN(TestFrmStats)
#include "tst_frmstats.moc"
