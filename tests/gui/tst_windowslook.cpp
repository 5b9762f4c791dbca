// The program's style where it departs from Fusion: group box titles on the
// frame line with every control inside its frame, and a help icon that
// reads as help at 16 pixels.
#include "components/windowslook.h"
#include "modalwatch.h"
#include "settings/formoption.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

#include <memory>

using namespace mirvo;

namespace {

QRect Part(const QGroupBox& box, QStyle::SubControl part)
{
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box.style()->subControlRect(QStyle::CC_GroupBox, &option, part, &box);
}

} // namespace

class TestWindowsLook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void titleSitsOnTheFrameLine();
    void noControlStraddlesAFrame();
    void helpIconReadsAtSixteenPixels();
    void checkMarksShowOnADarkPalette();
    void messageBoxKeepsFileNamesWhole();
};

void TestWindowsLook::initTestCase()
{
    QVERIFY(testing_gui::LoadDataFile());
    InstallProgramLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

void TestWindowsLook::titleSitsOnTheFrameLine()
{
    QGroupBox box(QStringLiteral("誕生日"));
    box.resize(200, 80);
    const QRect frame = Part(box, QStyle::SC_GroupBoxFrame);
    const QRect title = Part(box, QStyle::SC_GroupBoxLabel);
    // The frame's top line runs through the middle of the title.
    QVERIFY2(std::abs(frame.top() - title.center().y()) <= 1,
             qPrintable(QString("frame top %1, title middle %2").arg(frame.top()).arg(title.center().y())));
    // Painted: the line is broken where the title stands and drawn beside it.
    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    box.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QRgb background = image.pixel(box.width() / 2, box.height() / 2);
    QVERIFY(image.pixel(title.right() + 12, frame.top()) != background);
    QVERIFY(image.pixel(title.left() - 4, frame.top()) != background);
    int lineInTitle = 0;
    for (int x = title.left() + 2; x < title.right() - 2; ++x)
        lineInTitle += image.pixel(x, frame.top()) == image.pixel(title.right() + 12, frame.top());
    QVERIFY2(lineInTitle < title.width() / 2, qPrintable(QString::number(lineInTitle)));
}

void TestWindowsLook::noControlStraddlesAFrame()
{
    QTemporaryDir dir;
    TTodayMirvoOption w(dir.path().toStdString());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (QGroupBox* box : w.findChildren<QGroupBox*>()) {
        const QRect frame = Part(*box, QStyle::SC_GroupBoxFrame).adjusted(1, 1, -1, -1);
        for (QWidget* child : box->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!child->isVisibleTo(box))
                continue;
            QVERIFY2(frame.contains(child->geometry()),
                     qPrintable(QString("%1 crosses the frame of %2").arg(child->objectName(), box->objectName())));
        }
    }
}

void TestWindowsLook::helpIconReadsAtSixteenPixels()
{
    const QImage icon = HelpIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(16, 16));
    int blue = 0;
    QRect mark;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor c = QColor::fromRgba(icon.pixel(x, y));
            if (c.alpha() > 200 && c.blue() > 150 && c.red() < 100)
                ++blue;
            if (c.alpha() > 200 && c.red() > 200 && c.green() > 200 && c.blue() > 200)
                mark |= QRect(x, y, 1, 1);
        }
    }
    // A blue disc with a white question mark standing in its middle.
    QVERIFY2(blue > 90, qPrintable(QString::number(blue)));
    QVERIFY2(mark.height() >= 8 && mark.width() >= 4 && mark.width() <= 9, qPrintable(QString("%1x%2").arg(mark.width()).arg(mark.height())));
    QVERIFY(std::abs(mark.center().x() - 7.5) <= 1.5);
    QVERIFY(std::abs(mark.center().y() - 7.5) <= 1.5);
    // The settings window's help button carries it, and the style hands it out.
    QTemporaryDir dir;
    TTodayMirvoOption w(dir.path().toStdString());
    const QImage button = w.findChild<QPushButton*>("btnHelp")->icon().pixmap(16, 16).toImage();
    QCOMPARE(button.convertToFormat(QImage::Format_ARGB32), icon);
    QCOMPARE(QApplication::style()->standardIcon(QStyle::SP_DialogHelpButton).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32), icon);
}




void TestWindowsLook::checkMarksShowOnADarkPalette()
{
    // A dark palette as GTK's dark themes give it.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{new QCheckBox, new QRadioButton}) {
        std::unique_ptr<QAbstractButton> owned(button);
        button->setPalette(dark);
        button->resize(button->sizeHint());
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement indicator = qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxIndicator
                                                                              : QStyle::SE_RadioButtonIndicator;
        const QRect box = button->style()->subElementRect(indicator, &option, button);
        const QImage shot = button->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        // An unchecked box: its outline is the only thing to see, and it must stand out.
        int light = 0;
        for (int y = box.top() * ratio; y <= (box.bottom() + 1) * ratio - 1; ++y)
            for (int x = box.left() * ratio; x <= (box.right() + 1) * ratio - 1; ++x)
                light += QColor(shot.pixel(x, y)).lightness() > 110;
        QVERIFY2(light >= box.width() * ratio * 2, qPrintable(QString("%1: %2 light pixels")
                                                                  .arg(button->metaObject()->className())
                                                                  .arg(light)));
    }
}

void TestWindowsLook::messageBoxKeepsFileNamesWhole()
{
    const QString file = "/home/hanako/My Documents/今日のミルボ/Mirvo (2).csv";
    const QString text = "メンバーリストを保存できなかったので, 代わりに " + file + " に保存しました. 次からはこのファイルに保存します.";
    QMessageBox box(QMessageBox::Information, "今日のミルボ", text, QMessageBox::Ok);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    QVERIFY(label && label->wordWrap());
    const QString shown = label->text();
    QCOMPARE(QString(shown).replace(QChar(0x00A0), ' '), text);
    // However narrow the box, no line ends at a blank of the file name; the
    // sentence around it still breaks.
    const qsizetype start = text.indexOf(file);
    for (int width = 100; width <= 600; width += 10) {
        QTextLayout layout(shown, label->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
            const qsizetype end = line.textStart() + line.textLength();
            if (end > start && end < start + file.size())
                QVERIFY2(text[end - 1] != ' ',
                         qPrintable(QString("%1 px: %2").arg(width).arg(shown.mid(line.textStart(), line.textLength()))));
        }
        layout.endLayout();
        QVERIFY(lines > 1);
    }
}

QTEST_MAIN(TestWindowsLook)
#include "tst_windowslook.moc"
