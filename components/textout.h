// Text output shared by the gradient box and the labels: one call draws or
// measures a whole (possibly multi-line) text in a rectangle, left/top based,
// the way the layouts' labels expect.
#pragma once

#include <QRect>
#include <QString>

class QFont;
class QPainter;

namespace mirvo {

enum TAlignment : int { taLeftJustify = 0, taRightJustify, taCenter };
enum TTextLayout : int { tlTop = 0, tlCenter, tlBottom };

// Flags for DrawTextIn and CalcTextRect, combined with |.
enum TTextFlag : unsigned {
    tfLeft = 0,
    tfRight = 1u << 0,
    tfCenter = 1u << 1,
    tfWordBreak = 1u << 2,   // wrap at the rectangle's width
    tfExpandTabs = 1u << 3,
    tfNoPrefix = 1u << 4,    // "&" is shown as it is, not as an underline of the next letter
    tfExternalLeading = 1u << 5,
};

// The horizontal flag of an alignment.
unsigned AlignmentFlag(TAlignment alignment);

// Draws `text` into `rect` (logical pixels) with the painter's font and pen.
// Explicit line breaks always start a new line; the text is not clipped to
// the rectangle (the widget's bounds clip it).
void DrawTextIn(QPainter& painter, const QRect& rect, unsigned flags, const QString& text);

// The rectangle the text needs: same top-left as `rect`, as wide as its
// widest line and as high as its lines (with word breaks at rect's width).
QRect CalcTextRect(const QFont& font, const QRect& rect, unsigned flags, const QString& text);

// Vertical offset, pixels, that places text of height `measuredBottom` in a
// box of `height` by layout: 0 for top, (height - measured) / 2 truncated
// toward zero for centre, height - measured for bottom (negative when the
// text is taller than the box).
int LayoutOffset(TTextLayout layout, int height, int measuredBottom);

} // namespace mirvo
