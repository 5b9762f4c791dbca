// The detail window as screen readers meet it: the sign symbol by its
// meaning and every score cell by its row and column.
#include "views/mirvoinfo.h"

#include "base/stringtable.h"
#include "ui_mirvoinfo.h"
#include "views/spokentext.h"

#include <QLabel>

namespace {

// Row heads by axis and column heads by body, as the layout names them.
const char* const kRowHeads[mirvo::kAxisCount] = {"labHealth", "labFeel", "labIntell"};
const char* const kColumnHeads[mirvo::kBodyCount] = {"labP0", "labP1", "labL2", "labP3", "labP4",
                                                     "labP5", "labP6", "labP7", "labP8", "labP9"};

QString HeadText(const QWidget& window, const char* name)
{
    const auto* head = window.findChild<QLabel*>(name);
    return head ? head->text() : QString();
}

} // namespace

void TMirvoInfo::CreateAccessibility()
{
    ui->grpPlanet->setAccessibleDescription(QString::fromStdString(mirvo::LoadStr(mirvo::kSpokenScoreGrid)));
    // The only control: Enter and Esc both close the window, and it has the focus.
    ui->btnOK->setDefault(true);
    ui->btnOK->setFocus();
}

void TMirvoInfo::NameScoreCells()
{
    for (int a = 0; a < mirvo::kAxisCount; ++a) {
        const std::string row = HeadText(*this, kRowHeads[a]).toStdString();
        for (int b = 0; b < mirvo::kBodyCount; ++b) {
            QLabel* cell = FScoreLabels[a][b];
            cell->setAccessibleName(QString::fromStdString(
                mirvo::ScoreCellName(row, HeadText(*this, kColumnHeads[b]).toStdString(), cell->text().toStdString())));
        }
    }
}

void TMirvoInfo::NameSignMark(const QString& signName)
{
    ui->labSignMark->setAccessibleName(QString::fromStdString(mirvo::SignSymbolName(signName.toStdString())));
}
