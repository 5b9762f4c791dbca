// The main window as screen readers and keyboard users meet it: the names of
// the symbol labels, one element per axis row that reads as one sentence, the
// chart told in words, the whole reading as the window's description, and the
// context menu from the keyboard.
#include "app/formmain.h"

#include "app/biochart.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "components/accessible.h"
#include "components/gradbox.h"
#include "components/label3d.h"
#include "components/mirvolabel.h"
#include "components/multilinelabel.h"
#include "components/qtext.h"
#include "start/todayreport.h"
#include "ui_formmain.h"
#include "views/spokentext.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>

using mirvo::Q;

namespace {

QString Spoken(int id)
{
    return Q(mirvo::LoadStr(id));
}

QAccessibleInterface* MainWindowFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TTodayMirvo"))
        return new mirvo::TGroupingAccessible(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1String("TBioChart"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    return nullptr;
}

const char* const kRowNames[mirvo::kAxisCount] = {"rowHealth", "rowFeel", "rowIntell"};

} // namespace

void TTodayMirvo::InstallAccessibility()
{
    mirvo::InstallComponentAccessibility();
    QAccessible::installFactory(&MainWindowFactory);
}

void TTodayMirvo::CreateAccessibility()
{
    mirvo::TGroupingAccessible::SetBackdrop(*ui->imgBack);
    ui->labBio->setAccessibleName(Spoken(mirvo::kSpokenHeart));
    ui->labStar->setAccessibleName(Spoken(mirvo::kSpokenStar));
    ui->labDate->setAccessibleDescription(Spoken(mirvo::kSpokenDateDescription));
    ui->imgBio->setAccessibleName(Spoken(mirvo::kSpokenChartName));
    const std::array<mirvo::TMirvoLabel*, mirvo::kAxisCount> axisLabels = {ui->labHealth, ui->labFeel,
                                                                            ui->labIntell};
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        FAxisRows[k] = new mirvo::TAccessibleGroup(
            this, {axisLabels[k], FFaceLabels[k], FBioLabels[k], FStarLabels[k], FRateLabels[k]}, kRowNames[k]);
    }

    // The context menu from the keyboard: the menu key arrives as a context
    // menu event; Shift+F10 is the other key that asks for it.
    auto* menuKey = new QAction(this);
    menuKey->setObjectName("actContextMenu");
    menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WindowShortcut);
    connect(menuKey, &QAction::triggered, this, [this] { ShowMenuFromKeyboard(); });
    addAction(menuKey);
}

void TTodayMirvo::ShowMenuFromKeyboard()
{
    // Where the mouse would have opened it: over the window, below the date.
    mnuMenu->popup(mapToGlobal(ui->imgBio->geometry().topLeft()));
}

void TTodayMirvo::ShowAccessibleReading(double dayCount)
{
    const mirvo::TDayReading& r = FLastEvaluation.reading;
    const mirvo::TDayVerdict& v = FLastEvaluation.verdict;
    std::array<std::string, mirvo::kAxisCount> axisNames;
    QStringList sentences{ui->labDate->GetCaption().trimmed()};
    const std::array<mirvo::TMirvoLabel*, mirvo::kAxisCount> axisLabels = {ui->labHealth, ui->labFeel,
                                                                            ui->labIntell};
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        axisNames[k] = axisLabels[k]->GetCaption().toStdString();
        FFaceLabels[k]->setAccessibleName(Q(mirvo::FaceName(v.axes[k].face)));
        const QString sentence = Q(mirvo::AxisSentence(axisNames[k], r.BioPercent[k], r.StarTotal[k], v.axes[k]));
        FAxisRows[k]->SetName(sentence);
        sentences << sentence;
    }
    ui->imgBio->setAccessibleDescription(
        Q(mirvo::ChartDescription(axisNames, mirvo::EvalSettingsOf(*FOptions).bioCycle, dayCount, r)));
    if (v.adviceId)
        sentences << Q(mirvo::LoadStr(v.adviceId));
    // A screen reader says the window's description when the window comes
    // up: the reading, or the welcome while nobody is in the list.
    setAccessibleDescription(FMemberList->Count() == 0 ? Q(mirvo::LoadStr(mirvo::kTextWelcome))
                                                       : sentences.join(QStringLiteral(". ")));
}
