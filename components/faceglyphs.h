// The main window's faces, drawn by the program itself: the "Wingdings"
// letters J (a smiling face), K (a straight face), L (a frowning face) and
// M (a bomb, the critical day). A symbol font's faces at 16 pixels are a
// blur (its bomb a dot whose fuse vanishes), so these are vector drawings
// made to be read at the face labels' 14 x 17 pixels, in one colour, at any
// pixel density. The labels keep their captions "J" ... "M".
#pragma once

#include <QChar>
#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace mirvo {

// True when the program draws `letter` of `face` itself.
bool HasFacePicture(const QString& face, QChar letter);

// True when `caption` is not empty and the program draws every one of its letters in `face`.
bool IsFacePictureText(const QString& face, const QString& caption);

// The place one face takes at an em height of `pixelSize`: the advance and
// line height of the Windows font, 14 x 17 pixels at 16 pixels.
QSize FacePictureCell(int pixelSize);

// Draws the face of `letter` (J, K, L or M) into `cell` in `color`;
// nothing is drawn outside the cell. False, drawing nothing, for another letter.
bool DrawFacePicture(QPainter& painter, const QRectF& cell, QChar letter, const QColor& color);

} // namespace mirvo
