#include "components/textout.h"

#include <QFontMetrics>
#include <QPainter>

namespace mirvo {

namespace {

// Qt's own text flags for ours. External leading needs nothing: Qt always
// spaces lines by the font's line spacing, leading included.
int QtFlags(unsigned flags)
{
    int qt = Qt::AlignTop;
    if (flags & tfRight) {
        qt |= Qt::AlignRight;
    } else if (flags & tfCenter) {
        qt |= Qt::AlignHCenter;
    } else {
        qt |= Qt::AlignLeft;
    }
    if (flags & tfWordBreak) {
        qt |= Qt::TextWordWrap;
    }
    if (flags & tfExpandTabs) {
        qt |= Qt::TextExpandTabs;
    }
    if (!(flags & tfNoPrefix)) {
        qt |= Qt::TextShowMnemonic;
    }
    return qt;
}

} // namespace

unsigned AlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return tfRight;
    case taCenter:
        return tfCenter;
    case taLeftJustify:
        break;
    }
    return tfLeft;
}

void DrawTextIn(QPainter& painter, const QRect& rect, unsigned flags, const QString& text)
{
    if (text.isEmpty()) {
        return;
    }
    painter.drawText(rect, QtFlags(flags) | Qt::TextDontClip, text);
}

QRect CalcTextRect(const QFont& font, const QRect& rect, unsigned flags, const QString& text)
{
    const QFontMetrics metrics(font);
    const QRect bounds = metrics.boundingRect(rect, QtFlags(flags) & ~(Qt::AlignRight | Qt::AlignHCenter), text);
    return QRect(rect.topLeft(), bounds.size());
}

int LayoutOffset(TTextLayout layout, int height, int measuredBottom)
{
    switch (layout) {
    case tlCenter:
        return (height - measuredBottom) / 2;
    case tlBottom:
        return height - measuredBottom;
    case tlTop:
        break;
    }
    return 0;
}

} // namespace mirvo
