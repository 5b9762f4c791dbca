#include "views/formpair.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/qtext.h"
#include "components/windowslook.h"
#include "help/apphelp.h"
#include "help/helpcommands.h"
#include "koyomi/datafile.h"
#include "ui_formpair.h"
#include "version/appinfo.h"
#include "views/formmonth.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

TMirvoPair* MirvoPair = nullptr;

using mirvo::Q;

namespace {

constexpr int kFontPixels = 12;
constexpr int kShownGoodDays = 5;      // the next days good for both that the list shows
constexpr int kHelpContext = 1470;     // the 相性 page of the help file

QString Text(int id)
{
    return Q(mirvo::LoadStr(id));
}

QString NameOf(const mirvo::TMemberListItem& member)
{
    return member.Name.empty() ? Text(mirvo::kTextNoName) : Q(member.Name);
}

// "2026/12/20 (日)"
QString DayText(koyomi::TDateTime day)
{
    const QStringList weekdays = Text(mirvo::kTextWeekdays).split(',');
    return Q(koyomi::DateToFileText(day)) + " (" + weekdays.value(mirvo::DayOfWeek(day)) + ")";
}

// The index of the first of `members` equal to `wanted`, or -1.
int IndexOf(const std::vector<mirvo::TMemberListItem>& members, const mirvo::TMemberListItem& wanted)
{
    for (std::size_t i = 0; i < members.size(); ++i)
        if (mirvo::SameMemberData(members[i], wanted))
            return static_cast<int>(i);
    return -1;
}

QString AxisInk(int axis)
{
    const std::uint32_t c = mirvo::AxisColour(axis);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF).name();
}

} // namespace

TMirvoPair::TMirvoPair(DayRequest showDay, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TMirvoPair>()), FShowDay(std::move(showDay))
{
    // The window's own font first: the widgets of the layout take it.
    setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kFontPixels));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    MirvoPair = this;
    ui->setupUi(this);
    ShowTexts();
    SetUpAxes();
    SetUpTabs();
    SetUpStarTable();
    SetUpGoodDays();
    SetUpButtons();

    const auto chosen = [this] {
        if (FFilling)
            return;
        FFirst = ui->cmbFirst->currentIndex();
        FSecond = ui->cmbSecond->currentIndex();
        Recompute();
    };
    connect(ui->cmbFirst, &QComboBox::currentIndexChanged, this, chosen);
    connect(ui->cmbSecond, &QComboBox::currentIndexChanged, this, chosen);
}

void TMirvoPair::ShowTexts()
{
    ui->labFirst->setText(Text(mirvo::kTextPairFirst));
    ui->labSecond->setText(Text(mirvo::kTextPairSecond));
    ui->tabPair->setTabText(0, Text(mirvo::kTextPairTabTogether));
    ui->tabPair->setTabText(1, Text(mirvo::kTextPairTabStars));
    ui->labHeadBio->setText(Text(mirvo::kTextPairBio));
    ui->labHeadStars->setText(Text(mirvo::kTextPairStars));
    ui->labHeadRating->setText(Text(mirvo::kTextPairRating));
    ui->labStrongest->setText(Text(mirvo::kTextStrongestAspects));
    ui->grpGoodDays->setTitle(Text(mirvo::kTextGoodDaysForBoth));
}

void TMirvoPair::SetUpAxes()
{
    FBioBars = {ui->barBio0, ui->barBio1, ui->barBio2, ui->barBio3};
    FStarLabels = {ui->labStars0, ui->labStars1, ui->labStars2, ui->labStars3};
    FRateLabels = {ui->labRate0, ui->labRate1, ui->labRate2, ui->labRate3};
    const std::array<QLabel*, mirvo::kAxisCount + 1> captions = {ui->labAxis0, ui->labAxis1, ui->labAxis2,
                                                                 ui->labAxis3};
    // Each axis in its colour on black; overall in bold.
    for (int row = 0; row <= mirvo::kAxisCount; ++row) {
        const bool overall = row == mirvo::kAxisCount;
        QLabel* caption = captions[row];
        caption->setText(overall ? Text(mirvo::kTextPairOverall) : Text(mirvo::kTextAxisNames + row));
        if (!overall)
            caption->setStyleSheet("QLabel { color: " + AxisInk(row) + "; background: black; padding: 1px 3px; }");
        if (overall) {
            QFont bold = FRateLabels[row]->font();
            bold.setBold(true);
            for (QLabel* l : {caption, FStarLabels[row], FRateLabels[row]})
                l->setFont(bold);
        }
    }
    QFont sentenceFont = ui->labSentence->font();
    sentenceFont.setBold(true);
    ui->labSentence->setFont(sentenceFont);
}

void TMirvoPair::SetUpTabs()
{
    // The tabs are chosen by their letters (Alt+C, Alt+S), which also take
    // the focus into the page; Tab goes from the members straight to the page.
    tabBar = ui->tabPair->tabBar();
    tabBar->setFocusPolicy(Qt::NoFocus);
    tabBar->installEventFilter(this);
}

void TMirvoPair::SetUpStarTable()
{
    QTableWidget* table = ui->tblStars;
    table->setRowCount(2 * mirvo::kAxisCount);
    table->setColumnCount(mirvo::kBodyCount);
    table->setAccessibleName(Text(mirvo::kTextPairStarTable));
    table->setAccessibleDescription(Text(mirvo::kSpokenPairTable));
    QStringList bodies;
    for (int b = 0; b < mirvo::kBodyCount; ++b)
        bodies << Q(koyomi::LoadBodyName(b));
    table->setHorizontalHeaderLabels(bodies);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    FAspectLabels = {ui->labAspect0, ui->labAspect1, ui->labAspect2};
}

void TMirvoPair::SetUpGoodDays()
{
    QListWidget* list = ui->lstGoodDays;
    list->setAccessibleName(Text(mirvo::kTextGoodDaysForBoth));
    list->setAccessibleDescription(Text(mirvo::kSpokenPairGoodDays));
    list->setMaximumHeight(list->fontMetrics().height() * (kShownGoodDays + 1) + 8);
    connect(list, &QListWidget::itemActivated, this, [this] { ShowChosenGoodDay(); });
    list->installEventFilter(this);
}

void TMirvoPair::SetUpButtons()
{
    QDialogButtonBox* buttons = ui->btnBox;
    // Enter presses a button only when it has the focus (see keyPressEvent).
    for (QAbstractButton* button : buttons->buttons()) {
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }
    }
    buttons->button(QDialogButtonBox::Help)->setIcon(mirvo::HelpIcon());
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    const auto help = [] { mirvo::ApplicationHelpCommand(mirvo::HELP_CONTEXT, kHelpContext); };
    connect(buttons, &QDialogButtonBox::helpRequested, this, help);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, help);
}

bool TMirvoPair::eventFilter(QObject* watched, QEvent* event)
{
    // A tab's letter brings its page forward and the focus into it: the
    // list of good days, or the star table.
    if (watched == tabBar && event->type() == QEvent::Shortcut) {
        static_cast<QObject*>(tabBar)->event(event);
        QWidget* into = ui->tabPair->currentIndex() == 0 ? static_cast<QWidget*>(ui->lstGoodDays) : ui->tblStars;
        into->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    // Enter on a day shows it and nothing more: the list would pass the key
    // on, and the dialog would press its default button, 閉じる.
    if (watched == ui->lstGoodDays && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ShowChosenGoodDay();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMirvoPair::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the button that has the focus and nothing else: the
    // window is left open by Esc or 閉じる, never by an Enter meant for a list.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

TMirvoPair::~TMirvoPair()
{
    if (MirvoPair == this)
        MirvoPair = nullptr;

    // The month window's marks go with this window.
    if (MirvoMonth)
        MirvoMonth->MarkPairDays({});
}

void TMirvoPair::ShowPair(const mirvo::TMemberList& members, const mirvo::TMemberListItem& current, int currentIndex,
                          const mirvo::EvalSettings& settings, koyomi::TDateTime day)
{
    bool first = FMembers.empty();
    FMembers.clear();
    for (int i = 0; i < members.Count(); ++i) {
        mirvo::TMemberListItem item;
        item.Assign(members.Items(i));
        FMembers.push_back(std::move(item));
    }
    FOutside = -1;
    if (currentIndex < 0 || currentIndex >= members.Count()) {
        // The main window's member is not in the list (an empty list): it is a choice of its own.
        mirvo::TMemberListItem item;
        item.Assign(current);
        FMembers.push_back(std::move(item));
        FOutside = static_cast<int>(FMembers.size()) - 1;
        currentIndex = FOutside;
    }
    const int count = static_cast<int>(FMembers.size());
    if (first && FStartPair) {
        const int one = IndexOf(FMembers, FStartPair->first);
        const int two = IndexOf(FMembers, FStartPair->second);
        if (one >= 0 && two >= 0) {
            FFirst = one;
            FSecond = two;
            first = false;
        }
    }
    if (first || FFirst < 0 || FFirst >= count)
        FFirst = currentIndex;
    if (first || FSecond < 0 || FSecond >= count)
        FSecond = count > 1 ? (currentIndex + 1) % count : currentIndex;
    FSettings = settings;
    FDay = koyomi::DateOf(day);
    FillChoosers();
    Recompute();
}

void TMirvoPair::StartOn(const mirvo::TMemberListItem& first, const mirvo::TMemberListItem& second)
{
    FStartPair = std::make_unique<std::pair<mirvo::TMemberListItem, mirvo::TMemberListItem>>();
    FStartPair->first.Assign(first);
    FStartPair->second.Assign(second);
}

bool TMirvoPair::ChosenMembers(mirvo::TMemberListItem& first, mirvo::TMemberListItem& second) const
{
    if (FMembers.empty() || FFirst < 0 || FSecond < 0)
        return false;
    first.Assign(Chosen(FFirst));
    second.Assign(Chosen(FSecond));
    return true;
}

void TMirvoPair::ChooseMembers(int first, int second)
{
    const int count = static_cast<int>(FMembers.size());
    FFirst = first < 0 ? FOutside : std::min(first, count - 1);
    FSecond = second < 0 ? FOutside : std::min(second, count - 1);
    if (FFirst < 0)
        FFirst = 0;
    if (FSecond < 0)
        FSecond = 0;
    FillChoosers();
    Recompute();
}

void TMirvoPair::FillChoosers()
{
    FFilling = true;
    for (QComboBox* box : {ui->cmbFirst, ui->cmbSecond}) {
        box->clear();
        for (const mirvo::TMemberListItem& m : FMembers)
            box->addItem(NameOf(m) + "  " + Q(koyomi::DateToFileText(m.Birthday)));
    }
    ui->cmbFirst->setCurrentIndex(FFirst);
    ui->cmbSecond->setCurrentIndex(FSecond);
    FFilling = false;
}

const mirvo::TMemberListItem& TMirvoPair::Chosen(int index) const
{
    return FMembers.at(static_cast<std::size_t>(index));
}

void TMirvoPair::Recompute()
{
    if (FMembers.empty() || FFirst < 0 || FSecond < 0)
        return;
    const mirvo::TMemberListItem& one = Chosen(FFirst);
    const mirvo::TMemberListItem& two = Chosen(FSecond);
    const QString oneName = NameOf(one);
    const QString twoName = NameOf(two);
    setWindowTitle(Q(mirvo::FillNumbered(mirvo::LoadStr(mirvo::kTextPairTitle), {oneName.toStdString(),
                                                                                twoName.toStdString()}))
                   + " - " + Q(mirvo::AppFileDescription()));
    FPair = mirvo::PairCompatibility(one.Birthday, two.Birthday, FSettings);
    ui->labDaysApart->setText(Q(mirvo::FillNumbered(mirvo::LoadStr(mirvo::kTextDaysApart),
                                                {std::to_string(static_cast<long long>(FPair.daysApart))})));
    for (int row = 0; row <= mirvo::kAxisCount; ++row) {
        const bool overall = row == mirvo::kAxisCount;
        const int bio = overall ? FPair.bioCompatibility : FPair.axes[row].bioCompatibility;
        const std::int32_t stars = overall ? FPair.starScore : FPair.axes[row].starScore;
        const mirvo::TPairLevel level = overall ? FPair.level : FPair.axes[row].level;
        const QString name = overall ? Text(mirvo::kTextPairOverall) : Text(mirvo::kTextAxisNames + row);
        FBioBars[row]->setValue(bio);
        FBioBars[row]->setAccessibleName(Q(mirvo::FillNumbered(mirvo::LoadStr(mirvo::kSpokenPairBar),
                                                               {name.toStdString(), std::to_string(bio)})));
        FStarLabels[row]->setText(QString::number(stars) + Text(mirvo::kTextPoints));
        FRateLabels[row]->setText(Text(mirvo::kPairRatingBase + level));
    }
    ui->labSentence->setText(Text(FPair.sentenceId));

    QStringList rows;
    for (int side = 0; side < 2; ++side) {
        for (int k = 0; k < mirvo::kAxisCount; ++k) {
            const QString owner = side == 0 ? oneName : twoName;
            rows << Q(mirvo::FillNumbered(mirvo::LoadStr(mirvo::kTextPairNatalOf),
                                          {owner.toStdString(),
                                           koyomi::LoadBodyName(k)}));
            const mirvo::BodyTable& scores = side == 0 ? FPair.axes[k].firstToSecond : FPair.axes[k].secondToFirst;
            for (int b = 0; b < mirvo::kBodyCount; ++b) {
                auto* item = new QTableWidgetItem(QString::number(scores[b]));
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (!FSettings.planetUse[b])
                    item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                ui->tblStars->setItem(side * mirvo::kAxisCount + k, b, item);
            }
        }
    }
    ui->tblStars->setVerticalHeaderLabels(rows);
    // The whole table without scrolling: the names in the row captions change its width.
    ui->tblStars->resizeColumnsToContents();
    ui->tblStars->resizeRowsToContents();
    const int frame = 2 * ui->tblStars->frameWidth();
    ui->tblStars->setMinimumSize(
        ui->tblStars->verticalHeader()->sizeHint().width() + ui->tblStars->horizontalHeader()->length() + frame,
        ui->tblStars->horizontalHeader()->sizeHint().height() + ui->tblStars->verticalHeader()->length() + frame);
    for (int k = 0; k < mirvo::kAxisCount; ++k)
        FAspectLabels[k]->setText(Text(mirvo::kTextAxisNames + k) + ": "
                                  + Q(mirvo::PairAspectText(FPair.axes[k].strongest, oneName.toStdString(),
                                                            twoName.toStdString())));

    FGoodDays.clear();
    ui->lstGoodDays->clear();
    const mirvo::TMemberDays first(one.Birthday, FSettings), second(two.Birthday, FSettings);
    for (const mirvo::PairDay& d :
         mirvo::GoodDaysForBoth(first, second, FDay + 1, mirvo::kGoodDaySearchDays, kShownGoodDays))
        FGoodDays.push_back(d.date);
    for (const koyomi::TDateTime d : FGoodDays)
        ui->lstGoodDays->addItem(DayText(d));
    if (FGoodDays.empty()) {
        ui->lstGoodDays->addItem(Q(mirvo::FillNumbered(mirvo::LoadStr(mirvo::kMsgNoGoodDayForBoth),
                                                   {std::to_string(mirvo::kGoodDaySearchDays)})));
        ui->lstGoodDays->item(0)->setFlags(Qt::ItemIsEnabled);
    } else {
        ui->lstGoodDays->setCurrentRow(0);
    }
    if (MirvoMonth)
        MirvoMonth->MarkPairDays(FGoodDays);
}

void TMirvoPair::ShowChosenGoodDay()
{
    const int row = ui->lstGoodDays->currentRow();
    if (row >= 0 && row < static_cast<int>(FGoodDays.size()) && FShowDay)
        FShowDay(FGoodDays[static_cast<std::size_t>(row)]);
}
