// The window that lists the copies kept of the member list, each with the
// time its list was saved, the members it holds, its unread lines and its
// first names, and lets the user take one back into the settings window.
#pragma once

#include "members/backups.h"

#include <QDialog>

#include <filesystem>
#include <optional>
#include <vector>

class QTreeWidget;
class QPushButton;

class TRestoreBackupDialog final : public QDialog {
    Q_OBJECT
public:
    // Columns of the list.
    enum Column { rcSavedAt = 0, rcMembers, rcUnread, rcNames, rcFile, rcColumnCount };

    TRestoreBackupDialog(std::vector<mirvo::TBackupFile> copies, QWidget* parent = nullptr);

    // The copy chosen with 戻す; nullopt after Cancel.
    std::optional<std::filesystem::path> Chosen() const;

private:
    std::vector<mirvo::TBackupFile> FCopies;
    QTreeWidget* lstBackups = nullptr;
    QPushButton* btnRestore = nullptr;
};

// Asks whether the member list goes to `file` although its present version
// cannot be kept in `backupFolder` (保存する / 保存しない, the second the
// default); true to save.
bool AskSaveWithoutBackup(QWidget* owner, const std::filesystem::path& file,
                          const std::filesystem::path& backupFolder);
