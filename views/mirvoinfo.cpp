#include "views/mirvoinfo.h"

#include "app/reading/memberfacts.h"
#include "components/qtext.h"
#include "koyomi/base/messages.h"
#include "koyomi/base/stringtable.h"
#include "components/fonts.h"
#include "koyomi/base/error.h"
#include "members/sexnames.h"
#include "ui_mirvoinfo.h"

#include <QLabel>
#include <QScreen>
#include <QShowEvent>

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
