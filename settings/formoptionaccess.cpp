// The settings window for keyboard and screen-reader users: every edit field
// named by the label before it (or, for a weight, by its body), the member
// list named, the list's pop-up menu also on Shift+F10 and its file commands
// also on the 「ファイル」 button, Delete in the list, and a tab order that
// follows the fields.
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
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

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

    // Tab walks the member's fields in the order they are filled in, then
    // the buttons that act on them and on the list, then the list.
    const QList<QWidget*> order = {ui->txtName,    ui->edtDate,      ui->edtTime, ui->chkTime,      ui->radSexNone,
                                   ui->radSexMale, ui->radSexFemale, ui->txtMemo, ui->btnUserClear, ui->btnAdd,
                                   ui->btnStore,   ui->btnFile,      ui->btnDelete, ui->lstMember};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The window opens with the caret in the first field, so that the
    // keyboard's place shows from the start.
    ui->txtName->setFocus();
}

void TTodayMirvoOption::SetUpListKeys()
{
    // The list's file commands, which its pop-up menu has, also on a button.
    auto* fileMenu = new QMenu(ui->btnFile);
    fileMenu->setObjectName("mnuFile");
    fileMenu->addAction(ui->mniLoadFromFile);
    fileMenu->addAction(ui->mniSaveToFile);
    fileMenu->addAction(mniRestoreBackup);
    ui->btnFile->setMenu(fileMenu);

    // Delete in the list: 削除, with its question when every member would go.
    auto* deleteKey = new QAction(ui->lstMember);
    deleteKey->setObjectName("actDeleteMembers");
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    connect(deleteKey, &QAction::triggered, ui->btnDelete, &QPushButton::click);
    ui->lstMember->addAction(deleteKey);
}
