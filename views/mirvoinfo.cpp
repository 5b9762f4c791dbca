#include "views/mirvoinfo.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/qtext.h"
#include "members/sexnames.h"
#include "reading/memberfacts.h"
#include "ui_mirvoinfo.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <array>
#include <string>

using mirvo::Q;

TMirvoInfo* MirvoInfo = nullptr;
bool InfoWindowOpen = false;

namespace {

constexpr int kFontPixels = 12;
constexpr int kSignMarkPixels = 16;
constexpr int kTagsPerAxis = 10;

const char* const kBirthDayPattern = "yyyy'年'm'月'd'日生まれ'";
const char* const kSwitchedOff = "-";
// The widest score the cells make room for before any is shown: a weight of
// ten times the default of the Sun, and the strongest aspect against it.
const char* const kWidestScore = "-1000";
constexpr int kCellPadding = 2;   // pixels beside a cell's text
constexpr int kColumnGap = 4;     // pixels between two columns' texts
constexpr int kRightMargin = 17;  // pixels from the last column to the group's right edge

// Sets a caption and sizes the label to it, as a self-sizing Windows label
// does: a right-aligned label keeps its right edge, any other its left edge.
void SetAutoSizedCaption(QLabel* label, const QString& text)
{
    label->setText(text);
    const int width = label->fontMetrics().horizontalAdvance(text) + 1;
    const QRect g = label->geometry();
    if (label->alignment() & Qt::AlignRight)
        label->setGeometry(g.right() + 1 - width, g.y(), width, g.height());
    else
        label->setGeometry(g.x(), g.y(), width, g.height());
}

} // namespace

TMirvoInfo::TMirvoInfo(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TMirvoInfo>())
{
    ui->setupUi(this);
    FDesignGroupWidth = ui->grpPlanet->width();
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kFontPixels));
    ui->labSignMark->setFont(mirvo::WindowsFont(mirvo::kFaceWingdings, kSignMarkPixels, true));
    connect(ui->btnOK, &QPushButton::clicked, this, &TMirvoInfo::btnOKClick);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TMirvoInfo::~TMirvoInfo()
{
    InfoWindowOpen = false;
    // Nobody may reach this window through the pointer once it is gone.
    if (MirvoInfo == this)
        MirvoInfo = nullptr;
}

void TMirvoInfo::FormCreate()
{
    for (QLabel* label : findChildren<QLabel*>()) {
        const int tag = label->property("tag").toInt();
        if (tag >= kScoreTagFirst && tag <= kScoreTagLast)
            FScoreLabels[(tag - kScoreTagFirst) / kTagsPerAxis][(tag - kScoreTagFirst) % kTagsPerAxis] = label;
    }
    for (int b = 0; b < mirvo::kBodyCount; ++b)
        FColumnRight[b] = FScoreLabels[0][b]->geometry().right();
    LayOutScoreGrid();
    InfoWindowOpen = true;
    CreateAccessibility();
}

void TMirvoInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Filled as it appears: the main window's evaluation ends in ShowMemberInfo.
    if (!event->spontaneous())
        emit Shown();
}

void TMirvoInfo::btnOKClick()
{
    close();
}

void TMirvoInfo::ShowMemberInfo(const mirvo::TMemberListItem& member, const mirvo::TMirvoOptions& options,
                                const TStarScores& scores, koyomi::TDateTime date)
{
    ui->grpUser->setTitle(member.Name.empty() ? Q(mirvo::LoadStr(mirvo::kTextUserCaption))
                                              : Q(koyomi::FormatMessage(mirvo::LoadStr(mirvo::kTextMembersCaption),
                                                                        member.Name)));
    SetAutoSizedCaption(ui->labBirthDay, Q(koyomi::FormatDateTime(kBirthDayPattern, member.Birthday)));
    SetAutoSizedCaption(ui->labSex, Q(mirvo::SexName(member.Sex)));
    const mirvo::TMemberFacts facts = mirvo::MemberFactsOf(member.Birthday, date);
    SetAutoSizedCaption(ui->labExistence, Q(koyomi::FormatMessage(mirvo::LoadStr(mirvo::kTextDaysLived),
                                                                  std::to_string(facts.daysLived))));
    ShowSign(facts.sign);
    for (int a = 0; a < mirvo::kAxisCount; ++a) {
        for (int b = 0; b < mirvo::kBodyCount; ++b) {
            QString text;
            if (!options.PlanetUse[b])
                text = QString::fromUtf8(kSwitchedOff);
            else if (scores[a][b] != 0)
                text = QString::number(scores[a][b]);
            FScoreLabels[a][b]->setText(text);
        }
    }
    LayOutScoreGrid();
    NameScoreCells();
}

void TMirvoInfo::ShowSign(const mirvo::TSunSign& sign)
{
    const QString symbol = Q(sign.symbolCode);
    ui->labSignMark->setProperty("symbolCode", symbol);
    SetAutoSizedCaption(ui->labSignMark, mirvo::DisplayText(mirvo::kFaceWingdings, symbol));
    SetAutoSizedCaption(ui->labSign, Q(sign.name));
    NameSignMark(ui->labSign->text());
    SetAutoSizedCaption(ui->labSignPlanet, Q(koyomi::FormatMessage(mirvo::LoadStr(mirvo::kTextGuardianPlanet),
                                                                   sign.guardianPlanetName)));
}

// Every score must be read whole, its minus sign too: each column is as wide
// as its widest text (and never narrower than the widest common score) in
// the font it is drawn in, its right edge where the layout has it or further
// right when the columns before it grew; the group boxes and the window
// widen with the grid.
void TMirvoInfo::LayOutScoreGrid()
{
    static const std::array<const char*, mirvo::kBodyCount> heads = {"labP0", "labP1", "labL2", "labP3", "labP4",
                                                                     "labP5", "labP6", "labP7", "labP8", "labP9"};
    int previousRight = -1;
    for (int b = 0; b < mirvo::kBodyCount; ++b) {
        QLabel* head = findChild<QLabel*>(QString::fromLatin1(heads[b]));
        const QFontMetrics cellMetrics = FScoreLabels[0][b]->fontMetrics();
        int width = cellMetrics.horizontalAdvance(QString::fromLatin1(kWidestScore));
        for (int a = 0; a < mirvo::kAxisCount; ++a)
            width = std::max(width, cellMetrics.horizontalAdvance(FScoreLabels[a][b]->text()));
        width += kCellPadding;
        const int headWidth = head ? head->fontMetrics().horizontalAdvance(head->text()) + kCellPadding : 0;
        const int columnWidth = std::max(width, headWidth);
        int right = FColumnRight[b];
        if (previousRight >= 0)
            right = std::max(right, previousRight + kColumnGap + columnWidth);
        for (int a = 0; a < mirvo::kAxisCount; ++a) {
            QLabel* cell = FScoreLabels[a][b];
            cell->setGeometry(right + 1 - width, cell->y(), width, cell->height());
        }
        if (head)
            head->setGeometry(right + 1 - headWidth, head->y(), headWidth, head->height());
        previousRight = right;
    }
    const int groupWidth = std::max(FDesignGroupWidth, previousRight + 1 + kRightMargin);
    const int grow = groupWidth - ui->grpPlanet->width();
    if (grow == 0)
        return;
    ui->grpPlanet->resize(groupWidth, ui->grpPlanet->height());
    ui->grpUser->resize(groupWidth, ui->grpUser->height());
    ui->labSignPlanet->move(ui->labSignPlanet->x() + grow, ui->labSignPlanet->y());
    ui->btnOK->move(ui->btnOK->x() + grow, ui->btnOK->y());
    setFixedSize(width() + grow, height());
}
