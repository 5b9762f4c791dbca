// The drop-down calendar of the date pickers: Japanese whatever the
// system's locale ("1975年11月", weeks from Sunday, Japanese weekday names).
#pragma once

#include <QCalendarWidget>
#include <QString>

class QLabel;

namespace mirvo {

// The drop-down calendar: Japanese, weeks from Sunday, no week numbers, the
// year before the month in its title; Sundays and national holidays red,
// Saturdays blue.
class TJapaneseCalendar final : public QCalendarWidget {
    Q_OBJECT
public:
    explicit TJapaneseCalendar(QWidget* parent = nullptr);

    // The title as it reads, left to right ("1975年11月").
    QString TitleText() const;

private:
    void PutYearBeforeMonth();
    // Marks the holidays of the shown month and the days of its neighbours in view.
    void MarkHolidays(int year, int month);

    QLabel* FYearSuffix = nullptr;
};

} // namespace mirvo
