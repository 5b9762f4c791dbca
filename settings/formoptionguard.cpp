// The settings window's guards against losing or silently changing a
// member: the questions asked before a list shrinks or a member or file is
// replaced, the checks of the values before they are taken, the keyboard in
// the list and the 性別 group, and taking back a list kept earlier.
#include "settings/formoption.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/qtext.h"
#include "koyomi/datetime.h"
#include "members/backups.h"
#include "settings/formoptionparts.h"
#include "settings/restorebackup.h"
#include "ui_formoption.h"
#include "version/appinfo.h"

#include <QAction>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidgetItem>

#include <algorithm>

namespace fs = std::filesystem;
using mirvo::Q;

namespace {

constexpr int kMethodTab = 1;

QString Fill(int id, std::initializer_list<std::string_view> arguments)
{
    return Q(mirvo::FormatStr(id, arguments));
}

bool Ask(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Question, Q(mirvo::AppFileDescription()), text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setObjectName("boxConfirm");
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Refuse(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, Q(mirvo::LoadStr(mirvo::kMsgErrorCaption)), text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void TTodayMirvoOption::SetUpGuards()
{
    // The restore command, after the file commands of the list's menu.
    mniRestoreBackup = new QAction(Q(mirvo::LoadStr(mirvo::kTextRestoreCommand)), this);
    mniRestoreBackup->setObjectName("mniRestoreBackup");
    mniRestoreBackup->setProperty("tag", mtRestoreBackup);
    ui->mnuPopMemberList->insertAction(ui->mniSaveToFile, mniRestoreBackup);
    ui->mnuPopMemberList->removeAction(ui->mniSaveToFile);
    ui->mnuPopMemberList->insertAction(mniRestoreBackup, ui->mniSaveToFile);
    connect(mniRestoreBackup, &QAction::triggered, this, &TTodayMirvoOption::MenuItemClick);

    // A row reached by the keyboard is shown as a clicked one is.
    connect(ui->lstMember, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!FRowsChanging && current && current->isSelected() && RowMember(current))
            ShowMember(*RowMember(current));
    });
    for (QAbstractButton* item : FSexButtons->buttons())
        item->installEventFilter(this);
}

bool TTodayMirvoOption::SexGroupEvent(QObject* watched, QEvent* event)
{
    auto* item = qobject_cast<QRadioButton*>(watched);
    if (!item || FSexButtons->id(item) < 0)
        return false;
    const QList<QAbstractButton*> items = FSexButtons->buttons();
    if (event->type() == QEvent::FocusIn) {
        // Entered by Tab, the group's focus is on its chosen item, as on Windows.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QAbstractButton* checked = FSexButtons->checkedButton();
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && checked && checked != item) {
            checked->setFocus(Qt::OtherFocusReason);
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    // The group is one stop of the tab order, as on Windows: Tab leaves it.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        const bool forward = key == Qt::Key_Tab && !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier);
        (forward ? items.back() : items.front())->setFocus(Qt::OtherFocusReason);
        focusNextPrevChild(forward);
        return true;
    }
    int step = 0;
    if (key == Qt::Key_Down || key == Qt::Key_Right)
        step = 1;
    else if (key == Qt::Key_Up || key == Qt::Key_Left)
        step = -1;
    else
        return false;
    // The arrow keys choose the next item, round the group.
    const auto count = static_cast<int>(items.size());
    QAbstractButton* next = items[(static_cast<int>(items.indexOf(item)) + step + count) % count];
    next->setChecked(true);
    next->setFocus(Qt::OtherFocusReason);
    return true;
}

void TTodayMirvoOption::KeepSexFocusOnChoice()
{
    // クリア chose 無し: a focus left in the group goes with the choice.
    QWidget* focus = QApplication::focusWidget();
    auto* focused = qobject_cast<QAbstractButton*>(focus);
    if (focused && FSexButtons->id(focused) >= 0 && FSexButtons->checkedButton() != focused)
        FSexButtons->checkedButton()->setFocus(Qt::OtherFocusReason);
}

bool TTodayMirvoOption::CyclesAreValid()
{
    // The field's own words in the message, and the caret on the field.
    const auto refuse = [this](QLineEdit* edit, const QString& text) {
        ui->pnlTab->setCurrentIndex(kMethodTab);
        Refuse(this, text);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    };
    const std::array<QLabel*, mirvo::kCycleCount> labels = {ui->labHealth, ui->labFeel, ui->labIntell};
    for (int i = 0; i < mirvo::kCycleCount; ++i)
        if (!mirvo::CycleFromText(FBioEdits[i]->text().toStdString()))
            return refuse(FBioEdits[i], Fill(mirvo::kMsgBadCycle, {labels[i]->text().toStdString()}));
    for (int n = 0; n < mirvo::kPlanetCount; ++n)
        if (!mirvo::WeightFromText(FPlanetEdits[n]->text().toStdString()))
            return refuse(FPlanetEdits[n], Fill(mirvo::kMsgBadWeight, {FPlanetChecks[n]->text().remove('&').toStdString()}));
    return true;
}

bool TTodayMirvoOption::RefuseFutureBirthday()
{
    const QDate date = ui->edtDate->date();
    const koyomi::DateParts today = koyomi::DecodeDate(koyomi::Now());
    if (date <= QDate(today.year, today.month, today.day))
        return false;
    Refuse(this, Fill(mirvo::kMsgFutureBirthday, {date.toString("yyyy/MM/dd").toStdString()}));
    ui->pnlTab->setCurrentIndex(0);
    ui->edtDate->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TTodayMirvoOption::ConfirmStoreOver(const mirvo::TMemberListItem& rowMember)
{
    // The fields were filled from this row: nothing to ask.
    if (mirvo::SameMemberData(rowMember, *FCurrentMember))
        return true;
    return Ask(this, Fill(mirvo::kMsgReplaceOtherMember, {rowMember.Name, ui->txtName->text().toStdString()}));
}

bool TTodayMirvoOption::ConfirmDeleteAll(int count)
{
    return Ask(this, Fill(mirvo::kMsgDeleteEveryMember, {std::to_string(count)}));
}

bool TTodayMirvoOption::OfferToAddAtOK()
{
    // Only a name the user typed: the fields of a member shown from the list
    // (or from before a list was read) are not offered again.
    if (!ui->txtName->isModified())
        return true;
    const std::string name = ui->txtName->text().toStdString();
    if (FMembers->Count() == 0)
        return true;  // the person becomes the list's first member anyway
    for (int i = 0; i < FMembers->Count(); ++i)
        if (FMembers->Items(i).Name == name)
            return true;
    QMessageBox box(QMessageBox::Question, Q(mirvo::AppFileDescription()), Fill(mirvo::kMsgAddToListAsk, {name}),
                    QMessageBox::NoButton, this);
    box.setObjectName("boxAddToList");
    QPushButton* add = box.addButton(Q(mirvo::LoadStr(mirvo::kTextAddToListButton)), QMessageBox::AcceptRole);
    QPushButton* dontAdd = box.addButton(Q(mirvo::LoadStr(mirvo::kTextDontAddButton)), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    add->setObjectName("btnAddToList");
    dontAdd->setObjectName("btnDontAdd");
    cancel->setObjectName("btnCancelAdd");
    box.setDefaultButton(add);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == add) {
        AppendMember();
        return true;
    }
    return box.clickedButton() == dontAdd;
}

TTodayMirvoOption::LoadChoice TTodayMirvoOption::AskLoadChoice(const fs::path& file, const std::string& problems,
                                                               int read, int had)
{
    QString text = Fill(mirvo::kMsgLoadedFewer, {file.string(), std::to_string(read), std::to_string(had)});
    if (!problems.empty())
        text = Q(problems) + "\n\n" + text;
    QMessageBox box(QMessageBox::Warning, Q(mirvo::AppFileDescription()), text, QMessageBox::NoButton, this);
    box.setObjectName("boxLoadChoice");
    QPushButton* use = box.addButton(Q(mirvo::LoadStr(mirvo::kTextUseRead)), QMessageBox::AcceptRole);
    QPushButton* add = box.addButton(Q(mirvo::LoadStr(mirvo::kTextAddRead)), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(Q(mirvo::LoadStr(mirvo::kTextKeepList)), QMessageBox::RejectRole);
    use->setObjectName("btnUseRead");
    add->setObjectName("btnAddRead");
    keep->setObjectName("btnKeepList");
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == use)
        return lcUseRead;
    if (box.clickedButton() == add)
        return lcAddRead;
    return lcKeepList;
}

bool TTodayMirvoOption::ConfirmReplaceFile(const fs::path& file)
{
    std::error_code ec;
    if (!fs::exists(file, ec))
        return true;
    return Ask(this, Fill(mirvo::kMsgReplaceFile, {file.string(), mirvo::BackupFolderOf(file).string()}));
}

void TTodayMirvoOption::RestoreBackup()
{
    const std::vector<mirvo::TBackupFile> copies =
        FMemberFile.empty() ? std::vector<mirvo::TBackupFile>() : mirvo::ListBackups(FMemberFile, true);
    if (copies.empty()) {
        QMessageBox::information(this, Q(mirvo::AppFileDescription()),
                                 Fill(mirvo::kMsgNoBackups, {mirvo::BackupFolderOf(FMemberFile).string()}));
        return;
    }
    TRestoreBackupDialog dialog(copies, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Chosen())
        return;
    // Read aside first: the list changes only when the copy reads.
    mirvo::TMemberList restored;
    mirvo::TMemberFileReport report;
    try {
        restored.LoadFromCsv(*dialog.Chosen(), report, mirvo::kMaxMemberFileBytes);
    } catch (const std::exception& e) {
        ShowError(Q(e.what()));
        return;
    }
    // Lines of the copy that give no member are named before the list is replaced.
    if ((report.UnreadLines() > 0 || report.cut)
        && !Ask(this, Fill(mirvo::kMsgRestoreUnread, {dialog.Chosen()->filename().string(),
                                                      std::to_string(report.UnreadLines()),
                                                      std::to_string(restored.Count())})))
        return;
    FMembers->Clear();
    for (int i = 0; i < restored.Count(); ++i)
        FMembers->AddCopy(restored.Items(i));
    RebuildRows();
}
