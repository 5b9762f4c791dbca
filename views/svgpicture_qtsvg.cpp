// The picture as an SVG document drawn by Qt SVG: paths, shapes and text as
// they are painted.
#include "views/picturefile.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace mirvo {

QByteArray SvgBytes(QSize logical, const PaintFunction& paint, const QString& title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(logical);
    svg.setViewBox(QRect(QPoint(0, 0), logical));
    svg.setTitle(title);
    {
        QPainter painter(&svg);
        paint(painter);
    }
    return bytes;
}

} // namespace mirvo
