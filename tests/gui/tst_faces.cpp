// The four faces are drawn clearly and each as itself, in their label's
// colour and place, beside the percents but never over them; the heart, the
// star and the sign symbols keep a font that has them. Runs at 1x and, as
// tst_faces_2x, at QT_SCALE_FACTOR=2.
#include "app/formmain.h"
#include "base/sjis.h"
#include "components/faceglyphs.h"
#include "components/fonts.h"
#include "components/mirvolabel.h"
#include "components/windowslook.h"
#include "koyomi/datetime.h"
#include "modalwatch.h"
#include "tests/gui/paintcheck.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

using namespace mirvo;

namespace {

constexpr int kFacePixels = 16;  // the face labels' font height
const QColor kInk(255, 0, 0);

// One face drawn into its cell at the pixel density the test runs at, on black.
QImage DrawnFace(QChar letter)
{
    const QSize cell = FacePictureCell(kFacePixels);
    const qreal ratio = qApp->devicePixelRatio();
    QImage image(cell * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawFacePicture(painter, QRectF(QPointF(0, 0), cell), letter, kInk);
    return image;
}

bool Inked(QRgb p)
{
    return qRed(p) >= 128;
}

int InkedCount(const QImage& image)
{
    return painttest::CountPixels(image, Inked);
}

// The mean height (cell pixels, downward) of the ink in the pixel column at `column`, between two rows.
double InkHeight(const QImage& image, double column, double fromRow, double toRow)
{
    const qreal r = image.devicePixelRatio();
    double sum = 0;
    int n = 0;
    const int x = static_cast<int>(column * r);
    for (int y = qRound(fromRow * r); y < qRound(toRow * r); ++y) {
        if (Inked(image.pixel(x, y))) {
            sum += y;
            ++n;
        }
    }
    return n ? sum / n / r : -1;
}

int Differing(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += Inked(a.pixel(x, y)) != Inked(b.pixel(x, y));
    return n;
}

} // namespace

class TestFaces : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyFaceHasItsOwnDrawing();
    void smileAndFrownAreMouthsApart();
    void bombIsABodyWithAFuse();
    void criticalDaysBesideTheirPercents();
    void heartStarAndSignsKeepTheirFont();
};

void TestFaces::initTestCase()
{
    QVERIFY(testing_gui::LoadDataFile());
    // As the program starts: the stand-in fonts, Japanese, the program's style.
    InstallProgramLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

void TestFaces::everyFaceHasItsOwnDrawing()
{
    const QString letters = QStringLiteral("JKLM");
    QList<QImage> faces;
    for (const QChar letter : letters) {
        QVERIFY(HasFacePicture(kFaceWingdings, letter));
        QVERIFY(HasFacePicture(QStringLiteral("wingdings"), letter));
        const QImage face = DrawnFace(letter);
        const qreal r = face.devicePixelRatio();
        QVERIFY2(InkedCount(face) > 30 * r * r, qPrintable(QString(letter)));
        // Not a missing-glyph box: the corners of the cell stay empty.
        const QRect corner(0, 0, qRound(1.5 * r), qRound(1.5 * r));
        for (const QPoint at : {corner.topLeft(), QPoint(face.width() - corner.width(), 0),
                                QPoint(0, face.height() - corner.height()),
                                QPoint(face.width() - corner.width(), face.height() - corner.height())}) {
            QCOMPARE(painttest::Bounds(face.copy(QRect(at, corner.size())), Inked), QRect());
        }
        faces << face;
    }
    for (int i = 0; i < faces.size(); ++i)
        for (int j = i + 1; j < faces.size(); ++j)
            QVERIFY2(Differing(faces[i], faces[j]) > 8, qPrintable(QString("%1 and %2 look alike").arg(letters[i]).arg(letters[j])));
    // Letters of other faces, and other letters, are not drawn.
    QVERIFY(!HasFacePicture(kFaceSymbol, 'J'));
    QVERIFY(!HasFacePicture(kFaceMSPGothic, 'J'));
    QVERIFY(!HasFacePicture(kFaceWingdings, '^'));
    QVERIFY(!IsFacePictureText(kFaceWingdings, QString()));
    QVERIFY(IsFacePictureText(kFaceWingdings, "MJ"));
    QVERIFY(!IsFacePictureText(kFaceWingdings, "J^"));
    QImage none(4, 4, QImage::Format_RGB32);
    none.fill(Qt::black);
    QPainter painter(&none);
    QVERIFY(!DrawFacePicture(painter, QRectF(0, 0, 4, 4), 'A', kInk));
    QCOMPARE(FacePictureCell(16), QSize(14, 17));
    QCOMPARE(FacePictureCell(32), QSize(28, 34));
}

void TestFaces::smileAndFrownAreMouthsApart()
{
    // The mouth's corners against its middle: up for a smile, level for the
    // straight face, down for a frown.
    auto bend = [](QChar letter) {
        const QImage face = DrawnFace(letter);
        return InkHeight(face, 6.5, 8.5, 13.0) - InkHeight(face, 4.0, 8.5, 13.0);
    };
    QVERIFY2(bend('J') > 1.0, qPrintable(QString::number(bend('J'))));
    QVERIFY2(std::abs(bend('K')) < 0.5, qPrintable(QString::number(bend('K'))));
    QVERIFY2(bend('L') < -1.0, qPrintable(QString::number(bend('L'))));
}

void TestFaces::bombIsABodyWithAFuse()
{
    const QImage bomb = DrawnFace('M');
    const QImage smile = DrawnFace('J');
    // A filled body, where a face is a ring.
    const qreal r = bomb.devicePixelRatio();
    QVERIFY(Inked(bomb.pixel(qRound(6 * r), qRound(11 * r))));
    QVERIFY(!Inked(smile.pixel(qRound(7 * r), qRound(8.5 * r))));
    QVERIFY(InkedCount(bomb) > InkedCount(smile));
    // The fuse and its spark stand up at the top right of the cell.
    const QRect topRight(qRound(10 * r), 0, bomb.width() - qRound(10 * r), qRound(5 * r));
    QVERIFY(InkedCount(bomb.copy(topRight)) >= 4 * r);
    // The body sits in the middle of the line, not at its foot.
    const QRect ink = painttest::Bounds(bomb, Inked);
    QVERIFY2(ink.bottom() <= qRound(16 * r), qPrintable(QString::number(ink.bottom())));
}

void TestFaces::criticalDaysBesideTheirPercents()
{
    // 4249 days after birth every cycle is at its trough: three bombs beside "-100%".
    QTemporaryDir dir;
    mirvo::ProgramPaths paths;
    paths.programFile = std::filesystem::path(dir.path().toStdString()) / "TodayMirvo";
    const koyomi::DateParts born = koyomi::DecodeDate(koyomi::Now() - 4249);
    {
        std::ofstream out(paths.MemberFile(), std::ios::binary);
        out << *koyomi::Utf8ToCp932(QString("\"臨界\",2,%1/%2/%3,12:00:00,0,\"\"\r\n")
                                        .arg(born.year, 4, 10, QChar('0'))
                                        .arg(born.month, 2, 10, QChar('0'))
                                        .arg(born.day, 2, 10, QChar('0'))
                                        .toStdString());
    }
    TTodayMirvo w(paths);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const qreal r = w.devicePixelRatioF();
    QImage shot(w.size() * r, QImage::Format_RGB32);
    shot.setDevicePixelRatio(r);
    w.render(&shot);
    const char* const faces[] = {"labFaceHealth", "labFaceFeel", "labFaceIntell"};
    const char* const percents[] = {"labBioHealth", "labBioFeel", "labBioIntell"};
    for (int axis = 0; axis < 3; ++axis) {
        auto* face = w.findChild<TMirvoLabel*>(faces[axis]);
        auto* percent = w.findChild<TMirvoLabel*>(percents[axis]);
        QCOMPARE(face->GetCaption(), QString("M"));
        QCOMPARE(percent->GetCaption(), QString("-100%"));
        QCOMPARE(face->size(), QSize(14, 17));
        QVERIFY(!face->geometry().intersects(percent->geometry()));
        // The face's own colour (red below -50%) fills part of its label and
        // nothing of the percent's.
        auto red = [](QRgb p) { return qRed(p) > 160 && qGreen(p) < 90 && qBlue(p) < 90; };
        const auto device = [r](const QRect& g) {
            return QRect(qRound(g.x() * r), qRound(g.y() * r), qRound(g.width() * r), qRound(g.height() * r));
        };
        QVERIFY(painttest::CountPixels(shot.copy(device(face->geometry())), red) > 25 * r * r);
        QCOMPARE(painttest::CountPixels(shot.copy(device(percent->geometry())), red), 0);
        // Between the face and the percent lies only the background.
        const QRect gap(face->geometry().right() + 1, face->geometry().top(),
                        percent->geometry().left() - face->geometry().right() - 1, face->height());
        QCOMPARE(painttest::CountPixels(shot.copy(device(gap)), red), 0);
    }
}

void TestFaces::heartStarAndSignsKeepTheirFont()
{
    // What the heart, the star and the twelve sign symbols are painted with
    // has them; a label drawing each shows it inside its bounds.
    struct Use {
        QString face;
        QString caption;
    };
    QList<Use> uses{{kFaceSymbol, QString(QChar(0xA9))}, {kFaceMSPGothic, QStringLiteral("★")}};
    for (int sign = 0; sign < 12; ++sign)
        uses.append({kFaceWingdings, QString(QChar(u'^' + sign))});
    for (const Use& use : uses) {
        const QFont font = WindowsFont(use.face, kFacePixels);
        const QString shown = DisplayText(use.face, use.caption);
        QVERIFY2(QFontMetrics(font).inFontUcs4(shown.toUcs4().front()), qPrintable(shown));
        TMirvoLabel label;
        label.SetWindowsFont(use.face, kFacePixels);
        label.SetTransparent(true);
        label.SetFontColor(RGBColor(255, 0, 0));
        label.SetCaption(use.caption);
        const QImage image = painttest::Render(label, Qt::black);
        QVERIFY2(painttest::CountPixels(image, Inked) > 10, qPrintable(shown));
    }
}

QTEST_MAIN(TestFaces)
#include "tst_faces.moc"
