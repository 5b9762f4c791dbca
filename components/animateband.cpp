#include "components/animateband.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRegion>
#include <QStyle>
#include <QVariantAnimation>

#include <algorithm>

namespace mirvo {

namespace {

constexpr int kOutlineWidth = 2;       // pixels
constexpr int kMinimumCaption = 8;     // pixels

} // namespace

TAnimateBand::TAnimateBand()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                           | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , FFlight(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("AnimateBand"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    FFlight->setEasingCurve(QEasingCurve::InOutQuad);
    connect(FFlight, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        setGeometry(value.toRect());
    });
    connect(FFlight, &QVariantAnimation::finished, this, &QWidget::hide);
}

void TAnimateBand::Fly(const QRect& from, const QRect& to, int milliseconds)
{
    FFlight->stop();
    FFlight->setStartValue(from);
    FFlight->setEndValue(to);
    FFlight->setDuration(milliseconds);
    setGeometry(from);
    show();
    raise();
    FFlight->start();
}

bool TAnimateBand::Flying() const
{
    return FFlight->state() == QAbstractAnimation::Running;
}

int TAnimateBand::CaptionHeight() const
{
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return std::clamp(caption, kMinimumCaption, std::max(kMinimumCaption, height()));
}

void TAnimateBand::resizeEvent(QResizeEvent*)
{
    // Only the caption bar and the outline are the band's: the mask keeps
    // the inside see-through, also where no compositor blends windows.
    const QRect all = rect();
    QRegion shape(all);
    const QRect inside = all.adjusted(kOutlineWidth, CaptionHeight(), -kOutlineWidth, -kOutlineWidth);
    if (inside.isValid())
        shape -= QRegion(inside);
    setMask(shape);
}

void TAnimateBand::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor active = palette().color(QPalette::Active, QPalette::Highlight);
    QLinearGradient caption(0, 0, width(), 0);
    caption.setColorAt(0, active.darker(150));
    caption.setColorAt(1, active.lighter(130));
    painter.fillRect(rect(), active.darker(150));
    painter.fillRect(QRect(0, 0, width(), CaptionHeight()), caption);
}

} // namespace mirvo
