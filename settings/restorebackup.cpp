#include "settings/restorebackup.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/qtext.h"
#include "koyomi/datetime.h"
#include "version/appinfo.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using mirvo::Q;

namespace {

constexpr int kWidthSavedAt = 150;
constexpr int kWidthMembers = 60;
constexpr int kWidthUnread = 70;
constexpr int kWidthNames = 220;
constexpr int kWidthFile = 230;
const char* const kNameSeparator = "、";

} // namespace

TRestoreBackupDialog::TRestoreBackupDialog(std::vector<mirvo::TBackupFile> copies, QWidget* parent)
    : QDialog(parent), FCopies(std::move(copies))
{
    setObjectName("TRestoreBackupDialog");
    setWindowTitle(Q(mirvo::LoadStr(mirvo::kTextRestoreCaption)));
    auto* layout = new QVBoxLayout(this);
    auto* explained = new QLabel(Q(mirvo::LoadStr(mirvo::kTextRestoreExplained)), this);
    explained->setWordWrap(true);
    layout->addWidget(explained);

    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName("lstBackups");
    lstBackups->setRootIsDecorated(false);
    lstBackups->setAllColumnsShowFocus(true);
    lstBackups->setHeaderLabels({Q(mirvo::LoadStr(mirvo::kTextColumnKeptAt)), Q(mirvo::LoadStr(mirvo::kTextColumnMembers)),
                                 Q(mirvo::LoadStr(mirvo::kTextColumnUnread)), Q(mirvo::LoadStr(mirvo::kTextColumnNames)),
                                 Q(mirvo::LoadStr(mirvo::kTextColumnFile))});
    lstBackups->setAccessibleName(windowTitle());
    lstBackups->header()->resizeSection(rcSavedAt, kWidthSavedAt);
    lstBackups->header()->resizeSection(rcMembers, kWidthMembers);
    lstBackups->header()->resizeSection(rcUnread, kWidthUnread);
    lstBackups->header()->resizeSection(rcNames, kWidthNames);
    lstBackups->header()->resizeSection(rcFile, kWidthFile);
    for (const mirvo::TBackupFile& copy : FCopies) {
        auto* row = new QTreeWidgetItem(lstBackups);
        // When its list was saved; a copy whose file time is lost shows when it was kept.
        const koyomi::TDateTime saved = copy.savedAt > 0 ? copy.savedAt : copy.keptAt;
        row->setText(rcSavedAt, Q(koyomi::DateToFileText(saved) + " " + koyomi::TimeToFileText(saved)));
        row->setText(rcMembers, copy.members < 0
                                    ? Q(mirvo::LoadStr(mirvo::kTextUnreadable))
                                    : Q(mirvo::FormatStr(mirvo::kTextMemberCount, {std::to_string(copy.members)})));
        row->setTextAlignment(rcMembers, Qt::AlignRight | Qt::AlignVCenter);
        if (copy.members >= 0)
            row->setText(rcUnread, QString::number(copy.unreadLines));
        row->setTextAlignment(rcUnread, Qt::AlignRight | Qt::AlignVCenter);
        QStringList names;
        for (const std::string& name : copy.firstNames)
            names << Q(name);
        if (copy.members > static_cast<int>(copy.firstNames.size()))
            names << QStringLiteral("…");
        row->setText(rcNames, names.join(QString::fromUtf8(kNameSeparator)));
        row->setText(rcFile, Q(copy.path.filename().string()));
        row->setToolTip(rcFile, Q(copy.path.string()));
    }
    lstBackups->setMinimumWidth(kWidthSavedAt + kWidthMembers + kWidthUnread + kWidthNames + kWidthFile + 4);
    layout->addWidget(lstBackups);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    btnRestore = buttons->addButton(Q(mirvo::LoadStr(mirvo::kTextRestoreButton)), QDialogButtonBox::AcceptRole);
    btnRestore->setObjectName("btnRestore");
    btnRestore->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstBackups, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    // The newest copy first, chosen and in focus: Enter takes it back.
    if (lstBackups->topLevelItemCount() > 0)
        lstBackups->setCurrentItem(lstBackups->topLevelItem(0));
    lstBackups->setFocus();
}

std::optional<std::filesystem::path> TRestoreBackupDialog::Chosen() const
{
    const int row = lstBackups->indexOfTopLevelItem(lstBackups->currentItem());
    if (result() != QDialog::Accepted || row < 0 || row >= static_cast<int>(FCopies.size()))
        return std::nullopt;
    return FCopies[static_cast<std::size_t>(row)].path;
}

bool AskSaveWithoutBackup(QWidget* owner, const std::filesystem::path& file, const std::filesystem::path& backupFolder)
{
    QMessageBox box(QMessageBox::Warning, Q(mirvo::LoadStr(mirvo::kCaptionMemberSave)),
                    Q(mirvo::FormatStr(mirvo::kMsgNoBackupAsk, {file.string(), backupFolder.string()})),
                    QMessageBox::NoButton, owner);
    box.setObjectName("boxNoBackup");
    box.setTextFormat(Qt::PlainText);
    QPushButton* save = box.addButton(Q(mirvo::LoadStr(mirvo::kTextSaveButton)), QMessageBox::AcceptRole);
    QPushButton* dontSave = box.addButton(Q(mirvo::LoadStr(mirvo::kTextDontSaveButton)), QMessageBox::RejectRole);
    save->setObjectName("btnSaveWithoutBackup");
    dontSave->setObjectName("btnDontSave");
    box.setDefaultButton(dontSave);
    box.setEscapeButton(dontSave);
    box.exec();
    return box.clickedButton() == save;
}
