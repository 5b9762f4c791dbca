// The month window: the month of the main window's day as a calendar of
// readings. Modeless; at most one exists. It follows the main window's
// member, settings and day; clicking a day, the arrow keys, Home and the
// next-good-day button change the main window's day, the month buttons and
// Page Up / Page Down only the month shown.
#pragma once

#include "members/memberlist.h"
#include "reading/monthgrid.h"
#include "views/picturefile.h"

#include <QDialog>

class QScrollArea;

#include <functional>
#include <memory>

namespace Ui {
class TMirvoMonth;
}

class TMirvoMonth final : public QDialog {
    Q_OBJECT
public:
    // How the month window asks the main window to show another day.
    using DayRequest = std::function<void(koyomi::TDateTime day)>;

    // Frees itself when closed.
    TMirvoMonth(DayRequest showDay, QWidget* parent = nullptr);
    ~TMirvoMonth() override;

    // The member, the evaluation's settings and the main window's day; the
    // month shown becomes that day's month.
    void ShowMonth(const mirvo::TMemberListItem& member, const mirvo::EvalSettings& settings, koyomi::TDateTime day);
    // Steps the month shown by `delta` months; the main window's day stays.
    void StepShownMonth(int delta);
    // Asks the main window for the next good day; says so when there is none.
    void GoToNextGoodDay();
    // Saves the calendar as a picture, or the month as a calendar file.
    void SavePicture();
    void ExportCalendar();

    // Marks the days good for two members together (the 相性 window's); none clears.
    void MarkPairDays(const std::vector<koyomi::TDateTime>& days);
    bool IsPairDayMarked(koyomi::TDateTime day) const;

    const mirvo::MonthGrid& Grid() const;
    koyomi::TDateTime Day() const { return FDay; }

    // Tests put their own file chooser, range choice and message box in.
    void SetFileChooser(mirvo::SaveFileChooser chooser) { FChooseFile = std::move(chooser); }
    using RangeChooser = std::function<int(QWidget* parent)>;  // months to write: 1, 3 or 12; 0 cancels
    void SetRangeChooser(RangeChooser chooser) { FChooseRange = std::move(chooser); }
    using Reporter = std::function<void(const QString& message)>;
    void SetReporter(Reporter reporter) { FReport = std::move(reporter); }

    // The calendar file of `months` months from the month shown (1: that
    // month; otherwise from the main window's day on).
    std::string CalendarText(int months, koyomi::TDateTime stampUtc) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Recompute();
    // The month at its own size, or scrolled within a window that fits the screen.
    void FitToScreen();
    void MoveDay(double days);

    std::unique_ptr<Ui::TMirvoMonth> ui;
    DayRequest FShowDay;
    mirvo::TMemberListItem FMember;
    // The member's days with the birth positions worked out once, for the
    // month shown, the good-day search and the calendar file alike.
    mirvo::TMemberDays FDays{0, {}};
    koyomi::TDateTime FDay = 0;
    int FYear = 0;
    int FMonth = 0;
    mirvo::SaveFileChooser FChooseFile;
    RangeChooser FChooseRange;
    Reporter FReport;
    QScrollArea* scrMonth = nullptr;
};

// The month window; null when none exists.
extern TMirvoMonth* MirvoMonth;
