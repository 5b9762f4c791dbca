// Saving the member list until it is saved or the user lets it go. The
// list's own file is tried first; where a save fails, the user chooses
// another file (名前を付けて保存), the first place to save instead, or
// nothing, and the program never ends with the list unsaved unless the user
// says so. Ending on a signal, with no one to ask, the places to save
// instead are tried in turn. The front end writes the file, asks the
// questions and shows the reports through the calls it gives. No Qt.
#pragma once

#include "members/backups.h"
#include "members/memberlist.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mirvo {

// When the list is saved: after OK in the settings window, or as the program ends.
enum TSaveMoment { smSettingsOK, smExit };

// The user's answer to a failed save.
enum TSaveFailedAnswer {
    sfSaveAs,        // choose another file
    sfSaveInstead,   // the place to save instead that was offered
    sfCancel,        // nothing now (the box closed any other way too)
};

// What the user is told about a save.
enum TSaveNotice {
    snSaved,              // the list was saved, with what happened to its files (copies, another place)
    snNotSavedNoBackup,   // after OK: not saved, as asked, because no copy of the old file could be kept
    snSaveLater,          // after OK: a failed save cancelled; the list is saved at the end
};

struct TMemberSaveCalls {
    // Writes the list to `file`, keeping the version it replaces
    // (SaveMemberListKeepingBackup, with `askWithoutBackup`); throws when it cannot.
    std::function<void(const std::filesystem::path& file, TMemberSaveReport& report,
                       const SaveWithoutBackup& askWithoutBackup)> write;
    // The program is ending on a signal: no one is there to answer.
    std::function<bool()> quitRequested;
    // Where the list goes when its file cannot be written, best first.
    std::function<std::vector<std::filesystem::path>()> placesInstead;
    // No copy of the version of `file` can be kept in `backupFolder`: true saves anyway.
    std::function<bool(const std::filesystem::path& file, const std::filesystem::path& backupFolder)>
        askSaveWithoutBackup;
    // A save failed: `message` says why and what is offered; the place to
    // save instead is offered only with `offerInstead`.
    std::function<TSaveFailedAnswer(const std::string& message, bool offerInstead)> askAfterFailure;
    // The file 名前を付けて保存 chose, its dialog opened at `start`; empty when none was chosen.
    std::function<std::filesystem::path(const std::filesystem::path& start)> chooseFile;
    // A failed save at the end cancelled: true ends without saving, false tries again.
    std::function<bool()> askEndWithoutSaving;
    // Tells the user `text` (UTF-8), of the kind `notice`.
    std::function<void(TSaveNotice notice, const std::string& text)> tell;
    // A save failed with `error` while the program ends on a signal (reported and logged, no one asked).
    std::function<void(const std::string& error)> failedUnasked;
    // A line for the log file.
    std::function<void(const std::string& line)> log;
    // The list is now in `file`, before anything is told: the front end
    // keeps it as the list's file when it is another than the own one.
    std::function<void(const std::filesystem::path& file)> saved;
};

class TMemberSaveRetry {
public:
    // `ownFile`: the file the list is saved to this run; every call must be given.
    TMemberSaveRetry(std::filesystem::path ownFile, TMemberSaveCalls calls);

    // Saves until the list is saved (true) or the user, a declined copy or
    // the end on a signal with no place left lets it go (false).
    bool Save(TSaveMoment moment);

private:
    enum TAttempt { atSaved, atDeclined, atFailed };
    TAttempt Attempt(const std::filesystem::path& target, TSaveMoment moment, std::string& error);
    // The next file to try after a failed save, asking the user; none: stop.
    std::optional<std::filesystem::path> AskNext(const std::filesystem::path& target, const std::string& error,
                                                 TSaveMoment moment);
    // The next place to save instead while ending on a signal; none: stop.
    std::optional<std::filesystem::path> NextUnasked(const std::string& error);

    std::filesystem::path FOwnFile;
    TMemberSaveCalls FCalls;
    // The places to save instead still to try while ending on a signal (read once).
    std::optional<std::vector<std::filesystem::path>> FUnaskedPlaces;
};

} // namespace mirvo
