// The program's plain label: a windowless-looking caption over whatever lies
// beneath it (the main window's gradient), painted in a Windows face through
// DisplayText. It is also the base of the 3-D, scrolling and flipping labels.
#pragma once

#include "components/colors.h"
#include "components/textout.h"

#include <QString>
#include <QWidget>

class QPainter;

namespace mirvo {

class TMirvoLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ GetCaption WRITE SetCaption)
    Q_PROPERTY(QString FontFace READ GetFontFace WRITE SetFontFace)
    Q_PROPERTY(quint32 FontColor READ GetFontColor WRITE SetFontColor)
    Q_PROPERTY(quint32 Color READ GetColor WRITE SetColor)
    Q_PROPERTY(bool AutoSize READ GetAutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE SetTransparent)
    Q_PROPERTY(bool WordWrap READ GetWordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ GetShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(int Alignment READ GetAlignmentValue WRITE SetAlignmentValue)
    Q_PROPERTY(int Layout READ GetLayoutValue WRITE SetLayoutValue)

public:
    explicit TMirvoLabel(QWidget* parent = nullptr);

    // The text the label holds; painting maps it through DisplayText.
    QString GetCaption() const { return FCaption; }
    void SetCaption(const QString& caption);

    // Font by Windows face name, em height in pixels (> 0) and weight.
    void SetWindowsFont(const QString& face, int pixelSize, bool bold = false);
    QString GetFontFace() const { return FFontFace; }
    void SetFontFace(const QString& face);

    TColor GetFontColor() const { return FFontColor; }
    void SetFontColor(TColor color);

    // Background, used only when not transparent.
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);

    // Sized to the caption after every change of caption or font; a
    // right-justified label keeps its right edge.
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);

    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool transparent);

    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    // "&" underlines the next letter when true, shows as "&" when false.
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool show);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout layout);

    // The text the label shows, as a screen reader reads it: the caption
    // without its accelerator marks (the symbols still in their letters).
    virtual QString AccessibleText() const;

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) final;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Draws the label; the default is the standard label's look.
    virtual void Paint(QPainter& canvas);
    // Called for a left click released inside the label.
    virtual void Click();

    // What the caption looks like in the label's face.
    QString ShownCaption() const;
    // Draws or measures `text` in the label's font and `color`.
    void DrawLabelText(QPainter& canvas, const QRect& rect, unsigned flags, TColor color,
                       const QString& text) const;
    // The standard label's flags: alignment, tab expansion, word break when
    // wrapping, no prefix when ShowAccelChar is false.
    unsigned StandardFlags() const;
    // Fills the client rectangle with Color unless transparent.
    void FillBackground(QPainter& canvas) const;
    QColor PaletteColor(TColor color) const;

    void AdjustBounds();
    // Tells screen readers that the text changed (when no accessible name hides it).
    void AccessibleTextChanged();

private:
    void PaintFacePictures(QPainter& canvas) const;
    int FontPixelSize() const;

    int GetAlignmentValue() const { return FAlignment; }
    void SetAlignmentValue(int value);
    int GetLayoutValue() const { return FLayout; }
    void SetLayoutValue(int value);

    QString FCaption;
    QString FFontFace;
    TColor FFontColor = clWindowText;
    TColor FColor = clBtnFace;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
};

} // namespace mirvo
