// The month window with the main window: following its member, settings and
// day, choosing days, the next good day; pictures of both windows, calendar
// files and the printed page.
#include "app/formmain.h"
#include "base/messages.h"
#include "base/sjis.h"
#include "base/stringtable.h"
#include "components/qtext.h"
#include "modalwatch.h"
#include "reading/monthgrid.h"
#include "views/formmonth.h"
#include "views/monthview.h"
#include "views/picturefile.h"
#include "views/printpage.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <fstream>
#include <sstream>
#include <unistd.h>

using mirvo::Q;

namespace {

void WriteFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::string ReadFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Members()
{
    return *koyomi::Utf8ToCp932("\"山田花子\",2,1970/01/02,12:00:00,0,\"\"\r\n"
                                "\"Ken\",1,2001/11/30,12:00:00,0,\"\"\r\n");
}

// Output of a command, or the empty text when it fails.
QString CommandOutput(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A day of a month grid as mirvo-today --json printed it, stored here: its
// cell, bio percents, star totals and advice (its group's first sentence and
// its place in the group).
struct StoredDay {
    int year, month, day;
    int cell;
    std::array<int, mirvo::kAxisCount> percent;
    std::array<int, mirvo::kAxisCount> star;
    int advice;
};
using StoredDays = std::array<StoredDay, 3>;

// 山田花子 with the default settings: the grids of 2026-12 and 2026-11.
constexpr StoredDays kHanakoDecember = {{
    {2026, 11, 29, 0, {-94, 90, -81}, {-25, 201, -60}, mirvo::kAdviceHangInBase + 6},
    {2026, 12, 19, 20, {-40, 22, 28}, {90, 80, 50}, mirvo::kAdviceHangInBase + 6},
    {2027, 1, 9, 41, {14, -97, 54}, {232, -190, 202}, mirvo::kAdviceHangInBase},
}};
constexpr StoredDays kHanakoNovember = {{
    {2026, 11, 1, 0, {14, 90, 0}, {140, 71, -150}, mirvo::kAdviceGoodBase + 1},
    {2026, 11, 21, 20, {82, 22, -62}, {-130, 281, 75}, mirvo::kAdviceGoodBase + 1},
    {2026, 12, 12, 41, {100, -97, 100}, {90, 80, 122}, mirvo::kAdviceGoodBase + 6},
}};
// Ken with cycles of 20, 25 and 30 days and the Sun not counted: 2026-12.
constexpr StoredDays kKenDecember = {{
    {2026, 11, 29, 0, {0, 95, 87}, {180, -105, 220}, mirvo::kAdviceGoodBase + 4},
    {2026, 12, 19, 20, {0, 0, 0}, {25, -60, 25}, 0},
    {2027, 1, 9, 41, {-31, -84, -95}, {221, 90, 221}, mirvo::kAdviceAlmostBase + 3},
}};

void ExpectGridShows(const mirvo::MonthGrid& grid, const StoredDays& days)
{
    for (const StoredDay& day : days) {
        const koyomi::TDateTime date = koyomi::EncodeDate(day.year, day.month, day.day);
        QCOMPARE(grid.CellOf(date), day.cell);
        const mirvo::Evaluation& e = grid.cells[day.cell].evaluation;
        for (int k = 0; k < mirvo::kAxisCount; ++k) {
            QCOMPARE(int(e.reading.BioPercent[k]), day.percent[k]);
            QCOMPARE(int(e.reading.StarTotal[k]), day.star[k]);
        }
        QCOMPARE(e.verdict.adviceId, day.advice);
    }
}

QString WithoutSpaces(QString text)
{
    text.remove(QRegularExpression("\\s"));
    return text;
}

} // namespace

class TestFormMonth : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void oneWindowThatFollowsTheMainWindow();
    void daysAreChosenByClickAndByKey();
    void settingsAfterOkAreFollowed();
    void nextGoodDayStartsAfterTheShownDayAndNoneIsSaid();
    void tooltipHoldsTheWholeReading();
    void holidaysRedAndNamed();
    void opensBesideTheMainWindowAndFitsItsWeeks();
    void mainWindowPictureIsItsOwnRendering();
    void svgKeepsTheTextsAsText();
    void failedWriteKeepsTheOldFile();
    void monthPictureAndCalendarFile();
    void exportAsksTheRangeWithItsWholeTitle();
    void printedPageIsOnePageWithTheReading();

private:
    mirvo::ProgramPaths Paths() const
    {
        mirvo::ProgramPaths paths;
        paths.programFile = std::filesystem::path(FDir->path().toStdString()) / "TodayMirvo";
        return paths;
    }
    TMirvoMonth* OpenMonth()
    {
        FMain->RunCommand(TTodayMirvo::cmdMonth);
        return MirvoMonth;
    }
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TTodayMirvo> FMain;
};

void TestFormMonth::initTestCase()
{
    QVERIFY(testing_gui::LoadDataFile());
}

void TestFormMonth::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    WriteFile(Paths().MemberFile(), Members());
    FMain = std::make_unique<TTodayMirvo>(Paths());
    FMain->ShowDay(koyomi::EncodeDate(2026, 12, 7));
}

void TestFormMonth::cleanup()
{
    FMain.reset();
    QVERIFY(MirvoMonth == nullptr);  // owned by the main window
    FDir.reset();
}

void TestFormMonth::oneWindowThatFollowsTheMainWindow()
{
    TMirvoMonth* month = OpenMonth();
    QVERIFY(month != nullptr);
    QVERIFY(month->isVisible());
    QVERIFY(!month->isModal());
    QCOMPARE(OpenMonth(), month);  // at most one
    QVERIFY(month->windowTitle().contains("山田花子"));
    QCOMPARE(month->Grid().year, 2026);
    QCOMPARE(month->Grid().month, 12);
    ExpectGridShows(month->Grid(), kHanakoDecember);

    // The main window's day commands move the month window along.
    for (int i = 0; i < 25; ++i)
        FMain->RunCommand(TTodayMirvo::cmdNextDay);
    QCOMPARE(month->Day(), koyomi::EncodeDate(2027, 1, 1));
    QCOMPARE(month->Grid().year * 100 + month->Grid().month, 202701);
    QCOMPARE(month->findChild<TMonthView*>("pnlMonth")->ShownDay(), koyomi::EncodeDate(2027, 1, 1));

    // Ctrl+M is the command's shortcut, also in the main window's menu.
    month->close();
    QApplication::processEvents();
    QVERIFY(MirvoMonth == nullptr);
    QAction* item = FMain->Menu()->findChild<QAction*>("mniMonth");
    QVERIFY(item != nullptr);
    QCOMPARE(item->shortcut(), QKeySequence("Ctrl+M"));
    item->trigger();
    QVERIFY(MirvoMonth != nullptr);
}

void TestFormMonth::daysAreChosenByClickAndByKey()
{
    TMirvoMonth* month = OpenMonth();
    auto* view = month->findChild<TMonthView*>("pnlMonth");
    // 2026-12-01 is a Tuesday: the grid starts on Sunday 11-29.
    const int cell = view->Grid().CellOf(koyomi::EncodeDate(2026, 12, 24));
    QCOMPARE(cell, 25);
    QTest::mouseClick(view, Qt::LeftButton, {}, view->CellRect(cell).center());
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2026, 12, 24));
    QCOMPARE(month->Day(), koyomi::EncodeDate(2026, 12, 24));

    QTest::keyClick(month, Qt::Key_Right);
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2026, 12, 25));
    QTest::keyClick(month, Qt::Key_Down);
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2027, 1, 1));
    QCOMPARE(month->Grid().month, 1);
    QTest::keyClick(month, Qt::Key_Up);
    QTest::keyClick(month, Qt::Key_Left);
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2026, 12, 24));

    // The month keys and buttons change only the month shown.
    QTest::keyClick(month, Qt::Key_PageDown);
    QCOMPARE(month->Grid().year * 100 + month->Grid().month, 202701);
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2026, 12, 24));
    QTest::mouseClick(month->findChild<QPushButton*>("btnPrevMonth"), Qt::LeftButton);
    QTest::mouseClick(month->findChild<QPushButton*>("btnPrevMonth"), Qt::LeftButton);
    QCOMPARE(month->Grid().year * 100 + month->Grid().month, 202611);
    ExpectGridShows(month->Grid(), kHanakoNovember);
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2026, 12, 24));

    QTest::keyClick(month, Qt::Key_Home);
    QCOMPARE(koyomi::DateOf(FMain->Date()), koyomi::DateOf(koyomi::Now()));
}

void TestFormMonth::settingsAfterOkAreFollowed()
{
    TMirvoMonth* month = OpenMonth();
    mirvo::TMirvoOptions options;
    options.Assign(FMain->Options());
    options.BioCycle = {20, 25, 30};
    options.PlanetUse[0] = false;
    mirvo::TMemberList members;
    members.Assign(FMain->MemberList());
    FMain->TakeSettings(options, members, members.Items(1));
    QVERIFY(month->windowTitle().contains("Ken"));
    ExpectGridShows(month->Grid(), kKenDecember);
}

void TestFormMonth::nextGoodDayStartsAfterTheShownDayAndNoneIsSaid()
{
    TMirvoMonth* month = OpenMonth();
    QStringList said;
    month->SetReporter([&](const QString& m) { said << m; });
    // 山田花子 is member 0 of tests/data/today: with its settings.ini (feeling
    // cycle 28.5, Uranus counted) 2027-02-23 is itself a good day, and the
    // next one after it is 2027-03-16 (mirvo-today --next-good).
    mirvo::TMirvoOptions stored;
    stored.Assign(FMain->Options());
    stored.BioCycle[1] = 28.5f;
    stored.PlanetUse[8] = true;
    mirvo::TMemberList list;
    list.Assign(FMain->MemberList());
    FMain->TakeSettings(stored, list, FMain->Member());
    FMain->ShowDay(koyomi::EncodeDate(2027, 2, 23));
    QTest::mouseClick(month->findChild<QPushButton*>("btnNextGood"), Qt::LeftButton);
    QCOMPARE(FMain->Date(), koyomi::EncodeDate(2027, 3, 16));
    QVERIFY(said.isEmpty());

    // Cycles of no length never rise above zero: no good day at all.
    mirvo::TMirvoOptions options;
    options.Assign(FMain->Options());
    options.BioCycle = {0, 0, 0};
    mirvo::TMemberList members;
    members.Assign(FMain->MemberList());
    FMain->TakeSettings(options, members, FMain->Member());
    const koyomi::TDateTime before = FMain->Date();
    month->GoToNextGoodDay();
    QCOMPARE(FMain->Date(), before);
    QCOMPARE(said, QStringList{Q(mirvo::LoadStr(mirvo::kMsgNoGoodDay)).arg(366)});
}

void TestFormMonth::tooltipHoldsTheWholeReading()
{
    TMirvoMonth* month = OpenMonth();
    auto* view = month->findChild<TMonthView*>("pnlMonth");
    const int cell = view->Grid().CellOf(koyomi::EncodeDate(2026, 12, 7));
    const mirvo::Evaluation& e = view->Grid().cells[cell].evaluation;
    const QString tip = view->CellToolTip(cell);
    QVERIFY(tip.startsWith("2026/12/07 (月)"));
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        QVERIFY(tip.contains(QString("%1%").arg(e.reading.BioPercent[k])));
        QVERIFY(tip.contains(QString("%1点").arg(e.reading.StarTotal[k])));
        QVERIFY(tip.contains(Q(mirvo::RatingText(e.verdict.axes[k].rating))));
    }
    if (e.verdict.adviceId)
        QVERIFY(tip.contains(Q(mirvo::LoadStr(e.verdict.adviceId))));
    QCOMPARE(view->CellToolTip(-1), QString());
    // The arrow buttons are named by what they do.
    QCOMPARE(month->findChild<QPushButton*>("btnPrevMonth")->accessibleName(), QString("前の月"));
    QCOMPARE(month->findChild<QPushButton*>("btnNextMonth")->accessibleName(), QString("次の月"));
    QCOMPARE(view->CellAt(QPoint(0, 0)), -1);
}

void TestFormMonth::holidaysRedAndNamed()
{
    // Golden Week 2026: Constitution Day falls on a Sunday, so Wednesday the 6th is a substitute holiday.
    FMain->ShowDay(koyomi::EncodeDate(2026, 5, 7));
    TMirvoMonth* month = OpenMonth();
    auto* view = month->findChild<TMonthView*>("pnlMonth");
    const QImage shot = view->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    // Pixels of the day number drawn in the Sunday red (the number alone:
    // the word of a critical day beside it is red too).
    const auto redInNumber = [&](int day) {
        const int cell = view->Grid().CellOf(koyomi::EncodeDate(2026, 5, day));
        const QRect r = view->CellRect(cell);
        const QRect number(r.topLeft() * ratio, QSize(r.width() / 5, r.height() / 3) * ratio);
        int red = 0;
        for (int y = number.top(); y <= number.bottom(); ++y)
            for (int x = number.left(); x <= number.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 90 && c.blue() < 90;
            }
        return red;
    };
    for (int day : {3, 4, 5, 6})
        QVERIFY2(redInNumber(day) > 0, qPrintable(QString("5/%1 not red").arg(day)));
    QCOMPARE(redInNumber(7), 0);
    QCOMPARE(redInNumber(8), 0);
    const int sixth = view->Grid().CellOf(koyomi::EncodeDate(2026, 5, 6));
    QVERIFY(view->CellToolTip(sixth).contains("振替休日"));
    QVERIFY(view->CellSpokenText(sixth).contains("振替休日"));
    const int fourth = view->Grid().CellOf(koyomi::EncodeDate(2026, 5, 4));
    QVERIFY(view->CellToolTip(fourth).contains("みどりの日"));
    const int seventh = view->Grid().CellOf(koyomi::EncodeDate(2026, 5, 7));
    QVERIFY(!view->CellToolTip(seventh).contains("休日"));
}

void TestFormMonth::opensBesideTheMainWindowAndFitsItsWeeks()
{
    FMain->ShowDay(koyomi::EncodeDate(2026, 8, 7));  // August 2026: six weeks
    FMain->move(0, 0);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
    TMirvoMonth* month = OpenMonth();
    QVERIFY(QTest::qWaitForWindowExposed(month));
    const QRect area = FMain->screen()->availableGeometry();
    QVERIFY(area.contains(month->frameGeometry()));
    if (FMain->frameGeometry().width() + month->frameGeometry().width() <= area.width())
        QVERIFY(!month->frameGeometry().intersects(FMain->frameGeometry()));
    QCOMPARE(month->frameGeometry().top(), FMain->frameGeometry().top());
    const int sixWeeks = month->height();
    // February 2026 starts on a Sunday: four weeks, and the window follows.
    FMain->ShowDay(koyomi::EncodeDate(2026, 2, 7));
    QTRY_VERIFY(month->height() < sixWeeks);
    const int rowHeight = month->findChild<TMonthView*>("pnlMonth")->CellRect(7).top()
                          - month->findChild<TMonthView*>("pnlMonth")->CellRect(0).top();
    QCOMPARE(sixWeeks - month->height(), 2 * rowHeight);
}

void TestFormMonth::mainWindowPictureIsItsOwnRendering()
{
    const QString path = FDir->filePath("reading.png");
    QString suggested;
    FMain->SetFileChooser([&](QWidget*, const QString&, const QString& name, const QString&) {
        suggested = name;
        return path;
    });
    FMain->RunCommand(TTodayMirvo::cmdSavePicture);
    QCOMPARE(suggested, QString("ミルボ_山田花子_2026-12-07.png"));
    QImage saved(path);
    QVERIFY(!saved.isNull());
    saved.setDevicePixelRatio(2);
    // The window's rendering below a band that names the member.
    const int band = saved.height() - FMain->height() * 2;
    QVERIFY(band > 0);
    QCOMPARE(saved.width(), FMain->width() * 2);
    QImage own(FMain->size() * 2, QImage::Format_ARGB32_Premultiplied);
    own.setDevicePixelRatio(2);
    own.fill(Qt::white);
    FMain->render(&own);
    QCOMPARE(saved.copy(0, band, saved.width(), own.height()).convertToFormat(QImage::Format_RGB32),
             own.convertToFormat(QImage::Format_RGB32));
    // The band holds the title: white ink on black.
    int lit = 0;
    for (int y = 0; y < band; ++y)
        for (int x = 0; x < saved.width(); ++x)
            lit += qGray(saved.pixel(x, y)) > 128;
    QVERIFY(lit > 50);
    QCOMPARE(FMain->windowTitle(), QString("今日のミルボ [山田花子]"));
}

void TestFormMonth::svgKeepsTheTextsAsText()
{
    const QString path = FDir->filePath("reading.svg");
    FMain->SetFileChooser([&](QWidget*, const QString&, const QString&, const QString&) { return path; });
    FMain->RunCommand(TTodayMirvo::cmdSavePicture);
    QSvgRenderer renderer(path);
    QVERIFY(renderer.isValid());
    const QString svg = QString::fromUtf8(ReadFile(path.toStdString()));
    QVERIFY(svg.contains(">2026/12/07"));
    const int advice = FMain->LastEvaluation().verdict.adviceId;
    QVERIFY(advice != 0);
    // The advice label breaks its sentence into lines: each line is a text element.
    const QStringList texts = [&] {
        QStringList found;
        QRegularExpression element("<text[^>]*>([^<]*)</text>");
        for (auto m = element.globalMatch(svg); m.hasNext();)
            found << m.next().captured(1);
        return found;
    }();
    QVERIFY(WithoutSpaces(texts.join("")).contains(WithoutSpaces(Q(mirvo::LoadStr(advice)))));
    // The picture names whose day it is.
    QVERIFY(WithoutSpaces(texts.join("")).contains("山田花子"));
}

void TestFormMonth::failedWriteKeepsTheOldFile()
{
    QStringList errors;
    FMain->SetErrorReporter([&](const QString& m) { errors << m; });
    // An existing picture is replaced, not written into.
    const QString path = FDir->filePath("old.png");
    WriteFile(path.toStdString(), "old bytes");
    FMain->SetFileChooser([&](QWidget*, const QString&, const QString&, const QString&) { return path; });
    FMain->RunCommand(TTodayMirvo::cmdSavePicture);
    QVERIFY(errors.isEmpty());
    QVERIFY(!QImage(path).isNull());
    // A folder that cannot be written: the old file stays, the message names it.
    const QString lockedDir = FDir->filePath("locked");
    QDir().mkdir(lockedDir);
    const QString locked = lockedDir + "/picture.png";
    WriteFile(locked.toStdString(), "old bytes");
    QFile::setPermissions(lockedDir, QFile::ReadOwner | QFile::ExeOwner);
    FMain->SetFileChooser([&](QWidget*, const QString&, const QString&, const QString&) { return locked; });
    FMain->RunCommand(TTodayMirvo::cmdSavePicture);
    QFile::setPermissions(lockedDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0) {  // root writes anyway
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(locked));
        QCOMPARE(ReadFile(locked.toStdString()), std::string("old bytes"));
    }
    const QString missing = FDir->filePath("no/such/folder/x.svg");
    FMain->SetFileChooser([&](QWidget*, const QString&, const QString&, const QString&) { return missing; });
    errors.clear();
    FMain->RunCommand(TTodayMirvo::cmdSavePicture);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(missing));
}

void TestFormMonth::monthPictureAndCalendarFile()
{
    TMirvoMonth* month = OpenMonth();
    auto* view = month->findChild<TMonthView*>("pnlMonth");
    const QString png = FDir->filePath("month.png");
    QString suggested;
    month->SetFileChooser([&](QWidget*, const QString&, const QString& name, const QString&) {
        suggested = name;
        return png;
    });
    month->SavePicture();
    QCOMPARE(suggested, QString("ミルボ_山田花子_2026-12.png"));
    QCOMPARE(QImage(png).size(), view->sizeHint() * 2);

    const QString ics = FDir->filePath("month.ics");
    month->SetFileChooser([&](QWidget*, const QString&, const QString& name, const QString&) {
        suggested = name;
        return ics;
    });
    for (const auto& [months, events] : {std::pair{1, 31}, std::pair{3, 31 + 31 + 28}, std::pair{12, 365}}) {
        month->SetRangeChooser([months = months](QWidget*) { return months; });
        month->ExportCalendar();
        const std::string text = ReadFile(ics.toStdString());
        int count = 0;
        for (std::size_t at = text.find("BEGIN:VEVENT"); at != std::string::npos; at = text.find("BEGIN:VEVENT", at + 1))
            ++count;
        QCOMPARE(count, events);
        QVERIFY(text.find("DTSTART;VALUE=DATE:" + std::string(months == 1 ? "20261201" : "20261207"))
                != std::string::npos);
    }
    QCOMPARE(suggested, QString("ミルボ_山田花子_2026-12-07.ics"));
    month->SetRangeChooser([](QWidget*) { return 0; });  // cancelled: nothing written
    QFile::remove(ics);
    month->ExportCalendar();
    QVERIFY(!QFile::exists(ics));
}

void TestFormMonth::exportAsksTheRangeWithItsWholeTitle()
{
    TMirvoMonth* month = OpenMonth();
    QString suggested;
    month->SetFileChooser([&](QWidget*, const QString&, const QString& name, const QString&) {
        suggested = name;
        return QString();
    });
    QString title;
    int width = 0;
    int titleWidth = 0;
    testing_gui::WhenActiveModal<QInputDialog>(month, [&](QInputDialog& dialog) {
        title = dialog.windowTitle();
        width = dialog.width();
        QFont bold = dialog.font();
        bold.setBold(true);
        titleWidth = QFontMetrics(bold).horizontalAdvance(title);
        // これから3か月, by the keys.
        QWidget* choice = dialog.focusWidget();
        QTest::keyClick(choice, Qt::Key_Down);
        QTest::keyClick(choice, Qt::Key_Return);
    });
    QTest::mouseClick(month->findChild<QPushButton*>("btnExport"), Qt::LeftButton);
    QCOMPARE(title, QString("カレンダーに書き出す"));
    // The title whole beside a title bar's icon and three buttons of 24 pixels.
    QVERIFY2(width >= titleWidth + 4 * 24, qPrintable(QString("%1 for a title of %2").arg(width).arg(titleWidth)));
    QCOMPARE(suggested, QString("ミルボ_山田花子_2026-12-07.ics"));
}

void TestFormMonth::printedPageIsOnePageWithTheReading()
{
    const QString pdf = FDir->filePath("page.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    mirvo::PreparePrinter(printer);
    QVERIFY(mirvo::PrintPage(printer, FMain->PrintContentOf()));
    const QString info = CommandOutput("pdfinfo", {pdf});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
    QVERIFY(info.contains("595") && info.contains("842"));  // A4 portrait, in points
    const QString text = WithoutSpaces(CommandOutput("pdftotext", {"-enc", "UTF-8", pdf, "-"}));
    QVERIFY2(text.contains("山田花子"), qPrintable(text));
    QVERIFY(text.contains("2026/12/07"));
    const int advice = FMain->LastEvaluation().verdict.adviceId;
    QVERIFY(advice != 0);
    QVERIFY(text.contains(WithoutSpaces(Q(mirvo::LoadStr(advice)))));
}

QTEST_MAIN(TestFormMonth)
#include "tst_formmonth.moc"
