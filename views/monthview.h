// The month calendar as a picture: the month's title, the weekday heads
// (Sunday red, Saturday blue), one cell per day with its number, the three
// faces in their colours and a bar per axis for the rating, and a legend.
// Painted in logical coordinates with every size taken from the fonts'
// metrics, so that it is as sharp at twice the density and can be painted
// onto a printer or into a picture as well.
#pragma once

#include "reading/monthgrid.h"

#include <QFont>
#include <QWidget>

#include <vector>

class QPainter;

class TMonthView final : public QWidget {
    Q_OBJECT
public:
    explicit TMonthView(QWidget* parent = nullptr);

    // What to show: the grid, the member's name for the title (may be
    // empty), today and the day the main window shows.
    void SetMonth(const mirvo::MonthGrid& grid, const QString& memberName, koyomi::TDateTime today,
                  koyomi::TDateTime shownDay);
    const mirvo::MonthGrid& Grid() const { return FGrid; }
    koyomi::TDateTime ShownDay() const { return FShownDay; }
    // Days marked as good for two members together (the 相性 window's); none by default.
    void SetPairDays(const std::vector<koyomi::TDateTime>& days);
    bool IsPairDay(koyomi::TDateTime day) const;

    // The size the whole calendar needs, in logical pixels.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Paints the calendar with its top left corner at the origin, at
    // sizeHint(); the same picture on a screen, a printer or into a file.
    void PaintMonth(QPainter& painter) const;

    // Cell under a point of the widget, -1 outside the days.
    int CellAt(const QPoint& point) const;
    // Rectangle of a cell (0..41) in logical coordinates.
    QRect CellRect(int cell) const;
    // The tooltip of a cell: the day and its whole reading.
    QString CellToolTip(int cell) const;
    // What a screen reader says for a cell: the day, its weekday and its
    // reading as sentences (monthviewaccess.cpp).
    QString CellSpokenText(int cell) const;

signals:
    // A day with a reading was clicked.
    void DayClicked(koyomi::TDateTime day);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    struct Metrics {
        int pad = 0;          // space inside and between parts
        int titleHeight = 0;
        int headHeight = 0;   // the weekday heads
        int cellWidth = 0;
        int cellHeight = 0;
        int numberHeight = 0; // the day number's line
        int faceHeight = 0;   // the band with the three faces
        int barHeight = 0;    // the tallest rating bar
        int legendHeight = 0;
        int left = 0;         // left edge of the grid
        int top = 0;          // top edge of the first week
    };
    Metrics Measure() const;
    void PaintTitle(QPainter& painter, const Metrics& m) const;
    void PaintHeads(QPainter& painter, const Metrics& m) const;
    void PaintCell(QPainter& painter, const Metrics& m, int cell) const;
    void PaintLegend(QPainter& painter, const Metrics& m) const;
    void PaintBar(QPainter& painter, const QRect& slot, int axis, mirvo::TRatingLevel rating) const;
    void UpdateFonts();
    // Screen readers see a table of days; the shown day is its focused cell.
    static void InstallAccessibility();
    void AnnounceShownDay();

    mirvo::MonthGrid FGrid;
    QString FMemberName;
    koyomi::TDateTime FToday = 0;
    koyomi::TDateTime FShownDay = 0;
    std::vector<koyomi::TDateTime> FPairDays;
    QFont FTextFont;
    QFont FBoldFont;
    QFont FTitleFont;
    QFont FFaceFont;
    QFont FSmallFont;
};
