#include "dates/DateBox.h"

#include <QLineEdit>

DateBox::DateBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumContentsLength(10);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // A date is at most a few characters; a limit keeps pasted junk out.
    lineEdit()->setMaxLength(30);
}

void DateBox::showPopup() { Q_EMIT DropDown(); }
