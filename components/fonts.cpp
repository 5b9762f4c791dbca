#include "components/fonts.h"

#include "base/stringtable.h"
#include "reading/glyphs.h"

#include <QFontInfo>
#include <QWidget>
#include <array>
#include <optional>

namespace mirvo {

namespace {

struct FaceStandIn {
    const QString* face;
    const QString* family;
};

#ifdef Q_OS_WIN
// Windows has the faces themselves. The symbol faces' letters are shown as
// the Unicode symbols they draw, so those come from Windows' symbol font.
const std::array<FaceStandIn, 5> kStandIns{{
    {&kFaceMSPGothic, &kFaceMSPGothic},
    {&kFaceMSPMincho, &kFaceMSPMincho},
    {&kFaceArial, &kFaceArial},
    {&kFaceWingdings, &kFamilyWindowsSymbols},
    {&kFaceSymbol, &kFamilyWindowsSymbols},
}};

// Japanese characters in a Latin face: in the Japanese Gothic, as Windows links them.
const QString& kJapaneseFallbackFamily = kFaceMSPGothic;
#else
const std::array<FaceStandIn, 5> kStandIns{{
    {&kFaceMSPGothic, &kFamilyIPAPGothic},
    {&kFaceMSPMincho, &kFamilyIPAPMincho},
    {&kFaceArial, &kFamilyLiberationSans},
    {&kFaceWingdings, &kFamilySymbols},
    {&kFaceSymbol, &kFamilySymbols},
}};

// Japanese characters in a Latin face are shown the way Windows links them: in a Japanese Gothic.
const QString& kJapaneseFallbackFamily = kFamilyIPAPGothic;
#endif

// Asks for the plain text look of a symbol that also has a colour emoji look.
constexpr char16_t kTextPresentation = u'\uFE0E';

constexpr char32_t kLatin1End = 0x100;
constexpr char32_t kSymbolPrivateBase = 0xF000;  // symbol fonts' codes as Windows maps them
constexpr char32_t kSymbolPrivateEnd = 0xF100;
constexpr char32_t kHalfwidthKatakanaFirst = 0xFF61;  // Shift-JIS byte 0xA1
constexpr char32_t kHalfwidthKatakanaLast = 0xFF9F;   // Shift-JIS byte 0xDF
constexpr char32_t kShiftJisKatakanaFirstByte = 0xA1;

// The symbol-font code a character stands for, if it can stand for one.
std::optional<char32_t> SymbolCode(char32_t c)
{
    if (c < kLatin1End) {
        return c;
    }
    if (c >= kSymbolPrivateBase && c < kSymbolPrivateEnd) {
        return c - kSymbolPrivateBase;
    }
    if (c >= kHalfwidthKatakanaFirst && c <= kHalfwidthKatakanaLast) {
        return c - kHalfwidthKatakanaFirst + kShiftJisKatakanaFirstByte;
    }
    return std::nullopt;
}

// The glyph a character of `caption` stands for in `face`, if it is a symbol.
std::optional<SymbolGlyph> GlyphOf(bool wingdings, char32_t c)
{
    const std::optional<char32_t> code = SymbolCode(c);
    if (!code) {
        return std::nullopt;
    }
    return wingdings ? WingdingsGlyph(*code) : SymbolFontGlyph(*code);
}

const FaceStandIn* FindStandIn(const QString& face)
{
    for (const FaceStandIn& s : kStandIns) {
        if (face.compare(*s.face, Qt::CaseInsensitive) == 0) {
            return &s;
        }
    }
    return nullptr;
}

QStringList FamiliesForFace(const QString& face)
{
    const QString family = FamilyForFace(face);
    if (IsSymbolFace(face) || family == kJapaneseFallbackFamily) {
        return {family};
    }
    return {family, kJapaneseFallbackFamily};
}

} // namespace

bool IsSymbolFace(const QString& face)
{
    return face.compare(kFaceWingdings, Qt::CaseInsensitive) == 0
        || face.compare(kFaceSymbol, Qt::CaseInsensitive) == 0;
}

bool IsWindowsFace(const QString& face)
{
    return FindStandIn(face) != nullptr;
}

QString FamilyForFace(const QString& face)
{
    const FaceStandIn* s = FindStandIn(face);
    return s ? *s->family : face;
}

QFont WindowsFont(const QString& face, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(FamiliesForFace(face));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    if (IsSymbolFace(face)) {
        // A missing glyph must not be fetched from a colour emoji font.
        font.setStyleStrategy(QFont::NoFontMerging);
    }
    return font;
}

QString DisplayText(const QString& face, const QString& caption)
{
    const bool wingdings = face.compare(kFaceWingdings, Qt::CaseInsensitive) == 0;
    const bool symbol = face.compare(kFaceSymbol, Qt::CaseInsensitive) == 0;
    if (!wingdings && !symbol) {
        return caption;
    }
    QString shown;
    shown.reserve(caption.size());
    for (const char32_t c : caption.toUcs4()) {
        if (const std::optional<SymbolGlyph> glyph = GlyphOf(wingdings, c)) {
            shown += QString::fromUcs4(&glyph->unicode, 1);
            shown += QChar(kTextPresentation);
        } else {
            shown += QString::fromUcs4(&c, 1);
        }
    }
    return shown;
}

QString SpokenSymbols(const QString& face, const QString& caption)
{
    if (!IsSymbolFace(face)) {
        return caption;
    }
    const bool wingdings = face.compare(kFaceWingdings, Qt::CaseInsensitive) == 0;
    QStringList words;
    QString plain;
    for (const char32_t c : caption.toUcs4()) {
        if (const std::optional<SymbolGlyph> glyph = GlyphOf(wingdings, c)) {
            if (!plain.trimmed().isEmpty()) {
                words << plain.trimmed();
            }
            plain.clear();
            words << QString::fromStdString(LoadStr(glyph->spoken));
        } else {
            plain += QString::fromUcs4(&c, 1);
        }
    }
    if (!plain.trimmed().isEmpty()) {
        words << plain.trimmed();
    }
    return words.join(QLatin1Char(' '));
}

void InstallFontSubstitutes()
{
    for (const FaceStandIn& s : kStandIns) {
        QFont::insertSubstitutions(*s.face, FamiliesForFace(*s.face));
    }
}

void AdoptWindowsFont(QWidget& widget, QString& face)
{
    const QFont current = widget.font();
    const QString family = current.family();
    if (IsWindowsFace(family)) {
        const int pixelSize = current.pixelSize() > 0 ? current.pixelSize() : QFontInfo(current).pixelSize();
        face = family;
        widget.setFont(WindowsFont(family, pixelSize, current.bold()));
        return;
    }
    if (family != FamilyForFace(face)) {
        face = family;
    }
}

} // namespace mirvo
