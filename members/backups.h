// Rotating copies of the program's own files, the member list and the
// settings: before a save replaces one of them with other content, the
// version it replaces is kept in the folder "backup" beside it, under the
// file's name with the moment it was kept ("Mirvo-20261207-183012.csv").
// The newest kBackupsKept copies stay; older ones are removed. A user who
// lost members by any road finds them in one of these copies.
#pragma once

#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

constexpr int kBackupsKept = 10;

// The folder that holds the copies of `file`: "backup" beside it.
std::filesystem::path BackupFolderOf(const std::filesystem::path& file);

struct TBackupFile {
    std::filesystem::path path;
    koyomi::TDateTime keptAt = 0;   // local time, to the second, from the copy's name
    int members = -1;               // for a member file: the members it holds; -1 unread
};

// The copies of `file`, newest first. With `countMembers`, each copy is read
// as a member file and its member count filled in (a copy that cannot be
// read counts -1).
std::vector<TBackupFile> ListBackups(const std::filesystem::path& file, bool countMembers = false);

// Keeps the file at `file`, as it is now, as the newest copy, unless it
// would be replaced by the same bytes (`newBytes`), is missing or empty, or
// equals the newest copy already kept. Then removes the copies past `kept`.
// Returns the copy made; empty when none was needed or the copy could not
// be made (a folder that cannot be written): the save goes on either way.
std::filesystem::path KeepBackup(const std::filesystem::path& file, std::string_view newBytes,
                                 int kept = kBackupsKept);

// Removes the temporary files that a copy of `file` interrupted while it was
// written left in the copies' folder; how many were removed.
int RemoveBackupLeftovers(const std::filesystem::path& file);

// The program's saves of its two files, each keeping the version it
// replaces among the copies first. An empty list writes nothing, as
// TMemberList::SaveToCsv, unless `emptyReplaces`: then an existing file
// is replaced by an empty one (the user deleted every member and said so).
// They throw as SaveToCsv and SaveToIni do; the old file then stays.
void SaveMemberListKeepingBackup(const TMemberList& members, const std::filesystem::path& file,
                                 TMemberSaveReport& report, bool emptyReplaces = false);
void SaveSettingsKeepingBackup(const TMirvoOptions& options);

} // namespace mirvo
