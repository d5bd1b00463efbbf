#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the program's picture, its name and its version. Modeless.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* Picture1;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* cmdOk;
};

// Shows the about box beside the other windows, or brings the open one to the front.
void ShowAbout();
