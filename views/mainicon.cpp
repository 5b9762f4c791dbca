#include "views/mainicon.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

#include <cstddef>
#include <iterator>

// PNG files compiled in by the build (views/CMakeLists.txt), one per size.
#define MIRVO_ICON_PNG(size)                              \
    extern const unsigned char mirvo_icon_##size[];       \
    extern const std::size_t mirvo_icon_##size##_size;
MIRVO_ICON_PNG(16)
MIRVO_ICON_PNG(24)
MIRVO_ICON_PNG(32)
MIRVO_ICON_PNG(48)
MIRVO_ICON_PNG(64)
MIRVO_ICON_PNG(128)
MIRVO_ICON_PNG(256)
#undef MIRVO_ICON_PNG

namespace mirvo {

namespace {

struct TIconPng {
    const unsigned char* data;
    std::size_t size;
};

QIcon LoadMainIcon(int largest)
{
    const TIconPng pngs[] = {
        {mirvo_icon_16, mirvo_icon_16_size},   {mirvo_icon_24, mirvo_icon_24_size},
        {mirvo_icon_32, mirvo_icon_32_size},   {mirvo_icon_48, mirvo_icon_48_size},
        {mirvo_icon_64, mirvo_icon_64_size},   {mirvo_icon_128, mirvo_icon_128_size},
        {mirvo_icon_256, mirvo_icon_256_size},
    };
    static_assert(std::size(pngs) == std::size(kMainIconSizes));
    QIcon icon;
    for (std::size_t i = 0; i < std::size(pngs) && kMainIconSizes[i] <= largest; ++i) {
        const TIconPng& png = pngs[i];
        QBuffer buffer;
        buffer.setData(reinterpret_cast<const char*>(png.data), static_cast<qsizetype>(png.size));
        buffer.open(QIODevice::ReadOnly);
        // Qt's own PNG reader, named: asked to guess, the reader would first
        // load every image plugin there is to ask each whether it reads PNG.
        QImageReader reader(&buffer, "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

const QIcon& MainIcon()
{
    static const QIcon icon = LoadMainIcon(kMainIconSizes[std::size(kMainIconSizes) - 1]);
    return icon;
}

const QIcon& WindowIcon()
{
    static const QIcon icon = LoadMainIcon(128);
    return icon;
}

} // namespace mirvo
