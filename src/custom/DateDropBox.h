#pragma once

#include <QComboBox>

// A date box: an editable text whose drop-down opens the calendar picker instead
// of a list.
class DateDropBox : public QComboBox {
    Q_OBJECT
public:
    explicit DateDropBox(QWidget* parent = nullptr);
    void showPopup() override;

Q_SIGNALS:
    void dropDown();
};
