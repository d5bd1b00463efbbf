#pragma once

#include "db/Prompts.h"

#include <QRect>
#include <QSize>

// Where the calendar picker of the given size goes beside the date box (anchor,
// global coordinates) by the caller's alignment, moved as little as needed to lie
// wholly inside the screen's available area. An empty anchor centres it there.
QRect PlacePicker(const QRect& anchor, PickRequest::Align align, const QSize& size, const QRect& screen);
