// The labels: the 3-D label's back copy, the multi-line label's shadow
// placement and layout, auto-size with the right edge kept, transparency over
// the gradient, and the scrolling and flipping labels.
#include "components/activelabel.h"
#include "components/fliplabel.h"
#include "components/fonts.h"
#include "components/gradbox.h"
#include "components/label3d.h"
#include "components/multilinelabel.h"
#include "tests/gui/paintcheck.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace mirvo;
using painttest::Bounds;
using painttest::Render;

namespace {

constexpr TColor kPureGreen = RGBColor(0, 255, 0);
constexpr TColor kPureRed = RGBColor(255, 0, 0);

// Green text with a red shadow, 16 px Arial, transparent, 140 x 40.
std::unique_ptr<TMultiLineLabel> ShadowLabel()
{
    auto label = std::make_unique<TMultiLineLabel>();
    label->resize(140, 40);
    label->SetTransparent(true);
    label->SetWindowsFont(kFaceArial, 16);
    label->SetFontColor(kPureGreen);
    label->Shadow().SetColor(kPureRed);
    label->SetLines({QStringLiteral("Shadow")});
    return label;
}

// Where the text lands with the shadow off: the reference for offsets.
QRect TextAlone(TMultiLineLabel& label)
{
    label.Shadow().SetVisible(false);
    const QRect text = Bounds(Render(label, Qt::black), painttest::HasGreen);
    label.Shadow().SetVisible(true);
    return text;
}

// One tick of the timer, delivered at once to everything connected to it.
void Tick(QTimer& timer)
{
    QVERIFY(QMetaObject::invokeMethod(&timer, "timeout", Qt::DirectConnection));
}

bool BlueOverRed(QRgb p)
{
    return qBlue(p) > qRed(p);
}

} // namespace

class TestLabels final : public QObject {
    Q_OBJECT

private slots:
    void label3DBackCopyLiesDepthPixelsRightAndDown();
    void label3DDisabledKeepsTheBackCopy();
    void label3DDepthZeroHidesTheBackCopy();
    void labelsOverTheGradientAreTransparent();
    void autoSizeKeepsTheRightEdge();
    void shadowOffAndEmptyLines();
    void shadowStaysOnTheAlignedEdge();
    void centredAndLayoutShadows();
    void bottomLayoutMovesTallTextUp();
    void disabledMultiLineIsEngraved();
    void linesAndShadowChanges();
    void activeLabelPasses();
    void activeLabelScrolls();
    void flipLabelFlipsOnClick();
};

void TestLabels::label3DBackCopyLiesDepthPixelsRightAndDown()
{
    TLabel3D label;
    label.SetWindowsFont(kFaceArial, 21, true);
    label.SetFontColor(clWhite);
    label.SetBackColor(clBlue);
    label.SetCaption(QStringLiteral("2024/01/05 "));
    QVERIFY(label.GetTransparent());
    QCOMPARE(label.GetDepth(), 2);
    const QImage image = Render(label, Qt::black);
    const QRect front = Bounds(image, painttest::HasRed);
    const QRect back = Bounds(image, BlueOverRed);
    QVERIFY(!front.isEmpty());
    QCOMPARE(back.bottomRight(), front.bottomRight() + QPoint(2, 2));
    QVERIFY(painttest::CountPixels(image, [](QRgb p) { return p == qRgb(0, 0, 255); }) > 0);
    QVERIFY(painttest::CountPixels(image, [](QRgb p) { return p == qRgb(255, 255, 255); }) > 0);
}

void TestLabels::label3DDisabledKeepsTheBackCopy()
{
    TLabel3D label;
    QPalette palette = label.palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0, 200, 0));
    label.setPalette(palette);
    label.SetWindowsFont(kFaceArial, 21, true);
    label.SetFontColor(clWhite);
    label.SetBackColor(clBlue);
    label.SetCaption(QStringLiteral("2024/01/05 "));
    label.setEnabled(false);
    const QImage image = Render(label, Qt::black);
    // The front in the grey-text colour (here green), never in the font colour.
    QCOMPARE(Bounds(image, painttest::HasRed), QRect());
    const QRect front = Bounds(image, painttest::HasGreen);
    QVERIFY(!front.isEmpty());
    QCOMPARE(Bounds(image, painttest::HasBlue).bottomRight(), front.bottomRight() + QPoint(2, 2));
}

void TestLabels::label3DDepthZeroHidesTheBackCopy()
{
    TLabel3D label;
    label.SetWindowsFont(kFaceArial, 21, true);
    label.SetFontColor(clWhite);
    label.SetBackColor(clBlue);
    label.SetDepth(0);
    label.SetCaption(QStringLiteral("2024/01/05 "));
    const QImage image = Render(label, Qt::black);
    QVERIFY(!Bounds(image, painttest::HasRed).isEmpty());
    QCOMPARE(Bounds(image, BlueOverRed), QRect());
}

void TestLabels::labelsOverTheGradientAreTransparent()
{
    QWidget window;
    window.resize(234, 303);
    auto* back = new TGradBox(&window);
    back->setGeometry(0, 0, 234, 303);
    back->SetTopColor(clBlack);
    back->SetLastColor(clBlue);
    auto* date = new TLabel3D(&window);
    date->move(60, 8);
    date->SetWindowsFont(kFaceArial, 21, true);
    date->SetFontColor(clWhite);
    date->SetBackColor(clBlue);
    date->SetCaption(QStringLiteral("0000/00/00 "));
    auto* message = new TMultiLineLabel(&window);
    message->setGeometry(8, 248, 217, 41);
    message->SetTransparent(true);
    message->SetWordWrap(true);
    message->Shadow().SetVisible(false);
    message->SetWindowsFont(kFaceMSPGothic, 13);
    message->SetFontColor(clWhite);
    message->SetLinesText(QStringLiteral("今こそ革命の時です.腐敗した政治をなぎ倒し,あなたの王国を気づきあげましょう."));

    const QImage alone = Render(*back, Qt::magenta);
    const QImage image = Render(window, Qt::magenta);
    // Away from the text the gradient shows through both labels.
    QCOMPARE(image.pixel(date->x() + date->width() - 1, date->y()), alone.pixel(date->x() + date->width() - 1, date->y()));
    QCOMPARE(image.pixel(224, 288), alone.pixel(224, 288));
    const QRect messageText = Bounds(image.copy(message->geometry()), [](QRgb p) { return qRed(p) > 128; });
    QVERIFY(!messageText.isEmpty());
    // Word-wrapped onto a second line.
    QVERIFY(messageText.height() > QFontMetrics(message->font()).height());
}

void TestLabels::autoSizeKeepsTheRightEdge()
{
    QWidget window;
    auto* label = new TMirvoLabel(&window);
    label->setGeometry(75, 177, 30, 12);
    label->SetAlignment(taRightJustify);
    label->SetWindowsFont(kFaceMSPGothic, 12);
    label->SetCaption(QStringLiteral("-5%"));
    const QFontMetrics metrics(label->font());
    // As wide as the text (its fractional width rounded up), one line high.
    const auto fits = [&](const QString& text) {
        const int advance = metrics.horizontalAdvance(text);
        return label->width() >= advance && label->width() <= advance + 1;
    };
    QCOMPARE(label->x() + label->width(), 105);
    QVERIFY(fits(QStringLiteral("-5%")));
    QCOMPARE(label->height(), metrics.height());
    label->SetCaption(QStringLiteral("-100%"));
    QCOMPARE(label->x() + label->width(), 105);
    QVERIFY(fits(QStringLiteral("-100%")));

    // A left-justified label keeps its left edge; without AutoSize nothing moves.
    auto* left = new TMirvoLabel(&window);
    left->setGeometry(176, 176, 24, 12);
    left->SetCaption(QStringLiteral("大変良い"));
    QCOMPARE(left->x(), 176);
    left->SetAutoSize(false);
    left->setGeometry(176, 176, 24, 12);
    left->SetCaption(QStringLiteral("頑張れ"));
    QCOMPARE(left->geometry(), QRect(176, 176, 24, 12));
}

void TestLabels::shadowOffAndEmptyLines()
{
    auto label = ShadowLabel();
    label->Shadow().SetVisible(false);
    QImage image = Render(*label, Qt::black);
    QVERIFY(!Bounds(image, painttest::HasGreen).isEmpty());
    QCOMPARE(Bounds(image, painttest::HasRed), QRect());
    QCOMPARE(Bounds(image, painttest::HasGreen).topLeft(), TextAlone(*label).topLeft());

    label->Shadow().SetVisible(true);
    label->SetLines({});
    QCOMPARE(Bounds(Render(*label, Qt::black), painttest::NotBlack), QRect());
    label->SetTransparent(false);
    label->SetColor(RGBColor(0x33, 0x66, 0x99));
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, [](QRgb p) { return p != qRgb(0x33, 0x66, 0x99); }), QRect());
}

void TestLabels::shadowStaysOnTheAlignedEdge()
{
    auto label = ShadowLabel();
    const QRect text = TextAlone(*label);

    // (2, 2): shadow at (2, 2), text where it would be alone.
    QImage image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), text);
    QCOMPARE(Bounds(image, painttest::HasRed).bottomRight(), text.bottomRight() + QPoint(2, 2));

    // (-2, -2): shadow where the text would be, the text moves to (2, 2).
    label->Shadow().SetOffsetLeft(-2);
    label->Shadow().SetOffsetTop(-2);
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), text.translated(2, 2));
    QCOMPARE(Bounds(image, painttest::HasRed).topLeft(), text.topLeft());

    // Right-justified, offset 2: the shadow keeps to the right edge, the text moves left.
    label->SetAlignment(taRightJustify);
    label->Shadow().SetOffsetLeft(2);
    label->Shadow().SetOffsetTop(2);
    const QRect right = TextAlone(*label);
    QVERIFY(right.left() > text.left());
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), right.translated(-2, 0));
    QCOMPARE(Bounds(image, painttest::HasRed).bottomRight(), right.bottomRight() + QPoint(0, 2));
}

void TestLabels::centredAndLayoutShadows()
{
    auto label = ShadowLabel();
    label->SetAlignment(taCenter);
    label->Shadow().SetOffsetLeft(3);
    label->Shadow().SetOffsetTop(0);
    const QRect centred = TextAlone(*label);
    // Centred with offset 3: shadow at 1, text at -2.
    QImage image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), centred.translated(-2, 0));
    QCOMPARE(Bounds(image, painttest::HasRed).right(), centred.right() + 1);

    // Layout centre with offset 3 downwards: shadow 1 down, text 2 up; a
    // negative offset -3 gives shadow 1 up (-3 / 2 toward zero) and text 2 down.
    label->SetAlignment(taLeftJustify);
    label->Shadow().SetOffsetLeft(0);
    label->Shadow().SetOffsetTop(3);
    label->SetLayout(tlCenter);
    const QRect middle = TextAlone(*label);
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), middle.translated(0, -2));
    QCOMPARE(Bounds(image, painttest::HasRed).bottom(), middle.bottom() + 1);
    label->Shadow().SetOffsetTop(-3);
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), middle.translated(0, 2));
    QCOMPARE(Bounds(image, painttest::HasRed).top(), middle.top() - 1);

    // Layout bottom: a shadow 2 up leaves the text on the bottom edge; a
    // shadow 2 down stays on the edge and lifts the text by 2.
    label->SetLayout(tlBottom);
    label->Shadow().SetOffsetTop(-2);
    const QRect bottom = TextAlone(*label);
    QVERIFY(bottom.top() > middle.top());
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), bottom);
    QCOMPARE(Bounds(image, painttest::HasRed).top(), bottom.top() - 2);
    label->Shadow().SetOffsetTop(2);
    image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), bottom.translated(0, -2));
    QCOMPARE(Bounds(image, painttest::HasRed).bottom(), bottom.bottom());
}

void TestLabels::bottomLayoutMovesTallTextUp()
{
    const QStringList lines{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                            QStringLiteral("four")};
    auto tall = ShadowLabel();
    tall->Shadow().SetVisible(false);
    tall->resize(100, 200);
    tall->SetLines(lines);
    const QRect alone = Bounds(Render(*tall, Qt::black), painttest::HasGreen);
    const int textHeight = QFontMetrics(tall->font()).boundingRect(QRect(0, 0, 100, 0), Qt::AlignLeft, lines.join('\n')).height();
    QVERIFY(textHeight > 20);

    tall->resize(100, 20);
    tall->SetLayout(tlBottom);
    const QRect moved = Bounds(Render(*tall, Qt::black), painttest::HasGreen);
    // The last line ends at the bottom edge; the lines above it are cut off.
    QCOMPARE(moved.bottom(), alone.bottom() + 20 - textHeight);
    QVERIFY(moved.bottom() >= 14 && moved.bottom() <= 19);
}

void TestLabels::disabledMultiLineIsEngraved()
{
    auto label = ShadowLabel();
    QPalette palette = label->palette();
    palette.setColor(QPalette::Active, QPalette::Light, QColor(0, 0, 255));
    palette.setColor(QPalette::Active, QPalette::Dark, QColor(255, 0, 0));
    label->setPalette(palette);
    const QRect text = TextAlone(*label);
    label->Shadow().SetVisible(false);
    label->setEnabled(false);
    const QImage image = Render(*label, Qt::black);
    QCOMPARE(Bounds(image, painttest::HasGreen), QRect());
    QCOMPARE(Bounds(image, painttest::HasRed), text);
    QCOMPARE(Bounds(image, painttest::HasBlue).bottomRight(), text.bottomRight() + QPoint(1, 1));
}

void TestLabels::linesAndShadowChanges()
{
    TMultiLineLabel label;
    QVERIFY(!label.GetAutoSize());
    QVERIFY(!label.GetTransparent());
    QVERIFY(!label.GetWordWrap());
    label.SetLinesText(QStringLiteral("first\r\nsecond\nthird\r\n"));
    QCOMPARE(label.GetLines(), QStringList({"first", "second", "third"}));
    label.SetLinesText(QString());
    QCOMPARE(label.GetLines(), QStringList());

    TShadow shadow;
    int changes = 0;
    shadow.OnChange = [&](TShadow& sender) {
        QCOMPARE(&sender, &shadow);
        ++changes;
    };
    shadow.SetOffsetLeft(2);  // unchanged
    shadow.SetVisible(true);  // unchanged
    QCOMPARE(changes, 0);
    shadow.SetOffsetLeft(-4);
    shadow.SetColor(clBlue);
    shadow.SetVisible(false);
    QCOMPARE(changes, 3);

    label.SetShadow(shadow);
    QCOMPARE(label.Shadow().GetOffsetLeft(), -4);
    QCOMPARE(label.Shadow().GetColor(), clBlue);
    QVERIFY(!label.Shadow().GetVisible());
    QVERIFY(!label.GetShadowVisible());
}

void TestLabels::activeLabelPasses()
{
    TActiveLabel label;
    QVERIFY(label.GetTransparent());
    QVERIFY(label.GetRepeatAction());
    label.SetStep(-3);
    QCOMPARE(label.GetStep(), 0);
    label.SetStep(4);
    label.SetCaption(QStringLiteral("scroll"));
    QTimer timer;
    int otherTicks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++otherTicks; });
    label.SetTimer(&timer);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    // Inactive: ticks leave the frame alone.
    Tick(timer);
    QCOMPARE(label.GetFrame(), 0);

    label.SetRepeatAction(false);
    label.SetActive(true);
    QList<int> frames;
    for (int i = 0; i < 4; ++i) {
        Tick(timer);
        frames << label.GetFrame();
    }
    QCOMPARE(frames, QList<int>({3, 2, 1, 0}));
    QVERIFY(!label.GetActive());
    QCOMPARE(otherTicks, 5);

    // Step 0: half the width in frames; a label of one pixel still has one.
    label.SetStep(0);
    label.resize(60, 20);
    QCOMPARE(label.FrameCount(), 30);
    label.SetAutoSize(false);
    label.resize(1, 20);
    QCOMPARE(label.FrameCount(), 1);
    label.SetStyle(alsBottomToTop);
    QCOMPARE(label.FrameCount(), 10);

    label.SetTimer(nullptr);
    label.SetActive(true);
    Tick(timer);
    QCOMPARE(label.GetFrame(), 0);
    QCOMPARE(otherTicks, 6);
}

void TestLabels::activeLabelScrolls()
{
    TActiveLabel label;
    label.SetAutoSize(false);
    label.resize(120, 24);
    label.SetWindowsFont(kFaceArial, 16);
    label.SetFontColor(kPureGreen);
    label.SetCaption(QStringLiteral("Mirvo"));
    label.SetStep(4);
    QTimer timer;
    label.SetTimer(&timer);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    const QRect still = Bounds(Render(label, Qt::black), painttest::HasGreen);

    // Right to left, active: the caption repeats across the whole width, shifted by frame * width / steps.
    label.SetActive(true);
    Tick(timer);
    QCOMPARE(label.GetFrame(), 3);
    const QImage active = Render(label, Qt::black);
    const QRect all = Bounds(active, painttest::HasGreen);
    QVERIFY(all.left() < still.left() + 2);
    QVERIFY(all.right() > 110);

    // Bottom to top, inactive at frame 3 of 4: moved down by three quarters of the height.
    label.SetActive(false);
    label.SetStyle(alsBottomToTop);
    const QRect raised = Bounds(Render(label, Qt::black), painttest::HasGreen);
    QCOMPARE(raised.top(), std::min(still.top() + 3 * 24 / 4, 23));
}

void TestLabels::flipLabelFlipsOnClick()
{
    TFlipLabel label;
    QVERIFY(label.GetTransparent());
    label.SetWindowsFont(kFaceArial, 16);
    label.SetFontColor(kPureGreen);
    label.SetFlippedColor(kPureRed);
    label.SetCaption(QStringLiteral("Flip"));
    QSignalSpy clicks(&label, &TFlipLabel::OnClick);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QVERIFY(Bounds(Render(label, Qt::black), painttest::HasRed).isEmpty());

    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(label.Flipping());
    QVERIFY(!label.GetFlipped());
    QTRY_VERIFY(!label.Flipping());
    QVERIFY(label.GetFlipped());
    const QImage flipped = Render(label, Qt::black);
    QVERIFY(Bounds(flipped, painttest::HasGreen).isEmpty());
    QVERIFY(!Bounds(flipped, painttest::HasRed).isEmpty());

    // Without FlipOnClick a click is only a click.
    label.SetFlipOnClick(false);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicks.count(), 2);
    QVERIFY(!label.Flipping());
    QVERIFY(label.GetFlipped());
}

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"
