#include "components/fliplabel.h"

#include <QPainter>
#include <algorithm>

namespace mirvo {

TFlipLabel::TFlipLabel(QWidget* parent)
    : TMirvoLabel(parent)
{
    SetTransparent(true);
    FFrameTimer.setInterval(kFrameIntervalMs);
    connect(&FFrameTimer, &QTimer::timeout, this, &TFlipLabel::NextFrame);
}

void TFlipLabel::SetFlippedColor(TColor color)
{
    if (color != FFlippedColor) {
        FFlippedColor = color;
        update();
    }
}

void TFlipLabel::SetFlipped(bool flipped)
{
    if (flipped != FFlipped) {
        FFlipped = flipped;
        update();
    }
}

int TFlipLabel::FrameCount() const
{
    return FStep > 0 ? FStep : height() / 2 + 1;
}

void TFlipLabel::Flip()
{
    if (Flipping()) {
        return;
    }
    FFlipFrame = 0;
    FFrameTimer.start();
    update();
}

void TFlipLabel::NextFrame()
{
    ++FFlipFrame;
    if (FFlipFrame >= FrameCount()) {
        FFrameTimer.stop();
        FFlipFrame = -1;
        FFlipped = !FFlipped;
    }
    update();
}

void TFlipLabel::Click()
{
    if (FFlipOnClick) {
        Flip();
    }
    TMirvoLabel::Click();
}

TColor TFlipLabel::RestingColor() const
{
    if (!isEnabled()) {
        return clGrayText;
    }
    return FFlipped ? FFlippedColor : GetFontColor();
}

unsigned TFlipLabel::Flags() const
{
    unsigned flags = AlignmentFlag(GetAlignment()) | tfWordBreak | tfExpandTabs;
    if (!GetShowAccelChar()) {
        flags |= tfNoPrefix;
    }
    return flags;
}

void TFlipLabel::Paint(QPainter& canvas)
{
    FillBackground(canvas);
    const QString text = ShownCaption();
    if (!Flipping()) {
        DrawLabelText(canvas, rect(), Flags(), RestingColor(), text);
        return;
    }
    // Folding: the caption is squeezed towards the middle line by i * Height / steps
    // from each side, then opened again from (steps - i) * Height / steps.
    const int steps = FrameCount();
    const bool firstHalf = 2 * FFlipFrame < steps;
    const int inset = (firstHalf ? FFlipFrame : steps - FFlipFrame) * height() / steps;
    const int shown = std::max(height() - 2 * inset, 0);
    if (shown == 0 || height() == 0) {
        return;
    }
    const TColor oldColor = FFlipped ? FFlippedColor : GetFontColor();
    const TColor newColor = FFlipped ? GetFontColor() : FFlippedColor;
    canvas.save();
    canvas.translate(0, inset);
    canvas.scale(1.0, static_cast<qreal>(shown) / height());
    DrawLabelText(canvas, rect(), Flags(), firstHalf ? oldColor : newColor, text);
    canvas.restore();
}

} // namespace mirvo
