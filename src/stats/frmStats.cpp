#include "stats/frmStats.h"

#include "dates/LocaleFormats.h"
#include "db/Database.h"
#include "db/ErrorHandler.h"
#include "db/Globals.h"
#include "db/Prompts.h"
#include "help/HelpContext.h"
#include "reports/ReportFile.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

frmStats* sInstance = nullptr;

// More years or decades than this are named sparsely on their axis.
constexpr int kMaxNamedPeriods = 30;

const QString kPictureFilter = QStringLiteral("PNG Pictures (*.png)|*.png|SVG Pictures (*.svg)|*.svg");

// A step of 1, 2 or 5 times a power of ten that divides the range into about
// five parts.
double NiceStep(double range)
{
    if (range <= 0) return 1;
    const double rough = range / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power) return factor * power;
    return 10 * power;
}

bool IsDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

}  // namespace

void OpenCollectionStats()
{
    if (frmStats* open = frmStats::Instance()) {
        open->cmdRefresh_Click();
        open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    auto* window = new frmStats;
    window->show();
    window->raise();
    window->activateWindow();
}

frmStats::frmStats(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmStats"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Collection Statistics"));
    SetHelpContext(this, 210);
    BuildControls();
    sInstance = this;
    const bool busy = gDb != nullptr;
    if (busy) prompts().Busy(true);
    LoadFigures();
    if (busy) prompts().Busy(false);
}

frmStats::~frmStats()
{
    if (sInstance == this) sInstance = nullptr;
}

frmStats* frmStats::Instance()
{
    return sInstance;
}

void frmStats::BuildControls()
{
    resize(1080, 720);
    auto* summaryColumn = new QVBoxLayout;

    struct Row {
        const char* name;
        const char* caption;
    };
    const auto group = [this, summaryColumn](const QString& title, std::initializer_list<Row> rows) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        int r = 0;
        for (const Row& row : rows) {
            auto* value = new QLabel(box);
            value->setObjectName(QString::fromLatin1(row.name));
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(new QLabel(QString::fromLatin1(row.caption), box), r, 0);
            grid->addWidget(value, r, 1);
            mFigures[value->objectName()] = value;
            ++r;
        }
        grid->setColumnStretch(0, 1);
        summaryColumn->addWidget(box);
    };
    group(QStringLiteral("Stamps you hold"), {{"lblHeldStamps", "Stamps"},
                                              {"lblHeldCopies", "Copies"},
                                              {"lblCountries", "Countries"},
                                              {"lblHeldPaid", "Total paid"},
                                              {"lblHeldValue", "Catalogue value"},
                                              {"lblHeldGain", "Value minus cost"}});
    group(QStringLiteral("Stamps sold"), {{"lblSoldStamps", "Stamps"},
                                          {"lblSoldPaid", "Total paid"},
                                          {"lblSoldSales", "Total sales"},
                                          {"lblSoldProfit", "Sales minus cost"}});
    group(QStringLiteral("Want list"), {{"lblWantStamps", "Stamps"}, {"lblWantCost", "Would cost"}});

    lblSummaryNote = new QLabel(this);
    lblSummaryNote->setObjectName(QStringLiteral("lblSummaryNote"));
    lblSummaryNote->setWordWrap(true);
    summaryColumn->addWidget(lblSummaryNote);

    auto* listLabel = new QLabel(QStringLiteral("C&harts"), this);
    lstCharts = new QListWidget(this);
    lstCharts->setObjectName(QStringLiteral("lstCharts"));
    for (int i = 0; i < kChartCount; ++i) lstCharts->addItem(ChartTitle(static_cast<ChartKind>(i)));
    lstCharts->setCurrentRow(0);
    listLabel->setBuddy(lstCharts);
    summaryColumn->addWidget(listLabel);
    summaryColumn->addWidget(lstCharts, 1);

    chtStats = new QChartView(this);
    chtStats->setObjectName(QStringLiteral("chtStats"));
    chtStats->setRenderHint(QPainter::Antialiasing);
    // The chart is read with the mouse; the keyboard goes from the list to the buttons.
    chtStats->setFocusPolicy(Qt::NoFocus);
    chtStats->setMinimumSize(480, 360);

    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);

    cmdSave = new QPushButton(QStringLiteral("&Save Chart..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCopy = new QPushButton(QStringLiteral("&Copy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdRefresh = new QPushButton(QStringLiteral("&Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCopy);
    buttons->addStretch(1);
    buttons->addWidget(cmdRefresh);
    buttons->addWidget(cmdClose);

    auto* chartColumn = new QVBoxLayout;
    chartColumn->addWidget(chtStats, 1);
    chartColumn->addWidget(lblNote);
    chartColumn->addLayout(buttons);

    auto* left = new QWidget(this);
    left->setLayout(summaryColumn);
    summaryColumn->setContentsMargins(0, 0, 0, 0);
    // Wide enough for every chart's name in the list.
    left->setFixedWidth(std::max(300, lstCharts->sizeHintForColumn(0) + 2 * lstCharts->frameWidth() + 8));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(left, 0);
    layout->addLayout(chartColumn, 1);

    setTabOrder(lstCharts, cmdSave);
    setTabOrder(cmdSave, cmdCopy);
    setTabOrder(cmdCopy, cmdRefresh);
    setTabOrder(cmdRefresh, cmdClose);
    lstCharts->setFocus();

    connect(lstCharts, &QListWidget::currentRowChanged, this, &frmStats::lstCharts_Change);
    connect(cmdSave, &QPushButton::clicked, this, &frmStats::cmdSave_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmStats::cmdCopy_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmStats::cmdRefresh_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmStats::LoadFigures()
{
    mSummary = StatsSummary();
    Guard([this] {
        if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object variable not set."));
        mSummary = LoadSummary(*gDb);
    });
    ShowSummary();
    lstCharts_Change(lstCharts->currentRow());
}

void frmStats::ShowSummary()
{
    const QLocale locale;
    const auto set = [this](const char* name, const QString& text) {
        mFigures.at(QString::fromLatin1(name))->setText(text);
    };
    set("lblHeldStamps", locale.toString(mSummary.heldStamps));
    set("lblHeldCopies", locale.toString(mSummary.heldCopies));
    set("lblCountries", locale.toString(mSummary.countries));
    set("lblHeldPaid", FormatCurrency(mSummary.heldPaid));
    set("lblHeldValue", FormatCurrency(mSummary.heldValue));
    set("lblHeldGain", FormatCurrency(mSummary.heldGain));
    set("lblSoldStamps", locale.toString(mSummary.soldStamps));
    set("lblSoldPaid", FormatCurrency(mSummary.soldPaid));
    set("lblSoldSales", FormatCurrency(mSummary.soldSales));
    set("lblSoldProfit", FormatCurrency(mSummary.soldProfit));
    set("lblWantStamps", locale.toString(mSummary.wantStamps));
    set("lblWantCost", FormatCurrency(mSummary.wantCost));
    const QString note = SummaryNote(mSummary);
    lblSummaryNote->setText(note);
    lblSummaryNote->setVisible(!note.isEmpty());
}

void frmStats::lstCharts_Change(int row)
{
    if (row < 0 || row >= kChartCount) return;
    ChartData loaded;
    loaded.kind = static_cast<ChartKind>(row);
    Guard([&loaded] {
        if (!gDb) throw DbError(ErrNo::NoObject, QStringLiteral("Object variable not set."));
        loaded = LoadChart(*gDb, loaded.kind);
    });
    mChart = std::move(loaded);
    ShowChart();
}

int frmStats::BarAt(int axisIndex) const
{
    const int count = static_cast<int>(mChart.bars.size());
    if (axisIndex < 0 || axisIndex >= count) return -1;
    // Across, the first bar stands at the top: the last place of the axis.
    return mChart.Horizontal() ? count - 1 - axisIndex : axisIndex;
}

void frmStats::ShowChart()
{
    auto* chart = new QChart;
    chart->setTitle(ChartTitle(mChart.kind));
    chart->setAnimationOptions(QChart::NoAnimation);
    lblNote->setText(mChart.note);

    const QStringList names = mChart.SeriesNames();
    if (!mChart.bars.empty()) {
        QAbstractBarSeries* series = mChart.Horizontal() ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                                         : static_cast<QAbstractBarSeries*>(new QBarSeries);
        const int count = static_cast<int>(mChart.bars.size());
        QStringList categories;
        double low = 0;
        double high = 0;
        for (int s = 0; s < names.size(); ++s) {
            auto* set = new QBarSet(names.at(s));
            for (int i = 0; i < count; ++i) {
                const double value = mChart.Value(s, mChart.bars[static_cast<size_t>(BarAt(i))]);
                set->append(value);
                low = std::min(low, value);
                high = std::max(high, value);
            }
            connect(set, &QBarSet::hovered, this, &frmStats::Bar_Hovered);
            connect(set, &QBarSet::clicked, this, &frmStats::Bar_Clicked);
            series->append(set);
        }
        for (int i = 0; i < count; ++i) categories << mChart.bars[static_cast<size_t>(BarAt(i))].label;
        series->setBarWidth(count < 4 ? 0.5 : 0.85);
        chart->addSeries(series);

        QAbstractAxis* categoryAxis = nullptr;
        if (mChart.Horizontal() || count <= kMaxNamedPeriods) {
            auto* named = new QBarCategoryAxis;
            named->append(categories);
            // Many years or decades side by side: their labels stand upright.
            if (!mChart.Horizontal() && count > 12) named->setLabelsAngle(-90);
            categoryAxis = named;
        } else {
            // Too many years to name each: every fifth or tenth is named, at its bar.
            const int every = count > 4 * kMaxNamedPeriods ? 20 : count > 2 * kMaxNamedPeriods ? 10 : 5;
            auto* sparse = new QCategoryAxis;
            sparse->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
            sparse->setRange(-0.5, count - 0.5);
            for (int i = 0; i < count; ++i) {
                const ChartBar& bar = mChart.bars[static_cast<size_t>(i)];
                const int period = mChart.kind == ChartKind::StampsByDecade ? every * 10 : every;
                if (bar.kind != ChartBar::Kind::Period || bar.year % period == 0) sparse->append(bar.label, i);
            }
            sparse->setLabelsAngle(-90);
            categoryAxis = sparse;
        }
        auto* valueAxis = new QValueAxis;
        const double step =
            mChart.CountsMoney() ? NiceStep(high - low) : std::max(1.0, std::ceil(NiceStep(high - low)));
        // A step of room above the highest bar, below the lowest when it is negative.
        valueAxis->setRange(low < 0 ? (std::floor(low / step) - 1) * step : 0, (std::floor(high / step) + 1) * step);
        valueAxis->setTickType(QValueAxis::TicksDynamic);
        valueAxis->setTickAnchor(0);
        valueAxis->setTickInterval(step);
        valueAxis->setLabelFormat(step < 1 ? QStringLiteral("%.2f") : QStringLiteral("%.0f"));
        valueAxis->setTitleText(mChart.CountsMoney() ? QLocale().currencySymbol() : QStringLiteral("Stamps"));
        chart->addAxis(categoryAxis, mChart.Horizontal() ? Qt::AlignLeft : Qt::AlignBottom);
        chart->addAxis(valueAxis, mChart.Horizontal() ? Qt::AlignBottom : Qt::AlignLeft);
        series->attachAxis(categoryAxis);
        series->attachAxis(valueAxis);
    }
    chart->legend()->setVisible(names.size() > 1 && !mChart.bars.empty());
    chart->legend()->setAlignment(Qt::AlignBottom);
    ApplyPalette(chart);

    QChart* previous = chtStats->chart();
    chtStats->setChart(chart);
    // The view gives the previous chart back rather than deleting it.
    delete previous;
}

void frmStats::ApplyPalette(QChart* chart) const
{
    const QPalette& colours = palette();
    chart->setTheme(IsDark(colours) ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart->setBackgroundBrush(colours.brush(QPalette::Base));
    chart->setTitleBrush(colours.brush(QPalette::Text));
    chart->legend()->setLabelColor(colours.color(QPalette::Text));
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsColor(colours.color(QPalette::Text));
        axis->setTitleBrush(colours.brush(QPalette::Text));
    }
    chtStats->setBackgroundBrush(colours.brush(QPalette::Base));
}

void frmStats::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    const bool palette = event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
    if (palette && chtStats) ShowChart();
}

void frmStats::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmStats::Bar_Hovered(bool on, int axisIndex)
{
    if (on)
        QToolTip::showText(QCursor::pos(), mChart.BarText(BarAt(axisIndex)), chtStats);
    else
        QToolTip::hideText();
}

void frmStats::Bar_Clicked(int axisIndex)
{
    const bool byCountry = mChart.kind == ChartKind::StampsByCountry || mChart.kind == ChartKind::ValueByCountry ||
                           mChart.kind == ChartKind::ValueAgainstPaid;
    const int index = BarAt(axisIndex);
    if (!byCountry || index < 0) return;
    const ChartBar& bar = mChart.bars[static_cast<size_t>(index)];
    if (bar.kind == ChartBar::Kind::Code)
        Q_EMIT CountryChosen(QVariant(bar.code));
    else if (bar.kind == ChartBar::Kind::None)
        Q_EMIT CountryChosen(QVariant());
}

void frmStats::cmdRefresh_Click()
{
    prompts().Busy(true);
    LoadFigures();
    prompts().Busy(false);
}

void frmStats::cmdSave_Click()
{
    const auto chosen = prompts().SaveFile(
        ChartTitle(mChart.kind).replace(u',', u' ').simplified() + QStringLiteral(".png"), kPictureFilter);
    if (!chosen || chosen->isEmpty()) return;
    QString path = *chosen;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        path += QStringLiteral(".png");
        suffix = QStringLiteral("png");
    }
    if (suffix != u"png" && suffix != u"svg") {
        MsgBox(
            QStringLiteral("A chart is saved as a PNG or an SVG picture: please give a file name ending in .png or "
                           ".svg."));
        return;
    }
    ConfirmOverwrite(path);
    if (gRptCancel) return;

    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && suffix == u"png") {
        written = chtStats->grab().save(&file, "PNG");
    } else if (written) {
        QGraphicsScene* scene = chtStats->scene();
        const QRectF area = chtStats->chart()->geometry();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(area.size().toSize());
        // At the resolution web browsers take, the picture opens at its size on screen.
        svg.setResolution(96);
        svg.setViewBox(QRectF(QPointF(0, 0), area.size()));
        svg.setTitle(ChartTitle(mChart.kind));
        svg.setDescription(mChart.note);
        QPainter painter;
        written = painter.begin(&svg);
        if (written) {
            painter.fillRect(QRectF(QPointF(0, 0), area.size()), chtStats->backgroundBrush());
            scene->render(&painter, QRectF(QPointF(0, 0), area.size()), area);
            written = painter.end();
        }
    }
    if (written)
        written = file.commit();
    else
        file.cancelWriting();
    if (!written) MsgBox(QStringLiteral("The chart could not be saved as '%1': %2").arg(path, file.errorString()));
}

void frmStats::cmdCopy_Click()
{
    QApplication::clipboard()->setPixmap(chtStats->grab());
}
