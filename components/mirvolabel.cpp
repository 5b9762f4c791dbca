#include "components/mirvolabel.h"

#include "components/accessible.h"
#include "components/faceglyphs.h"
#include "components/fonts.h"

#include <QAccessible>
#include <QEvent>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>

namespace mirvo {

namespace {

// The standard label's size before its first caption.
constexpr int kDefaultWidth = 65;
constexpr int kDefaultHeight = 17;

} // namespace

TMirvoLabel::TMirvoLabel(QWidget* parent)
    : QWidget(parent)
{
    InstallComponentAccessibility();
    resize(kDefaultWidth, kDefaultHeight);
    FFontFace = font().family();
    AdoptWindowsFont(*this, FFontFace);
}

void TMirvoLabel::SetCaption(const QString& caption)
{
    if (caption == FCaption) {
        return;
    }
    FCaption = caption;
    AdjustBounds();
    update();
    AccessibleTextChanged();
}

QString TMirvoLabel::AccessibleText() const
{
    if (!FShowAccelChar) {
        return FCaption;
    }
    // "&&" is a shown "&"; a single "&" marks the accelerator letter.
    QString text;
    for (qsizetype i = 0; i < FCaption.size(); ++i) {
        if (FCaption[i] == QLatin1Char('&') && i + 1 < FCaption.size()) {
            ++i;
        }
        text += FCaption[i];
    }
    return text;
}

void TMirvoLabel::AccessibleTextChanged()
{
    if (!accessibleName().isEmpty()) {
        return;
    }
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TMirvoLabel::SetWindowsFont(const QString& face, int pixelSize, bool bold)
{
    FFontFace = face;
    setFont(WindowsFont(face, pixelSize, bold));
}

void TMirvoLabel::SetFontFace(const QString& face)
{
    const int pixelSize = font().pixelSize() > 0 ? font().pixelSize() : QFontInfo(font()).pixelSize();
    SetWindowsFont(face, pixelSize, font().bold());
}

void TMirvoLabel::SetFontColor(TColor color)
{
    if (color != FFontColor) {
        FFontColor = color;
        update();
    }
}

void TMirvoLabel::SetColor(TColor color)
{
    if (color != FColor) {
        FColor = color;
        update();
    }
}

void TMirvoLabel::SetAutoSize(bool autoSize)
{
    if (autoSize != FAutoSize) {
        FAutoSize = autoSize;
        AdjustBounds();
    }
}

void TMirvoLabel::SetTransparent(bool transparent)
{
    if (transparent != FTransparent) {
        FTransparent = transparent;
        update();
    }
}

void TMirvoLabel::SetWordWrap(bool wordWrap)
{
    if (wordWrap != FWordWrap) {
        FWordWrap = wordWrap;
        AdjustBounds();
        update();
    }
}

void TMirvoLabel::SetShowAccelChar(bool show)
{
    if (show != FShowAccelChar) {
        FShowAccelChar = show;
        AdjustBounds();
        update();
    }
}

void TMirvoLabel::SetAlignment(TAlignment alignment)
{
    if (alignment != FAlignment) {
        FAlignment = alignment;
        update();
    }
}

void TMirvoLabel::SetLayout(TTextLayout layout)
{
    if (layout != FLayout) {
        FLayout = layout;
        update();
    }
}

void TMirvoLabel::SetAlignmentValue(int value)
{
    if (value >= taLeftJustify && value <= taCenter) {
        SetAlignment(static_cast<TAlignment>(value));
    }
}

void TMirvoLabel::SetLayoutValue(int value)
{
    if (value >= tlTop && value <= tlBottom) {
        SetLayout(static_cast<TTextLayout>(value));
    }
}

void TMirvoLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter canvas(this);
    Paint(canvas);
}

void TMirvoLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        AdoptWindowsFont(*this, FFontFace);
        AdjustBounds();
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

void TMirvoLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
    }
}

void TMirvoLabel::Click()
{
    emit OnClick();
}

QString TMirvoLabel::ShownCaption() const
{
    return DisplayText(FFontFace, FCaption);
}

void TMirvoLabel::DrawLabelText(QPainter& canvas, const QRect& rect, unsigned flags, TColor color,
                                const QString& text) const
{
    canvas.setFont(font());
    canvas.setPen(PaletteColor(color));
    DrawTextIn(canvas, rect, flags, text);
}

unsigned TMirvoLabel::StandardFlags() const
{
    unsigned flags = AlignmentFlag(FAlignment) | tfExpandTabs;
    if (FWordWrap) {
        flags |= tfWordBreak;
    }
    if (!FShowAccelChar) {
        flags |= tfNoPrefix;
    }
    return flags;
}

void TMirvoLabel::FillBackground(QPainter& canvas) const
{
    if (!FTransparent) {
        canvas.fillRect(rect(), PaletteColor(FColor));
    }
}

QColor TMirvoLabel::PaletteColor(TColor color) const
{
    return ToQColor(color, palette());
}

void TMirvoLabel::Paint(QPainter& canvas)
{
    FillBackground(canvas);
    if (IsFacePictureText(FFontFace, FCaption)) {
        PaintFacePictures(canvas);
        return;
    }
    const unsigned flags = StandardFlags();
    const QString text = ShownCaption();
    QRect r = rect();
    if (FLayout != tlTop) {
        const QRect measured = CalcTextRect(font(), r, flags, text.isEmpty() ? QStringLiteral(" ") : text);
        r.translate(0, LayoutOffset(FLayout, height(), measured.top() + measured.height()));
    }
    if (isEnabled()) {
        DrawLabelText(canvas, r, flags, FFontColor, text);
        return;
    }
    // Disabled: engraved, a highlight one pixel down-right under the shadow colour.
    DrawLabelText(canvas, r.translated(1, 1), flags, clBtnHighlight, text);
    DrawLabelText(canvas, r, flags, clBtnShadow, text);
}

// The faces the program draws itself, one cell each, placed by the alignment.
void TMirvoLabel::PaintFacePictures(QPainter& canvas) const
{
    const QSize cell = FacePictureCell(FontPixelSize());
    const int width = cell.width() * static_cast<int>(FCaption.size());
    int left = 0;
    if (FAlignment == taRightJustify) {
        left = this->width() - width;
    } else if (FAlignment == taCenter) {
        left = (this->width() - width) / 2;
    }
    for (const QChar letter : FCaption) {
        const QRectF place(QPointF(left, 0), cell);
        if (isEnabled()) {
            DrawFacePicture(canvas, place, letter, PaletteColor(FFontColor));
        } else {
            DrawFacePicture(canvas, place.translated(1, 1), letter, PaletteColor(clBtnHighlight));
            DrawFacePicture(canvas, place, letter, PaletteColor(clBtnShadow));
        }
        left += cell.width();
    }
}

int TMirvoLabel::FontPixelSize() const
{
    return font().pixelSize() > 0 ? font().pixelSize() : QFontInfo(font()).pixelSize();
}

void TMirvoLabel::AdjustBounds()
{
    if (!FAutoSize) {
        return;
    }
    if (IsFacePictureText(FFontFace, FCaption)) {
        const QSize cell = FacePictureCell(FontPixelSize());
        const int width = cell.width() * static_cast<int>(FCaption.size());
        const int left = FAlignment == taRightJustify ? x() + this->width() - width : x();
        setGeometry(left, y(), width, cell.height());
        return;
    }
    // An empty caption still measures one line high, as a blank.
    const QString text = ShownCaption().isEmpty() ? QStringLiteral(" ") : ShownCaption();
    const unsigned flags = StandardFlags() & ~(tfRight | tfCenter);
    const QRect measured = CalcTextRect(font(), QRect(0, 0, width(), 0), flags, text);
    int left = x();
    if (FAlignment == taRightJustify) {
        left += width() - measured.width();
    }
    setGeometry(left, y(), measured.width(), measured.height());
}

} // namespace mirvo
