// Colours as the program stores them: 0x00BBGGRR.
#pragma once

#include <QColor>

#include <cstdint>

namespace mirvo {

// A plain colour value 0x00BBGGRR as a QColor.
inline QColor ColorFromRef(std::uint32_t ref)
{
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

// A QColor as the plain colour value 0x00BBGGRR.
inline std::uint32_t RefFromColor(const QColor& c)
{
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8)
           | (static_cast<std::uint32_t>(c.blue()) << 16);
}

} // namespace mirvo
