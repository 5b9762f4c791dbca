// The month calendar as screen readers meet it: a table of weeks and
// weekdays whose cells read each day's reading as sentences, the shown day
// being the focused cell, so that a screen reader says the day the arrow
// keys move to.
#include "views/monthview.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/qtext.h"
#include "reading/dayseries.h"
#include "views/spokentext.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QHash>
#include <QPointer>
#include <QWindow>

using mirvo::Q;

namespace {

QStringList WeekdayNames()
{
    return Q(mirvo::LoadStr(mirvo::kTextWeekdays)).split(',');
}

class TMonthViewAccessible;

// One day of the calendar; no widget of its own, it reads from the view.
class TMonthCellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TMonthCellAccessible(TMonthView* view, int cell) : FView(view), FCell(cell) {}

    bool isValid() const override { return FView && FCell < FView->Grid().weeks * mirvo::kWeekDays; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return FView ? FView->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FView.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Cell; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && FView ? FView->CellSpokenText(FCell) : QString();
    }

    QRect rect() const override
    {
        if (!FView)
            return {};
        const QRect r = FView->CellRect(FCell);
        return QRect(FView->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        const bool shown = FView && FView->Grid().CellOf(FView->ShownDay()) == FCell;
        s.selected = shown;
        s.focused = shown && FView->hasFocus();
        s.invisible = !FView || !FView->isVisible();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    // QAccessibleTableCellInterface
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return FCell % mirvo::kWeekDays; }
    int rowIndex() const override { return FCell / mirvo::kWeekDays; }
    bool isSelected() const override { return state().selected; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<TMonthView> FView;
    int FCell;
};

// The calendar: a table of the month's weeks (rows) by weekday (columns).
class TMonthViewAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TMonthViewAccessible(TMonthView* view) : QAccessibleWidget(view, QAccessible::Table) {}

    ~TMonthViewAccessible() override
    {
        for (QAccessible::Id id : std::as_const(FCells))
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && View()->accessibleName().isEmpty()) {
            const mirvo::MonthGrid& g = View()->Grid();
            return Q(mirvo::LoadStr(mirvo::kTextMonthTitle)).arg(g.year).arg(g.month);
        }
        if (t == QAccessible::Description && View()->accessibleDescription().isEmpty())
            return Q(mirvo::LoadStr(mirvo::kSpokenMonthKeys));
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return Cell(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || child->role() != QAccessible::Cell || child->parent() != this)
            return -1;
        const auto* cell = static_cast<const TMonthCellAccessible*>(child);
        return cell->rowIndex() * mirvo::kWeekDays + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const int cell = View()->CellAt(View()->mapFromGlobal(QPoint(x, y)));
        return cell < 0 ? nullptr : Cell(cell);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return Cell(row * mirvo::kWeekDays + column);
    }
    int columnCount() const override { return mirvo::kWeekDays; }
    int rowCount() const override { return View()->Grid().weeks; }
    QString columnDescription(int column) const override { return WeekdayNames().value(column); }
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override { return View()->Grid().CellOf(View()->ShownDay()) >= 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        const int shown = View()->Grid().CellOf(View()->ShownDay());
        if (shown < 0)
            return {};
        return {Cell(shown)};
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // The cell's interface, made once and kept while the table lives.
    QAccessibleInterface* Cell(int cell) const
    {
        auto it = FCells.constFind(cell);
        if (it == FCells.constEnd())
            it = FCells.insert(cell, QAccessible::registerAccessibleInterface(new TMonthCellAccessible(View(), cell)));
        return QAccessible::accessibleInterface(*it);
    }

private:
    TMonthView* View() const { return static_cast<TMonthView*>(widget()); }

    mutable QHash<int, QAccessible::Id> FCells;
};

QAccessibleInterface* MonthViewFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TMonthView"))
        return new TMonthViewAccessible(static_cast<TMonthView*>(object));
    return nullptr;
}

} // namespace

void TMonthView::InstallAccessibility()
{
    QAccessible::installFactory(&MonthViewFactory);
}

QString TMonthView::CellSpokenText(int cell) const
{
    if (cell < 0 || cell >= mirvo::kMonthGridCells)
        return {};
    const mirvo::MonthCell& c = FGrid.cells[cell];
    const koyomi::DateParts d = koyomi::DecodeDate(c.date);
    QStringList sentences{Q(mirvo::FormatStr(
        mirvo::kSpokenMonthDay,
        {std::to_string(d.month), std::to_string(d.day), WeekdayNames().value(mirvo::DayOfWeek(c.date)).toStdString()}))};
    if (c.holiday != koyomi::hoNone)
        sentences << Q(koyomi::HolidayName(c.holiday));
    if (c.inRange) {
        const mirvo::TDayReading& r = c.evaluation.reading;
        const mirvo::TDayVerdict& v = c.evaluation.verdict;
        for (int k = 0; k < mirvo::kAxisCount; ++k)
            sentences << Q(mirvo::AxisSentence(mirvo::LoadStr(mirvo::kTextAxisNames + k), r.BioPercent[k], r.StarTotal[k],
                                               v.axes[k]));
        if (mirvo::IsCriticalDay(v))
            sentences << Q(mirvo::LoadStr(mirvo::kTextCriticalDay));
        if (IsPairDay(c.date))
            sentences << Q(mirvo::LoadStr(mirvo::kTextGoodDaysForBoth));
        if (v.adviceId != 0)
            sentences << Q(mirvo::LoadStr(v.adviceId));
    }
    return sentences.join(QStringLiteral(". "));
}

void TMonthView::AnnounceShownDay()
{
    const int cell = FGrid.CellOf(FShownDay);
    if (cell < 0 || !hasFocus())
        return;
    auto* table = dynamic_cast<TMonthViewAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (!table)
        return;
    QAccessibleInterface* shown = table->Cell(cell);
    QAccessibleEvent focus(shown, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void TMonthView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    AnnounceShownDay();
    update();
}
