#include "components/japanesecalendar.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/japanese.h"
#include "koyomi/holidays.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTextCharFormat>
#include <QToolButton>

namespace mirvo {

namespace {

constexpr int kYearButtonSlack = 4;
// Qt's names for the parts of the calendar's title bar.
const char* const kNavigationBarName = "qt_calendar_navigationbar";
const char* const kYearButtonName = "qt_calendar_yearbutton";
const char* const kMonthButtonName = "qt_calendar_monthbutton";

} // namespace

TJapaneseCalendar::TJapaneseCalendar(QWidget* parent)
    : QCalendarWidget(parent)
{
    setObjectName(QStringLiteral("calDropDown"));
    setLocale(JapaneseLocale());
    setFirstDayOfWeek(Qt::Sunday);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(false);
    // Sundays red, Saturdays blue, as Japanese calendars print them.
    QTextCharFormat sunday;
    sunday.setForeground(Qt::red);
    setWeekdayTextFormat(Qt::Sunday, sunday);
    QTextCharFormat saturday;
    saturday.setForeground(Qt::blue);
    setWeekdayTextFormat(Qt::Saturday, saturday);
    PutYearBeforeMonth();
    connect(this, &QCalendarWidget::currentPageChanged, this, &TJapaneseCalendar::MarkHolidays);
    MarkHolidays(yearShown(), monthShown());
}

void TJapaneseCalendar::MarkHolidays(int year, int month)
{
    setDateTextFormat(QDate(), QTextCharFormat());  // the marks of the month shown before go
    QTextCharFormat holiday;
    holiday.setForeground(Qt::red);
    const QDate first(year, month, 1);
    for (QDate day = first.addMonths(-1); day < first.addMonths(2); day = day.addDays(1)) {
        if (koyomi::JapaneseHoliday(day.year(), day.month(), day.day()) != koyomi::hoNone)
            setDateTextFormat(day, holiday);
    }
}

// Qt's title bar reads "11月 1975"; a Japanese one reads "1975年11月". The
// year button (with the space that stands in for it while its spin box is
// open) moves before the month button, followed by "年". Should a Qt
// version build its title bar otherwise, the title stays as Qt makes it.
void TJapaneseCalendar::PutYearBeforeMonth()
{
    auto* bar = findChild<QWidget*>(QString::fromLatin1(kNavigationBarName));
    auto* year = findChild<QToolButton*>(QString::fromLatin1(kYearButtonName));
    auto* month = findChild<QToolButton*>(QString::fromLatin1(kMonthButtonName));
    auto* layout = bar ? qobject_cast<QHBoxLayout*>(bar->layout()) : nullptr;
    if (!layout || !year || !month)
        return;
    const int monthAt = layout->indexOf(month);
    const int yearAt = layout->indexOf(year);
    if (monthAt < 0 || yearAt != monthAt + 2 || !layout->itemAt(monthAt + 1)->spacerItem())
        return;
    // Taken from the back, so that the indexes in front stay valid.
    QLayoutItem* yearItem = layout->takeAt(yearAt);
    QLayoutItem* holder = layout->takeAt(monthAt + 1);
    QLayoutItem* monthItem = layout->takeAt(monthAt);
    FYearSuffix = new QLabel(QString::fromStdString(LoadStr(kTextYearSuffix)), bar);
    FYearSuffix->setObjectName(QStringLiteral("labYearSuffix"));
    FYearSuffix->setFont(year->font());
    FYearSuffix->setForegroundRole(QPalette::HighlightedText);
    FYearSuffix->setContentsMargins(0, 0, 0, 0);
    // The year's button as wide as it needs for four digits in its style
    // (its own margins too), no wider, so that "年" follows them closely.
    const QString shownYear = year->text();
    year->setText(QStringLiteral("0000"));
    year->setFixedWidth(year->sizeHint().width() + kYearButtonSlack);
    year->setText(shownYear);
    layout->insertItem(monthAt, monthItem);
    layout->insertWidget(monthAt, FYearSuffix);
    layout->insertItem(monthAt, yearItem);
    layout->insertItem(monthAt, holder);
}

QString TJapaneseCalendar::TitleText() const
{
    auto* bar = findChild<QWidget*>(QString::fromLatin1(kNavigationBarName));
    auto* layout = bar ? bar->layout() : nullptr;
    QString title;
    for (int i = 0; layout && i < layout->count(); ++i) {
        QWidget* part = layout->itemAt(i)->widget();
        if (!part || part->isHidden())
            continue;
        if (auto* button = qobject_cast<QToolButton*>(part); button && !button->text().isEmpty())
            title += button->text();
        else if (auto* label = qobject_cast<QLabel*>(part))
            title += label->text();
    }
    return title;
}

} // namespace mirvo
