// Helpers of the widget tests: render a widget into an image and find where
// colours landed.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

namespace painttest {

// The widget painted over `background` (the widget's own background is not
// filled, so transparent parts show `background`), one pixel per logical pixel.
inline QImage Render(QWidget& widget, QColor background)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(background);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The smallest rectangle holding every pixel for which `match` is true;
// an empty rectangle when none matches.
inline QRect Bounds(const QImage& image, const std::function<bool(QRgb)>& match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(image.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

inline int CountPixels(const QImage& image, const std::function<bool(QRgb)>& match)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += match(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

inline bool HasRed(QRgb p) { return qRed(p) > 0; }
inline bool HasGreen(QRgb p) { return qGreen(p) > 0; }
inline bool HasBlue(QRgb p) { return qBlue(p) > 0; }
inline bool NotBlack(QRgb p) { return (p & 0xFFFFFFu) != 0; }

} // namespace painttest
