#include "views/printpage.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/qtext.h"
#include "koyomi/datafile.h"
#include "reading/monthgrid.h"
#include "views/monthview.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace mirvo {

namespace {

constexpr int kTitlePixels = 18;
constexpr int kTextPixels = 12;
constexpr int kGap = 12;
constexpr qreal kReadingScale = 1.25;    // the main window's area, a little larger than on screen

const QColor kInk(0x20, 0x20, 0x20);
const QColor kRule(0xA0, 0xA0, 0xA0);
const QColor kHeadFill(0xE8, 0xEC, 0xF4);
const QColor kAxisInk[kAxisCount] = {QColor(0xE0, 0x00, 0x00), QColor(0xB8, 0x88, 0x00), QColor(0x00, 0x98, 0xA8)};

// A line of text at y; returns the y below it.
int TextLine(QPainter& painter, const QFont& font, int y, const QString& text)
{
    painter.setFont(font);
    const QFontMetrics fm(font);
    painter.drawText(QRect(0, y, kPrintPageWidth, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
    return y + fm.height();
}

// The detail window's grid, a row per body and a column per axis (so that
// the body names have room beside the reading), "-" for a body that is
// switched off and an empty cell for a score of 0. Returns the height used.
int ScoreTable(QPainter& painter, const QRect& area, const PrintContent& content)
{
    const QFont font = WindowsFont(kFaceMSPGothic, kTextPixels);
    const QFont bold = WindowsFont(kFaceMSPGothic, kTextPixels, true);
    const QFontMetrics fm(font);
    const int rowHeight = fm.height() + kGap / 2;
    int nameWidth = 0;
    for (int b = 0; b < kBodyCount; ++b)
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(Q(koyomi::LoadBodyName(b))));
    nameWidth += kGap;
    const int cellWidth = std::min((area.width() - nameWidth) / kAxisCount, 2 * fm.horizontalAdvance("-0000"));
    const int tableWidth = nameWidth + kAxisCount * cellWidth;
    int y = area.y();
    painter.setFont(bold);
    painter.setPen(kInk);
    painter.drawText(QRect(area.x(), y, area.width(), rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     Q(LoadStr(kTextScores)));
    y += rowHeight;
    const int top = y;
    painter.fillRect(QRect(area.x(), y, tableWidth, rowHeight), kHeadFill);
    for (int k = 0; k < kAxisCount; ++k) {
        painter.setPen(kAxisInk[k]);
        painter.drawText(QRect(area.x() + nameWidth + k * cellWidth, y, cellWidth, rowHeight), Qt::AlignCenter,
                         Q(LoadStr(kTextAxisNames + k)));
    }
    y += rowHeight;
    painter.setFont(font);
    for (int b = 0; b < kBodyCount; ++b) {
        painter.setPen(kInk);
        painter.drawText(QRect(area.x(), y, nameWidth, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         Q(koyomi::LoadBodyName(b)));
        for (int k = 0; k < kAxisCount; ++k) {
            const std::int32_t score = content.evaluation.reading.StarScore[k][b];
            const QString text = !content.settings.planetUse[b] ? QStringLiteral("-")
                                 : score == 0                    ? QString()
                                                                 : QString::number(score);
            painter.drawText(QRect(area.x() + nameWidth + k * cellWidth, y, cellWidth - kGap, rowHeight),
                             Qt::AlignRight | Qt::AlignVCenter, text);
        }
        y += rowHeight;
    }
    painter.setPen(QPen(kRule, 0.5));
    for (int row = 0; row <= kBodyCount + 1; ++row)
        painter.drawLine(area.x(), top + row * rowHeight, area.x() + tableWidth, top + row * rowHeight);
    return y - area.y();
}

} // namespace

void PreparePrinter(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFromTo(1, 1);
}

void PaintPrintPage(QPainter& painter, QPrinter& printer, const PrintContent& content)
{
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal scale = page.width() / kPrintPageWidth;
    const int pageHeight = static_cast<int>(page.height() / scale);
    painter.save();
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(kInk);

    // The member and the day, and the advice as a line of its own.
    int y = TextLine(painter, WindowsFont(kFaceMSPGothic, kTitlePixels, true), 0, content.title);
    const QString day = Q(koyomi::DateToFileText(content.day));
    const QString born = Q(koyomi::DateToFileText(content.member.Birthday));
    y = TextLine(painter, WindowsFont(kFaceMSPGothic, kTextPixels), y + kGap / 2,
                 Q(LoadStr(kTextReadingOf)).arg(day) + "    " + Q(LoadStr(kTextBornOn)).arg(born));
    const Evaluation& e = content.evaluation;
    if (e.verdict.adviceId != 0)
        y = TextLine(painter, WindowsFont(kFaceMSPGothic, kTextPixels), y + kGap / 2, Q(LoadStr(e.verdict.adviceId)));
    y += kGap;

    // The main window's area, and beside it the grid of body scores.
    const QSize reading = content.readingSize * kReadingScale;
    if (content.paintReading) {
        painter.save();
        painter.translate(0, y);
        painter.scale(kReadingScale, kReadingScale);
        // As on the screen: the gradient's bands meet without blended seams.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipRect(QRect(QPoint(0, 0), content.readingSize));
        content.paintReading(painter);
        painter.restore();
    }
    const int tableLeft = reading.width() + 2 * kGap;
    ScoreTable(painter, QRect(tableLeft, y, kPrintPageWidth - tableLeft, reading.height()), content);
    y += reading.height() + 2 * kGap;

    // The month of the day, as large as the rest of the page allows.
    TMonthView month;
    const TMemberDays days(content.member.Birthday, content.settings);
    const koyomi::DateParts d = koyomi::DecodeDate(content.day);
    month.SetMonth(MakeMonthGrid(days, d.year, d.month), Q(content.member.Name), koyomi::Now(), content.day);
    const QSize size = month.sizeHint();
    const qreal fit = std::min(static_cast<qreal>(kPrintPageWidth) / size.width(),
                               static_cast<qreal>(pageHeight - y) / size.height());
    if (fit > 0) {
        painter.save();
        painter.translate((kPrintPageWidth - size.width() * fit) / 2, y);
        painter.scale(fit, fit);
        month.PaintMonth(painter);
        painter.restore();
    }
    painter.restore();
}

bool PrintPage(QPrinter& printer, const PrintContent& content)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    PaintPrintPage(painter, printer, content);
    return painter.end();
}

} // namespace mirvo
