#include "views/monthview.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/qtext.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

using mirvo::Q;

namespace {

constexpr int kTextPixels = 12;
constexpr int kTitlePixels = 18;
constexpr int kFacePixels = 14;
constexpr int kSmallPixels = 10;
constexpr int kShownFrame = 2;       // logical pixels of the shown day's frame

// Fixed colours: the calendar looks the same on every desktop and on paper.
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kOtherMonth(0xEE, 0xEE, 0xEE);
const QColor kCriticalPaper(0xFF, 0xE0, 0xE0);
const QColor kCriticalEdge(0xD0, 0x20, 0x20);
const QColor kPairMark(0xC0, 0x18, 0x70);  // a day good for two members together
const QColor kGridLine(0xB0, 0xB0, 0xB0);
const QColor kText(0x20, 0x20, 0x20);
const QColor kFaintText(0x90, 0x90, 0x90);
const QColor kSunday(0xD0, 0x10, 0x10);
const QColor kSaturday(0x10, 0x40, 0xD0);
const QColor kBandTop(0x00, 0x00, 0x30);     // the main window's black-to-blue
const QColor kBandBottom(0x00, 0x00, 0xA0);
const QColor kTodayMark(0xF0, 0x80, 0x00);
const QColor kShownMark(0x20, 0x60, 0xF0);
const QColor kBarEdge(0x80, 0x80, 0x80);
// The axes' colours, deepened so that they show on white paper (the
// screen colours red, yellow and aqua of the main window's captions).
const QColor kAxisInk[mirvo::kAxisCount] = {QColor(0xE0, 0x00, 0x00), QColor(0xE8, 0xB8, 0x00),
                                            QColor(0x00, 0xB8, 0xC8)};

QColor FromBgr(std::uint32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The axis colour for a rating: full for the best, paler step by step.
QColor RatingColour(int axis, int level)
{
    const QColor ink = kAxisInk[axis];
    const double paleness = 0.18 * (mirvo::kRatingLevels - level);
    const auto mix = [paleness](int c) { return static_cast<int>(std::lround(c + (255 - c) * paleness)); };
    return QColor(mix(ink.red()), mix(ink.green()), mix(ink.blue()));
}

QString FaceText(mirvo::TFace face)
{
    return mirvo::DisplayText(mirvo::kFaceWingdings, Q(mirvo::FaceGlyph(face)));
}

QStringList WeekdayNames()
{
    return Q(mirvo::LoadStr(mirvo::kTextWeekdays)).split(',');
}

} // namespace

TMonthView::TMonthView(QWidget* parent) : QWidget(parent)
{
    InstallAccessibility();
    setObjectName("pnlMonth");
    setMouseTracking(false);
    UpdateFonts();
}

void TMonthView::UpdateFonts()
{
    FTextFont = mirvo::WindowsFont(mirvo::kFaceMSPGothic, kTextPixels);
    FBoldFont = mirvo::WindowsFont(mirvo::kFaceMSPGothic, kTextPixels, true);
    FTitleFont = mirvo::WindowsFont(mirvo::kFaceMSPGothic, kTitlePixels, true);
    FFaceFont = mirvo::WindowsFont(mirvo::kFaceWingdings, kFacePixels);
    FSmallFont = mirvo::WindowsFont(mirvo::kFaceMSPGothic, kSmallPixels);
}

void TMonthView::SetMonth(const mirvo::MonthGrid& grid, const QString& memberName, koyomi::TDateTime today,
                          koyomi::TDateTime shownDay)
{
    FGrid = grid;
    FMemberName = memberName;
    FToday = koyomi::DateOf(today);
    FShownDay = koyomi::DateOf(shownDay);
    updateGeometry();
    update();
    AnnounceShownDay();
}

void TMonthView::SetPairDays(const std::vector<koyomi::TDateTime>& days)
{
    FPairDays.clear();
    for (const koyomi::TDateTime d : days)
        FPairDays.push_back(koyomi::DateOf(d));
    update();
}

bool TMonthView::IsPairDay(koyomi::TDateTime day) const
{
    const koyomi::TDateTime date = koyomi::DateOf(day);
    for (const koyomi::TDateTime d : FPairDays)
        if (d == date)
            return true;
    return false;
}

TMonthView::Metrics TMonthView::Measure() const
{
    const QFontMetrics text(FTextFont);
    const QFontMetrics bold(FBoldFont);
    const QFontMetrics title(FTitleFont);
    const QFontMetrics face(FFaceFont);
    const QFontMetrics small(FSmallFont);
    Metrics m;
    m.pad = std::max(2, text.height() / 4);
    m.titleHeight = title.height() + 2 * m.pad;
    m.headHeight = text.height() + m.pad;
    m.numberHeight = bold.height();
    m.faceHeight = face.height() + m.pad;
    m.barHeight = text.height();
    const int facesWidth = 3 * face.horizontalAdvance(FaceText(mirvo::TFace::Critical)) + 4 * m.pad;
    const int ratingWidth = text.horizontalAdvance(Q(mirvo::RatingText(mirvo::TRatingLevel::VeryGood))) + 2 * m.pad;
    // The day number and the critical day's word side by side.
    const int headWidth =
        bold.horizontalAdvance("00") + small.horizontalAdvance(Q(mirvo::LoadStr(mirvo::kTextCriticalDay))) + 4 * m.pad;
    m.cellWidth = std::max({facesWidth, ratingWidth, headWidth, bold.horizontalAdvance("00") * 3});
    m.cellHeight = m.pad + m.numberHeight + m.pad + m.faceHeight + m.pad + m.barHeight + m.pad;
    m.legendHeight = 2 * (std::max(text.height(), small.height()) + m.pad) + m.pad;
    m.left = m.pad;
    m.top = m.titleHeight + m.headHeight;
    return m;
}

QSize TMonthView::sizeHint() const
{
    const Metrics m = Measure();
    const int weeks = std::max(FGrid.weeks, 1);
    return {2 * m.left + mirvo::kWeekDays * m.cellWidth + 1,
            m.top + weeks * m.cellHeight + 1 + m.legendHeight};
}

QRect TMonthView::CellRect(int cell) const
{
    const Metrics m = Measure();
    return {m.left + (cell % mirvo::kWeekDays) * m.cellWidth, m.top + (cell / mirvo::kWeekDays) * m.cellHeight,
            m.cellWidth, m.cellHeight};
}

int TMonthView::CellAt(const QPoint& point) const
{
    const Metrics m = Measure();
    if (point.x() < m.left || point.y() < m.top || m.cellWidth <= 0 || m.cellHeight <= 0)
        return -1;
    const int column = (point.x() - m.left) / m.cellWidth;
    const int row = (point.y() - m.top) / m.cellHeight;
    if (column >= mirvo::kWeekDays || row >= FGrid.weeks)
        return -1;
    return row * mirvo::kWeekDays + column;
}

QString TMonthView::CellToolTip(int cell) const
{
    if (cell < 0 || cell >= mirvo::kMonthGridCells || !FGrid.cells[cell].inRange)
        return {};
    const mirvo::MonthCell& c = FGrid.cells[cell];
    const mirvo::TDayReading& r = c.evaluation.reading;
    const mirvo::TDayVerdict& v = c.evaluation.verdict;
    QStringList lines;
    lines << Q(koyomi::DateToFileText(c.date)) + " (" + WeekdayNames().value(mirvo::DayOfWeek(c.date))
                 + ")";
    if (c.holiday != koyomi::hoNone)
        lines << Q(koyomi::HolidayName(c.holiday));
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        lines << QStringLiteral("%1 %2 %3% %4%5 %6")
                     .arg(Q(mirvo::LoadStr(mirvo::kTextAxisNames + k)), FaceText(v.axes[k].face))
                     .arg(r.BioPercent[k])
                     .arg(r.StarTotal[k])
                     .arg(Q(mirvo::LoadStr(mirvo::kTextPoints)), Q(mirvo::RatingText(v.axes[k].rating)));
    }
    if (mirvo::IsCriticalDay(v))
        lines << Q(mirvo::LoadStr(mirvo::kTextCriticalDay));
    if (IsPairDay(c.date))
        lines << Q(mirvo::LoadStr(mirvo::kTextGoodDaysForBoth));
    if (v.adviceId != 0)
        lines << Q(mirvo::LoadStr(v.adviceId));
    return lines.join('\n');
}

void TMonthView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    PaintMonth(painter);
}

void TMonthView::PaintMonth(QPainter& painter) const
{
    const Metrics m = Measure();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRect(QPoint(0, 0), sizeHint()), kPaper);
    PaintTitle(painter, m);
    PaintHeads(painter, m);
    for (int cell = 0; cell < FGrid.weeks * mirvo::kWeekDays; ++cell)
        PaintCell(painter, m, cell);
    // The shown day's frame last, over its neighbours' lines.
    const int shown = FGrid.CellOf(FShownDay);
    if (shown >= 0 && shown < FGrid.weeks * mirvo::kWeekDays) {
        painter.setPen(QPen(kShownMark, kShownFrame));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(CellRect(shown)).adjusted(1, 1, -1, -1));
    }
    PaintLegend(painter, m);
    painter.restore();
}

void TMonthView::PaintTitle(QPainter& painter, const Metrics& m) const
{
    const int width = mirvo::kWeekDays * m.cellWidth;
    const QString month =
        Q(mirvo::LoadStr(mirvo::kTextMonthTitle)).arg(FGrid.year).arg(FGrid.month);
    const QFontMetrics title(FTitleFont);
    const QFontMetrics text(FTextFont);
    const int monthWidth = title.horizontalAdvance(month);
    const int x = m.left + (width - monthWidth) / 2;
    painter.setPen(kText);
    painter.setFont(FTitleFont);
    painter.drawText(QRect(x, m.pad, monthWidth, title.height()), Qt::AlignLeft | Qt::AlignVCenter, month);
    if (!FMemberName.isEmpty()) {
        painter.setFont(FTextFont);
        const QString name = text.elidedText(FMemberName, Qt::ElideRight, (width - monthWidth) / 2 - 2 * m.pad);
        painter.drawText(QRect(m.left, m.pad, width, title.height()), Qt::AlignRight | Qt::AlignBottom, name);
    }
}

void TMonthView::PaintHeads(QPainter& painter, const Metrics& m) const
{
    const QStringList names = WeekdayNames();
    painter.setFont(FBoldFont);
    for (int d = 0; d < mirvo::kWeekDays; ++d) {
        painter.setPen(d == 0 ? kSunday : d == mirvo::kWeekDays - 1 ? kSaturday : kText);
        painter.drawText(QRect(m.left + d * m.cellWidth, m.titleHeight, m.cellWidth, m.headHeight - m.pad),
                         Qt::AlignCenter, names.value(d));
    }
}

void TMonthView::PaintCell(QPainter& painter, const Metrics& m, int cell) const
{
    const mirvo::MonthCell& c = FGrid.cells[cell];
    const QRect r = CellRect(cell);
    const bool critical = c.inRange && mirvo::IsCriticalDay(c.evaluation.verdict);
    painter.fillRect(r, !c.inMonth ? kOtherMonth : critical ? kCriticalPaper : kPaper);
    painter.setPen(QPen(kGridLine, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
    if (!c.inRange)
        return;

    // The day number, in a round mark for today.
    const int weekday = cell % mirvo::kWeekDays;
    // Holidays red like Sundays, as Japanese calendars print them.
    QColor numberColour = weekday == 0 || c.holiday != koyomi::hoNone ? kSunday
                          : weekday == mirvo::kWeekDays - 1         ? kSaturday
                                                                    : kText;
    if (!c.inMonth)
        numberColour = kFaintText;
    const QString number = QString::number(koyomi::DecodeDate(c.date).day);
    const QFontMetrics bold(FBoldFont);
    const QRect numberRect(r.x() + m.pad, r.y() + m.pad, bold.horizontalAdvance("00") + m.pad, m.numberHeight);
    if (koyomi::DateOf(c.date) == FToday) {
        const int d = m.numberHeight + m.pad / 2;
        const QRect mark(numberRect.center().x() - d / 2, numberRect.center().y() - d / 2, d, d);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kTodayMark);
        painter.drawEllipse(mark);
        numberColour = kPaper;
    }
    painter.setFont(FBoldFont);
    painter.setPen(numberColour);
    painter.drawText(numberRect, Qt::AlignCenter, number);
    // A day good for both of a pair is never a critical one: its mark takes the same place.
    if (!critical && IsPairDay(c.date)) {
        painter.setFont(FSmallFont);
        painter.setPen(kPairMark);
        painter.drawText(QRect(numberRect.right(), r.y() + m.pad, r.right() - numberRect.right() - m.pad,
                               m.numberHeight),
                         Qt::AlignRight | Qt::AlignVCenter, Q(mirvo::LoadStr(mirvo::kTextPairDayMark)));
    }
    if (critical) {
        painter.setFont(FSmallFont);
        painter.setPen(kCriticalEdge);
        painter.drawText(QRect(numberRect.right(), r.y() + m.pad, r.right() - numberRect.right() - m.pad,
                               m.numberHeight),
                         Qt::AlignRight | Qt::AlignVCenter, Q(mirvo::LoadStr(mirvo::kTextCriticalDay)));
    }

    // The three faces on the main window's dark band, in their colours.
    const QRect band(r.x() + m.pad, numberRect.bottom() + 1 + m.pad, r.width() - 2 * m.pad, m.faceHeight);
    QLinearGradient gradient(band.topLeft(), band.bottomLeft());
    gradient.setColorAt(0, kBandTop);
    gradient.setColorAt(1, kBandBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(band, m.pad, m.pad);
    painter.setFont(FFaceFont);
    const int slot = band.width() / mirvo::kAxisCount;
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        const mirvo::AxisVerdict& a = c.evaluation.verdict.axes[k];
        painter.setPen(FromBgr(a.colour));
        painter.drawText(QRect(band.x() + k * slot, band.y(), slot, band.height()), Qt::AlignCenter,
                         FaceText(a.face));
    }

    // One bar per axis: the higher and the deeper, the better the rating.
    const QRect bars(band.x(), band.bottom() + 1 + m.pad, band.width(), m.barHeight);
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        const QRect barSlot(bars.x() + k * slot, bars.y(), slot, bars.height());
        PaintBar(painter, barSlot, k, c.evaluation.verdict.axes[k].rating);
    }
}

void TMonthView::PaintBar(QPainter& painter, const QRect& slot, int axis, mirvo::TRatingLevel rating) const
{
    const int level = mirvo::RatingDigit(rating);
    const int width = std::max(3, slot.width() / 2);
    const int height = std::max(2, slot.height() * level / mirvo::kRatingLevels);
    const QRectF bar(slot.x() + (slot.width() - width) / 2.0, slot.bottom() + 1 - height, width, height);
    painter.setPen(QPen(kBarEdge, 0.5));
    painter.setBrush(RatingColour(axis, level));
    painter.drawRect(bar.adjusted(0.25, 0.25, -0.25, -0.25));
}

void TMonthView::PaintLegend(QPainter& painter, const Metrics& m) const
{
    const QFontMetrics text(FTextFont);
    const int lineHeight = text.height() + m.pad;
    int y = m.top + FGrid.weeks * m.cellHeight + m.pad;
    int x = m.left;
    painter.setFont(FTextFont);
    // First line: the axes' colours and the marks.
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        const int chip = text.ascent() - m.pad;
        painter.setPen(QPen(kBarEdge, 0.5));
        painter.setBrush(kAxisInk[k]);
        painter.drawRect(QRectF(x, y + (lineHeight - chip) / 2.0, chip, chip));
        x += chip + m.pad / 2;
        const QString name = Q(mirvo::LoadStr(mirvo::kTextAxisNames + k));
        painter.setPen(kText);
        painter.drawText(QRect(x, y, text.horizontalAdvance(name), lineHeight), Qt::AlignVCenter, name);
        x += text.horizontalAdvance(name) + 2 * m.pad;
    }
    x += m.pad;
    const int d = text.height();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kTodayMark);
    painter.drawEllipse(QRect(x, y + (lineHeight - d) / 2, d, d));
    x += d + m.pad / 2;
    painter.setPen(kText);
    const QString today = Q(mirvo::LoadStr(mirvo::kTextToday));
    painter.drawText(QRect(x, y, text.horizontalAdvance(today), lineHeight), Qt::AlignVCenter, today);
    x += text.horizontalAdvance(today) + 2 * m.pad;
    painter.setPen(QPen(kShownMark, kShownFrame));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(x + 1, y + (lineHeight - d) / 2 + 1, d - 2, d - 2));
    x += d + m.pad / 2;
    painter.setPen(kText);
    const QString shown = Q(mirvo::LoadStr(mirvo::kTextShownDay));
    painter.drawText(QRect(x, y, text.horizontalAdvance(shown), lineHeight), Qt::AlignVCenter, shown);
    x += text.horizontalAdvance(shown) + 2 * m.pad;
    painter.fillRect(QRect(x, y + (lineHeight - d) / 2, d, d), kCriticalPaper);
    painter.setPen(kCriticalEdge);
    const QString critical = Q(mirvo::LoadStr(mirvo::kTextCriticalDay));
    painter.drawText(QRect(x + d + m.pad / 2, y, text.horizontalAdvance(critical), lineHeight), Qt::AlignVCenter,
                     critical);

    // Second line: the five steps of the rating, best first.
    y += lineHeight;
    x = m.left;
    for (const mirvo::RatingLook& look : mirvo::kRatingLooks) {
        const QRect slot(x, y, d * 3 / 2, lineHeight - m.pad / 2);
        PaintBar(painter, QRect(slot.x(), slot.y(), slot.width() / 3, slot.height()), 0, look.level);
        PaintBar(painter, QRect(slot.x() + slot.width() / 3, slot.y(), slot.width() / 3, slot.height()), 1, look.level);
        PaintBar(painter, QRect(slot.x() + 2 * slot.width() / 3, slot.y(), slot.width() / 3, slot.height()), 2,
                 look.level);
        x += slot.width() + m.pad / 2;
        const QString word = Q(mirvo::LoadStr(look.text));
        painter.setPen(kText);
        painter.drawText(QRect(x, y, text.horizontalAdvance(word), lineHeight), Qt::AlignVCenter, word);
        x += text.horizontalAdvance(word) + 2 * m.pad;
    }
}

void TMonthView::mousePressEvent(QMouseEvent* event)
{
    const int cell = CellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell >= 0 && FGrid.cells[cell].inRange)
        emit DayClicked(FGrid.cells[cell].date);
    QWidget::mousePressEvent(event);
}

bool TMonthView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = CellToolTip(CellAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this, CellRect(CellAt(help->pos())));
        return true;
    }
    return QWidget::event(event);
}

void TMonthView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        UpdateFonts();
    QWidget::changeEvent(event);
}
