#include "components/label3d.h"

#include <QPainter>

namespace mirvo {

TLabel3D::TLabel3D(QWidget* parent)
    : TMirvoLabel(parent)
{
    SetTransparent(true);
}

void TLabel3D::SetBackColor(TColor color)
{
    if (color != FBackColor) {
        FBackColor = color;
        update();
    }
}

void TLabel3D::SetDepth(int depth)
{
    if (depth != FDepth) {
        FDepth = depth;
        update();
    }
}

void TLabel3D::Paint(QPainter& canvas)
{
    FillBackground(canvas);
    // Alignment only: no word break and no tab expansion, whatever WordWrap says.
    unsigned flags = AlignmentFlag(GetAlignment());
    if (!GetShowAccelChar()) {
        flags |= tfNoPrefix;
    }
    const QString text = ShownCaption();
    // At depth 0 the copy would lie exactly under the caption; leaving it out
    // keeps its colour from tinting the caption's smoothed edges.
    if (FDepth != 0) {
        DrawLabelText(canvas, rect().translated(FDepth, FDepth), flags, FBackColor, text);
    }
    DrawLabelText(canvas, rect(), flags, isEnabled() ? GetFontColor() : clGrayText, text);
}

} // namespace mirvo
