// Where a window opens: beside another one, never over it, and always
// within the screen's work area.
#pragma once

class QWidget;

namespace mirvo {

// Moves `window` (shown, so that its frame is known) beside `anchor`: to
// the right of it, or to the left when there is no room on the right, top
// edges level; if neither side has room, the side with more room, kept
// within the work area of the anchor's screen, shrunk to that area when it
// is larger. A window shown before the window manager has drawn its frame
// is placed as if its frame were as wide as the anchor's.
void PlaceBeside(QWidget& window, const QWidget& anchor);

// Shrinks `window` to the work area of its screen when it is larger, and
// moves it inside that area.
void KeepOnScreen(QWidget& window);

} // namespace mirvo
