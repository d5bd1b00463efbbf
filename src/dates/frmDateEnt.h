#pragma once

// The calendar picker behind every date box: one month as a grid of days, stepped
// by month and by year with two spin buttons. It starts on gPickDate and writes
// gPickDate only when a day is picked.

#include <QDate>
#include <QDialog>
#include <QMargins>
#include <QStringList>

#include <optional>

#include "db/Prompts.h"

class QLineEdit;
class QTableWidget;
class SpinButton;

class frmDateEnt : public QDialog {
    Q_OBJECT
public:
    // Loads the picker on gPickDate (today when it holds no date the picker can show).
    explicit frmDateEnt(QWidget* parent = nullptr);

    // The caller's caption and the place beside its date box.
    void Place(const PickRequest& request);

    void ShowMonth();

    QDate ShownDate() const { return mDate; }
    int ShownMonth() const { return mMonth; }
    int ShownYear() const { return mYear; }
    const QStringList& MonthNames() const { return mMonthNames; }

    void Spin1_SpinUp();
    void Spin1_SpinDown();
    void Spin2_SpinUp();
    void Spin2_SpinDown();
    // A click on the grid: picks the day in the cell, if it holds one.
    void Grid1_Click(int row, int column);

    // The years the picker shows. Two-digit years would come back from the date
    // parser in the wrong century.
    static constexpr int kMinYear = 100;
    static constexpr int kMaxYear = 9999;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    // The window frame around the picker: its own once shown, else that of the
    // window it opens over.
    QMargins FrameMargins() const;
    void PlaceFrame();
    void SpinTo(int month, int year);
    void MoveDay(qint64 days);
    bool Grid1_KeyPress(int key);
    void SelectShownDay();

    QDate mDate;
    int mMonth = 0;
    int mYear = 0;
    QStringList mMonthNames;
    int mSelectedRow = -1;
    int mSelectedColumn = -1;
    std::optional<PickRequest> mPlace;
    QMargins mPlacedWith;

    QLineEdit* txtMonth;
    SpinButton* Spin1;
    QLineEdit* txtYear;
    SpinButton* Spin2;
    QTableWidget* Grid1;
};

// Shows the picker modally with the request's caption, beside the request's date
// box. Reads gPickDate, and writes it only when a day is picked.
void ShowDatePicker(const PickRequest& request);
