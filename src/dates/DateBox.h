#pragma once

// A date box: an editable text with a drop-down button. The drop-down opens the
// calendar picker instead of a list.

#include <QComboBox>

class DateBox : public QComboBox {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    QString Text() const { return currentText(); }
    void SetText(const QString& text) { setEditText(text); }

    void showPopup() override;

Q_SIGNALS:
    void DropDown();
};
