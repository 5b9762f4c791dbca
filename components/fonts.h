// Fonts as a Japanese Windows user sees them, on a machine without Windows fonts.
//
// The layouts name the Windows faces "ＭＳ Ｐゴシック", "ＭＳ Ｐ明朝", "Arial",
// "Wingdings" and "Symbol". The text faces are shown with metric-alike free
// fonts (IPA P Gothic, IPA P Mincho, Liberation Sans). "Wingdings" and
// "Symbol" are picture fonts whose letters stand for symbols ("J" a smiling
// face, 0xA9 a heart); their captions keep the letters, and DisplayText turns
// them into the matching Unicode symbols when painting, drawn in a monochrome
// font (Symbola) so that the faces keep the colour of their label.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace mirvo {

inline const QString kFaceMSPGothic = QStringLiteral("ＭＳ Ｐゴシック");  // not a message: a font name
inline const QString kFaceMSPMincho = QStringLiteral("ＭＳ Ｐ明朝");      // not a message: a font name
inline const QString kFaceArial = QStringLiteral("Arial");
inline const QString kFaceWingdings = QStringLiteral("Wingdings");
inline const QString kFaceSymbol = QStringLiteral("Symbol");

// Families standing in for the Windows faces on Linux (Debian fonts-ipafont,
// fonts-liberation2, fonts-symbola); on Windows only the symbol faces need
// one, Windows' own symbol font.
inline const QString kFamilyIPAPGothic = QStringLiteral("IPAPGothic");
inline const QString kFamilyIPAPMincho = QStringLiteral("IPAPMincho");
inline const QString kFamilyLiberationSans = QStringLiteral("Liberation Sans");
inline const QString kFamilySymbols = QStringLiteral("Symbola");
inline const QString kFamilyWindowsSymbols = QStringLiteral("Segoe UI Symbol");

// True for "Wingdings" and "Symbol" (face names compare without case, as on Windows).
bool IsSymbolFace(const QString& face);

// True for one of the five Windows faces the program's layouts use.
bool IsWindowsFace(const QString& face);

// The family that shows `face`: the stand-in of a Windows face, any other
// face unchanged.
QString FamilyForFace(const QString& face);

// A font for `face` with an em height of `pixelSize` pixels (> 0), as the
// layouts give font heights. Text faces fall back to IPA P Gothic for
// Japanese characters; the symbol faces use the monochrome symbol font only,
// never a colour emoji font.
QFont WindowsFont(const QString& face, int pixelSize, bool bold = false);

// What to paint for `caption` in `face`: for "Wingdings" and "Symbol" the
// symbol characters the program uses become Unicode symbols ("J" ☺, "K" 😐,
// "L" ☹, "M" 💣, "^" ... "i" ♈ ... ♓; Symbol 0xA9 ♥ and the other card
// suits), each followed by U+FE0E, which asks for its plain text look rather
// than a colour emoji; any other face, and any other character, is left as it is. A
// symbol-font code may come as the Latin-1 character, as U+F000 + code or
// as the half-width katakana that Shift-JIS decodes the byte to.
QString DisplayText(const QString& face, const QString& caption);

// What a screen reader says for `caption` in `face`: for "Wingdings" and
// "Symbol" each symbol character by the name of its picture ("J" 笑顔, 0xA9
// ハート, "^" 牡羊座の記号), separated by blanks; any other face, and any
// other character, as it is.
QString SpokenSymbols(const QString& face, const QString& caption);

// Makes Qt resolve the five Windows faces to their stand-ins everywhere, so
// that windows whose layouts name "ＭＳ Ｐゴシック" show IPA P Gothic. Call once
// after the application object exists.
void InstallFontSubstitutes();

// For a widget whose font was just changed: if the font names a Windows face,
// replaces it by WindowsFont of that face (same pixel size and weight) and
// stores the face in `face`; a font of another family becomes the new face;
// a stand-in family of the stored face leaves it unchanged.
void AdoptWindowsFont(QWidget& widget, QString& face);

} // namespace mirvo
