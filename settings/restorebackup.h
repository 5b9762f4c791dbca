// The window that lists the copies kept of the member list, each with the
// moment it was kept and the members it holds, and lets the user take one
// back into the settings window.
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
    enum Column { rcKeptAt = 0, rcMembers, rcFile, rcColumnCount };

    TRestoreBackupDialog(std::vector<mirvo::TBackupFile> copies, QWidget* parent = nullptr);

    // The copy chosen with 戻す; nullopt after Cancel.
    std::optional<std::filesystem::path> Chosen() const;

private:
    std::vector<mirvo::TBackupFile> FCopies;
    QTreeWidget* lstBackups = nullptr;
    QPushButton* btnRestore = nullptr;
};
