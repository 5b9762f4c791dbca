#include "views/formmonth.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/qtext.h"
#include "start/icalendar.h"
#include "ui_formmonth.h"
#include "version/appinfo.h"

#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

using mirvo::Q;

TMirvoMonth* MirvoMonth = nullptr;

namespace {

constexpr int kFontPixels = 12;
constexpr int kWeekDays = mirvo::kWeekDays;
constexpr int kTitleBarRoom = 160;
const QSize kFrameAllowance(16, 40);  // a frame not drawn yet: borders and title bar  // pixels of a title bar beside its title: icon, buttons, margins

QString Title(const mirvo::TMemberListItem& member)
{
    const QString head = Q(mirvo::LoadStr(mirvo::kTextMonthWindow)) + " - " + Q(mirvo::AppFileDescription());
    return member.Name.empty() ? head : head + " [" + Q(member.Name) + "]";
}

// Asks how many months to write to a calendar file: 1, 3 or 12, or 0 when
// the user cancels.
int ChooseExportRange(QWidget* owner)
{
    const QStringList ranges = {Q(mirvo::LoadStr(mirvo::kTextRangeThisMonth)), Q(mirvo::LoadStr(mirvo::kTextRangeThree)),
                                Q(mirvo::LoadStr(mirvo::kTextRangeTwelve))};
    QInputDialog dialog(owner);
    dialog.setObjectName("dlgExportRange");
    dialog.setWindowTitle(Q(mirvo::LoadStr(mirvo::kTextExport)));
    dialog.setLabelText(Q(mirvo::LoadStr(mirvo::kTextRangeLabel)));
    dialog.setComboBoxItems(ranges);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(ranges[0]);
    // As wide as its title in a bold title bar beside the icon and the
    // buttons (the dialog sizes itself to its fields: the choice is widened).
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    if (auto* choice = dialog.findChild<QComboBox*>())
        choice->setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kTitleBarRoom);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    const QString chosen = dialog.textValue();
    return chosen == ranges[0] ? 1 : chosen == ranges[1] ? 3 : 12;
}

} // namespace

TMirvoMonth::TMirvoMonth(DayRequest showDay, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TMirvoMonth>()), FShowDay(std::move(showDay))
{
    setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kFontPixels));
    ui->setupUi(this);
    // The month scrolls when it is larger than the screen (twice the size on a small screen).
    scrMonth = new QScrollArea(this);
    scrMonth->setObjectName("scrMonth");
    scrMonth->setFrameShape(QFrame::NoFrame);
    scrMonth->setFocusPolicy(Qt::NoFocus);
    scrMonth->setWidgetResizable(false);
    delete ui->layMonth->replaceWidget(ui->pnlMonth, scrMonth);
    scrMonth->setWidget(ui->pnlMonth);
    // Its keys are the month's (days and months), not the scroll area's.
    scrMonth->installEventFilter(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    MirvoMonth = this;
    FChooseFile = mirvo::ChooseSaveFile;
    FChooseRange = &ChooseExportRange;
    FReport = [this](const QString& message) {
        QMessageBox::information(this, Q(mirvo::LoadStr(mirvo::kTextNextGood)), message);
    };
    connect(ui->btnPrevMonth, &QPushButton::clicked, this, [this] { StepShownMonth(-1); });
    connect(ui->btnNextMonth, &QPushButton::clicked, this, [this] { StepShownMonth(1); });
    connect(ui->btnToday, &QPushButton::clicked, this, [this] { FShowDay(koyomi::Now()); });
    connect(ui->btnNextGood, &QPushButton::clicked, this, &TMirvoMonth::GoToNextGoodDay);
    connect(ui->btnSavePicture, &QPushButton::clicked, this, &TMirvoMonth::SavePicture);
    connect(ui->btnExport, &QPushButton::clicked, this, &TMirvoMonth::ExportCalendar);
    connect(ui->pnlMonth, &TMonthView::DayClicked, this, [this](koyomi::TDateTime day) { FShowDay(day); });
    // Screen readers say what the arrow buttons do, not the arrows' names.
    ui->btnPrevMonth->setAccessibleName(Q(mirvo::LoadStr(mirvo::kSpokenPreviousMonth)));
    ui->btnNextMonth->setAccessibleName(Q(mirvo::LoadStr(mirvo::kSpokenNextMonth)));
}

TMirvoMonth::~TMirvoMonth()
{
    if (MirvoMonth == this)
        MirvoMonth = nullptr;
}

void TMirvoMonth::MarkPairDays(const std::vector<koyomi::TDateTime>& days)
{
    ui->pnlMonth->SetPairDays(days);
}

bool TMirvoMonth::IsPairDayMarked(koyomi::TDateTime day) const
{
    return ui->pnlMonth->IsPairDay(day);
}

const mirvo::MonthGrid& TMirvoMonth::Grid() const
{
    return ui->pnlMonth->Grid();
}

void TMirvoMonth::ShowMonth(const mirvo::TMemberListItem& member, const mirvo::EvalSettings& settings,
                            koyomi::TDateTime day)
{
    FMember.Assign(member);
    FDays = mirvo::TMemberDays(member.Birthday, settings);
    FDay = koyomi::DateOf(day);
    const koyomi::DateParts parts = koyomi::DecodeDate(FDay);
    FYear = parts.year;
    FMonth = parts.month;
    setWindowTitle(Title(member));
    Recompute();
}

void TMirvoMonth::StepShownMonth(int delta)
{
    mirvo::StepMonth(FYear, FMonth, delta);
    Recompute();
}

void TMirvoMonth::Recompute()
{
    ui->pnlMonth->SetMonth(mirvo::MakeMonthGrid(FDays, FYear, FMonth), Q(FMember.Name), koyomi::Now(), FDay);
    FitToScreen();
}

void TMirvoMonth::FitToScreen()
{
    TMonthView* view = ui->pnlMonth;
    const QSize whole = view->sizeHint();
    view->resize(whole);
    QSize room = whole;
    if (const QScreen* shown = screen()) {
        // The work area less the frame (allowed for while it is not known)
        // and less what the window holds besides the month.
        QSize frame = frameGeometry().size() - size();
        if (frame.isNull())
            frame = kFrameAllowance;
        const QMargins margins = ui->layMonth->contentsMargins();
        const QSize others(margins.left() + margins.right(), margins.top() + margins.bottom()
                                                                 + std::max(0, ui->layMonth->spacing())
                                                                 + ui->layButtons->sizeHint().height());
        room = shown->availableGeometry().size() - frame - others;
    }
    QSize shown = whole.boundedTo(room);
    // A scroll bar takes its room beside the part of the month it scrolls.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrMonth);
    if (shown.height() < whole.height())
        shown.setWidth(std::min(whole.width() + bar, std::max(room.width(), shown.width())));
    if (shown.width() < whole.width())
        shown.setHeight(std::min(whole.height() + bar, std::max(room.height(), shown.height())));
    scrMonth->setFixedSize(shown.expandedTo(QSize(1, 1)));
}

bool TMirvoMonth::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrMonth && event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TMirvoMonth::MoveDay(double days)
{
    const koyomi::TDateTime moved = koyomi::StepDays(FDay, days);
    if (moved != FDay)
        FShowDay(moved);
}

void TMirvoMonth::GoToNextGoodDay()
{
    const auto good = mirvo::NextGoodDay(FDays, FDay);
    if (good)
        FShowDay(good->date);
    else
        FReport(Q(mirvo::LoadStr(mirvo::kMsgNoGoodDay)).arg(mirvo::kGoodDaySearchDays));
}

void TMirvoMonth::SavePicture()
{
    const koyomi::TDateTime first = koyomi::EncodeDate(FYear, FMonth, 1);
    const QString suggested = mirvo::SuggestedFileName(FMember.Name, first, "yyyy'-'mm", ".png");
    const QString path =
        FChooseFile(this, Q(mirvo::LoadStr(mirvo::kTextSavePicture)), suggested, Q(mirvo::LoadStr(mirvo::kTextPictureFilters)));
    if (path.isEmpty())
        return;
    const TMonthView* view = ui->pnlMonth;
    const auto error = mirvo::WritePicture(
        path, view->sizeHint(), [view](QPainter& painter) { view->PaintMonth(painter); }, windowTitle());
    if (error)
        QMessageBox::warning(this, Q(mirvo::LoadStr(mirvo::kTextSavePicture)), *error);
}

std::string TMirvoMonth::CalendarText(int months, koyomi::TDateTime stampUtc) const
{
    koyomi::TDateTime first = koyomi::EncodeDate(FYear, FMonth, 1);
    int year = FYear, month = FMonth;
    if (months > 1) {
        // From the main window's day on, as far as the same day so many months later.
        first = FDay;
        const koyomi::DateParts d = koyomi::DecodeDate(FDay);
        year = d.year;
        month = d.month;
    }
    mirvo::StepMonth(year, month, months);
    const koyomi::DateParts start = koyomi::DecodeDate(first);
    const int day = std::min<int>(start.day, koyomi::DaysInMonth(year, month));
    koyomi::TDateTime end = 0;
    if (!koyomi::TryEncodeDate(year, month, months > 1 ? day : 1, end) || end <= first)
        end = koyomi::EncodeDate(9999, 12, 31) + 1;
    return mirvo::MakeIcsCalendar(FMember, FDays.Days(first, static_cast<int>(end - first)), stampUtc);
}

void TMirvoMonth::ExportCalendar()
{
    const int months = FChooseRange(this);
    if (months <= 0)
        return;
    const koyomi::TDateTime first = months > 1 ? FDay : koyomi::EncodeDate(FYear, FMonth, 1);
    const QString suggested =
        mirvo::SuggestedFileName(FMember.Name, first, months > 1 ? "yyyy'-'mm'-'dd" : "yyyy'-'mm", ".ics");
    const QString path =
        FChooseFile(this, Q(mirvo::LoadStr(mirvo::kTextExport)), suggested, Q(mirvo::LoadStr(mirvo::kTextCalendarFilters)));
    if (path.isEmpty())
        return;
    const std::string text = CalendarText(months, mirvo::UtcNow());
    const auto error = mirvo::WriteFileBytes(path, QByteArray::fromStdString(text), mirvo::kMsgCalendarNotSaved);
    if (error)
        QMessageBox::warning(this, Q(mirvo::LoadStr(mirvo::kTextExport)), *error);
}

void TMirvoMonth::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: MoveDay(-1); break;
    case Qt::Key_Right: MoveDay(1); break;
    case Qt::Key_Up: MoveDay(-kWeekDays); break;
    case Qt::Key_Down: MoveDay(kWeekDays); break;
    case Qt::Key_Home: FShowDay(koyomi::Now()); break;
    case Qt::Key_PageUp: StepShownMonth(-1); break;
    case Qt::Key_PageDown: StepShownMonth(1); break;
    default: QDialog::keyPressEvent(event); return;
    }
    event->accept();
}
