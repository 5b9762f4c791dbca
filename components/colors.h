// Colours as the program's layouts give them.
//
// A TColor is either a plain colour 0x00BBGGRR (red in bits 0-7, green in
// 8-15, blue in 16-23) or kSystemColorBase + n for the desktop's system
// colour n (0 ... 24, scrollbar ... tooltip background). System colours are
// looked up in the widget's current QPalette each time they are painted, so a
// change of the desktop colours shows at the next repaint.
#pragma once

#include <QColor>
#include <cstdint>

class QPalette;

namespace mirvo {

using TColor = std::uint32_t;

constexpr TColor kSystemColorBase = 0x80000000u;
constexpr int kSystemColorCount = 25;  // indexes 0 ... 24
constexpr TColor kColorChannelMask = 0xFFu;
constexpr int kGreenShift = 8;
constexpr int kBlueShift = 16;

// Indexes of the desktop's system colours, in the desktop's own order.
enum TSystemColor : int {
    scScrollBar = 0,
    scBackground,
    scActiveCaption,
    scInactiveCaption,
    scMenu,
    scWindow,
    scWindowFrame,
    scMenuText,
    scWindowText,
    scCaptionText,
    scActiveBorder,
    scInactiveBorder,
    scAppWorkSpace,
    scHighlight,
    scHighlightText,
    scBtnFace,
    scBtnShadow,
    scGrayText,
    scBtnText,
    scInactiveCaptionText,
    scBtnHighlight,
    sc3DDkShadow,
    sc3DLight,
    scInfoText,
    scInfoBk,
};

constexpr TColor SystemColor(TSystemColor index)
{
    return kSystemColorBase + static_cast<TColor>(index);
}

// Plain colour from three channels, each 0 ... 255 (higher bits are dropped).
constexpr TColor RGBColor(int red, int green, int blue)
{
    return (static_cast<TColor>(red) & kColorChannelMask)
         | ((static_cast<TColor>(green) & kColorChannelMask) << kGreenShift)
         | ((static_cast<TColor>(blue) & kColorChannelMask) << kBlueShift);
}

constexpr int RedOf(TColor c) { return static_cast<int>(c & kColorChannelMask); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> kGreenShift) & kColorChannelMask); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> kBlueShift) & kColorChannelMask); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clGray = 0x808080;

constexpr TColor clWindowText = SystemColor(scWindowText);
constexpr TColor clBtnFace = SystemColor(scBtnFace);
constexpr TColor clBtnShadow = SystemColor(scBtnShadow);
constexpr TColor clBtnHighlight = SystemColor(scBtnHighlight);
constexpr TColor clGrayText = SystemColor(scGrayText);

// True for kSystemColorBase + 0 ... 24.
bool IsSystemColor(TColor color);

// The plain 0x00BBGGRR value: a system colour is replaced by its current
// value in `palette`; any other value keeps its low 24 bits.
TColor ColorToRGB(TColor color, const QPalette& palette);

// The colour to paint with (always opaque).
QColor ToQColor(TColor color, const QPalette& palette);

} // namespace mirvo
