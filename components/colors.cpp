#include "components/colors.h"

#include <QPalette>
#include <array>

namespace mirvo {

namespace {

constexpr TColor kPlainColorMask = 0x00FFFFFFu;

struct PaletteSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Where each desktop system colour is found in a Qt palette. Qt has no
// caption, border or desktop roles; those take the nearest role in spirit.
constexpr std::array<PaletteSource, kSystemColorCount> kSystemColorSources{{
    {QPalette::Active, QPalette::Button},             // scrollbar
    {QPalette::Active, QPalette::Dark},               // desktop background
    {QPalette::Active, QPalette::Highlight},          // active caption
    {QPalette::Active, QPalette::Mid},                // inactive caption
    {QPalette::Active, QPalette::Window},             // menu
    {QPalette::Active, QPalette::Base},               // window
    {QPalette::Active, QPalette::Shadow},             // window frame
    {QPalette::Active, QPalette::WindowText},         // menu text
    {QPalette::Active, QPalette::WindowText},         // window text
    {QPalette::Active, QPalette::HighlightedText},    // caption text
    {QPalette::Active, QPalette::Button},             // active border
    {QPalette::Active, QPalette::Button},             // inactive border
    {QPalette::Active, QPalette::Mid},                // application workspace
    {QPalette::Active, QPalette::Highlight},          // highlight
    {QPalette::Active, QPalette::HighlightedText},    // highlighted text
    {QPalette::Active, QPalette::Button},             // button face
    {QPalette::Active, QPalette::Dark},               // button shadow
    {QPalette::Disabled, QPalette::WindowText},       // grey text
    {QPalette::Active, QPalette::ButtonText},         // button text
    {QPalette::Inactive, QPalette::HighlightedText},  // inactive caption text
    {QPalette::Active, QPalette::Light},              // button highlight
    {QPalette::Active, QPalette::Shadow},             // dark 3-D shadow
    {QPalette::Active, QPalette::Midlight},           // 3-D light
    {QPalette::Active, QPalette::ToolTipText},        // tooltip text
    {QPalette::Active, QPalette::ToolTipBase},        // tooltip background
}};

} // namespace

bool IsSystemColor(TColor color)
{
    return color >= kSystemColorBase && color < kSystemColorBase + kSystemColorCount;
}

TColor ColorToRGB(TColor color, const QPalette& palette)
{
    if (!IsSystemColor(color)) {
        return color & kPlainColorMask;
    }
    const PaletteSource& source = kSystemColorSources[color - kSystemColorBase];
    const QColor c = palette.color(source.group, source.role);
    return RGBColor(c.red(), c.green(), c.blue());
}

QColor ToQColor(TColor color, const QPalette& palette)
{
    const TColor rgb = ColorToRGB(color, palette);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

} // namespace mirvo
