// Saving the member list until it is saved or let go, driven without a
// window: a writer that fails for the files named, and the user's answers
// given in advance. Each step the policy takes is written down in order
// and compared with the steps the user would see.
#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "members/backups.h"
#include "start/filemessages.h"
#include "start/membersaveretry.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

class MemberSaveRetry : public ::testing::Test {
protected:
    testsupport::TScratchFolder folder;
    const fs::path own = folder / "Mirvo.csv";
    std::map<fs::path, std::string> failing;   // file -> the error its write throws
    std::vector<fs::path> places;
    std::deque<TSaveFailedAnswer> answers;
    std::deque<fs::path> chosen;
    std::deque<bool> endAnswers;
    bool quit = false;
    bool quitWhileAsked = false;
    // The write cannot keep a copy and asks; the user's answer.
    std::optional<bool> withoutBackup;
    fs::path backupNamed;                       // the copy the write reports (none: empty)
    std::vector<std::string> steps;

    std::string Rel(const fs::path& p) const { return p.lexically_relative(folder.Path()).generic_string(); }

    TMemberSaveCalls Calls()
    {
        TMemberSaveCalls calls;
        calls.write = [this](const fs::path& file, TMemberSaveReport& report, const SaveWithoutBackup& ask) {
            steps.push_back("write " + Rel(file) + (fs::is_directory(file.parent_path()) ? "" : " (no folder)"));
            if (withoutBackup && !ask(BackupFolderOf(file)))
                return;
            if (failing.count(file))
                throw koyomi::EMirvoError(failing[file]);
            report.writtenTo = file;
            report.backup = backupNamed;
        };
        calls.quitRequested = [this] { return quit; };
        calls.placesInstead = [this] {
            steps.push_back("places");
            return places;
        };
        calls.askSaveWithoutBackup = [this](const fs::path& file, const fs::path& backupFolder) {
            steps.push_back("without copy? " + Rel(file) + " " + Rel(backupFolder));
            return *withoutBackup;
        };
        calls.askAfterFailure = [this](const std::string& message, bool offerInstead) {
            steps.push_back("failed: " + message + (offerInstead ? " [instead]" : ""));
            quit = quit || quitWhileAsked;
            const TSaveFailedAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        };
        calls.chooseFile = [this](const fs::path& start) {
            steps.push_back("choose at " + Rel(start));
            const fs::path file = chosen.front();
            chosen.pop_front();
            return file;
        };
        calls.askEndWithoutSaving = [this] {
            steps.push_back("end without saving?");
            const bool end = endAnswers.front();
            endAnswers.pop_front();
            return end;
        };
        calls.tell = [this](TSaveNotice notice, const std::string& text) {
            steps.push_back("tell " + std::to_string(notice) + ": " + text);
        };
        calls.failedUnasked = [this](const std::string& error) { steps.push_back("unasked: " + error); };
        calls.log = [this](const std::string& line) { steps.push_back("log: " + line); };
        calls.saved = [this](const fs::path& file) { steps.push_back("saved " + Rel(file)); };
        return calls;
    }

    bool Save(TSaveMoment moment) { return TMemberSaveRetry(own, Calls()).Save(moment); }

    std::string SavedElsewhere(const fs::path& file) const
    {
        return FormatStr(kMsgSavedElsewhere, {file.string(), file.parent_path().string(), own.string()});
    }
    using Steps = std::vector<std::string>;
};

TEST_F(MemberSaveRetry, OwnFileWrittenAsksNothingAndTellsOnlyWhatHappenedToTheFiles)
{
    EXPECT_TRUE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "saved Mirvo.csv"}));

    steps.clear();
    backupNamed = folder / "Mirvo.csv.bak";
    EXPECT_TRUE(Save(smSettingsOK));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "saved Mirvo.csv",
                            "tell 0: " + FormatStr(kMsgBackupKept, {own.string(), backupNamed.string()})}));
}

TEST_F(MemberSaveRetry, FailedSaveGoesToThePlaceInsteadMadeForItAndSaysSoFirst)
{
    failing[own] = "書き込めません";
    const fs::path instead = folder / "data" / "TodayMirvo" / "Mirvo.csv";
    places = {instead, folder / "Mirvo (2).csv"};
    answers = {sfSaveInstead};
    backupNamed = folder / "data" / "TodayMirvo" / "Mirvo.csv.bak";
    EXPECT_TRUE(Save(smExit));
    const std::string notice = SavedElsewhere(instead);
    const std::string kept = FormatStr(kMsgBackupKept, {instead.string(), backupNamed.string()});
    const std::string failed = FormatStr(kMsgSaveAsOrInstead, {"書き込めません", instead.string()});
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "places", "failed: " + failed + " [instead]",
                            "write data/TodayMirvo/Mirvo.csv", "saved data/TodayMirvo/Mirvo.csv", "log: " + notice,
                            "tell 0: " + notice + "\n" + kept}));
}

TEST_F(MemberSaveRetry, SaveAsAddsTheExtensionAndAChooserClosedAsksAgain)
{
    failing[own] = "e";
    // No place instead: the dialog opens at the own file; closed, the same file is tried again.
    answers = {sfSaveAs, sfSaveAs};
    chosen = {fs::path(), folder.Path() / u8"ミルボ"};
    EXPECT_TRUE(Save(smExit));
    const std::string failed = "failed: " + FormatStr(kMsgSaveAs, {"e"});
    const std::string notice = SavedElsewhere(folder.Path() / u8"ミルボ.csv");
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "places", failed, "choose at Mirvo.csv", "write Mirvo.csv", "places",
                            failed, "choose at Mirvo.csv", "write ミルボ.csv", "saved ミルボ.csv", "log: " + notice,
                            "tell 0: " + notice}));

    // With a place instead the dialog opens there; a name with its own extension keeps it.
    steps.clear();
    places = {folder / "Mirvo (2).csv"};
    answers = {sfSaveAs};
    chosen = {folder / "list.txt"};
    EXPECT_TRUE(Save(smExit));
    EXPECT_EQ(steps.at(3), "choose at Mirvo (2).csv");
    EXPECT_EQ(steps.at(4), "write list.txt");
}

TEST_F(MemberSaveRetry, CancelSavesLaterAfterOKAndAtTheEndOnlyWhenTheUserLetsTheListGo)
{
    failing[own] = "e";
    answers = {sfCancel};
    EXPECT_FALSE(Save(smSettingsOK));
    const std::string failed = "failed: " + FormatStr(kMsgSaveAs, {"e"});
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "places", failed, "tell 2: " + LoadStr(kMsgSaveLater)}));

    // At the end: いいえ tries the own file again, はい ends without it. The
    // place instead answered where none was offered is a cancel.
    steps.clear();
    answers = {sfCancel, sfSaveInstead};
    endAnswers = {false, true};
    EXPECT_FALSE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "places", failed, "end without saving?", "write Mirvo.csv", "places",
                            failed, "end without saving?"}));
}

TEST_F(MemberSaveRetry, CopyThatCannotBeKeptIsAskedAboutExceptOnASignal)
{
    withoutBackup = false;
    EXPECT_FALSE(Save(smSettingsOK));
    const std::string asked = "without copy? Mirvo.csv backup";
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", asked, "tell 1: " + LoadStr(kMsgNotSavedNoBackup)}));
    steps.clear();
    EXPECT_FALSE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", asked}));

    steps.clear();
    withoutBackup = true;
    EXPECT_TRUE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", asked, "saved Mirvo.csv"}));

    // No one to ask: saved without the copy rather than lost.
    steps.clear();
    withoutBackup = false;
    quit = true;
    EXPECT_TRUE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "saved Mirvo.csv"}));
}

TEST_F(MemberSaveRetry, OnASignalEachPlaceInsteadIsTriedInTurnWithoutAQuestion)
{
    quit = true;
    const fs::path first = folder / "Mirvo (2).csv";
    const fs::path second = folder / "data" / "Mirvo.csv";
    failing = {{own, "e0"}, {first, "e1"}, {second, "e2"}};
    places = {first, second};
    EXPECT_FALSE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "unasked: e0", "places", "write Mirvo (2).csv", "unasked: e1",
                            "write data/Mirvo.csv", "unasked: e2",
                            "log: " + FormatStr(kMsgMemberFileNowhere, {own.string()})}));

    // The second place takes it.
    steps.clear();
    failing.erase(second);
    EXPECT_TRUE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "unasked: e0", "places", "write Mirvo (2).csv", "unasked: e1",
                            "write data/Mirvo.csv", "saved data/Mirvo.csv", "log: " + SavedElsewhere(second),
                            "tell 0: " + SavedElsewhere(second)}));

    // A signal while the question is open: the answer no longer counts; the
    // same file again, then the places in turn.
    steps.clear();
    quit = false;
    quitWhileAsked = true;
    answers = {sfSaveInstead};
    EXPECT_TRUE(Save(smExit));
    EXPECT_EQ(steps, (Steps{"write Mirvo.csv", "places",
                            "failed: " + FormatStr(kMsgSaveAsOrInstead, {"e0", first.string()}) + " [instead]",
                            "write Mirvo.csv", "unasked: e0", "places", "write Mirvo (2).csv", "unasked: e1",
                            "write data/Mirvo.csv", "saved data/Mirvo.csv", "log: " + SavedElsewhere(second),
                            "tell 0: " + SavedElsewhere(second)}));
}

} // namespace
