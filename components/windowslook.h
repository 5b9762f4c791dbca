// The few places where Windows and Qt's Fusion look differ and the user
// notices: a group box's title sits on its frame line (so that a control at
// the top of the box stays inside the frame), a date picker's drop-down
// button is as narrow as the Windows one (so that the whole date shows),
// and the help button's icon is a white question mark on a blue disc; check
// boxes and radio buttons stay visible on a dark palette; a message box
// does not break a line inside a file name.
#pragma once

#include <QIcon>
#include <QProxyStyle>

class QApplication;

namespace mirvo {

class TWindowsLookStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Fusion with the changes above.
    TWindowsLookStyle();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    // Check boxes and radio buttons keep a rim in the text colour on a dark
    // palette, where Fusion's own rim all but vanishes.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // A message box's plain text with its file names kept whole (below).
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;
};

// `text` with the blanks inside its file names made blanks that no line
// breaks at ("/home/a/My Documents/Mirvo (2).csv"): a file name is a run of
// ASCII characters with a folder separator; blanks after a comma or a full
// stop, and the blanks of the Japanese sentences around, stay where lines
// may break.
QString KeepFileNamesWhole(const QString& text);

// The help icon: a white "?" on a blue disc, drawn for every size and
// pixel density.
QIcon HelpIcon();

// Everything that makes the program look and read as it does on a Japanese
// Windows: the Windows faces' stand-ins, the Japanese locale and Qt's
// Japanese texts (InstallJapanese), and the style above. The program calls
// it once after making its application object; tests of windows do too.
void InstallProgramLook(QApplication& app);

} // namespace mirvo
