// The settings window's method tab: the three biorhythm cycle lengths, and
// a weight and a use flag for each body of the star reading.
#include "settings/formoption.h"

#include "components/qtext.h"
#include "members/numbertext.h"
#include "settings/formoptionparts.h"
#include "ui_formoption.h"

#include <QCheckBox>
#include <QLineEdit>

#include <optional>
#include <string>

using mirvo::optionwindow::ShowText;
using mirvo::optionwindow::Tag;

namespace {

// Tag ranges of the cycle and weight edits and the body check boxes.
constexpr int kBioTagFirst = 200;
constexpr int kBioTagLast = 202;
constexpr int kPlanetTagFirst = 210;
constexpr int kPlanetTagEnd = 220;  // one past the last

// A cycle or weight as the edits show it: 15 significant digits, no trailing zeros.
QString NumberText(float value)
{
    return mirvo::Q(mirvo::FormatGeneralNumber(static_cast<double>(value)));
}

// What a cycle or weight edit holds, as a setting; a text that is no
// cycle or weight is 0 (and refused at OK).
float EditNumber(const QString& text, bool cycle)
{
    const std::string typed = text.toStdString();
    return (cycle ? mirvo::CycleFromText(typed) : mirvo::WeightFromText(typed)).value_or(0.0f);
}

} // namespace

void TTodayMirvoOption::SetUpMethodTab()
{
    FBioEdits = {ui->txtHealth, ui->txtFeel, ui->txtIntell};
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        const int tag = Tag(edit);
        if (tag >= kPlanetTagFirst && tag < kPlanetTagEnd)
            FPlanetEdits[tag - kPlanetTagFirst] = edit;
    }
    for (QCheckBox* check : findChildren<QCheckBox*>()) {
        const int tag = Tag(check);
        if (tag >= kPlanetTagFirst && tag < kPlanetTagEnd)
            FPlanetChecks[tag - kPlanetTagFirst] = check;
    }
    for (QLineEdit* edit : FBioEdits) {
        connect(edit, &QLineEdit::textChanged, this, &TTodayMirvoOption::TextBioPlanetOnChange);
        edit->installEventFilter(this);
    }
    for (QLineEdit* edit : FPlanetEdits)
        edit->installEventFilter(this);
    for (QLineEdit* edit : FPlanetEdits)
        connect(edit, &QLineEdit::textChanged, this, &TTodayMirvoOption::TextBioPlanetOnChange);
    for (QCheckBox* check : FPlanetChecks)
        connect(check, &QCheckBox::toggled, this, &TTodayMirvoOption::CheckPlanetOnChange);
}

void TTodayMirvoOption::ShowMethodSettings()
{
    for (int i = 0; i < mirvo::kCycleCount; ++i)
        ShowText(FBioEdits[i], NumberText(FOptions->BioCycle[i]));
    for (int n = 0; n < mirvo::kPlanetCount; ++n) {
        ShowText(FPlanetEdits[n], NumberText(FOptions->PlanetWeight[n]));
        FPlanetChecks[n]->setChecked(FOptions->PlanetUse[n]);
    }
}

void TTodayMirvoOption::SetBioDefaults()
{
    FOptions->BioCycle = mirvo::kDefaultBioCycle;
    for (int i = 0; i < mirvo::kCycleCount; ++i)
        ShowText(FBioEdits[i], NumberText(mirvo::kDefaultBioCycle[i]));
}

void TTodayMirvoOption::SetPlanetDefaults()
{
    FOptions->PlanetWeight = mirvo::kDefaultPlanetWeight;
    FOptions->PlanetUse = mirvo::kDefaultPlanetUse;
    for (int n = 0; n < mirvo::kPlanetCount; ++n) {
        ShowText(FPlanetEdits[n], NumberText(mirvo::kDefaultPlanetWeight[n]));
        FPlanetChecks[n]->setChecked(mirvo::kDefaultPlanetUse[n]);
    }
}

void TTodayMirvoOption::TextBioPlanetOnChange(const QString& text)
{
    const int tag = Tag(sender());
    if (tag >= kBioTagFirst && tag <= kBioTagLast)
        FOptions->BioCycle[tag - kBioTagFirst] = EditNumber(text, true);
    else if (tag >= kPlanetTagFirst && tag < kPlanetTagEnd)
        FOptions->PlanetWeight[tag - kPlanetTagFirst] = EditNumber(text, false);
}

void TTodayMirvoOption::CheckPlanetOnChange(bool checked)
{
    const int tag = Tag(sender());
    if (tag >= kPlanetTagFirst && tag < kPlanetTagEnd)
        FOptions->PlanetUse[tag - kPlanetTagFirst] = checked;
}
