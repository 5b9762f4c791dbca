// The settings window for keyboard and screen-reader users: every edit field
// named by the label before it (or, for a weight, by its body), the member
// list named, and the list's pop-up menu also on Shift+F10 (the tab order
// is the layout's).
#include "settings/formoption.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "ui_formoption.h"
#include "views/spokentext.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QString Spoken(int id)
{
    return QString::fromStdString(mirvo::LoadStr(id));
}

} // namespace

void TTodayMirvoOption::CreateAccessibility()
{
    // A label names the field after it; its caption has no accelerator
    // letter, so the label only names, it does not move the focus.
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {ui->labName, ui->txtName},     {ui->labDate, ui->edtDate},     {ui->labTime, ui->edtTime},
        {ui->labMemo, ui->txtMemo},     {ui->labHealth, ui->txtHealth}, {ui->labFeel, ui->txtFeel},
        {ui->labIntell, ui->txtIntell},
    };
    for (const auto& [label, field] : buddies) {
        label->setBuddy(field);
        field->setAccessibleName(label->text());
    }
    for (int n = 0; n < mirvo::kPlanetCount; ++n) {
        FPlanetEdits[n]->setAccessibleName(
            QString::fromStdString(mirvo::FormatStr(mirvo::kSpokenWeight, {FPlanetChecks[n]->text().toStdString()})));
    }
    // Qt names a control inside a group box after the box when nothing else
    // names it; the groups inside the member's group have titles of their own.
    for (QGroupBox* group : {ui->grpBirthday, ui->grpSex})
        group->setAccessibleName(group->title());
    ui->lstMember->setAccessibleName(Spoken(mirvo::kSpokenMemberList));
    ui->lstMember->setAccessibleDescription(Spoken(mirvo::kSpokenMemberMenu));

    auto* menuKey = new QAction(ui->lstMember);
    menuKey->setObjectName("actMemberMenu");
    menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WidgetShortcut);
    connect(menuKey, &QAction::triggered, this, [this] {
        QTreeWidget* list = ui->lstMember;
        const QRect current = list->visualItemRect(list->currentItem());
        const QPoint at = current.isValid() ? current.bottomLeft() : QPoint(0, 0);
        ui->mnuPopMemberList->exec(list->viewport()->mapToGlobal(at));
    });
    ui->lstMember->addAction(menuKey);

    // The window opens with the caret in the first field, so that the
    // keyboard's place shows from the start.
    ui->txtName->setFocus();
}
