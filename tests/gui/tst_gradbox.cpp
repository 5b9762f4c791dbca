// The gradient box: band arithmetic, directions, outline, caption styles and
// which property changes repaint.
#include "components/fonts.h"
#include "components/gradbox.h"
#include "tests/gui/paintcheck.h"

#include <QFontMetrics>
#include <QPalette>
#include <QSignalSpy>
#include <QtTest>

using namespace mirvo;
using painttest::Bounds;
using painttest::Render;

namespace {

constexpr int kMainWidth = 234;
constexpr int kMainHeight = 303;
const QColor kMagenta(255, 0, 255);

int BlueAt(const QImage& image, int x, int y)
{
    return qBlue(image.pixel(x, y));
}

// A box of the given size, with a caption font whose colour is pure green and
// an extrusion colour that is pure red, over nothing (gsNone).
std::unique_ptr<TGradBox> CaptionBox()
{
    auto box = std::make_unique<TGradBox>();
    box->resize(120, 60);
    box->SetGradStyle(gsNone);
    box->SetWindowsFont(kFaceArial, 20, true);
    box->SetFontColor(RGBColor(0, 255, 0));
    box->SetBackFont(RGBColor(255, 0, 0));
    box->SetCaption(QStringLiteral("MW"));
    return box;
}

} // namespace

class TestGradBox final : public QObject {
    Q_OBJECT

private slots:
    void blackToBlueOnTheMainWindow();
    void lowBoxRowsShowTheLastBandStartingThere();
    void equalColoursGiveOneFlatColour();
    void reversedStylesSwapTheColours();
    void noneKeepsWhatLiesBeneathButDrawsOutlineAndCaption();
    void outlineSitsOnTheOuterPixels();
    void captionStyles();
    void disabledCaptionIsEngraved();
    void captionWrapsInsideAnOffsetBox();
    void onlyVisibleChangesRepaint();
};

void TestGradBox::blackToBlueOnTheMainWindow()
{
    TGradBox box;
    box.resize(kMainWidth, kMainHeight);
    box.SetTopColor(clBlack);
    box.SetLastColor(clBlue);
    const QImage image = Render(box, kMagenta);
    // Band 0 is painted over by band 1; the last band, 2 pixels, is the end colour itself.
    QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 1));
    QCOMPARE(image.pixel(0, 1), qRgb(0, 0, 2));
    QCOMPARE(image.pixel(0, 300), qRgb(0, 0, 254));
    QCOMPARE(image.pixel(0, 301), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(kMainWidth - 1, 302), qRgb(0, 0, 255));
    int previous = 0;
    for (int y = 0; y < kMainHeight; ++y) {
        const QRgb left = image.pixel(0, y);
        QCOMPARE(qRed(left), 0);
        QCOMPARE(qGreen(left), 0);
        QVERIFY2(qBlue(left) >= previous, qPrintable(QStringLiteral("row %1").arg(y)));
        previous = qBlue(left);
        for (int x = 1; x < kMainWidth; ++x) {
            QCOMPARE(image.pixel(x, y), left);
        }
    }
}

void TestGradBox::lowBoxRowsShowTheLastBandStartingThere()
{
    // 100 rows: bands one pixel high; bands 0 to 3 all start on row 0.
    TGradBox box;
    box.resize(20, 100);
    box.SetTopColor(clBlack);
    box.SetLastColor(clBlue);
    const QImage image = Render(box, kMagenta);
    QCOMPARE(BlueAt(image, 5, 0), 3);
    QCOMPARE(BlueAt(image, 5, 1), 6);
    QCOMPARE(BlueAt(image, 5, 50), 131);
    QCOMPARE(BlueAt(image, 5, 99), 255);
}

void TestGradBox::equalColoursGiveOneFlatColour()
{
    TGradBox box;
    box.resize(50, 300);
    box.SetTopColor(RGBColor(0x33, 0x66, 0x99));
    box.SetLastColor(RGBColor(0x33, 0x66, 0x99));
    QImage image = Render(box, kMagenta);
    QCOMPARE(Bounds(image, [](QRgb p) { return p != qRgb(0x33, 0x66, 0x99); }), QRect());

    // A system colour is looked up in the current palette, at every entry.
    QPalette palette = box.palette();
    palette.setColor(QPalette::Active, QPalette::Button, QColor(12, 34, 56));
    box.setPalette(palette);
    box.SetTopColor(clBtnFace);
    box.SetLastColor(clBtnFace);
    image = Render(box, kMagenta);
    QCOMPARE(Bounds(image, [](QRgb p) { return p != qRgb(12, 34, 56); }), QRect());
}

void TestGradBox::reversedStylesSwapTheColours()
{
    const TColor a = RGBColor(200, 10, 40);
    const TColor b = RGBColor(5, 180, 250);
    TGradBox forward;
    TGradBox backward;
    forward.resize(kMainWidth, kMainHeight);
    backward.resize(kMainWidth, kMainHeight);
    forward.SetTopColor(a);
    forward.SetLastColor(b);
    backward.SetTopColor(b);
    backward.SetLastColor(a);

    backward.SetGradStyle(gsBottomTop);
    QCOMPARE(Render(backward, kMagenta), Render(forward, kMagenta));

    forward.SetGradStyle(gsLeftRight);
    backward.SetGradStyle(gsRightLeft);
    const QImage vertical = Render(forward, kMagenta);
    QCOMPARE(Render(backward, kMagenta), vertical);
    // Left to right: vertical bands; 234 columns give bands one pixel wide,
    // and only the last column shows the end colour.
    QCOMPARE(vertical.pixel(0, 0), vertical.pixel(0, kMainHeight - 1));
    QCOMPARE(vertical.pixel(kMainWidth - 1, 0), qRgb(5, 180, 250));
    QCOMPARE(vertical.pixel(kMainWidth - 1, 7), qRgb(5, 180, 250));
    QVERIFY(vertical.pixel(kMainWidth - 2, 7) != qRgb(5, 180, 250));

    // The same colours in the other direction really differ.
    backward.SetGradStyle(gsLeftRight);
    QVERIFY(Render(backward, kMagenta) != vertical);
}

void TestGradBox::noneKeepsWhatLiesBeneathButDrawsOutlineAndCaption()
{
    TGradBox box;
    box.resize(60, 40);
    box.SetGradStyle(gsNone);
    QImage image = Render(box, kMagenta);
    QCOMPARE(Bounds(image, [](QRgb p) { return p != kMagenta.rgb(); }), QRect());

    box.SetDrawOutLine(true);
    box.SetOutLineColor(RGBColor(0, 255, 0));
    box.SetWindowsFont(kFaceArial, 14);
    box.SetFontColor(clWhite);
    box.SetCaption(QStringLiteral("Ab"));
    image = Render(box, kMagenta);
    QCOMPARE(image.pixel(0, 0), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(59, 39), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(5, 5), kMagenta.rgb());
    const QRect text = Bounds(image, [](QRgb p) { return p == qRgb(255, 255, 255); });
    QVERIFY(!text.isEmpty());
    QVERIFY(text.left() >= 10 && text.top() >= 10);
}

void TestGradBox::outlineSitsOnTheOuterPixels()
{
    TGradBox box;
    box.resize(30, 20);
    box.SetTopColor(clBlack);
    box.SetLastColor(clBlack);
    box.SetDrawOutLine(true);
    box.SetOutLineColor(clRed);
    const QImage image = Render(box, kMagenta);
    const QRgb red = qRgb(255, 0, 0);
    QCOMPARE(image.pixel(0, 0), red);
    QCOMPARE(image.pixel(29, 0), red);
    QCOMPARE(image.pixel(0, 19), red);
    QCOMPARE(image.pixel(29, 19), red);
    QCOMPARE(image.pixel(15, 19), red);
    QCOMPARE(image.pixel(1, 1), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(28, 18), qRgb(0, 0, 0));
}

void TestGradBox::captionStyles()
{
    auto box = CaptionBox();
    const QImage flat = Render(*box, Qt::black);
    const QRect front = Bounds(flat, painttest::HasGreen);
    QVERIFY(!front.isEmpty());
    QVERIFY(front.left() >= 10 && front.top() >= 10);
    QCOMPARE(Bounds(flat, painttest::HasRed), QRect());

    box->SetFont3D(true);
    box->SetStyle3D(fsRaise3D);
    box->SetFontDepth(3);
    QImage image = Render(*box, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), front);
    QCOMPARE(Bounds(image, painttest::HasRed).topLeft(), front.topLeft() - QPoint(3, 3));

    box->SetStyle3D(fsLowShadow);
    box->SetFontDepth(2);
    image = Render(*box, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasRed).bottomRight(), front.bottomRight() + QPoint(2, 2));

    box->SetStyle3D(fsLow3D);
    box->SetFontDepth(4);
    image = Render(*box, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasRed).bottomRight(), front.bottomRight() + QPoint(4, 4));

    box->SetStyle3D(fsRaiseShadow);
    box->SetFontDepth(2);
    image = Render(*box, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasRed).topLeft(), front.topLeft() - QPoint(2, 2));

    // Depth 0 of the 3-D styles: the caption once, in its own colour.
    for (const TFontStyle3D style : {fsLow3D, fsRaise3D}) {
        box->SetStyle3D(style);
        box->SetFontDepth(0);
        QCOMPARE(Render(*box, Qt::black), flat);
    }

    // The caption moves with CaptionLeft and CaptionTop.
    box->SetFont3D(false);
    box->SetCaptionLeft(20);
    box->SetCaptionTop(4);
    QCOMPARE(Bounds(Render(*box, Qt::black), painttest::HasGreen), front.translated(10, -6));
}

void TestGradBox::disabledCaptionIsEngraved()
{
    auto box = CaptionBox();
    box->SetFontColor(clGray);
    const QRect grey = Bounds(Render(*box, Qt::black), painttest::NotBlack);

    box->SetFontColor(RGBColor(0, 255, 0));
    box->SetFont3D(true);
    box->SetStyle3D(fsLowShadow);
    box->SetFontDepth(3);
    box->setEnabled(false);
    const QImage image = Render(*box, Qt::black);
    // Only white and grey, neither the font colour nor the 3-D colour.
    QCOMPARE(Bounds(image, [](QRgb p) { return qRed(p) != qGreen(p) || qGreen(p) != qBlue(p); }), QRect());
    const QRect all = Bounds(image, painttest::NotBlack);
    QCOMPARE(all.topLeft(), grey.topLeft());
    QCOMPARE(all.bottomRight(), grey.bottomRight() + QPoint(1, 1));
    QVERIFY(painttest::CountPixels(image, [](QRgb p) { return p == qRgb(255, 255, 255); }) > 0);
    QVERIFY(painttest::CountPixels(image, [](QRgb p) { return p == qRgb(128, 128, 128); }) > 0);
}

void TestGradBox::captionWrapsInsideAnOffsetBox()
{
    // A box away from its parent's origin still wraps its caption at its own right edge.
    QWidget window;
    window.resize(300, 100);
    auto* box = new TGradBox(&window);
    box->setGeometry(150, 20, 120, 70);
    box->SetGradStyle(gsNone);
    box->SetWindowsFont(kFaceArial, 14);
    box->SetFontColor(clWhite);
    box->SetCaption(QStringLiteral("one two three four five six"));
    const QImage image = Render(*box, Qt::black);
    const QRect text = Bounds(image, painttest::NotBlack);
    QVERIFY(text.right() < box->width() - 1);
    QVERIFY(text.height() > 2 * QFontMetrics(box->font()).ascent());
}

void TestGradBox::onlyVisibleChangesRepaint()
{
    QWidget window;
    window.resize(100, 80);
    auto* box = new TGradBox(&window);
    box->resize(100, 80);
    QSignalSpy paints(box, &TGradBox::OnPaint);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(paints.count() > 0);

    const auto repaints = [&](const std::function<void()>& change) {
        QCoreApplication::processEvents();
        paints.clear();
        change();
        QTest::qWait(50);
        return paints.count() > 0;
    };
    QVERIFY(!repaints([&] { box->SetBackFont(clRed); }));
    QVERIFY(!repaints([&] { box->SetFontDepth(5); }));
    QVERIFY(!repaints([&] { box->SetOutLineColor(clRed); }));
    QVERIFY(!repaints([&] { box->SetTopColor(box->GetTopColor()); }));
    QVERIFY(repaints([&] { box->SetTopColor(clBlack); }));
    QVERIFY(repaints([&] { box->SetFont3D(true); }));
    QVERIFY(repaints([&] { box->SetBackFont(clBlue); }));
    QVERIFY(repaints([&] { box->SetFontDepth(2); }));
    QVERIFY(repaints([&] { box->SetDrawOutLine(true); }));
    QVERIFY(repaints([&] { box->SetOutLineColor(clWhite); }));
    QVERIFY(repaints([&] { box->SetCaption(QStringLiteral("x")); }));
    QCOMPARE(paints.at(0).at(0).value<TGradBox*>(), box);
}

QTEST_MAIN(TestGradBox)
#include "tst_gradbox.moc"
