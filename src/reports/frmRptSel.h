#pragma once

// The category reports' selection dialog: every entry of the code table, or
// one chosen from the list. Closing it in any way but a valid OK leaves
// gRptCancel true; OK sets gRptSelID (-1 for every entry).

#include <QDialog>

class QListWidget;
class QPushButton;
class QRadioButton;

class frmRptSel : public QDialog {
    Q_OBJECT
public:
    explicit frmRptSel(QWidget* parent = nullptr);

private Q_SLOTS:
    void optAll_Click();
    void optSelected_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    void Form_Load();

    QRadioButton* optAll;
    QRadioButton* optSelected;
    QListWidget* List1;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
};
