#pragma once

// A spin button: two small arrow buttons, one above the other. It holds no value;
// its owner decides what a step up or down means.

#include <QWidget>

class QToolButton;

class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return mUp; }
    QToolButton* DownButton() const { return mDown; }

Q_SIGNALS:
    void SpinUp();
    void SpinDown();

private:
    QToolButton* mUp;
    QToolButton* mDown;
};
