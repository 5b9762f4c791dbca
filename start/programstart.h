// The start of both front ends, the window program and mirvo-today, before
// anything is shown: where the program's files are, the calendar data file
// handed to the library, the settings and the member list, and the member
// shown first. Each failure is one EStartError with the string-table number
// of its message; the window shows it in a message box, mirvo-today on its
// error output with its exit code. No Qt.
#pragma once

#include "base/error.h"
#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"
#include "reading/verdict.h"
#include "start/programpaths.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace koyomi {
class TResourceModule;
}

namespace mirvo {

// The window program's name: its settings file and help file are named
// after it, and mirvo-today, lying beside it, reads the same files.
inline constexpr const char* kProgramName = "TodayMirvo";

enum TStartFailure {
    sfDataFileMissing,    // Kosmera.dat is not beside the program
    sfDataFileRefused,    // the calendar library refused Kosmera.dat
    sfFileMissing,        // a settings or member file named by the user does not exist
    sfFileUnreadable,     // a settings or member file named by the user cannot be read
    sfMemberFileBad,      // the member file cannot be opened, or a line of it is no member (a bad date or time)
};

class EStartError : public koyomi::EMirvoError {
public:
    EStartError(TStartFailure failure, int messageId, const std::string& message, std::filesystem::path file = {})
        : EMirvoError(messageId, message), FFailure(failure), FFile(std::move(file))
    {
    }

    TStartFailure Failure() const { return FFailure; }
    // The file it is about; empty for the data file.
    const std::filesystem::path& File() const { return FFile; }

private:
    TStartFailure FFailure;
    std::filesystem::path FFile;
};

// The paths of the program's files when the programs lie in `programFolder`:
// the data file and help file beside them, the settings and member list
// beside them too or, when that folder cannot be written, in the user's
// XDG folders (LocateProgramFiles).
ProgramPaths ProgramFilesIn(const std::filesystem::path& programFolder);

// The calendar data file, loaded and handed to the library; it stays loaded
// (the library's texts are looked up in it) until this is released.
struct DataModuleRelease {
    void operator()(const koyomi::TResourceModule* module) const;
};
using TDataModule = std::unique_ptr<const koyomi::TResourceModule, DataModuleRelease>;

// Loads Kosmera.dat beside the program and initialises the calendar library
// with it. Throws EStartError: sfDataFileMissing (kMsgDataFileMissing) when
// it is not a regular file there, sfDataFileRefused (kMsgLibraryInitFailed)
// when the library cannot read it.
TDataModule LoadDataFile(const ProgramPaths& paths);

// The settings from the program's settings file, or from `namedFile` when
// the user named one; every setting missing from the file has its default.
// A named file must exist and be readable: EStartError sfFileMissing
// (kMsgFileMissing) or sfFileUnreadable (kMsgFileUnreadable). The program's
// own file may be missing. `report`, when given, receives what reading met
// besides the values (a file that failed after it was opened, one past the
// size limit, lines too long), for the front end to tell.
TMirvoOptions LoadSettings(const ProgramPaths& paths, const std::optional<std::filesystem::path>& namedFile = {},
                           TSettingsReadReport* report = nullptr);

// Reads the program's member list, or `namedFile` when the user named one,
// into `members`; nothing when the program's own file does not exist. A
// named file must exist and be readable (as for LoadSettings). A file the
// member list cannot read throws EStartError sfMemberFileBad with the member
// list's message (and its number); `members` is then as LoadFromCsv leaves it.
// With `report`, every line that gave no member, or not the member it
// holds, is told there instead (a bad date or time too: the members before
// it are kept), and only a file that cannot be read throws; the member list
// then also remembers a missing file, so that a file made meanwhile by
// someone else is not overwritten by its save.
// With `limit` (and `report`), the file is read only as far as that many
// bytes (TMemberList::LoadFromCsv).
void LoadMembers(TMemberList& members, const ProgramPaths& paths,
                 const std::optional<std::filesystem::path>& namedFile = {}, TMemberFileReport* report = nullptr,
                 std::size_t limit = SIZE_MAX);

constexpr int kAnonymousMember = -1;  // the member index of the anonymous member

struct TodayMember {
    int index = kAnonymousMember;  // index in the member list; -1 for the anonymous member
    TMemberListItem item;
};

// The member shown at start: the one at DefaultUserIndex, member 0 when that
// index lies outside the list, and for an empty list the anonymous member
// (no name, sex 0, born on the day of `now` at 12:00, time not known, no memo).
TodayMember StartMember(const TMemberList& members, int defaultUserIndex, koyomi::TDateTime now);

// The member named by `key`, as mirvo-today's --member and the window
// program's --member take it: a whole decimal number is an index into the
// list (0 first), any other text the exact name of a member (the first one
// of that name). Throws EMirvoError (the unknown-member message) when there
// is no such member.
TodayMember FindMember(const TMemberList& members, const std::string& key);

// The cycle lengths, weights and use flags the evaluation reads from the settings.
EvalSettings EvalSettingsOf(const TMirvoOptions& options);

} // namespace mirvo
