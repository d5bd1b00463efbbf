#include "dates/PickerPlacement.h"

#include <algorithm>

QRect PlacePicker(const QRect& anchor, PickRequest::Align align, const QSize& size, const QRect& screen)
{
    QRect placed(QPoint(0, 0), size);
    if (anchor.isEmpty()) {
        placed.moveCenter(screen.center());
    } else {
        const int boxHeight = anchor.height();
        switch (align) {
            case PickRequest::Align::RightEdges:
                placed.moveTopRight(QPoint(anchor.right(), anchor.bottom() + 1));
                break;
            case PickRequest::Align::LeftBelow:
                placed.moveTopLeft(QPoint(anchor.left(), anchor.bottom() + 1));
                break;
            case PickRequest::Align::StartDate:
                placed.moveTopRight(QPoint(anchor.right(), anchor.top() + 2 * boxHeight));
                break;
            case PickRequest::Align::EndDate:
                placed.moveBottomRight(QPoint(anchor.right(), anchor.top() + 3 * boxHeight - 1));
                break;
        }
    }
    if (screen.isEmpty()) return placed;
    // Kept on screen; a picker larger than the screen shows its top left corner.
    const int x = std::max(screen.left(), std::min(placed.left(), screen.right() + 1 - placed.width()));
    const int y = std::max(screen.top(), std::min(placed.top(), screen.bottom() + 1 - placed.height()));
    placed.moveTopLeft(QPoint(x, y));
    return placed;
}
