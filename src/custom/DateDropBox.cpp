#include "custom/DateDropBox.h"

DateDropBox::DateDropBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // Return must not turn the typed date into a list entry.
    setInsertPolicy(QComboBox::NoInsert);
}

void DateDropBox::showPopup()
{
    Q_EMIT dropDown();
}
