// The picture as an SVG document where Qt SVG is not at hand (the Windows
// build): a document of the logical size whose one element is the picture
// as a PNG image at twice that size, so that it stays sharp when enlarged
// to double density or printed.
#include "views/picturefile.h"

namespace mirvo {

QByteArray SvgBytes(QSize logical, const PaintFunction& paint, const QString& title)
{
    const QByteArray png = PngBytes(logical, paint);
    if (png.isEmpty())
        return {};
    const QByteArray width = QByteArray::number(logical.width());
    const QByteArray height = QByteArray::number(logical.height());
    QByteArray svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + width + "\" height=\"" + height
         + "\" viewBox=\"0 0 " + width + " " + height + "\">\n";
    svg += "<title>" + title.toHtmlEscaped().toUtf8() + "</title>\n";
    svg += "<image x=\"0\" y=\"0\" width=\"" + width + "\" height=\"" + height
         + "\" preserveAspectRatio=\"none\" href=\"data:image/png;base64," + png.toBase64() + "\"/>\n";
    svg += "</svg>\n";
    return svg;
}

} // namespace mirvo
