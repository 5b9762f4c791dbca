#include "settings/restorebackup.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/qtext.h"
#include "koyomi/datetime.h"
#include "version/appinfo.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using mirvo::Q;

namespace {

constexpr int kWidthKeptAt = 150;
constexpr int kWidthMembers = 60;
constexpr int kWidthFile = 230;

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
                                 Q(mirvo::LoadStr(mirvo::kTextColumnFile))});
    lstBackups->setAccessibleName(windowTitle());
    lstBackups->header()->resizeSection(rcKeptAt, kWidthKeptAt);
    lstBackups->header()->resizeSection(rcMembers, kWidthMembers);
    lstBackups->header()->resizeSection(rcFile, kWidthFile);
    for (const mirvo::TBackupFile& copy : FCopies) {
        auto* row = new QTreeWidgetItem(lstBackups);
        row->setText(rcKeptAt, Q(koyomi::DateToFileText(copy.keptAt) + " " + koyomi::TimeToFileText(copy.keptAt)));
        row->setText(rcMembers, copy.members < 0
                                    ? Q(mirvo::LoadStr(mirvo::kTextUnreadable))
                                    : Q(mirvo::FormatStr(mirvo::kTextMemberCount, {std::to_string(copy.members)})));
        row->setTextAlignment(rcMembers, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(rcFile, Q(copy.path.filename().string()));
        row->setToolTip(rcFile, Q(copy.path.string()));
    }
    lstBackups->setMinimumWidth(kWidthKeptAt + kWidthMembers + kWidthFile + 4);
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
