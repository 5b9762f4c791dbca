// Pictures and other files the user saves from the windows: a PNG at twice
// the logical size (sharp on a double-density screen and in print) or an SVG
// whose texts stay texts, written so that an existing file is replaced
// atomically and a failed write leaves it as it was.
#pragma once

#include "koyomi/datetime.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QPainter;
class QWidget;

namespace mirvo {

// Paints a picture with its top left corner at the origin, in logical pixels.
using PaintFunction = std::function<void(QPainter&)>;

constexpr qreal kPictureScale = 2.0;

// The picture as PNG bytes, `scale` device pixels per logical pixel.
QByteArray PngBytes(QSize logical, const PaintFunction& paint, qreal scale = kPictureScale);
// The picture as an SVG document of the logical size.
QByteArray SvgBytes(QSize logical, const PaintFunction& paint, const QString& title);

// Writes the picture to `path`: SVG for a name ending in ".svg" (any case),
// PNG otherwise. Returns the message that says why when it fails.
std::optional<QString> WritePicture(const QString& path, QSize logical, const PaintFunction& paint,
                                    const QString& title);

// Writes `bytes` over `path` atomically; returns the message when it fails.
std::optional<QString> WriteFileBytes(const QString& path, const QByteArray& bytes, int failureMessageId);

// A file name for what is saved: "ミルボ_山田花子_2026-12-07.png"; the name
// part is left out for a member without a name, and characters that file
// names cannot hold become "_". `dayPattern` formats the day ("yyyy-mm-dd"
// or "yyyy-mm").
QString SuggestedFileName(const std::string& memberName, koyomi::TDateTime day, const char* dayPattern,
                          const QString& suffix);

// The save dialog: a file name for saving, with the filters given
// ("PNG 画像 (*.png);;SVG 画像 (*.svg)"); the empty text when cancelled. The
// suffix of the selected filter is added to a name without one. A suggested
// name without a folder opens in the folder chosen last in this run for the
// same kind of file (pictures, or others such as calendar files), at first
// in the user's ピクチャ or ドキュメント.
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filters);

// What the windows use to choose a file; tests put their own in.
using SaveFileChooser =
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested, const QString& filters)>;

} // namespace mirvo
