#include "dates/SpinButton.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);  // held down, it keeps stepping
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setMinimumSize(18, 10);
    return button;
}

}  // namespace

SpinButton::SpinButton(QWidget* parent) : QWidget(parent)
{
    mUp = MakeArrow(this, Qt::UpArrow, QStringLiteral("SpinUpButton"));
    mDown = MakeArrow(this, Qt::DownArrow, QStringLiteral("SpinDownButton"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mUp);
    layout->addWidget(mDown);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    connect(mUp, &QToolButton::clicked, this, &SpinButton::SpinUp);
    connect(mDown, &QToolButton::clicked, this, &SpinButton::SpinDown);
}
