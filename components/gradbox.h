// A box filled with a two-colour gradient of 256 solid bands, with an
// optional outline and a caption that may have a shadow or a raised or
// sunken 3-D look. The main window's background ("imgBack", black to blue)
// is one, with every other control drawn transparently over it.
#pragma once

#include "components/colors.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

class QPainter;

namespace mirvo {

enum TGradStyle : int { gsTopBottom = 0, gsBottomTop, gsLeftRight, gsRightLeft, gsNone };
enum TFontStyle3D : int { fsLowShadow = 0, fsRaiseShadow, fsLow3D, fsRaise3D };

class TGradBox final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ GetCaption WRITE SetCaption)
    Q_PROPERTY(int CaptionLeft READ GetCaptionLeft WRITE SetCaptionLeft)
    Q_PROPERTY(int CaptionTop READ GetCaptionTop WRITE SetCaptionTop)
    Q_PROPERTY(quint32 TopColor READ GetTopColor WRITE SetTopColor)
    Q_PROPERTY(quint32 LastColor READ GetLastColor WRITE SetLastColor)
    Q_PROPERTY(quint32 OutLineColor READ GetOutLineColor WRITE SetOutLineColor)
    Q_PROPERTY(bool DrawOutLine READ GetDrawOutLine WRITE SetDrawOutLine)
    Q_PROPERTY(bool Font3D READ GetFont3D WRITE SetFont3D)
    Q_PROPERTY(int FontDepth READ GetFontDepthValue WRITE SetFontDepthValue)
    Q_PROPERTY(quint32 BackFont READ GetBackFont WRITE SetBackFont)
    Q_PROPERTY(quint32 FontColor READ GetFontColor WRITE SetFontColor)
    Q_PROPERTY(QString FontFace READ GetFontFace)

public:
    static constexpr int kColorCount = 256;  // bands of one gradient
    static constexpr int kDefaultWidth = 200;
    static constexpr int kDefaultHeight = 100;
    static constexpr int kDefaultCaptionOffset = 10;
    static constexpr TColor kDefaultTopColor = clGreen;
    static constexpr TColor kDefaultLastColor = clLime;
    static constexpr TColor kDefaultBackFont = clYellow;
    static constexpr std::uint8_t kDefaultFontDepth = 1;

    // 200 x 100, green to lime, top to bottom, no outline, raised 3-D style
    // (off), yellow extrusion of depth 1, caption at (10, 10).
    explicit TGradBox(QWidget* parent = nullptr);

    QString GetCaption() const { return FCaption; }
    void SetCaption(const QString& caption);

    // Top-left corner of the caption, pixels in the box's own coordinates.
    int GetCaptionLeft() const { return FCaptionLeft; }
    void SetCaptionLeft(int left);
    int GetCaptionTop() const { return FCaptionTop; }
    void SetCaptionTop(int top);

    // First and last colour of the gradient (plain or system colours).
    TColor GetTopColor() const { return FTopColor; }
    void SetTopColor(TColor color);
    TColor GetLastColor() const { return FLastColor; }
    void SetLastColor(TColor color);

    TGradStyle GetGradStyle() const { return FGradStyle; }
    void SetGradStyle(TGradStyle style);

    // Outline colour; a change repaints only while the outline is drawn.
    TColor GetOutLineColor() const { return FOutLineColor; }
    void SetOutLineColor(TColor color);
    bool GetDrawOutLine() const { return FDrawOutLine; }
    void SetDrawOutLine(bool draw);

    bool GetFont3D() const { return FFont3D; }
    void SetFont3D(bool font3D);
    TFontStyle3D GetStyle3D() const { return FStyle3D; }
    void SetStyle3D(TFontStyle3D style);
    // Colour and depth (pixels, 0 ... 255) of the caption's shadow or
    // extrusion; a change repaints only while Font3D is on.
    TColor GetBackFont() const { return FBackFont; }
    void SetBackFont(TColor color);
    std::uint8_t GetFontDepth() const { return FFontDepth; }
    void SetFontDepth(std::uint8_t depth);

    // Caption font by Windows face name, em height in pixels (> 0), and colour.
    void SetWindowsFont(const QString& face, int pixelSize, bool bold = false);
    QString GetFontFace() const { return FFontFace; }
    TColor GetFontColor() const { return FFontColor; }
    void SetFontColor(TColor color);

    // The 8-bit red, green and blue of a colour; a system colour
    // (kSystemColorBase + 0 ... 24) is first replaced by its current value.
    void GetRGB(TColor color, int& red, int& green, int& blue) const;

signals:
    // After each paint.
    void OnPaint(mirvo::TGradBox* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int GetFontDepthValue() const { return FFontDepth; }
    void SetFontDepthValue(int depth);

    // Rebuilds FColarray from TopColor and LastColor in the direction of
    // `style`; gsNone leaves it as it is.
    void SetColarray(TGradStyle style);
    // The 256 bands across `extent` pixels (height for horizontal bands,
    // width for vertical ones); later bands cover earlier ones.
    void PaintBands(QPainter& canvas, bool horizontalBands) const;
    void DrawCaptionText(QPainter& canvas, QRect rect) const;

    std::array<TColor, kColorCount> FColarray{};
    QString FCaption;
    QString FFontFace;
    int FCaptionLeft = kDefaultCaptionOffset;
    int FCaptionTop = kDefaultCaptionOffset;
    TColor FTopColor = kDefaultTopColor;
    TColor FLastColor = kDefaultLastColor;
    TColor FOutLineColor = clBlack;
    TColor FBackFont = kDefaultBackFont;
    TColor FFontColor = clWindowText;
    TGradStyle FGradStyle = gsTopBottom;
    TFontStyle3D FStyle3D = fsRaise3D;
    std::uint8_t FFontDepth = kDefaultFontDepth;
    bool FDrawOutLine = false;
    bool FFont3D = false;
};

} // namespace mirvo
