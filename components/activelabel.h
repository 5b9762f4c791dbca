// A label that scrolls its caption, one frame per tick of a timer it is
// given: sideways (the caption repeated to fill the width) or up and down.
// No window of the program places it.
#pragma once

#include "components/mirvolabel.h"

#include <QMetaObject>
#include <QPointer>

class QTimer;

namespace mirvo {

enum TActiveLabelStyle : int { alsRightToLeft = 0, alsLeftToRight, alsBottomToTop, alsTopToBottom };

class TActiveLabel final : public TMirvoLabel {
    Q_OBJECT

public:
    // Inactive, repeating, Step 0, right to left, transparent, no timer.
    explicit TActiveLabel(QWidget* parent = nullptr);

    // While true, every tick advances the scroll by one frame.
    bool GetActive() const { return FActive; }
    void SetActive(bool active);

    // When false, the label stops (Active false) at the end of a pass.
    bool GetRepeatAction() const { return FRepeatAction; }
    void SetRepeatAction(bool repeat) { FRepeatAction = repeat; }

    // Frames per pass, >= 0; 0 means half the width (sideways) or half the
    // height (up and down). A negative value is refused and leaves Step as it was.
    int GetStep() const { return FStep; }
    void SetStep(int step);

    TActiveLabelStyle GetStyle() const { return FStyle; }
    void SetStyle(TActiveLabelStyle style);

    // The timer whose ticks drive the label; other receivers of its ticks
    // keep receiving them. Null stops the label.
    QTimer* GetTimer() const { return FTimer; }
    void SetTimer(QTimer* timer);

    // Frame of the current pass, counting down from FrameCount() - 1 to 0.
    int GetFrame() const { return FFrame; }
    // Frames of one pass, >= 1.
    int FrameCount() const;

protected:
    void Paint(QPainter& canvas) override;

private:
    void Tick();
    bool Sideways() const;

    QPointer<QTimer> FTimer;
    QMetaObject::Connection FTickConnection;
    TActiveLabelStyle FStyle = alsRightToLeft;
    int FStep = 0;
    int FFrame = 0;
    bool FActive = false;
    bool FRepeatAction = true;
};

} // namespace mirvo
