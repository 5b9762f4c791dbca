// TAnimateBand: the outline of a window with its caption bar, flown between
// the window's place and the bottom of the screen when the program is
// minimized or restored. It takes no input and never becomes active.
#pragma once

#include <QRect>
#include <QWidget>

class QVariantAnimation;

namespace mirvo {

class TAnimateBand final : public QWidget {
    Q_OBJECT
public:
    TAnimateBand();

    // Flies from `from` to `to` (screen pixels) in `milliseconds`, then hides.
    // A flight still under way is cut short.
    void Fly(const QRect& from, const QRect& to, int milliseconds);
    bool Flying() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int CaptionHeight() const;

    QVariantAnimation* FFlight;
};

} // namespace mirvo
