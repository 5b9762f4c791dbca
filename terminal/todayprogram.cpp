#include "terminal/todayprogram.h"

#include "base/error.h"
#include "base/harmlesstext.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/systemerror.h"
#include "base/utf8.h"
#include "base/wholefile.h"
#include "start/filemessages.h"
#include "start/memberplaces.h"
#include "start/programstart.h"
#include "start/startreport.h"
#include "start/todayreport.h"
#include "terminal/terminaltext.h"
#include "terminal/todayall.h"
#include "terminal/todayargs.h"
#include "terminal/todaycalendar.h"
#include "terminal/todayjson.h"
#include "terminal/todaynotify.h"
#include "terminal/todaypair.h"
#include "terminal/todaytext.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

namespace mirvo {

namespace {

// A failure with its exit code; the message is the program's own.
struct TodayFailure {
    TodayExit code;
    std::string message;
};

// Runs one step; an EMirvoError it throws becomes a failure with `code`.
template <typename Step>
auto Checked(TodayExit code, Step step)
{
    try {
        return step();
    } catch (const koyomi::EMirvoError& e) {
        throw TodayFailure{code, e.what()};
    }
}

// A start-up failure as mirvo-today reports it: the exit code, and the
// message naming the member file it could not read.
TodayFailure StartFailure(const EStartError& e)
{
    switch (e.Failure()) {
    case sfDataFileMissing:
    case sfDataFileRefused:
        return {teDataFile, e.what()};
    case sfMemberFileBad:  // a warning only, see Run
    case sfFileMissing:
    case sfFileUnreadable:
        break;
    }
    return {teFile, e.what()};
}

// The day's notification for the report's member. The window that its action
// opens shows the same member: by its index when it comes from the window's
// own member list, else the window's default member.
void ShowNotification(const TodayArgs& args, const ProgramPaths& paths, const TodayReport& report)
{
    std::optional<int> index;
    if (args.member && !args.membersFile)
        index = report.member.index;
    try {
        TSessionNotifier notifier;
        NotifyReading(notifier, report, args.expireSeconds.value_or(kDefaultExpireSeconds),
                      WindowCommand(paths.programFile, index));
    } catch (const ENotificationUnavailable& e) {
        throw TodayFailure{teNotification, e.what()};
    } catch (const koyomi::EMirvoError& e) {
        throw TodayFailure{teFailure, e.what()};
    }
}

// A message for the terminal: what it quotes from outside (option values,
// paths, file contents) is shown, never obeyed; its own line breaks stay.
std::string Harmless(const std::string& message)
{
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = message.find('\n', start);
        out += HarmlessText(std::string_view(message).substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return out;
        out += '\n';
        start = end + 1;
    }
}

// At most kShownStartMessages warnings, then how many more there were.
void Warn(TTextOut& err, const std::vector<std::string>& messages)
{
    for (std::size_t i = 0; i < messages.size() && i < kShownStartMessages; ++i)
        err << Harmless(CutText(messages[i], kShownMessageCharacters)) << '\n';
    if (messages.size() > kShownStartMessages)
        err << FormatStr(kMsgMoreWarnings, {std::to_string(messages.size() - kShownStartMessages)}) << '\n';
}

std::string Output(const TodayArgs& args, const TodayReport& report, bool colour)
{
    if (args.json)
        return ReportJson(report);
    if (args.days)
        return TableText(report, colour);
    return ReadingText(report, colour);
}

// What a reading needs from the files: the data file (held while the program
// runs), the settings, the member list and the file it was read from.
struct TodayFiles {
    TDataModule module;
    TMirvoOptions options;
    TMemberList members;
    std::filesystem::path memberFile;
};

// Reads the files as the window does. What was read only in part is told on
// `err` and the reading goes on; a file that keeps the reading from going on
// throws its failure.
void LoadFiles(const TodayArgs& args, const ProgramPaths& paths, TTextOut& err, TodayFiles& files)
{
    TSettingsReadReport settingsRead;
    TMemberFileReport membersRead;
    files.memberFile = args.membersFile.value_or(paths.MemberFile());
    try {
        files.module = LoadDataFile(paths);
        files.options = LoadSettings(paths, args.settingsFile, &settingsRead);
        // As the window: the newest of the list's own file, the list beside
        // the program and the file the window saved it to instead.
        if (!args.membersFile) {
            const TMemberFileChoice choice = ChooseMemberFileToRead(
                paths.MemberFile(), {MemberFileBesideProgram(paths), koyomi::PathFromUtf8(files.options.MemberFileInstead)});
            if (choice.other) {
                files.memberFile = choice.readFrom;
                Warn(err, {FormatStr(kMsgReadFromOther, {files.memberFile.string(), paths.MemberFile().string(),
                                                         paths.MemberFile().string()})});
            }
        }
        LoadMembers(files.members, paths,
                    files.memberFile == paths.MemberFile() ? args.membersFile : std::optional(files.memberFile),
                    &membersRead, kMaxMemberFileBytes);
    } catch (const EStartError& e) {
        if (e.Failure() != sfMemberFileBad)
            throw StartFailure(e);
        // As in the window: the members read before the bad line stay, the
        // file's message is a warning, and the reading goes on.
        Warn(err, {koyomi::FormatMessage(LoadStr(kMsgMemberFileWarning), e.File().string() + ": " + e.what())});
    }
    // Read errors after opening (a failing disk) are the settings file's, as one that cannot be opened.
    if (settingsRead.unreadable)
        throw TodayFailure{teFile, Message(kMsgFileUnreadable, files.options.GetIniPath().string())};
    // A settings file too long, or with lines too long, is read as far as it
    // can be, and member lines that were not read are told line by line; the
    // reading goes on.
    Warn(err, SettingsReadMessages(files.options.GetIniPath(), settingsRead));
    Warn(err, MemberFileMessages(files.memberFile, membersRead, fmReadOnly));
}

// Writes the calendar file that --ics names (not the standard output).
void WriteCalendarFile(const std::filesystem::path& file, const std::string& text)
{
    // A link that leads nowhere (dangling, or a loop) is not replaced by a file of its own.
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(file, ec))
        && !std::filesystem::exists(std::filesystem::status(file, ec)))
        throw TodayFailure{teOutput, FormatStr(kMsgLinkLeadsNowhere, {file.string()})};
    // Another user's link or file is never written, whatever the folder's rules.
    Checked(teOutput, [&] { CheckWriteAllowed(file); });
    // What an earlier run left when it was killed while writing goes first.
    RemoveLeftoverTemporaries(file);
    if (!ReplaceWholeFile(file, text))
        throw TodayFailure{teOutput, Message(kMsgCannotWrite, file.string())};
}

int Run(const std::vector<std::string>& argList, const std::filesystem::path& programFolder, TTextOut& out,
        TTextOut& err, bool colour)
{
    const TodayArgs args = Checked(teUsage, [&] { return ParseTodayArgs(argList); });
    if (args.help) {
        out << LoadStr(kMsgTodayUsage) << '\n';
        return out.Flush() ? teOk : teOutput;
    }
    const koyomi::TDateTime now = koyomi::Now();
    const koyomi::TDateTime day = args.date ? Checked(teBadDate, [&] { return ParseIsoDate(*args.date); }) : now;
    const ProgramPaths paths = ProgramFilesIn(programFolder);
    TodayFiles files;
    LoadFiles(args, paths, err, files);
    const TMemberList& members = files.members;
    const TMirvoOptions& options = files.options;
    // A first start: nobody is in the list yet. The reading below is the
    // nameless member born today; where to add oneself is said beside it.
    if (members.Count() == 0 && !args.member)
        err << LoadStr(kMsgNoMembersYet) << '\n';
    if (args.all) {
        const auto reports =
            Checked(teBadDate, [&] { return AllMembersReports(members, EvalSettingsOf(options), day); });
        out << (args.json ? AllMembersJson(reports) : AllMembersText(reports, day, TerminalWidth(), colour));
        return out.Flush() ? teOk : teOutput;
    }
    if (args.pair) {
        const TodayMember first = Checked(teUnknownMember, [&] { return FindMember(members, args.pair->first); });
        const TodayMember second = Checked(teUnknownMember, [&] { return FindMember(members, args.pair->second); });
        const TodayPairReport report =
            Checked(teBadDate, [&] { return MakePairReport(args, first, second, EvalSettingsOf(options), day); });
        out << (args.json ? PairJson(report) : PairText(report, colour && !args.json));
        return out.Flush() ? teOk : teOutput;
    }
    const TodayMember member = args.member
                                   ? Checked(teUnknownMember, [&] { return FindMember(members, *args.member); })
                                   : StartMember(members, options.DefaultUserIndex, now);
    if (WantsCalendar(args)) {
        const CalendarOutput calendar = Checked(teBadDate, [&] {
            return MakeCalendarOutput(args, member, EvalSettingsOf(options), day, now, colour && !args.json);
        });
        if (calendar.file) {
            WriteCalendarFile(*calendar.file, calendar.text);
            return teOk;
        }
        out << calendar.text;
        return out.Flush() ? teOk : teOutput;
    }
    const TodayReport report = Checked(
        teBadDate, [&] { return MakeReport(member, EvalSettingsOf(options), day, args.days.value_or(1)); });
    if (args.notify) {
        ShowNotification(args, paths, report);
        return teOk;
    }
    out << Output(args, report, colour && !args.json);
    return out.Flush() ? teOk : teOutput;
}

} // namespace

int RunToday(const std::vector<std::string>& args, const std::filesystem::path& programFolder, TTextOut& out,
             TTextOut& err, bool colour)
{
    try {
        return Run(args, programFolder, out, err, colour);
    } catch (const TodayFailure& failure) {
        err << Harmless(failure.message) << '\n';
        if (failure.code == teUsage)
            err << LoadStr(kMsgSeeHelp) << '\n';
        return failure.code;
    } catch (const std::exception& e) {
        err << Harmless(e.what()) << '\n';
        return teFailure;
    }
}

} // namespace mirvo
