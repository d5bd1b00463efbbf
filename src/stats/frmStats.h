#pragma once

// The statistics window: a summary of the collection beside one chart, chosen
// from a list. Hovering a bar shows its figures; a chart is saved as a PNG or SVG
// picture or copied to the clipboard. The figures are read when the window opens
// and again on Refresh; each chart is read afresh when it is chosen.

#include "stats/CollectionStats.h"

#include <QVariant>
#include <QWidget>

#include <map>

class QChart;
class QChartView;
class QLabel;
class QListWidget;
class QPushButton;

// Opens the statistics window, or brings the open one to the front with its
// figures read again. Modeless.
void OpenCollectionStats();

class frmStats : public QWidget {
    Q_OBJECT
public:
    explicit frmStats(QWidget* parent = nullptr);
    ~frmStats() override;

    // The open window, or null.
    static frmStats* Instance();

    // Reads the summary and the chart shown again.
    void cmdRefresh_Click();
    void cmdSave_Click();
    void cmdCopy_Click();

    ChartKind CurrentChart() const { return mChart.kind; }
    const ChartData& Chart() const { return mChart; }
    const StatsSummary& Summary() const { return mSummary; }
    QChartView* View() const { return chtStats; }
    // The index into Chart().bars of the bar drawn at a position of the chart's
    // category axis.
    int BarAt(int axisIndex) const;

Q_SIGNALS:
    // A bar of a chart by country was clicked: the country's key, or a null
    // QVariant for the stamps without a country. Nothing is sent for "Other".
    void CountryChosen(const QVariant& couId);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void lstCharts_Change(int row);
    void LoadFigures();
    void ShowSummary();
    void ShowChart();
    void ApplyPalette(QChart* chart) const;
    void Bar_Hovered(bool on, int axisIndex);
    void Bar_Clicked(int axisIndex);

    QListWidget* lstCharts = nullptr;
    QChartView* chtStats = nullptr;
    QLabel* lblNote = nullptr;
    QLabel* lblSummaryNote = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdClose = nullptr;
    std::map<QString, QLabel*> mFigures;  // the summary's value labels by object name

    StatsSummary mSummary;
    ChartData mChart;
};
