// Fonts as a Japanese Windows user sees them: the Windows faces resolve to
// the installed stand-ins, the picture fonts' letters become symbols that the
// chosen font really has, and those symbols take the label's colour.
#include "components/fonts.h"
#include "components/mirvolabel.h"
#include "tests/gui/paintcheck.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

using namespace mirvo;

namespace {

// The characters the program's labels show in the picture fonts, as the
// layouts and the data file hold them.
struct SymbolUse {
    QString face;
    QString caption;
    char32_t symbol;
};

QList<SymbolUse> SymbolsInUse()
{
    QList<SymbolUse> uses{
        {kFaceWingdings, QStringLiteral("J"), U'\u263A'},
        {kFaceWingdings, QStringLiteral("K"), U'\U0001F610'},
        {kFaceWingdings, QStringLiteral("L"), U'\u2639'},
        {kFaceWingdings, QStringLiteral("M"), U'\U0001F4A3'},
        {kFaceSymbol, QString(QChar(0xA9)), U'\u2665'},
    };
    // The twelve sign symbols "^" ... "i": Aries ... Pisces.
    for (int sign = 0; sign < 12; ++sign) {
        uses.append({kFaceWingdings, QString(QChar(u'^' + sign)), char32_t(U'\u2648' + sign)});
    }
    return uses;
}

// A symbol as painted: followed by the request for its plain text look.
QString Shown(char32_t symbol)
{
    return QString::fromUcs4(&symbol, 1) + QChar(0xFE0E);
}

} // namespace

class TestFonts final : public QObject {
    Q_OBJECT

private slots:
    void windowsFacesResolveToTheInstalledStandIns();
    void japaneseTextHasItsGlyphs();
    void pictureFontLettersBecomeSymbols();
    void symbolsExistInTheChosenFont();
    void facesKeepTheLabelsColour();
    void substitutesServePlainQtFonts();
    void layoutFontsAreAdopted();
};

void TestFonts::windowsFacesResolveToTheInstalledStandIns()
{
    QCOMPARE(QFontInfo(WindowsFont(kFaceMSPGothic, 15, true)).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(QFontInfo(WindowsFont(kFaceMSPMincho, 15)).family(), QStringLiteral("IPAPMincho"));
    QCOMPARE(QFontInfo(WindowsFont(kFaceArial, 21, true)).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(WindowsFont(kFaceWingdings, 16)).family(), QStringLiteral("Symbola"));
    QCOMPARE(QFontInfo(WindowsFont(kFaceSymbol, 16)).family(), QStringLiteral("Symbola"));
    // Heights are em heights in pixels, as the layouts give them.
    QCOMPARE(QFontInfo(WindowsFont(kFaceArial, 21, true)).pixelSize(), 21);
    QVERIFY(QFontInfo(WindowsFont(kFaceArial, 21, true)).bold());
    // Face names compare without case, as on Windows.
    QCOMPARE(QFontInfo(WindowsFont(QStringLiteral("arial"), 12)).family(), QStringLiteral("Liberation Sans"));
}

void TestFonts::japaneseTextHasItsGlyphs()
{
    const QString texts = QStringLiteral("健康感情知性★点大変良い普通もう少し頑張れ今日のミルボ絶好調です.");
    for (const QString& face : {kFaceMSPGothic, kFaceMSPMincho}) {
        const QFontMetrics metrics(WindowsFont(face, 15));
        for (const uint c : texts.toUcs4()) {
            QVERIFY2(metrics.inFontUcs4(c), qPrintable(face + QStringLiteral(" lacks U+%1").arg(c, 4, 16)));
        }
    }
}

void TestFonts::pictureFontLettersBecomeSymbols()
{
    for (const SymbolUse& use : SymbolsInUse()) {
        QCOMPARE(DisplayText(use.face, use.caption), Shown(use.symbol));
    }
    QCOMPARE(DisplayText(kFaceWingdings, QStringLiteral("J K")), Shown(U'☺') + ' ' + Shown(U'😐'));
    // The same symbol-font code in its other spellings: U+F000 + code, and
    // the half-width katakana that Shift-JIS turns the byte 0xA9 into.
    QCOMPARE(DisplayText(kFaceSymbol, QString(QChar(0xF0A9))), Shown(U'♥'));
    QCOMPARE(DisplayText(kFaceSymbol, QStringLiteral("ｩ")), Shown(U'♥'));
    QCOMPARE(DisplayText(kFaceWingdings, QString(QChar(0xF04A))), Shown(U'☺'));
    // Text faces and other characters are left alone.
    QCOMPARE(DisplayText(kFaceMSPGothic, QStringLiteral("JKLM")), QStringLiteral("JKLM"));
    QCOMPARE(DisplayText(kFaceArial, QString(QChar(0xA9))), QString(QChar(0xA9)));
    QCOMPARE(DisplayText(kFaceSymbol, QStringLiteral("J")), QStringLiteral("J"));
    QCOMPARE(DisplayText(kFaceWingdings, QString()), QString());
}

void TestFonts::symbolsExistInTheChosenFont()
{
    for (const SymbolUse& use : SymbolsInUse()) {
        const QFont font = WindowsFont(use.face, 16);
        QVERIFY(QFontMetrics(font).inFontUcs4(0xFE0E));
        QVERIFY2(QFontMetrics(font).inFontUcs4(use.symbol),
                 qPrintable(QStringLiteral("%1 lacks U+%2").arg(QFontInfo(font).family()).arg(uint(use.symbol), 4, 16)));
        QVERIFY(QFontMetrics(font).horizontalAdvance(DisplayText(use.face, use.caption)) > 0);
    }
}

void TestFonts::facesKeepTheLabelsColour()
{
    for (const SymbolUse& use : SymbolsInUse()) {
        TMirvoLabel label;
        label.SetWindowsFont(use.face, 16);
        label.SetFontColor(RGBColor(255, 0, 0));
        label.SetTransparent(true);
        label.SetCaption(use.caption);
        QCOMPARE(label.GetCaption(), use.caption);
        const QImage image = painttest::Render(label, Qt::black);
        QVERIFY(painttest::CountPixels(image, [](QRgb p) { return qRed(p) > 200; }) > 4);
        // Monochrome: every painted pixel is a shade of the label's red.
        QCOMPARE(painttest::Bounds(image, [](QRgb p) { return qGreen(p) != 0 || qBlue(p) != 0; }), QRect());
    }
}

void TestFonts::substitutesServePlainQtFonts()
{
    InstallFontSubstitutes();
    QFont gothic(kFaceMSPGothic);
    gothic.setPixelSize(12);
    QCOMPARE(QFontInfo(gothic).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(QFontInfo(QFont(kFaceArial)).family(), QStringLiteral("Liberation Sans"));
}

void TestFonts::layoutFontsAreAdopted()
{
    // A layout that gives a label a Windows face gets the stand-in, and the
    // label remembers the face for its symbols.
    TMirvoLabel label;
    QFont wingdings(kFaceWingdings);
    wingdings.setPixelSize(16);
    label.setFont(wingdings);
    QCOMPARE(label.GetFontFace(), kFaceWingdings);
    QCOMPARE(QFontInfo(label.font()).family(), QStringLiteral("Symbola"));
    QCOMPARE(QFontInfo(label.font()).pixelSize(), 16);

    QFont other(QStringLiteral("DejaVu Sans"));
    other.setPixelSize(12);
    label.setFont(other);
    QCOMPARE(label.GetFontFace(), QStringLiteral("DejaVu Sans"));
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
