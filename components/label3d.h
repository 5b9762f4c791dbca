// A label with a coloured copy of its caption behind it, Depth pixels right
// and down: the main window's date ("labDate", white over blue).
#pragma once

#include "components/mirvolabel.h"

namespace mirvo {

class TLabel3D final : public TMirvoLabel {
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ GetBackColor WRITE SetBackColor)
    Q_PROPERTY(int Depth READ GetDepth WRITE SetDepth)

public:
    static constexpr TColor kDefaultBackColor = clWhite;
    static constexpr int kDefaultDepth = 2;

    // Transparent from the start.
    explicit TLabel3D(QWidget* parent = nullptr);

    // Colour of the copy behind the caption.
    TColor GetBackColor() const { return FBackColor; }
    void SetBackColor(TColor color);

    // Offset of that copy, pixels right and down (negative: left and up).
    int GetDepth() const { return FDepth; }
    void SetDepth(int depth);

protected:
    void Paint(QPainter& canvas) override;

private:
    TColor FBackColor = kDefaultBackColor;
    int FDepth = kDefaultDepth;
};

} // namespace mirvo
