// The detail window: for the member and day that the main window shows, the
// birth data, the sun sign with its symbol and guardian planet, the days
// lived and the 3 x 10 grid of body scores of the last evaluation. Modeless;
// at most one exists, and the main window refreshes it after every
// evaluation.
#pragma once

#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"
#include "reading/memberfacts.h"
#include "reading/verdict.h"

#include <QDialog>

#include <array>
#include <memory>

class QLabel;

namespace Ui {
class TMirvoInfo;
}

// Body scores by axis (row) and body (column), as the evaluation made them.
using TStarScores = std::array<mirvo::BodyTable, mirvo::kAxisCount>;

class TMirvoInfo final : public QDialog {
    Q_OBJECT
public:
    // Tags of the score labels: 100 + 10 * axis + body.
    static constexpr int kScoreTagFirst = 100;
    static constexpr int kScoreTagLast = 129;

    // Frees itself when closed.
    explicit TMirvoInfo(QWidget* parent = nullptr);
    ~TMirvoInfo() override;

    // Shows `member` on `date` (a date-time; only its date counts): birth
    // date, sex, sign, guardian planet, days lived, and the scores, with "-"
    // for a body that `options` switches off and an empty cell for a score
    // of 0.
    void ShowMemberInfo(const mirvo::TMemberListItem& member, const mirvo::TMirvoOptions& options,
                        const TStarScores& scores, koyomi::TDateTime date);

signals:
    // The program (not the window system) has shown the window: the main
    // window evaluates again, which fills it.
    void Shown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void btnOKClick();
    void ShowSign(const mirvo::TSunSign& sign);
    void LayOutScoreGrid();
    // Screen readers (mirvoinfoaccess.cpp).
    void CreateAccessibility();
    void NameScoreCells();
    void NameSignMark(const QString& signName);

    std::unique_ptr<Ui::TMirvoInfo> ui;
    std::array<std::array<QLabel*, mirvo::kBodyCount>, mirvo::kAxisCount> FScoreLabels{};
    std::array<int, mirvo::kBodyCount> FColumnRight{};  // each column's right edge in the layout
    int FDesignGroupWidth = 0;
};

// The detail window, set by the main window when it creates one; null when none exists.
extern TMirvoInfo* MirvoInfo;
// True from the detail window's creation until its destruction.
extern bool InfoWindowOpen;
