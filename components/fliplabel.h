// A label that flips its caption to a second colour when clicked: the
// caption folds flat towards its middle line in the old colour and unfolds
// in the new one. No window of the program places it.
#pragma once

#include "components/mirvolabel.h"

#include <QTimer>

namespace mirvo {

class TFlipLabel final : public TMirvoLabel {
    Q_OBJECT

public:
    static constexpr TColor kDefaultFlippedColor = clWhite;
    static constexpr int kFrameIntervalMs = 15;

    // Not flipped, flips on click, Step 0, transparent.
    explicit TFlipLabel(QWidget* parent = nullptr);

    // Caption colour while flipped.
    TColor GetFlippedColor() const { return FFlippedColor; }
    void SetFlippedColor(TColor color);

    bool GetFlipped() const { return FFlipped; }
    void SetFlipped(bool flipped);

    bool GetFlipOnClick() const { return FFlipOnClick; }
    void SetFlipOnClick(bool flip) { FFlipOnClick = flip; }

    // Frames of a flip; 0 or less means Height / 2 + 1.
    int GetStep() const { return FStep; }
    void SetStep(int step) { FStep = step; }

    // Starts the flip animation; Flipped changes when it ends, one frame
    // every kFrameIntervalMs. A flip already running is left to finish.
    void Flip();
    bool Flipping() const { return FFlipFrame >= 0; }
    int FrameCount() const;

protected:
    void Paint(QPainter& canvas) override;
    void Click() override;

private:
    void NextFrame();
    TColor RestingColor() const;
    unsigned Flags() const;

    QTimer FFrameTimer;
    TColor FFlippedColor = kDefaultFlippedColor;
    int FStep = 0;
    int FFlipFrame = -1;  // frame of the running flip, -1 when none
    bool FFlipped = false;
    bool FFlipOnClick = true;
};

} // namespace mirvo
