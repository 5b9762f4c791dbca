// The printed page: one A4 portrait page with the member, the day's reading
// as the main window shows it (date, 31-day chart, faces, figures, advice),
// the detail window's 3 x 10 grid of body scores and the month calendar.
#pragma once

#include "members/memberlist.h"
#include "reading/verdict.h"
#include "views/picturefile.h"

#include <QSize>
#include <QString>

class QPainter;
class QPrinter;

namespace mirvo {

struct PrintContent {
    QString title;                 // the main window's title
    TMemberListItem member;
    koyomi::TDateTime day = 0;     // the main window's day
    EvalSettings settings;
    Evaluation evaluation;         // the day's reading
    QSize readingSize;             // the main window's area, logical pixels
    PaintFunction paintReading;    // paints that area
};

// Logical width of the page's content; everything is laid out in these units.
constexpr int kPrintPageWidth = 720;

// Sets the printer to one A4 portrait page.
void PreparePrinter(QPrinter& printer);

// Paints the page onto a painter that is already open on `printer`.
void PaintPrintPage(QPainter& painter, QPrinter& printer, const PrintContent& content);

// Opens a painter on the printer and paints the page; false when the printer
// cannot be painted on (a file that cannot be written, for instance).
bool PrintPage(QPrinter& printer, const PrintContent& content);

} // namespace mirvo
