#include "start/membersaveretry.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "start/filemessages.h"

#include <exception>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace mirvo {

namespace {

// Added to a name chosen without an extension.
const char* const kMemberFileExtension = ".csv";

} // namespace

TMemberSaveRetry::TMemberSaveRetry(fs::path ownFile, TMemberSaveCalls calls)
    : FOwnFile(std::move(ownFile)), FCalls(std::move(calls))
{
}

bool TMemberSaveRetry::Save(TSaveMoment moment)
{
    FUnaskedPlaces.reset();
    fs::path target = FOwnFile;
    for (;;) {
        std::string error;
        switch (Attempt(target, moment, error)) {
        case atSaved:
            return true;
        case atDeclined:
            return false;
        case atFailed:
            break;
        }
        const std::optional<fs::path> next =
            FCalls.quitRequested() ? NextUnasked(error) : AskNext(target, error, moment);
        if (!next)
            return false;
        target = *next;
    }
}

TMemberSaveRetry::TAttempt TMemberSaveRetry::Attempt(const fs::path& target, TSaveMoment moment, std::string& error)
{
    try {
        TMemberSaveReport report;
        bool declined = false;
        const SaveWithoutBackup ask = [this, &target, &declined](const fs::path& folder) {
            // No one to ask (a signal): saved without the copy rather than lost.
            if (FCalls.quitRequested())
                return true;
            declined = !FCalls.askSaveWithoutBackup(target, folder);
            return !declined;
        };
        // A place to save instead may be a folder not made yet (the user's data folder).
        if (target != FOwnFile) {
            std::error_code ec;
            fs::create_directories(target.parent_path(), ec);
        }
        FCalls.write(target, report, ask);
        if (declined) {
            if (moment == smSettingsOK)
                FCalls.tell(snNotSavedNoBackup, LoadStr(kMsgNotSavedNoBackup));
            return atDeclined;
        }
        FCalls.saved(target);
        std::vector<std::string> notices = MemberSaveMessages(target, report);
        if (target != FOwnFile) {
            // From now on this run saves there and the next start reads the newer of the two.
            const std::string notice = FormatStr(
                kMsgSavedElsewhere, {target.string(), target.parent_path().string(), FOwnFile.string()});
            notices.insert(notices.begin(), notice);
            FCalls.log(notice);
        }
        if (!notices.empty())
            FCalls.tell(snSaved, JoinLines(notices));
        return atSaved;
    } catch (const std::exception& e) {
        error = e.what();
        return atFailed;
    }
}

std::optional<fs::path> TMemberSaveRetry::AskNext(const fs::path& target, const std::string& error,
                                                  TSaveMoment moment)
{
    const std::vector<fs::path> places = FCalls.placesInstead();
    const fs::path instead = places.empty() ? fs::path() : places.front();
    const std::string message = !instead.empty() ? FormatStr(kMsgSaveAsOrInstead, {error, instead.string()})
                                                 : FormatStr(kMsgSaveAs, {error});
    const TSaveFailedAnswer answer = FCalls.askAfterFailure(message, !instead.empty());
    // A signal while the question was open: the same file again, then the places in turn.
    if (FCalls.quitRequested())
        return target;
    if (answer == sfSaveAs) {
        // The dialog opens where the list would go instead, the user's folder.
        fs::path chosen = FCalls.chooseFile(instead.empty() ? FOwnFile : instead);
        if (chosen.empty())
            return target;
        if (!chosen.has_extension())
            chosen += kMemberFileExtension;
        return chosen;
    }
    if (answer == sfSaveInstead && !instead.empty())
        return instead;
    // キャンセル: nothing is saved now.
    if (moment == smSettingsOK) {
        FCalls.tell(snSaveLater, LoadStr(kMsgSaveLater));
        return std::nullopt;
    }
    // Tried again unless the user ends without saving, as asked.
    if (FCalls.askEndWithoutSaving())
        return std::nullopt;
    return FOwnFile;
}

std::optional<fs::path> TMemberSaveRetry::NextUnasked(const std::string& error)
{
    FCalls.failedUnasked(error);
    if (!FUnaskedPlaces)
        FUnaskedPlaces = FCalls.placesInstead();
    else if (!FUnaskedPlaces->empty())
        FUnaskedPlaces->erase(FUnaskedPlaces->begin());
    if (FUnaskedPlaces->empty()) {
        FCalls.log(FormatStr(kMsgMemberFileNowhere, {FOwnFile.string()}));
        return std::nullopt;
    }
    return FUnaskedPlaces->front();
}

} // namespace mirvo
