#include "components/multilinelabel.h"

#include <QPainter>

namespace mirvo {

TMultiLineLabel::TMultiLineLabel(QWidget* parent)
    : TMirvoLabel(parent)
{
    SetAutoSize(false);
    FShadow.OnChange = [this](TShadow&) { ShadowChanged(); };
}

void TMultiLineLabel::SetLines(const QStringList& lines)
{
    if (&lines != &FLines) {
        FLines = lines;
    }
    update();
    AccessibleTextChanged();
}

QString TMultiLineLabel::AccessibleText() const
{
    return FLines.join(QLatin1Char('\n'));
}

void TMultiLineLabel::SetLinesText(const QString& text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normal.split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start an empty one.
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    SetLines(lines);
}

void TMultiLineLabel::SetShadow(const TShadow& shadow)
{
    if (&shadow != &FShadow) {
        FShadow.SetColor(shadow.GetColor());
        FShadow.SetOffsetLeft(shadow.GetOffsetLeft());
        FShadow.SetOffsetTop(shadow.GetOffsetTop());
        FShadow.SetVisible(shadow.GetVisible());
    }
    update();
}

void TMultiLineLabel::ShadowChanged()
{
    update();
}

unsigned TMultiLineLabel::DrawFlags() const
{
    unsigned flags = AlignmentFlag(GetAlignment()) | tfExpandTabs | tfExternalLeading | tfNoPrefix;
    if (GetWordWrap()) {
        flags |= tfWordBreak;
    }
    return flags;
}

int TMultiLineLabel::TextHeight(const QString& text) const
{
    return CalcTextRect(font(), rect(), DrawFlags(), text).height();
}

void TMultiLineLabel::Paint(QPainter& canvas)
{
    FillBackground(canvas);
    const QString text = FLines.join(QLatin1Char('\n'));
    const unsigned flags = DrawFlags();
    QRect r = rect();
    if (GetLayout() != tlTop) {
        const QRect measured = CalcTextRect(font(), rect(), flags, text);
        r.translate(0, LayoutOffset(GetLayout(), height(), measured.top() + measured.height()));
    }
    DoDrawText(canvas, r, text, flags);
}

QPoint TMultiLineLabel::ShadowStart() const
{
    const int left = FShadow.GetOffsetLeft();
    const int top = FShadow.GetOffsetTop();
    QPoint start(0, 0);
    const TAlignment alignment = GetAlignment();
    if ((alignment == taLeftJustify && left >= 0) || (alignment == taRightJustify && left < 0)) {
        start.setX(left);
    } else if (alignment == taCenter) {
        start.setX(left / 2);
    }
    const TTextLayout layout = GetLayout();
    if ((layout == tlTop && top >= 0) || (layout == tlBottom && top < 0)) {
        start.setY(top);
    } else if (layout == tlCenter) {
        start.setY(top / 2);
    }
    return start;
}

void TMultiLineLabel::DoDrawText(QPainter& canvas, QRect& rect, const QString& text, unsigned flags)
{
    if (FShadow.GetVisible()) {
        rect.translate(ShadowStart());
        DrawLabelText(canvas, rect, flags, FShadow.GetColor(), text);
        rect.translate(-FShadow.GetOffsetLeft(), -FShadow.GetOffsetTop());
    }
    if (isEnabled()) {
        DrawLabelText(canvas, rect, flags, GetFontColor(), text);
        return;
    }
    // Disabled: engraved, a highlight one pixel down-right under the shadow colour.
    rect.translate(1, 1);
    const qsizetype end = text.indexOf(QChar(u'\0'));
    DrawLabelText(canvas, rect, flags, clBtnHighlight, end < 0 ? text : text.left(end));
    rect.translate(-1, -1);
    DrawLabelText(canvas, rect, flags, clBtnShadow, text);
}

} // namespace mirvo
