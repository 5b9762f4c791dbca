#include "components/datetimepicker.h"

#include "components/japanese.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <vector>

namespace mirvo {

namespace {

constexpr int kYearDigits = 4;
constexpr int kPartDigits = 2;
// Windows reads a two-digit year as one of 1930-2029.
constexpr int kTwoDigitYearPivot = 30;
constexpr int kCenturyBeforePivot = 1900;
constexpr int kCenturyFromPivot = 2000;
constexpr int kTwoDigitLimit = 100;
constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;
constexpr int kMonthsInYear = 12;
// A first digit from which no two-digit number is a month, a day of any
// month, an hour, a minute or a second: the part is typed whole.
constexpr int kFirstDigitOfNoMonth = 2;
constexpr int kFirstDigitOfNoDay = 4;
constexpr int kFirstDigitOfNoHour = 3;
constexpr int kFirstDigitOfNoMinute = 6;
// QLineEdit keeps this many pixels between its contents rectangle and its text.
constexpr int kLineEditTextMargin = 2;

struct DigitRun {
    int start;
    int end;  // one past the last digit
};

// The parts of a shown date or time: its runs of digits, in order (the
// program's formats "yyyy年M月d日" and "HH:mm:ss" have no other parts).
std::vector<DigitRun> DigitRuns(const QString& text)
{
    std::vector<DigitRun> runs;
    for (int i = 0; i < text.size();) {
        if (!text[i].isDigit()) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < text.size() && text[i].isDigit())
            ++i;
        runs.push_back({start, i});
    }
    return runs;
}

} // namespace

TDateTimePicker::TDateTimePicker(QWidget* parent)
    : QDateTimeEdit(parent)
{
    setLocale(JapaneseLocale());
    // A day stepped past the month's last comes back to the 1st, a month
    // past December to January, as in the Windows picker.
    setWrapping(true);
    // The calendar is used whenever the shown format has a date.
    setCalendarPopup(true);
    FCalendar = new TJapaneseCalendar;
    setCalendarWidget(FCalendar);
    lineEdit()->installEventFilter(this);
    // As on Windows, no input method composes in a picker: its keys arrive
    // as they are, full-width digits included.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

QString TDateTimePicker::WidestText() const
{
    const QFontMetrics metrics = lineEdit()->fontMetrics();
    QChar widest = u'0';
    for (char16_t c = u'1'; c <= u'9'; ++c)
        if (metrics.horizontalAdvance(QChar(c)) > metrics.horizontalAdvance(widest))
            widest = QChar(c);
    QString text = locale().toString(QDateTime(QDate(2000, 12, 31), QTime(23, 59, 59)), displayFormat());
    for (QChar& c : text)
        if (c.isDigit())
            c = widest;
    return text;
}

void TDateTimePicker::FitWidestText()
{
    const QLineEdit* edit = lineEdit();
    const QMargins margins = edit->textMargins();
    const int room = edit->contentsRect().width() - margins.left() - margins.right() - 2 * kLineEditTextMargin;
    const int needed = edit->fontMetrics().horizontalAdvance(WidestText());
    if (needed > room)
        resize(width() + needed - room, height());
}

void TDateTimePicker::showEvent(QShowEvent* event)
{
    QDateTimeEdit::showEvent(event);
    FitWidestText();
}

void TDateTimePicker::changeEvent(QEvent* event)
{
    QDateTimeEdit::changeEvent(event);
    if (isVisible() && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        FitWidestText();
}

int TDateTimePicker::PartAtCursorPosition(int position) const
{
    const std::vector<DigitRun> runs = DigitRuns(lineEdit()->text());
    int best = 0;
    int bestDistance = -1;
    for (int i = 0; i < static_cast<int>(runs.size()); ++i) {
        const int distance = position < runs[i].start ? runs[i].start - position
                             : position > runs[i].end ? position - runs[i].end
                                                      : 0;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void TDateTimePicker::SelectPart(int index)
{
    if (index < 0 || index >= sectionCount())
        return;
    FinishTyping();
    // The caret into the part first: Qt finds the current part from the
    // caret in the text as it reads now ("5月" is shorter than "11月").
    const std::vector<DigitRun> runs = DigitRuns(lineEdit()->text());
    if (index < static_cast<int>(runs.size()))
        lineEdit()->setCursorPosition(runs[index].start);
    setCurrentSectionIndex(index);
    setSelectedSection(sectionAt(index));
}

void TDateTimePicker::MovePart(int step)
{
    const int index = currentSectionIndex() + step;
    SelectPart(index < 0 ? 0 : (index >= sectionCount() ? sectionCount() - 1 : index));
}

void TDateTimePicker::DropDown()
{
    if (!calendarPopup() || !(displayedSections() & DateSections_Mask) || !isEnabled())
        return;
    FinishTyping();
    // The pop-up opens on a press on the drop-down button.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QPointF onButton = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this)
                                 .toRectF()
                                 .center();
    QMouseEvent press(QEvent::MouseButtonPress, onButton, mapToGlobal(onButton), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    mousePressEvent(&press);
}

bool TDateTimePicker::SetPart(Section part, int value)
{
    const QDateTime now = dateTime();
    QDate date = now.date();
    QTime time = now.time();
    switch (part) {
    case YearSection:
        if (value < 1)
            return false;
        date = QDate(value, date.month(), 1);
        date = QDate(value, date.month(), std::min(now.date().day(), date.daysInMonth()));
        break;
    case MonthSection:
        if (value < 1 || value > kMonthsInYear)
            return false;
        date = QDate(date.year(), value, 1);
        date = QDate(date.year(), value, std::min(now.date().day(), date.daysInMonth()));
        break;
    case DaySection:
        if (value < 1 || value > date.daysInMonth())
            return false;
        date = QDate(date.year(), date.month(), value);
        break;
    case HourSection:
        if (value > kLastHour)
            return false;
        time = QTime(value, time.minute(), time.second());
        break;
    case MinuteSection:
        if (value > kLastMinute)
            return false;
        time = QTime(time.hour(), value, time.second());
        break;
    case SecondSection:
        if (value > kLastMinute)
            return false;
        time = QTime(time.hour(), time.minute(), value);
        break;
    default:
        return false;
    }
    QDateTime wanted = now;
    wanted.setDate(date);
    wanted.setTime(time);
    if (!date.isValid() || wanted < minimumDateTime() || wanted > maximumDateTime())
        return false;
    setDateTime(wanted);
    return true;
}

bool TDateTimePicker::PartComplete(Section part, const QString& typed) const
{
    if (part == YearSection)
        return typed.size() >= kYearDigits;
    if (typed.size() >= kPartDigits)
        return true;
    const int first = typed.toInt();
    switch (part) {
    case MonthSection: return first >= kFirstDigitOfNoMonth;
    case DaySection: return first >= kFirstDigitOfNoDay;
    case HourSection: return first >= kFirstDigitOfNoHour;
    case MinuteSection:
    case SecondSection: return first >= kFirstDigitOfNoMinute;
    default: return true;
    }
}

void TDateTimePicker::TypeDigit(int digit)
{
    const Section part = currentSection();
    // Setting a value rewrites the text ("11月" to "5月"), which can move
    // Qt's idea of the current part: the part typed into is kept here.
    const int index = currentSectionIndex();
    if (part == NoSection)
        return;
    if (part != FTypedPart) {
        FinishTyping();
        FTypedPart = part;
        FBeforeTyping = dateTime();
    }
    FTyped += QChar(u'0' + digit);
    const bool complete = PartComplete(part, FTyped);
    // A lone 0, and the first digits of a year below the picker's first,
    // wait for the next digit ("0", "4" is April); a whole number the part
    // cannot hold is refused, and the part goes back to what it was.
    if (!SetPart(part, FTyped.toInt()) && complete) {
        setDateTime(FBeforeTyping);
        FTyped.clear();
        FTypedPart = NoSection;
        QApplication::beep();
        setCurrentSectionIndex(index);
        setSelectedSection(part);
        return;
    }
    if (complete && index + 1 < sectionCount()) {
        // The part as the new text shows it first, then the next one.
        setCurrentSectionIndex(index);
        setSelectedSection(part);
        SelectPart(index + 1);
        FMovedOn = true;
        return;
    }
    if (complete) {
        // The last part: the next digit starts it again.
        FTyped.clear();
        FTypedPart = NoSection;
    }
    setCurrentSectionIndex(index);
    setSelectedSection(part);
}

void TDateTimePicker::FinishTyping()
{
    const QString typed = FTyped;
    const Section part = FTypedPart;
    FTyped.clear();
    FTypedPart = NoSection;
    if (part != YearSection || typed.isEmpty() || typed.size() > kPartDigits)
        return;
    const int year = typed.toInt();
    if (year < kTwoDigitLimit)
        SetPart(YearSection, year + (year < kTwoDigitYearPivot ? kCenturyFromPivot : kCenturyBeforePivot));
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (key == Qt::Key_F4 || ((key == Qt::Key_Down || key == Qt::Key_Up) && modifiers == Qt::AltModifier)) {
        DropDown();
        return;
    }
    if (modifiers == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Left:
            MovePart(-1);
            return;
        case Qt::Key_Right:
            MovePart(1);
            return;
        case Qt::Key_Home:
            SelectPart(0);
            return;
        case Qt::Key_End:
            SelectPart(sectionCount() - 1);
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            FinishTyping();
            QDateTimeEdit::keyPressEvent(event);
            setSelectedSection(currentSection());
            return;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            // The Windows picker never shows a part half cleared.
            return;
        default:
            break;
        }
    }
    const QString text = event->text();
    const bool movedOn = FMovedOn;
    FMovedOn = false;
    if ((modifiers & ~Qt::ShiftModifier) == Qt::NoModifier && text.size() == 1 && text[0].isPrint()) {
        const int digit = text[0].digitValue();
        if (digit >= 0)
            TypeDigit(digit);
        else if (QStringLiteral("/-.:／－．：年月日時分秒 　").contains(text[0]) && !movedOn)  // not a message: keys that move on
            MovePart(1);
        return;
    }
    QDateTimeEdit::keyPressEvent(event);
}

// Entered by Tab or Shift+Tab, the picker selects its first part, as the
// Windows picker does.
void TDateTimePicker::focusInEvent(QFocusEvent* event)
{
    QDateTimeEdit::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        SelectPart(0);
}

// Up and Down: the year stops at the picker's first and last years; the
// other parts wrap.
void TDateTimePicker::stepBy(int steps)
{
    if (currentSection() == YearSection) {
        const int year = date().year() + steps;
        if (year < minimumDate().year() || year > maximumDate().year())
            return;
    }
    QDateTimeEdit::stepBy(steps);
}

void TDateTimePicker::focusOutEvent(QFocusEvent* event)
{
    FinishTyping();
    QDateTimeEdit::focusOutEvent(event);
}

// Tab leaves the picker, as it leaves every other control; Left and Right
// move between its parts.
bool TDateTimePicker::focusNextPrevChild(bool next)
{
    FinishTyping();
    return QWidget::focusNextPrevChild(next);
}

// A click on the text selects the part under the pointer; dragging selects
// nothing else.
bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != lineEdit())
        return QDateTimeEdit::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        SelectPart(PartAtCursorPosition(lineEdit()->cursorPositionAt(mouse->position().toPoint())));
        return true;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton
               || static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    default:
        return false;
    }
}

} // namespace mirvo
