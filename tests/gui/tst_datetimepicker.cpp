// The settings window's date and time pickers, driven by mouse and keyboard
// as a Windows user drives them; the whole of the widest date in view; the
// Japanese calendar. Runs at 1x and, as tst_datetimepicker_2x, at
// QT_SCALE_FACTOR=2.
#include "components/datetimepicker.h"
#include "components/windowslook.h"
#include "koyomi/datetime.h"
#include "modalwatch.h"
#include "settings/formoption.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using mirvo::TDateTimePicker;
using testing_gui::Child;

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and its text.
constexpr int kLineEditTextMargin = 2;

QLineEdit* EditOf(const TDateTimePicker& picker)
{
    return picker.findChild<QLineEdit*>();
}

// Where the text of the picker starts and how wide it may be, by the line
// edit's own geometry.
QRect TextArea(const QLineEdit& edit)
{
    const QMargins m = edit.textMargins();
    return edit.contentsRect()
        .adjusted(m.left() + kLineEditTextMargin, m.top(), -(m.right() + kLineEditTextMargin), -m.bottom());
}

// The middle of the n-th run of digits of the shown text (0 the year or the hour).
QPoint PartCentre(const TDateTimePicker& picker, int part)
{
    QLineEdit* edit = EditOf(picker);
    const QString text = edit->text();
    int run = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (!text[i].isDigit() || (i > 0 && text[i - 1].isDigit()))
            continue;
        if (++run != part)
            continue;
        int end = i;
        while (end < text.size() && text[end].isDigit())
            ++end;
        const QFontMetrics fm = edit->fontMetrics();
        const int x = TextArea(*edit).left() + fm.horizontalAdvance(text.left(i))
                      + fm.horizontalAdvance(text.mid(i, end - i)) / 2;
        return {x, edit->height() / 2};
    }
    qFatal("no part %d in %s", part, qPrintable(text));
    return {};
}

void ClickPart(TDateTimePicker& picker, int part)
{
    QTest::mouseClick(EditOf(picker), Qt::LeftButton, {}, PartCentre(picker, part));
}

QString Selected(const TDateTimePicker& picker)
{
    return EditOf(picker)->selectedText();
}

} // namespace

class TestDateTimePicker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typedPartsMakeTheStoredBirthday();
    void clickSelectsThePartUnderThePointer();
    void arrowKeysMoveAndStep();
    void digitsThatDoNotFitStartThePartAgain();
    void twoDigitYearsAndFullWidthDigits();
    void tabLeavesThePicker();
    void timePickerTakesTypedParts();
    void widestDateFitsTheField();
    void calendarIsJapanese();

private:
    std::unique_ptr<TTodayMirvoOption> MakeWindow(QDate birth);
    QTemporaryDir FDir;
};

void TestDateTimePicker::initTestCase()
{
    QVERIFY(FDir.isValid());
    QVERIFY(testing_gui::LoadDataFile());
    mirvo::InstallProgramLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

// The settings window, shown and active, showing a member born on `birth`.
std::unique_ptr<TTodayMirvoOption> TestDateTimePicker::MakeWindow(QDate birth)
{
    auto w = std::make_unique<TTodayMirvoOption>(FDir.path().toStdString());
    mirvo::TMemberListItem& m = w->CurrentMember();
    m.Name = "見本";
    m.Birthday = koyomi::EncodeDate(birth.year(), birth.month(), birth.day()) + koyomi::EncodeTime(12, 0, 0);
    w->ShowSettings();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("settings window not active");
    return w;
}

void TestDateTimePicker::typedPartsMakeTheStoredBirthday()
{
    auto w = MakeWindow(QDate(1990, 4, 1));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    QCOMPARE(EditOf(*date)->text(), QString("1990年4月1日"));

    ClickPart(*date, 0);
    QCOMPARE(Selected(*date), QString("1990"));
    // Typed in one go: each part typed whole hands the caret to the next.
    QTest::keyClicks(date, "19751123");
    QCOMPARE(date->date(), QDate(1975, 11, 23));
    QCOMPARE(EditOf(*date)->text(), QString("1975年11月23日"));
    QCOMPARE(Selected(*date), QString("23"));
    ClickPart(*date, 0);
    QTest::keyClicks(date, "1975");
    QCOMPARE(Selected(*date), QString("11"));
    // Zeros that lead a month or a day wait for the second digit.
    ClickPart(*date, 0);
    QTest::keyClicks(date, "20260507");
    QCOMPARE(date->date(), QDate(2026, 5, 7));
    // A separator right after the caret moved on by itself is taken as read.
    ClickPart(*date, 0);
    QTest::keyClicks(date, "1975/11/23");
    QCOMPARE(date->date(), QDate(1975, 11, 23));

    Child<QLineEdit>(*w, "txtName")->setText("山田");
    QTest::mouseClick(Child<QPushButton>(*w, "btnAdd"), Qt::LeftButton);
    QCOMPARE(w->Members().Count(), 1);
    QCOMPARE(w->Members().Items(0).Birthday,
             koyomi::EncodeDate(1975, 11, 23) + koyomi::EncodeTime(12, 0, 0));
}

void TestDateTimePicker::clickSelectsThePartUnderThePointer()
{
    auto w = MakeWindow(QDate(2000, 12, 31));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    const char* const parts[] = {"2000", "12", "31"};
    for (int part : {2, 0, 1}) {
        ClickPart(*date, part);
        QCOMPARE(Selected(*date), QString(parts[part]));
        QCOMPARE(date->SelectedPart(), part);
    }
    // A click on "年" selects the year beside it.
    QLineEdit* edit = EditOf(*date);
    const QFontMetrics fm = edit->fontMetrics();
    const QPoint onKanji(TextArea(*edit).left() + fm.horizontalAdvance("2000") + fm.horizontalAdvance("年") / 4,
                         edit->height() / 2);
    QTest::mouseClick(edit, Qt::LeftButton, {}, onKanji);
    QCOMPARE(Selected(*date), QString("2000"));
    // Dragging selects no more than the part.
    QTest::mousePress(edit, Qt::LeftButton, {}, PartCentre(*date, 0));
    QTest::mouseMove(edit, PartCentre(*date, 2));
    QTest::mouseRelease(edit, Qt::LeftButton, {}, PartCentre(*date, 2));
    QCOMPARE(Selected(*date), QString("2000"));
}

void TestDateTimePicker::arrowKeysMoveAndStep()
{
    auto w = MakeWindow(QDate(1990, 4, 30));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    ClickPart(*date, 0);
    QTest::keyClick(date, Qt::Key_Right);
    QCOMPARE(Selected(*date), QString("4"));
    QTest::keyClick(date, Qt::Key_Up);
    QCOMPARE(date->date(), QDate(1990, 5, 30));
    QCOMPARE(Selected(*date), QString("5"));
    QTest::keyClick(date, Qt::Key_Right);
    QTest::keyClick(date, Qt::Key_Right);  // stays on the last part
    QCOMPARE(date->SelectedPart(), 2);
    QTest::keyClick(date, Qt::Key_Up);
    QTest::keyClick(date, Qt::Key_Up);
    // May 31 steps round to May 1, in the same month.
    QCOMPARE(date->date(), QDate(1990, 5, 1));
    QTest::keyClick(date, Qt::Key_Down);
    QCOMPARE(date->date(), QDate(1990, 5, 31));
    QTest::keyClick(date, Qt::Key_Left);
    QTest::keyClick(date, Qt::Key_Left);
    QTest::keyClick(date, Qt::Key_Left);
    QCOMPARE(date->SelectedPart(), 0);
    QTest::keyClick(date, Qt::Key_Down);
    QCOMPARE(date->date(), QDate(1989, 5, 31));
    QTest::keyClick(date, Qt::Key_End);
    QCOMPARE(Selected(*date), QString("31"));
    // A separator typed moves on, as on Windows.
    QTest::keyClick(date, Qt::Key_Home);
    QTest::keyClicks(date, "2001/2");
    QCOMPARE(date->date(), QDate(2001, 2, 28));  // the 31st does not exist in February
}

void TestDateTimePicker::digitsThatDoNotFitStartThePartAgain()
{
    auto w = MakeWindow(QDate(1990, 4, 1));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    ClickPart(*date, 1);
    QTest::keyClicks(date, "1");
    QCOMPARE(date->date().month(), 1);
    QCOMPARE(date->SelectedPart(), 1);  // 10-12 may follow
    QTest::keyClicks(date, "3");  // 13 is no month: refused, April stays
    QCOMPARE(date->date().month(), 4);
    QCOMPARE(date->SelectedPart(), 1);
    QTest::keyClicks(date, "0");  // a lone 0 waits
    QCOMPARE(date->date().month(), 4);
    QTest::keyClicks(date, "9");
    QCOMPARE(date->date().month(), 9);
    QCOMPARE(date->SelectedPart(), 2);
    QTest::keyClicks(date, "31");  // September has 30 days: refused, the 1st stays
    QCOMPARE(date->date(), QDate(1990, 9, 1));
    // 30 February is never another day.
    ClickPart(*date, 1);
    QTest::keyClicks(date, "2");
    QCOMPARE(date->SelectedPart(), 2);  // no month starts with 2 and a second digit
    QTest::keyClicks(date, "30");
    QCOMPARE(date->date(), QDate(1990, 2, 1));
    QCOMPARE(EditOf(*date)->text(), QString("1990年2月1日"));
    QTest::keyClicks(date, "5");  // a day no second digit can follow
    QCOMPARE(date->date(), QDate(1990, 2, 5));
    // Letters and deletions change nothing.
    QTest::keyClicks(date, "ab");
    QTest::keyClick(date, Qt::Key_Backspace);
    QTest::keyClick(date, Qt::Key_Delete);
    QCOMPARE(EditOf(*date)->text(), QString("1990年2月5日"));
    // A year shows once it is a year the picker takes (from 100).
    ClickPart(*date, 0);
    QTest::keyClicks(date, "19");
    QCOMPARE(date->date().year(), 1990);
    QTest::keyClicks(date, "7");
    QCOMPARE(date->date().year(), 197);
    QTest::keyClicks(date, "5");
    QCOMPARE(date->date().year(), 1975);
    QCOMPARE(date->SelectedPart(), 1);
    // The year stops at 9999 and at 100; the month wraps within the year.
    ClickPart(*date, 0);
    QTest::keyClicks(date, "9999");
    ClickPart(*date, 0);
    QTest::keyClick(date, Qt::Key_Up);
    QCOMPARE(date->date(), QDate(9999, 2, 5));
    QTest::keyClicks(date, "0100");
    ClickPart(*date, 0);
    QTest::keyClick(date, Qt::Key_Down);
    QCOMPARE(date->date(), QDate(100, 2, 5));
    ClickPart(*date, 1);
    QTest::keyClick(date, Qt::Key_Down);
    QTest::keyClick(date, Qt::Key_Down);
    QCOMPARE(date->date(), QDate(100, 12, 5));
}

void TestDateTimePicker::twoDigitYearsAndFullWidthDigits()
{
    auto w = MakeWindow(QDate(1990, 4, 1));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    ClickPart(*date, 0);
    QTest::keyClicks(date, "75");
    QTest::keyClick(date, Qt::Key_Right);
    QCOMPARE(date->date(), QDate(1975, 4, 1));
    ClickPart(*date, 0);
    QTest::keyClicks(date, "29");
    ClickPart(*date, 2);
    QCOMPARE(date->date().year(), 2029);
    // No input method composes here; full-width digits typed are digits.
    QVERIFY(!date->testAttribute(Qt::WA_InputMethodEnabled));
    ClickPart(*date, 0);
    for (const QChar digit : QStringLiteral("１９８５")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(digit));
        QApplication::sendEvent(date, &press);
    }
    QCOMPARE(date->date(), QDate(1985, 4, 1));
}

void TestDateTimePicker::tabLeavesThePicker()
{
    auto w = MakeWindow(QDate(1990, 4, 1));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    auto* time = Child<TDateTimePicker>(*w, "edtTime");
    time->setEnabled(true);
    ClickPart(*date, 0);
    QVERIFY(date->hasFocus());
    QTest::keyClick(date, Qt::Key_Tab);
    QVERIFY(time->hasFocus());
    QCOMPARE(time->SelectedPart(), 0);
    // Back into a picker with Shift+Tab: its first part again, not its last.
    ClickPart(*time, 2);
    QTest::keyClick(time, Qt::Key_Backtab);
    QVERIFY(date->hasFocus());
    QCOMPARE(date->SelectedPart(), 0);
    QTest::keyClick(date, Qt::Key_Tab);
    QCOMPARE(time->SelectedPart(), 0);
}

void TestDateTimePicker::timePickerTakesTypedParts()
{
    auto w = MakeWindow(QDate(1990, 4, 1));
    auto* time = Child<TDateTimePicker>(*w, "edtTime");
    QTest::mouseClick(Child<QWidget>(*w, "chkTime"), Qt::LeftButton);
    QVERIFY(time->isEnabled());
    QCOMPARE(EditOf(*time)->text(), QString("12:00:00"));
    ClickPart(*time, 1);
    QTest::keyClicks(time, "45");
    QCOMPARE(time->SelectedPart(), 2);
    QTest::keyClick(time, Qt::Key_Home);
    QTest::keyClicks(time, "7");  // no hour starts with 7 and a second digit
    QCOMPARE(time->time(), QTime(7, 45, 0));
    QCOMPARE(time->SelectedPart(), 1);
    QTest::keyClicks(time, "083015");
    QCOMPARE(time->time(), QTime(7, 8, 15));  // the seconds are the last part: 15 replaces 30
    QTest::keyClick(time, Qt::Key_Home);
    QTest::keyClicks(time, "2");
    QTest::keyClicks(time, "5");  // 25 o'clock: refused
    QCOMPARE(time->time().hour(), 7);
    QCOMPARE(time->date(), time->minimumDate());  // the date of a time picker never moves
    // The time picker has no calendar.
    time->DropDown();
    QVERIFY(!time->Calendar()->isVisible());
}

void TestDateTimePicker::widestDateFitsTheField()
{
    auto w = MakeWindow(QDate(2000, 12, 31));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    QLineEdit* edit = EditOf(*date);
    for (const QDate& day : {QDate(2000, 12, 31), QDate(1985, 11, 23), QDate(2088, 8, 28)}) {
        date->setDate(day);
        const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
        const QRect area = TextArea(*edit);
        QVERIFY2(needed <= area.width(), qPrintable(QString("%1 needs %2 px, the field has %3 (scale %4)")
                                                        .arg(edit->text())
                                                        .arg(needed)
                                                        .arg(area.width())
                                                        .arg(date->devicePixelRatioF())));
    }
    // The text area ends before the drop-down button begins.
    QStyleOptionComboBox option;
    option.initFrom(date);
    option.editable = true;
    const QRect button = date->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, date);
    QVERIFY(edit->geometry().right() < button.left());
    QVERIFY(button.width() >= 12);
}

void TestDateTimePicker::calendarIsJapanese()
{
    auto w = MakeWindow(QDate(1975, 11, 23));
    auto* date = Child<TDateTimePicker>(*w, "edtDate");
    ClickPart(*date, 2);
    QTest::keyClick(date, Qt::Key_F4);
    mirvo::TJapaneseCalendar* calendar = date->Calendar();
    QVERIFY(QTest::qWaitForWindowExposed(calendar->window()));
    QCOMPARE(calendar->TitleText(), QString("1975年11月"));
    QCOMPARE(calendar->firstDayOfWeek(), Qt::Sunday);
    auto* view = calendar->findChild<QTableView*>();
    QVERIFY(view);
    QStringList heads;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        heads << view->model()->index(0, column).data().toString();
    QCOMPARE(heads, QStringList({"日", "月", "火", "水", "木", "金", "土"}));
    // National holidays red: Culture Day, Labour Thanksgiving Day (a Sunday) and its substitute.
    const auto red = [&](int month, int day) {
        return calendar->dateTextFormat(QDate(1975, month, day)).foreground().color() == QColor(Qt::red);
    };
    QVERIFY(red(11, 3) && red(11, 24));
    QVERIFY(!red(11, 4) && !red(11, 25));
    // The next month's button and a click on a day.
    QTest::mouseClick(calendar->findChild<QWidget*>("qt_calendar_nextmonth"), Qt::LeftButton);
    QCOMPARE(calendar->TitleText(), QString("1975年12月"));
    calendar->setSelectedDate(QDate(1975, 12, 24));
    emit calendar->activated(QDate(1975, 12, 24));
    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(date->date(), QDate(1975, 12, 24));
    // Alt+Down opens it as well.
    QTest::keyClick(date, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(calendar->isVisible());
    QTest::keyClick(calendar, Qt::Key_Escape);
    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(date->date(), QDate(1975, 12, 24));
}

QTEST_MAIN(TestDateTimePicker)
#include "tst_datetimepicker.moc"
