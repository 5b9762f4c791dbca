// The settings window's member editor: the member list with its rows, sort
// order and pop-up menu, the edit area of one member, and reading and
// writing member files.
#include "settings/formoption.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/utf8.h"
#include "components/qtext.h"
#include "koyomi/datetime.h"
#include "members/sjisorder.h"
#include "settings/formoptionparts.h"
#include "settings/restorebackup.h"
#include "start/filemessages.h"
#include "start/programpaths.h"
#include "ui_formoption.h"
#include "version/appinfo.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QStyle>
#include <QMessageBox>
#include <QTreeWidgetItem>

#include <algorithm>
#include <optional>

namespace fs = std::filesystem;
using mirvo::Q;
using mirvo::optionwindow::ShowText;

namespace {

constexpr int kMemberRole = Qt::UserRole;  // a row's member pointer
constexpr std::array<int, mirvo::kMemberColumnCount> kColumnWidths = {90, 40, 80, 80, 30, 100};

const char* const kRowTimePattern = "hh:nn";
const char* const kMemberFileExtension = ".csv";
constexpr int kNoonHour = 12;

QString SexMark(int sex)
{
    return sex >= mirvo::kSexNone && sex <= mirvo::kSexFemale ? Q(mirvo::LoadStr(mirvo::kTextSexMarks + sex))
                                                              : QString();
}

int CompareSjisText(const QString& a, const QString& b)
{
    return mirvo::CompareShiftJisText(a.toStdString(), b.toStdString());
}

template <typename T>
int SignOf(T value)
{
    return (value > T(0)) - (value < T(0));
}

// A row's date or time sub-item read back as a value; 0 when it does not read.
koyomi::TDateTime RowDate(const QTreeWidgetItem& row)
{
    koyomi::TDateTime value = 0;
    return koyomi::TryTextToDate(row.text(mirvo::mcBirthDate).toStdString(), value) ? value : 0;
}

koyomi::TDateTime RowTime(const QTreeWidgetItem& row)
{
    koyomi::TDateTime value = 0;
    return koyomi::TryTextToTime(row.text(mirvo::mcBirthTime).toStdString(), value) ? value : 0;
}

void ShowWarning(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, Q(mirvo::LoadStr(mirvo::kMsgErrorCaption)), text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

namespace mirvo {

int CompareRows(const QTreeWidgetItem& row1, const QTreeWidgetItem& row2, int key)
{
    const int s = key < 0 ? -1 : 1;
    switch (std::abs(key) - 1) {
    case mcName:
        return s * CompareSjisText(row1.text(mcName), row2.text(mcName));
    case mcBirthDate:
        return s * SignOf(RowDate(row1) - RowDate(row2));
    case mcBirthTime:
        return s * SignOf(RowTime(row1) - RowTime(row2));
    case mcSex:
    case mcTimeState:
    case mcMemo: {
        const int column = std::abs(key) - 1;
        return s * CompareSjisText(row1.text(column), row2.text(column));
    }
    default:
        return 0;
    }
}

} // namespace mirvo

void TTodayMirvoOption::SetUpMemberList()
{
    QTreeWidget* list = ui->lstMember;
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    FitColumns();
    // The selection stays as visible when the list loses the focus.
    QPalette pal = list->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    list->setPalette(pal);

    connect(list, &QTreeWidget::itemClicked, this, &TTodayMirvoOption::lstMemberClick);
    connect(header, &QHeaderView::sectionClicked, this, &TTodayMirvoOption::lstMemberColumnClick);
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ui->mnuPopMemberList->exec(ui->lstMember->viewport()->mapToGlobal(pos));
    });
}

void TTodayMirvoOption::FitColumns()
{
    QTreeWidget* list = ui->lstMember;
    QHeaderView* header = list->header();
    // Each head readable whole, with room for the sort arrow (時刻状態 is
    // wider than its column of marks), and each value whole.
    const int headExtra = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header)
                          + header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    for (int c = 0; c < mirvo::kMemberColumnCount; ++c)
        header->resizeSection(c, std::max({kColumnWidths[c],
                                           header->fontMetrics().horizontalAdvance(list->headerItem()->text(c)) + headExtra,
                                           static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(c)}));
    // The dates and times whole in the list's font, whatever its widest
    // digit (a Japanese Windows face at 96 DPI is wider than the layout's),
    // before any member is in the list.
    const QFontMetrics rows = list->fontMetrics();
    QChar widestDigit = QLatin1Char('0');
    for (char d = '1'; d <= '9'; ++d)
        if (rows.horizontalAdvance(QLatin1Char(d)) > rows.horizontalAdvance(widestDigit))
            widestDigit = QLatin1Char(d);
    const auto fitRows = [&](int column, QString pattern) {
        pattern.replace(QLatin1Char('9'), widestDigit);
        header->resizeSection(column, std::max(header->sectionSize(column), rows.horizontalAdvance(pattern) + headExtra));
    };
    fitRows(mirvo::mcBirthDate, QStringLiteral("9999/99/99"));
    fitRows(mirvo::mcBirthTime, QStringLiteral("99:99"));
}

void TTodayMirvoOption::ShowMemberCaption(const std::string& name)
{
    ui->grpUser->setTitle(name.empty() ? Q(mirvo::LoadStr(mirvo::kTextNewMemberCaption))
                                       : Q(mirvo::FormatStr(mirvo::kTextMemberCaption, {name})));
}

mirvo::TMemberListItem* TTodayMirvoOption::RowMember(const QTreeWidgetItem* row)
{
    return row ? static_cast<mirvo::TMemberListItem*>(row->data(0, kMemberRole).value<void*>()) : nullptr;
}

QTreeWidgetItem* TTodayMirvoOption::AddRow(mirvo::TMemberListItem& member)
{
    auto* row = new QTreeWidgetItem(ui->lstMember);
    row->setData(0, kMemberRole, QVariant::fromValue(static_cast<void*>(&member)));
    FillRow(*row, member);
    return row;
}

void TTodayMirvoOption::FillRow(QTreeWidgetItem& row, const mirvo::TMemberListItem& member) const
{
    row.setText(mirvo::mcName, Q(member.Name));
    row.setText(mirvo::mcSex, SexMark(member.Sex));
    row.setText(mirvo::mcBirthDate, Q(koyomi::DateToFileText(member.Birthday)));
    row.setText(mirvo::mcBirthTime, Q(koyomi::FormatDateTime(kRowTimePattern, member.Birthday)));
    row.setText(mirvo::mcTimeState,
                Q(mirvo::LoadStr(member.TimeKnown ? mirvo::kTextTimeKnownMark : mirvo::kTextTimeUnknownMark)));
    row.setText(mirvo::mcMemo, Q(member.Memo));
}

void TTodayMirvoOption::ShowMember(const mirvo::TMemberListItem& member)
{
    FCurrentMember->Assign(member);
    const mirvo::TMemberListItem& m = *FCurrentMember;
    ShowText(ui->txtName, Q(m.Name));
    if (QAbstractButton* item = FSexButtons->button(m.Sex)) {
        item->setChecked(true);
    } else {
        // A sex code that no item stands for: no item is chosen.
        FSexButtons->setExclusive(false);
        for (QAbstractButton* b : FSexButtons->buttons())
            b->setChecked(false);
        FSexButtons->setExclusive(true);
    }
    const koyomi::DateParts date = koyomi::DecodeDate(m.Birthday);
    const koyomi::TimeParts time = koyomi::DecodeTime(m.Birthday);
    ui->edtDate->setDate(QDate(date.year, date.month, date.day));
    ui->edtTime->setTime(QTime(time.hour, time.minute, time.second));
    ui->chkTime->setChecked(m.TimeKnown);
    ui->edtTime->setEnabled(m.TimeKnown);
    ShowText(ui->txtMemo, Q(m.Memo));
    ShowMemberCaption(m.Name);
}

void TTodayMirvoOption::ClearMember()
{
    FCurrentMember->Name.clear();
    FCurrentMember->Sex = mirvo::kSexNone;
    FCurrentMember->Birthday = koyomi::Now();
    FCurrentMember->TimeKnown = false;
    FCurrentMember->Memo.clear();
    ui->txtName->clear();
    FSexButtons->button(mirvo::kSexNone)->setChecked(true);
    const koyomi::DateParts today = koyomi::DecodeDate(FCurrentMember->Birthday);
    ui->edtDate->setDate(QDate(today.year, today.month, today.day));
    ui->edtTime->setTime(QTime(kNoonHour, 0, 0));
    ui->chkTime->setChecked(false);
    ui->edtTime->setEnabled(false);
    ui->txtMemo->clear();
    ShowMemberCaption({});
    KeepSexFocusOnChoice();
}

int TTodayMirvoOption::SexFromFields() const
{
    // No item chosen (a member with an unknown code was shown): the member is stored as "none".
    const int id = FSexButtons->checkedId();
    return id < 0 ? mirvo::kSexNone : id;
}

koyomi::TDateTime TTodayMirvoOption::BirthdayFromFields() const
{
    const QDate date = ui->edtDate->date();
    const QTime time = ui->edtTime->time();
    return koyomi::EncodeDate(date.year(), date.month(), date.day())
           + koyomi::EncodeTime(time.hour(), time.minute(), time.second());
}

bool TTodayMirvoOption::RefuseUnsavableText(QWidget* owner)
{
    // The caret goes to the field to mend; what was typed stays.
    const std::pair<QLineEdit*, int> fields[] = {{ui->txtName, mirvo::kMsgUnsavableName},
                                                 {ui->txtMemo, mirvo::kMsgUnsavableMemo}};
    for (const auto& [field, message] : fields) {
        if (const auto problem = mirvo::MemberTextProblem(field->text().toStdString())) {
            ShowWarning(owner, Q(koyomi::FormatMessage(mirvo::LoadStr(message), *problem)));
            ui->pnlTab->setCurrentIndex(0);
            field->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

bool TTodayMirvoOption::FieldsCanBeTaken()
{
    if (ui->txtName->text().isEmpty()) {
        ShowWarning(this, Q(mirvo::LoadStr(mirvo::kMsgNameRequired)));
        return false;
    }
    return !RefuseUnsavableText(this) && !RefuseFutureBirthday();
}

void TTodayMirvoOption::AppendMember()
{
    if (!FieldsCanBeTaken())
        return;
    ui->lstMember->clearSelection();
    mirvo::TMemberListItem& member =
        FMembers->AddMember(ui->txtName->text().toStdString(), static_cast<std::int8_t>(SexFromFields()),
                            BirthdayFromFields(), ui->chkTime->isChecked(), ui->txtMemo->text().toStdString());
    QTreeWidgetItem* row = AddRow(member);
    row->setSelected(true);
    ui->lstMember->scrollToItem(row);
    member.RowIndex = ui->lstMember->topLevelItemCount() - 1;
    FCurrentMember->Assign(member);
    ShowMemberCaption(member.Name);
    FitColumns();
}

QTreeWidgetItem* TTodayMirvoOption::FirstSelectedRow() const
{
    for (int i = 0; i < ui->lstMember->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ui->lstMember->topLevelItem(i);
        if (row->isSelected())
            return row;
    }
    return nullptr;
}

void TTodayMirvoOption::StoreMember()
{
    QTreeWidgetItem* row = FirstSelectedRow();
    if (!row)
        return;
    if (!FieldsCanBeTaken())
        return;
    mirvo::TMemberListItem* member = RowMember(row);
    // Fields that show someone else than the selected row: the user says whom they replace.
    if (!ConfirmStoreOver(*member))
        return;
    member->Name = ui->txtName->text().toStdString();
    member->Sex = static_cast<std::int8_t>(SexFromFields());
    member->Birthday = BirthdayFromFields();
    member->TimeKnown = ui->chkTime->isChecked();
    member->Memo = ui->txtMemo->text().toStdString();
    FillRow(*row, *member);
    FCurrentMember->Assign(*member);
    ShowMemberCaption(member->Name);
    FitColumns();
}

void TTodayMirvoOption::DeleteMembers()
{
    QTreeWidget* list = ui->lstMember;
    if (!FirstSelectedRow())
        return;
    // Every member going: the user says so, knowing how many.
    if (list->selectedItems().size() == list->topLevelItemCount() && !ConfirmDeleteAll(list->topLevelItemCount()))
        return;
    FRowsChanging = true;
    std::optional<int> firstDeleted;
    for (int p = 0; p < list->topLevelItemCount();) {
        QTreeWidgetItem* row = list->topLevelItem(p);
        if (!row->isSelected()) {
            ++p;
            continue;
        }
        RowMember(row)->RowIndex = -1;
        delete list->takeTopLevelItem(p);
        if (!firstDeleted)
            firstDeleted = p;
    }
    FRowsChanging = false;
    FEmptiedByDelete = list->topLevelItemCount() == 0;
    if (list->topLevelItemCount() == 0)
        ClearMember();
    else
        ShowMember(*RowMember(list->topLevelItem(std::min(*firstDeleted, list->topLevelItemCount() - 1))));
    for (int i = FMembers->Count() - 1; i >= 0; --i)
        if (FMembers->Items(i).RowIndex == -1)
            FMembers->Delete(i);
}

bool TTodayMirvoOption::CommitMember()
{
    if (ui->txtName->text().isEmpty()) {
        if (!(FEmptiedByDelete && FMembers->Count() == 0))
            ShowWarning(nullptr, Q(mirvo::LoadStr(mirvo::kMsgNameRequiredOnOK)));
        return true;
    }
    // A name or memo that the member file cannot hold, or a birth date to
    // come, never reaches the list; the window stays open to mend it.
    if (RefuseUnsavableText(this) || RefuseFutureBirthday() || !OfferToAddAtOK())
        return false;
    FCurrentMember->Name = ui->txtName->text().toStdString();
    FCurrentMember->Sex = static_cast<std::int8_t>(SexFromFields());
    FCurrentMember->Birthday = BirthdayFromFields();
    FCurrentMember->TimeKnown = ui->chkTime->isChecked();
    FCurrentMember->Memo = ui->txtMemo->text().toStdString();
    if (FMembers->Count() == 0)
        FMembers->AddCopy(*FCurrentMember);
    return true;
}

void TTodayMirvoOption::lstMemberClick()
{
    if (QTreeWidgetItem* row = FirstSelectedRow())
        ShowMember(*RowMember(row));
}

void TTodayMirvoOption::lstMemberColumnClick(int column)
{
    if (column < 0 || column >= mirvo::kMemberColumnCount)
        return;
    FSortDirection[column] = static_cast<std::int8_t>(-FSortDirection[column]);
    SortRows((column + 1) * FSortDirection[column]);
    // The arrow on the head tells which column sorts the rows, and which way.
    QHeaderView* header = ui->lstMember->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, FSortDirection[column] > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TTodayMirvoOption::SortRows(int key)
{
    QTreeWidget* list = ui->lstMember;
    QList<QTreeWidgetItem*> rows;
    QList<QTreeWidgetItem*> selected;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        rows << list->topLevelItem(i);
        if (rows.back()->isSelected())
            selected << rows.back();
    }
    QTreeWidgetItem* current = list->currentItem();
    FRowsChanging = true;
    while (list->topLevelItemCount() > 0)
        list->takeTopLevelItem(0);
    std::stable_sort(rows.begin(), rows.end(), [key](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return mirvo::CompareRows(*a, *b, key) < 0;
    });
    list->addTopLevelItems(rows);
    if (current)
        list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* row : selected)
        row->setSelected(true);
    FRowsChanging = false;
}

void TTodayMirvoOption::chkTimeClick(bool checked)
{
    ui->edtTime->setEnabled(checked);
}

void TTodayMirvoOption::SelectAllRows()
{
    ui->lstMember->selectAll();
}

void TTodayMirvoOption::InvertSelection()
{
    for (int i = 0; i < ui->lstMember->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ui->lstMember->topLevelItem(i);
        row->setSelected(!row->isSelected());
    }
}

QString TTodayMirvoOption::InitialFolder() const
{
    std::error_code ec;
    if (!FOptions->LastFolder.empty() && fs::is_directory(koyomi::PathFromUtf8(FOptions->LastFolder), ec))
        return Q(FOptions->LastFolder);
    return Q(FProgramFolder.string());
}

void TTodayMirvoOption::RebuildRows()
{
    FRowsChanging = true;
    ui->lstMember->clear();
    FRowsChanging = false;
    ShowSettings();
}

void TTodayMirvoOption::LoadMemberFile()
{
    const QString chosen = FChooseOpenFile(this, InitialFolder());
    if (chosen.isEmpty())
        return;
    const fs::path file = mirvo::PathFromQ(chosen);
    mirvo::TMemberFileReport report;
    // The list as it was, to keep or to add to when the file gives fewer members.
    mirvo::TMemberList previous;
    previous.Assign(*FMembers);
    const auto restore = [this, &previous]() {
        FMembers->Clear();
        for (int i = 0; i < previous.Count(); ++i)
            FMembers->AddCopy(previous.Items(i));
    };
    try {
        FMembers->Clear();
        FMembers->LoadFromCsv(file, report, mirvo::kMaxMemberFileBytes);
    } catch (const std::exception& e) {
        restore();
        RebuildRows();
        ShowError(Q(e.what()));
        return;
    }
    // A file that gave no member does not become the folder to start in.
    if (FMembers->Count() > 0)
        FOptions->LastFolder = mirvo::FolderWithSeparator(fs::absolute(file).parent_path());
    // Every line that was not read, with its number, in one box. When the
    // list would lose members by it, the box asks what to keep, and the
    // list shown meanwhile is the one the user had.
    const std::vector<std::string> problems = mirvo::MemberFileMessages(file, report);
    const bool incomplete = report.UnreadLines() > 0 || report.cut;
    if ((incomplete || FMembers->Count() == 0) && previous.Count() > 0) {
        mirvo::TMemberList read;
        read.Assign(*FMembers);
        restore();
        // The rows referred to the members that the load released: they are
        // made again before a message box lets anything repaint them.
        RebuildRows();
        const LoadChoice choice = AskLoadChoice(file, mirvo::JoinLines(problems), read.Count(), previous.Count());
        if (choice == lcKeepList)
            return;
        if (choice == lcUseRead)
            FMembers->Clear();
        for (int i = 0; i < read.Count(); ++i)
            FMembers->AddCopy(read.Items(i));
        RebuildRows();
        return;
    }
    RebuildRows();
    if (!problems.empty())
        QMessageBox::warning(this, Q(mirvo::AppFileDescription()), Q(mirvo::JoinLines(problems)));
}

void TTodayMirvoOption::SaveMemberFile()
{
    const QString chosen = FChooseSaveFile(this, InitialFolder());
    if (chosen.isEmpty())
        return;
    fs::path file = mirvo::PathFromQ(chosen);
    if (!file.has_extension())
        file += kMemberFileExtension;
    // An existing file is replaced only when the user says so, and is kept among its backups.
    if (!ConfirmReplaceFile(file))
        return;
    mirvo::TMemberSaveReport report;
    try {
        const auto ask = [this, &file](const fs::path& folder) { return AskSaveWithoutBackup(this, file, folder); };
        if (!mirvo::SaveMemberListKeepingBackup(*FMembers, file, report, false, ask))
            return;
    } catch (const std::exception& e) {
        ShowError(Q(e.what()));
        return;
    }
    FOptions->LastFolder = mirvo::FolderWithSeparator(fs::absolute(file).parent_path());
    // Where the original went, or where the list went beside a file changed meanwhile.
    const std::vector<std::string> copies = mirvo::MemberSaveMessages(file, report);
    if (!copies.empty())
        QMessageBox::information(this, Q(mirvo::AppFileDescription()), Q(mirvo::JoinLines(copies)));
}
