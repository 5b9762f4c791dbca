// Rotating copies of the program's own files, the member list and the
// settings: before a save replaces one of them with other content, the
// version it replaces is kept in the folder "backup" beside it, under the
// file's name with the moment it was kept ("Mirvo-20261207-183012.csv"),
// and with the time the replaced version was saved as its own. The newest
// kBackupsKept copies stay; older ones are removed after the save, at most
// kBackupsRemovedPerSave at a time, so that a folder of thousands of old
// copies never holds a save back. A user who lost members by any road finds
// them in one of these copies.
#pragma once

#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

constexpr int kBackupsKept = 10;
constexpr int kBackupsRemovedPerSave = 50;
// The names a copy's entry in the restore list shows.
constexpr int kBackupNamesShown = 3;

// The folder that holds the copies of `file`: "backup" beside it.
std::filesystem::path BackupFolderOf(const std::filesystem::path& file);

struct TBackupFile {
    std::filesystem::path path;
    koyomi::TDateTime keptAt = 0;   // local time, to the second, from the copy's name
    koyomi::TDateTime savedAt = 0;  // local time the version was saved (the copy's modification time); 0 unknown
    int members = -1;               // for a member file: the members it holds; -1 unread
    int unreadLines = 0;            // for a member file: lines with text that gave no member
    std::vector<std::string> firstNames;   // for a member file: the first kBackupNamesShown names (UTF-8)
};

// The copies of `file`, newest first. With `countMembers`, each copy is read
// as a member file and its member count, unread lines and first names
// filled in (a copy that cannot be read counts -1).
std::vector<TBackupFile> ListBackups(const std::filesystem::path& file, bool countMembers = false);

enum TBackupOutcome {
    boKept,        // the copy was made
    boNotNeeded,   // nothing to keep: the file is missing or empty, gets the same bytes, or is the newest copy
    boFailed,      // the copy could not be made (the folder "backup" cannot be made or written)
};

struct TBackupResult {
    TBackupOutcome outcome = boNotNeeded;
    std::filesystem::path copy;   // the copy made (boKept)
};

// Keeps the file at `file`, as it is now, as the newest copy, unless it
// would be replaced by the same bytes (`newBytes`), is missing or empty, or
// equals the newest copy already kept. Old copies are not removed here
// (RemoveOldBackups, after the save).
TBackupResult KeepBackup(const std::filesystem::path& file, std::string_view newBytes);

// Removes the oldest copies of `file` past the newest `kept`, at most
// `most` of them; returns how many were removed.
int RemoveOldBackups(const std::filesystem::path& file, int kept = kBackupsKept, int most = kBackupsRemovedPerSave);

// Asked when the copy of the version a save replaces cannot be made, with
// the folder it would go to: true saves anyway.
using SaveWithoutBackup = std::function<bool(const std::filesystem::path& backupFolder)>;

// Removes the temporary files that a copy of `file` interrupted while it was
// written left in the copies' folder; how many were removed.
int RemoveBackupLeftovers(const std::filesystem::path& file);

// The program's saves of its two files, each keeping the version it
// replaces among the copies first and removing old copies after it. An
// empty list writes nothing, as TMemberList::SaveToCsv, unless
// `emptyReplaces`: then an existing file is replaced by an empty one (the
// user deleted every member and said so). When the copy cannot be made,
// `askWithoutBackup` decides (none given: the save goes on); false then,
// and nothing written. They throw as SaveToCsv and SaveToIni do; the old
// file then stays.
bool SaveMemberListKeepingBackup(const TMemberList& members, const std::filesystem::path& file,
                                 TMemberSaveReport& report, bool emptyReplaces = false,
                                 const SaveWithoutBackup& askWithoutBackup = {});
void SaveSettingsKeepingBackup(const TMirvoOptions& options);

} // namespace mirvo
