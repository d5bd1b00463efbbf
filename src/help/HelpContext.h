#pragma once

// Every window and most controls carry a help context number as a Qt property;
// F1 opens the topic of the focused control, else of its window.

#include <QObject>
#include <QVariant>

inline constexpr char kHelpContextProperty[] = "helpContext";

inline void SetHelpContext(QObject* object, int context) { object->setProperty(kHelpContextProperty, context); }

inline int HelpContextOf(const QObject* object)
{
    const QVariant value = object ? object->property(kHelpContextProperty) : QVariant();
    return value.isValid() ? value.toInt() : 0;
}
