#include "components/activelabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace mirvo {

TActiveLabel::TActiveLabel(QWidget* parent)
    : TMirvoLabel(parent)
{
    SetTransparent(true);
}

void TActiveLabel::SetActive(bool active)
{
    if (active != FActive) {
        FActive = active;
        update();
    }
}

void TActiveLabel::SetStep(int step)
{
    if (step >= 0) {
        FStep = step;
    }
}

void TActiveLabel::SetStyle(TActiveLabelStyle style)
{
    if (style != FStyle) {
        FStyle = style;
        update();
    }
}

void TActiveLabel::SetTimer(QTimer* timer)
{
    if (timer == FTimer) {
        return;
    }
    disconnect(FTickConnection);
    FTimer = timer;
    if (timer) {
        FTickConnection = connect(timer, &QTimer::timeout, this, &TActiveLabel::Tick);
    }
}

bool TActiveLabel::Sideways() const
{
    return FStyle == alsRightToLeft || FStyle == alsLeftToRight;
}

int TActiveLabel::FrameCount() const
{
    const int steps = FStep > 0 ? FStep : (Sideways() ? width() : height()) / 2;
    // A label narrower than two pixels still has one frame, never a division by zero.
    return std::max(steps, 1);
}

void TActiveLabel::Tick()
{
    if (!isVisible()) {
        return;
    }
    if (FActive) {
        // A pass runs from the last frame down to frame 0.
        FFrame = FFrame > 0 ? FFrame - 1 : FrameCount() - 1;
        if (FFrame == 0 && !FRepeatAction) {
            FActive = false;
        }
    }
    update();
}

void TActiveLabel::Paint(QPainter& canvas)
{
    FillBackground(canvas);
    const QString text = ShownCaption();
    if (text.isEmpty()) {
        return;
    }
    const unsigned flags = StandardFlags();
    const int steps = FrameCount();
    const int frame = std::min(FFrame, steps - 1);
    if (!Sideways()) {
        const int shift = frame * height() / steps;
        const int dy = FStyle == alsBottomToTop ? shift : -shift;
        DrawLabelText(canvas, rect().translated(0, dy), flags, GetFontColor(), text);
        return;
    }
    const QFontMetrics metrics(font());
    const int textWidth = std::max(metrics.horizontalAdvance(text), 1);
    const int shift = frame * textWidth / steps;
    const int dx = FStyle == alsRightToLeft ? shift : -shift;
    if (!FActive) {
        DrawLabelText(canvas, rect().translated(dx, 0), flags, GetFontColor(), text);
        return;
    }
    // Copies side by side, from one caption-width left of the first to past the right edge.
    const unsigned leftFlags = flags & ~(tfRight | tfCenter);
    for (int x = dx - textWidth; x < width(); x += textWidth) {
        DrawLabelText(canvas, QRect(x, 0, textWidth, height()), leftFlags, GetFontColor(), text);
    }
}

} // namespace mirvo
