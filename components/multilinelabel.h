// A label that shows a list of lines, optionally word-wrapped, with a shadow
// copy of the text: the main window's advice sentence ("labMessage").
#pragma once

#include "components/mirvolabel.h"
#include "components/shadow.h"

#include <QStringList>

namespace mirvo {

class TMultiLineLabel final : public TMirvoLabel {
    Q_OBJECT
    Q_PROPERTY(bool ShadowVisible READ GetShadowVisible WRITE SetShadowVisible)

public:
    // Not auto-sized, not transparent, no word wrap, shadow grey at (2, 2).
    explicit TMultiLineLabel(QWidget* parent = nullptr);

    // The text shown, one entry per line; the caption is not used.
    const QStringList& GetLines() const { return FLines; }
    void SetLines(const QStringList& lines);
    // Replaces all lines by `text` split at its line breaks (CR LF, LF or CR).
    void SetLinesText(const QString& text);

    // The lines, one after another.
    QString AccessibleText() const override;

    // The height in pixels that `text` takes when drawn in the label's width
    // and font as the label draws its lines (word wrap included).
    int TextHeight(const QString& text) const;

    TShadow& Shadow() { return FShadow; }
    const TShadow& Shadow() const { return FShadow; }
    // Copies colour, offsets and visibility of `shadow`.
    void SetShadow(const TShadow& shadow);

    bool GetShadowVisible() const { return FShadow.GetVisible(); }
    void SetShadowVisible(bool visible) { FShadow.SetVisible(visible); }

protected:
    void Paint(QPainter& canvas) override;

private:
    void ShadowChanged();
    // The text flags the lines are drawn with: the alignment, word wrap when set.
    unsigned DrawFlags() const;
    // Draws `text` with its shadow; `rect` is where the text goes when the
    // shadow is off, and afterwards where the text went.
    void DoDrawText(QPainter& canvas, QRect& rect, const QString& text, unsigned flags);
    // Where the shadow starts, relative to `rect`: placed so that neither the
    // text nor its shadow leaves the aligned edge.
    QPoint ShadowStart() const;

    QStringList FLines;
    TShadow FShadow;
};

} // namespace mirvo
