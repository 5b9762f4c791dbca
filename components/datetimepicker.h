// The date and time pickers of the settings window, as a Windows user knows
// them: a click on the year, the month or the day (the hour, the minute or
// the second) selects that part, typed digits replace it, Left and Right
// move between the parts, Up and Down step the selected part (a day after
// the month's last wraps to the 1st), Tab leaves the picker, and F4 or
// Alt+Down opens the calendar. A part typed whole (four digits of a year,
// two of the others, or one that no second digit could follow) hands the
// caret to the next part; a number the part cannot hold (30 February, month
// 13) is refused with a beep and the part keeps the value it had. The year
// steps with Up and Down between 100 and 9999 and stops at either end; the
// other parts wrap within their year, month or day. The calendar is Japanese whatever the
// system's locale: "1975年11月", weeks from Sunday, Japanese weekday names.
#pragma once

#include "components/japanesecalendar.h"

#include <QDateTimeEdit>
#include <QString>

namespace mirvo {

class TDateTimePicker final : public QDateTimeEdit {
    Q_OBJECT
public:
    explicit TDateTimePicker(QWidget* parent = nullptr);

    // The calendar that drops down (date pickers only).
    TJapaneseCalendar* Calendar() const { return FCalendar; }

    // Selects the part with this index (0 the first: the year of a date, the
    // hour of a time), as a click on it does.
    void SelectPart(int index);
    // The index of the selected part.
    int SelectedPart() const { return currentSectionIndex(); }

    // Opens the calendar, as F4 and Alt+Down do.
    void DropDown();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void stepBy(int steps) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The widest text the format can show in the picker's font: every digit
    // of 2000/12/31 23:59:59 as the widest digit.
    QString WidestText() const;
    // Widens the picker, keeping its left edge, until its widest text shows whole.
    void FitWidestText();
    // The typed digits of the selected part so far; a part takes at most
    // four digits (the year) or two (every other part).
    void TypeDigit(int digit);
    bool SetPart(Section part, int value);
    // A year typed with one or two digits means 1930-2029, as on Windows.
    void FinishTyping();
    // Whether `typed` is all of `part` that can be typed.
    bool PartComplete(Section part, const QString& typed) const;
    void MovePart(int step);
    int PartAtCursorPosition(int position) const;

    TJapaneseCalendar* FCalendar = nullptr;
    QString FTyped;
    Section FTypedPart = NoSection;
    QDateTime FBeforeTyping;    // the value when typing into the part began
    bool FMovedOn = false;      // the caret moved on by itself: a separator typed next is taken as read
};

} // namespace mirvo
