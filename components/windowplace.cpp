#include "components/windowplace.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace mirvo {

namespace {

// Room left for a window's frame whose size is not known yet.
const QSize kFrameAllowance(16, 40);

// The frame's top left corner moved into `area` as far as its size allows.
QPoint Inside(const QRect& frame, const QRect& area)
{
    return {std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
            std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()))};
}

// Moves the window so that its frame's top left corner is at `frameTopLeft`.
void MoveFrameTo(QWidget& window, const QPoint& frameTopLeft)
{
    window.move(window.pos() + (frameTopLeft - window.frameGeometry().topLeft()));
}

} // namespace

void PlaceBeside(QWidget& window, const QWidget& anchor)
{
    const QScreen* screen = anchor.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect by = anchor.frameGeometry();
    QRect frame = window.frameGeometry();
    const int roomRight = area.right() - by.right();
    const int roomLeft = by.left() - area.left();
    if (roomRight >= frame.width() || roomRight >= roomLeft)
        frame.moveLeft(by.right() + 1);
    else
        frame.moveRight(by.left() - 1);
    frame.moveTop(by.top());
    MoveFrameTo(window, Inside(frame, area));
}

void KeepOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    // The frame's own edges (title bar, borders) take their part of the
    // area; before the window is first shown they are not known yet.
    QSize edges = frame.size() - window.size();
    if (!window.isVisible() && edges.isNull())
        edges = kFrameAllowance;
    const QSize most(std::max(1, area.width() - edges.width()), std::max(1, area.height() - edges.height()));
    if (window.width() > most.width() || window.height() > most.height())
        window.resize(std::min(window.width(), most.width()), std::min(window.height(), most.height()));
    MoveFrameTo(window, Inside(window.frameGeometry(), area));
}

} // namespace mirvo
