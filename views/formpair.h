// The 相性 window: two members chosen from the list, how they go together
// per axis (biorhythm bars with percents, star scores, rating words), the
// star comparison's table, the strongest aspects, one sentence, and the next
// days good for both. Modeless; at most one exists. The days good for both
// are marked in the month window while both are open; choosing one shows it
// in the main window.
#pragma once

#include "members/memberlist.h"
#include "reading/compatibility.h"
#include "reading/pairdays.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QProgressBar;
class QTabBar;

namespace Ui {
class TMirvoPair;
}

class TMirvoPair final : public QDialog {
    Q_OBJECT
public:
    using DayRequest = std::function<void(koyomi::TDateTime day)>;

    // Frees itself when closed.
    explicit TMirvoPair(DayRequest showDay, QWidget* parent = nullptr);
    ~TMirvoPair() override;

    // The members to choose from, the member shown in the main window
    // (`current`, -1 for one outside the list), the evaluation's settings and
    // the main window's day, after which the days good for both are looked
    // for. The choices stay when they are still in the list; at the first
    // call the two of StartOn when both are in the list, else the current
    // member and the member after it.
    void ShowPair(const mirvo::TMemberList& members, const mirvo::TMemberListItem& current, int currentIndex,
                  const mirvo::EvalSettings& settings, koyomi::TDateTime day);

    // The two members chosen: indices into the list (-1: the main window's member outside it).
    void ChooseMembers(int first, int second);

    // The pair to choose at the first ShowPair (the one chosen when the
    // window was closed last), when both are in the list then.
    void StartOn(const mirvo::TMemberListItem& first, const mirvo::TMemberListItem& second);
    // Copies the two members chosen; false before there are any.
    bool ChosenMembers(mirvo::TMemberListItem& first, mirvo::TMemberListItem& second) const;

    const mirvo::TPairCompatibility& Compatibility() const { return FPair; }
    // The next days good for both (at most five, within a year of the day).
    const std::vector<koyomi::TDateTime>& GoodDays() const { return FGoodDays; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The parts of the window the layout leaves to the code: its texts from
    // the string table, the axis rows' colours, the keys of the tabs and the
    // list, the star table's rows and columns, the buttons.
    void ShowTexts();
    void SetUpAxes();
    void SetUpTabs();
    void SetUpStarTable();
    void SetUpGoodDays();
    void SetUpButtons();
    void Recompute();
    void FillChoosers();
    const mirvo::TMemberListItem& Chosen(int index) const;
    void ShowChosenGoodDay();

    std::unique_ptr<Ui::TMirvoPair> ui;
    DayRequest FShowDay;
    std::vector<mirvo::TMemberListItem> FMembers;  // the list's members, then the main window's member when outside it
    int FOutside = -1;                             // index in FMembers of the main window's member outside the list
    mirvo::EvalSettings FSettings;
    koyomi::TDateTime FDay = 0;
    int FFirst = -1;                               // chosen entries of FMembers
    int FSecond = -1;
    mirvo::TPairCompatibility FPair;
    std::vector<koyomi::TDateTime> FGoodDays;
    bool FFilling = false;
    std::unique_ptr<std::pair<mirvo::TMemberListItem, mirvo::TMemberListItem>> FStartPair;

    std::array<QProgressBar*, mirvo::kAxisCount + 1> FBioBars{};  // the axes, then overall
    std::array<QLabel*, mirvo::kAxisCount + 1> FStarLabels{};
    std::array<QLabel*, mirvo::kAxisCount + 1> FRateLabels{};
    std::array<QLabel*, mirvo::kAxisCount> FAspectLabels{};
    QTabBar* tabBar = nullptr;
};

// The 相性 window; null when none exists.
extern TMirvoPair* MirvoPair;
