#include "components/windowplace.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace mirvo {

namespace {

// Room left for a window's frame whose size is not known yet.
const QSize kFrameAllowance(16, 40);

// The edges of a window's frame (title bar, borders) around its client area;
// all zero while the window system has not told them.
QMargins FrameEdges(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// The frame's top left corner moved into `area` as far as its size allows.
QPoint Inside(const QRect& frame, const QRect& area)
{
    return {std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
            std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()))};
}

// Moves the window so that its frame's top left corner is at `frameTopLeft`.
// A window that is shown but whose frame the window manager has not drawn
// yet is placed by its client area: the frame is expected to be `edges`
// wide (another window's), so that the title bar still lands on the screen.
void MoveFrameTo(QWidget& window, const QPoint& frameTopLeft, const QMargins& edges)
{
    if (window.testAttribute(Qt::WA_WState_Created) && FrameEdges(window).isNull())
        window.move(frameTopLeft + QPoint(edges.left(), edges.top()));
    else
        window.move(window.pos() + (frameTopLeft - window.frameGeometry().topLeft()));
}

// Where the window's frame is or will be, `edges` wide when not known: a
// window not made yet is placed by its frame, a shown one by its client area.
QRect FrameRect(const QWidget& window, const QMargins& edges)
{
    if (!FrameEdges(window).isNull())
        return window.frameGeometry();
    if (!window.testAttribute(Qt::WA_WState_Created))
        return {window.pos(), window.size().grownBy(edges)};
    return window.geometry().marginsAdded(edges);
}

// The frame the window has or will have: its own edges when known, else
// those of `like`.
QMargins ExpectedEdges(const QWidget& window, const QWidget& like)
{
    const QMargins own = FrameEdges(window);
    return own.isNull() ? FrameEdges(like) : own;
}

} // namespace

void PlaceBeside(QWidget& window, const QWidget& anchor)
{
    const QScreen* screen = anchor.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect by = anchor.frameGeometry();
    const QMargins edges = ExpectedEdges(window, anchor);
    // A window taller or wider than the area is made to fit first.
    const QSize most(std::max(1, area.width() - edges.left() - edges.right()),
                     std::max(1, area.height() - edges.top() - edges.bottom()));
    if (window.width() > most.width() || window.height() > most.height())
        window.resize(std::min(window.width(), most.width()), std::min(window.height(), most.height()));
    QRect frame = FrameRect(window, edges);
    const int roomRight = area.right() - by.right();
    const int roomLeft = by.left() - area.left();
    if (roomRight >= frame.width() || roomRight >= roomLeft)
        frame.moveLeft(by.right() + 1);
    else
        frame.moveRight(by.left() - 1);
    frame.moveTop(by.top());
    MoveFrameTo(window, Inside(frame, area), edges);
}

void KeepOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame's own edges (title bar, borders) take their part of the
    // area; before the window is first shown they are not known yet.
    QMargins edges = FrameEdges(window);
    if (!window.isVisible() && edges.isNull())
        edges = QMargins(kFrameAllowance.width() / 2, kFrameAllowance.height() - kFrameAllowance.width() / 2,
                         kFrameAllowance.width() / 2, kFrameAllowance.width() / 2);
    const QSize most(std::max(1, area.width() - edges.left() - edges.right()),
                     std::max(1, area.height() - edges.top() - edges.bottom()));
    if (window.width() > most.width() || window.height() > most.height())
        window.resize(std::min(window.width(), most.width()), std::min(window.height(), most.height()));
    MoveFrameTo(window, Inside(FrameRect(window, edges), area), edges);
}

} // namespace mirvo
