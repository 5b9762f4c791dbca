#include "views/mirvoinfo.h"

#include "components/fonts.h"
#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/datafile.h"
#include "koyomi/positions.h"
#include "members/sexnames.h"
#include "ui_mirvoinfo.h"

#include <QLabel>
#include <QScreen>
#include <QShowEvent>

#include <cmath>

TMirvoInfo* MirvoInfo = nullptr;
bool InfoWindowOpen = false;

namespace {

constexpr int kFontPixels = 12;
constexpr int kSignMarkPixels = 16;
constexpr int kTagsPerAxis = 10;

// Data-file string numbers.
constexpr unsigned kBodyNameBase = 50001;
constexpr unsigned kSignNameBase = 50031;
constexpr unsigned kSignSymbolBase = 50071;

// The sign is that of the Sun at noon, Japan time, of the birth date.
constexpr std::int8_t kNoonHour = 12;

const char* const kBirthDayPattern = "yyyy'年'm'月'd'日生まれ'";
const char* const kUserCaption = "個人情報";
const char* const kUserCaptionSuffix = "さんの個人情報";
const char* const kExistencePrefix = "生存日数 ";
const char* const kExistenceSuffix = "日";
const char* const kGuardianPrefix = "守護星:";
const char* const kSwitchedOff = "-";

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

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

// Days from the birth date to the shown date, by day numbers; negative before birth.
long long DaysLived(const koyomi::DateParts& birth, const koyomi::DateParts& day)
{
    const long double d1 = koyomi::JulianDay(day.year, day.month, day.day);
    const long double d0 = koyomi::JulianDay(birth.year, birth.month, birth.day);
    return static_cast<long long>(std::trunc(d1 - d0));
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
    ui->grpUser->setTitle(member.Name.empty() ? QString::fromUtf8(kUserCaption)
                                              : Q(member.Name) + QString::fromUtf8(kUserCaptionSuffix));
    SetAutoSizedCaption(ui->labBirthDay, Q(koyomi::FormatDateTime(kBirthDayPattern, member.Birthday)));
    SetAutoSizedCaption(ui->labSex, Q(mirvo::SexName(member.Sex)));
    const koyomi::DateParts birth = koyomi::DecodeDate(member.Birthday);
    const koyomi::DateParts day = koyomi::DecodeDate(date);
    SetAutoSizedCaption(ui->labExistence, QString::fromUtf8(kExistencePrefix)
                                              + QString::number(DaysLived(birth, day))
                                              + QString::fromUtf8(kExistenceSuffix));
    ShowSign(birth);
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

void TMirvoInfo::ShowSign(const koyomi::DateParts& birth)
{
    const float longitude = koyomi::BodyCoordinate(koyomi::bdSun, koyomi::kComponentLongitude, birth.year,
                                                   birth.month, birth.day, 0, 0, kNoonHour);
    const std::int8_t sign = koyomi::SignIndex(longitude);
    const QString symbol = Q(koyomi::LoadDataString(kSignSymbolBase + sign));
    ui->labSignMark->setProperty("symbolCode", symbol);
    SetAutoSizedCaption(ui->labSignMark, mirvo::DisplayText(mirvo::kFaceWingdings, symbol));
    SetAutoSizedCaption(ui->labSign, Q(koyomi::LoadDataString(kSignNameBase + sign)));
    NameSignMark(ui->labSign->text());
    const int planet = koyomi::GuardianPlanet[sign];
    SetAutoSizedCaption(ui->labSignPlanet, QString::fromUtf8(kGuardianPrefix)
                                               + Q(koyomi::LoadDataString(kBodyNameBase + planet)));
}
