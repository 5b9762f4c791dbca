#include "components/gradbox.h"

#include "components/fonts.h"
#include "components/textout.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace mirvo {

namespace {

constexpr int kLastIndex = TGradBox::kColorCount - 1;
constexpr int kChannelMax = 255;
constexpr TColor kDisabledHighlight = clWhite;
constexpr TColor kDisabledText = clGray;

// Running channel value truncated toward zero, kept inside 0 ... 255.
int Channel(long double value)
{
    return std::clamp(static_cast<int>(value), 0, kChannelMax);
}

} // namespace

TGradBox::TGradBox(QWidget* parent)
    : QWidget(parent)
{
    resize(kDefaultWidth, kDefaultHeight);
    FFontFace = font().family();
    AdoptWindowsFont(*this, FFontFace);
}

void TGradBox::SetCaption(const QString& caption)
{
    if (caption != FCaption) {
        FCaption = caption;
        update();
    }
}

void TGradBox::SetCaptionLeft(int left)
{
    if (left != FCaptionLeft) {
        FCaptionLeft = left;
        update();
    }
}

void TGradBox::SetCaptionTop(int top)
{
    if (top != FCaptionTop) {
        FCaptionTop = top;
        update();
    }
}

void TGradBox::SetTopColor(TColor color)
{
    if (color != FTopColor) {
        FTopColor = color;
        update();
    }
}

void TGradBox::SetLastColor(TColor color)
{
    if (color != FLastColor) {
        FLastColor = color;
        update();
    }
}

void TGradBox::SetGradStyle(TGradStyle style)
{
    if (style != FGradStyle) {
        FGradStyle = style;
        update();
    }
}

void TGradBox::SetOutLineColor(TColor color)
{
    if (color != FOutLineColor) {
        FOutLineColor = color;
        if (FDrawOutLine) {
            update();
        }
    }
}

void TGradBox::SetDrawOutLine(bool draw)
{
    if (draw != FDrawOutLine) {
        FDrawOutLine = draw;
        update();
    }
}

void TGradBox::SetFont3D(bool font3D)
{
    if (font3D != FFont3D) {
        FFont3D = font3D;
        update();
    }
}

void TGradBox::SetStyle3D(TFontStyle3D style)
{
    if (style != FStyle3D) {
        FStyle3D = style;
        update();
    }
}

void TGradBox::SetBackFont(TColor color)
{
    if (color != FBackFont) {
        FBackFont = color;
        if (FFont3D) {
            update();
        }
    }
}

void TGradBox::SetFontDepth(std::uint8_t depth)
{
    if (depth != FFontDepth) {
        FFontDepth = depth;
        if (FFont3D) {
            update();
        }
    }
}

void TGradBox::SetFontDepthValue(int depth)
{
    SetFontDepth(static_cast<std::uint8_t>(std::clamp(depth, 0, static_cast<int>(std::numeric_limits<std::uint8_t>::max()))));
}

void TGradBox::SetWindowsFont(const QString& face, int pixelSize, bool bold)
{
    FFontFace = face;
    setFont(WindowsFont(face, pixelSize, bold));
}

void TGradBox::SetFontColor(TColor color)
{
    if (color != FFontColor) {
        FFontColor = color;
        update();
    }
}

void TGradBox::GetRGB(TColor color, int& red, int& green, int& blue) const
{
    const TColor rgb = IsSystemColor(color) ? ColorToRGB(color, palette()) : color;
    red = RedOf(rgb);
    green = GreenOf(rgb);
    blue = BlueOf(rgb);
}

void TGradBox::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        AdoptWindowsFont(*this, FFontFace);
        update();
        break;
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

void TGradBox::SetColarray(TGradStyle style)
{
    TColor start = FTopColor;
    TColor end = FLastColor;
    switch (style) {
    case gsTopBottom:
    case gsLeftRight:
        break;
    case gsBottomTop:
    case gsRightLeft:
        std::swap(start, end);
        break;
    case gsNone:
        return;
    }
    int r1 = 0, g1 = 0, b1 = 0, r2 = 0, g2 = 0, b2 = 0;
    GetRGB(start, r1, g1, b1);
    GetRGB(end, r2, g2, b2);
    const long double dR = static_cast<long double>(r1 - r2) / kLastIndex;
    const long double dG = static_cast<long double>(g1 - g2) / kLastIndex;
    const long double dB = static_cast<long double>(b1 - b2) / kLastIndex;
    long double r = r1, g = g1, b = b1;
    FColarray[0] = start;
    for (int i = 1; i < kLastIndex; ++i) {
        // Each entry steps from the previous running value, not from the start.
        r -= dR;
        g -= dG;
        b -= dB;
        FColarray[i] = RGBColor(Channel(r), Channel(g), Channel(b));
    }
    FColarray[kLastIndex] = end;
}

void TGradBox::PaintBands(QPainter& canvas, bool horizontalBands) const
{
    const int extent = horizontalBands ? height() : width();
    const long double step = static_cast<long double>(extent) / kLastIndex;
    const int band = static_cast<int>(step + 1);
    // Bands 0 and 1 both start at 0; band i >= 1 starts at (i - 1) * step
    // truncated, so the last band, in the end colour, reaches the far edge.
    int start = 0;
    for (int i = 0; i < kColorCount; ++i) {
        const QRect r = horizontalBands ? QRect(0, start, width(), band) : QRect(start, 0, band, height());
        canvas.fillRect(r, ToQColor(FColarray[i], palette()));
        start = static_cast<int>(i * step);
    }
}

void TGradBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter canvas(this);
    SetColarray(FGradStyle);
    switch (FGradStyle) {
    case gsTopBottom:
    case gsBottomTop:
        PaintBands(canvas, true);
        break;
    case gsLeftRight:
    case gsRightLeft:
        PaintBands(canvas, false);
        break;
    case gsNone:
        break;
    }
    canvas.setFont(font());
    canvas.setBrush(Qt::NoBrush);
    if (FDrawOutLine) {
        // A one-pixel line on the box's outermost pixels, sharp at any pixel ratio.
        canvas.setPen(QPen(ToQColor(FOutLineColor, palette()), 1));
        canvas.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));
    }
    // The caption wraps at the box's own right edge, wherever the box sits in its parent.
    DrawCaptionText(canvas, QRect(QPoint(FCaptionLeft, FCaptionTop), QPoint(width() - 1, height() - 1)));
    emit OnPaint(this);
}

void TGradBox::DrawCaptionText(QPainter& canvas, QRect rect) const
{
    const QString text = DisplayText(FFontFace, FCaption);
    const unsigned flags = tfLeft | tfWordBreak | tfExpandTabs;
    canvas.setBrush(Qt::NoBrush);
    canvas.setFont(font());
    const auto draw = [&](TColor color) {
        canvas.setPen(ToQColor(color, palette()));
        DrawTextIn(canvas, rect, flags, text);
    };
    if (!isEnabled()) {
        // Engraved: white one pixel down-right, grey on top; no 3-D style.
        rect.translate(1, 1);
        draw(kDisabledHighlight);
        rect.translate(-1, -1);
        draw(kDisabledText);
        return;
    }
    if (FFont3D) {
        const int d = FFontDepth;
        switch (FStyle3D) {
        case fsLowShadow:
            rect.translate(d, d);
            draw(FBackFont);
            rect.translate(-d, -d);
            break;
        case fsRaiseShadow:
            rect.translate(-d, -d);
            draw(FBackFont);
            rect.translate(d, d);
            break;
        case fsLow3D:
            for (int i = 0; i < d; ++i) {
                rect.translate(1, 1);
                draw(FBackFont);
            }
            rect.translate(-d, -d);
            break;
        case fsRaise3D:
            for (int i = 0; i < d; ++i) {
                rect.translate(-1, -1);
                draw(FBackFont);
            }
            rect.translate(d, d);
            break;
        }
    }
    draw(FFontColor);
}

} // namespace mirvo
