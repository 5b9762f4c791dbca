#include "components/shadow.h"

namespace mirvo {

void TShadow::SetColor(TColor color)
{
    if (color != FColor) {
        FColor = color;
        Invalidate();
    }
}

void TShadow::SetOffsetLeft(int offset)
{
    if (offset != FOffsetLeft) {
        FOffsetLeft = offset;
        Invalidate();
    }
}

void TShadow::SetOffsetTop(int offset)
{
    if (offset != FOffsetTop) {
        FOffsetTop = offset;
        Invalidate();
    }
}

void TShadow::SetVisible(bool visible)
{
    if (visible != FVisible) {
        FVisible = visible;
        Invalidate();
    }
}

void TShadow::Invalidate()
{
    if (OnChange) {
        OnChange(*this);
    }
}

} // namespace mirvo
