#include "app/gotoday.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/datetimepicker.h"
#include "components/qtext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

using mirvo::Q;

std::optional<koyomi::TDateTime> AskDay(QWidget* parent, koyomi::TDateTime shown)
{
    QDialog box(parent);
    box.setObjectName("dlgGoToDay");
    box.setWindowTitle(Q(mirvo::LoadStr(mirvo::kTextGoToDayCaption)));
    auto* layout = new QFormLayout(&box);
    auto* picker = new mirvo::TDateTimePicker(&box);
    picker->setObjectName("edtGoToDay");
    picker->setDisplayFormat(QStringLiteral("yyyy年M月d日"));  // not a message: the date's pattern
    const koyomi::DateParts d = koyomi::DecodeDate(shown);
    picker->setDate(QDate(d.year, d.month, d.day));
    auto* label = new QLabel(Q(mirvo::LoadStr(mirvo::kTextGoToDayLabel)), &box);
    label->setBuddy(picker);
    layout->addRow(label, picker);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    picker->setFocus();
    picker->SelectPart(0);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    const QDate chosen = picker->date();
    koyomi::TDateTime day = 0;
    if (!koyomi::TryEncodeDate(chosen.year(), chosen.month(), chosen.day(), day))
        return std::nullopt;
    return day;
}
