// The shadow settings of a multi-line label: colour, offset from the text
// and whether it is drawn. The owner learns of changes through OnChange.
#pragma once

#include "components/colors.h"

#include <functional>

namespace mirvo {

class TShadow final {
public:
    static constexpr TColor kDefaultColor = clGray;
    static constexpr int kDefaultOffset = 2;

    TShadow() = default;
    // A shadow belongs to one label; its settings are copied value by value.
    TShadow(const TShadow&) = delete;
    TShadow& operator=(const TShadow&) = delete;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);

    // Distance of the shadow from the text, pixels; negative: left.
    int GetOffsetLeft() const { return FOffsetLeft; }
    void SetOffsetLeft(int offset);

    // Distance of the shadow from the text, pixels; negative: up.
    int GetOffsetTop() const { return FOffsetTop; }
    void SetOffsetTop(int offset);

    bool GetVisible() const { return FVisible; }
    void SetVisible(bool visible);

    // Called with the shadow after any of its settings changed.
    std::function<void(TShadow& sender)> OnChange;

private:
    void Invalidate();

    TColor FColor = kDefaultColor;
    int FOffsetLeft = kDefaultOffset;
    int FOffsetTop = kDefaultOffset;
    bool FVisible = true;
};

} // namespace mirvo
