#include "terminal/todayprogram.h"

#include "app/messages.h"
#include "app/programstart.h"
#include "app/stringtable.h"
#include "terminal/todayargs.h"
#include "terminal/todaycalendar.h"
#include "terminal/todayjson.h"
#include "terminal/todayreport.h"
#include "terminal/todaytext.h"
#include "koyomi/error.h"
#include "members/wholefile.h"

#include <ostream>

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
    case sfMemberFileBad:
        return {teFile, e.File().string() + ": " + e.what()};
    case sfFileMissing:
    case sfFileUnreadable:
        break;
    }
    return {teFile, e.what()};
}

std::string Output(const TodayArgs& args, const TodayReport& report, bool colour)
{
    if (args.json)
        return ReportJson(report);
    if (args.days)
        return TableText(report, colour);
    return ReadingText(report, colour);
}

int Run(const std::vector<std::string>& argList, const std::filesystem::path& programFolder, std::ostream& out,
        bool colour)
{
    const TodayArgs args = Checked(teUsage, [&] { return ParseTodayArgs(argList); });
    if (args.help) {
        out << LoadStr(kMsgTodayUsage) << '\n';
        return out.flush() ? teOk : teOutput;
    }
    const koyomi::TDateTime now = koyomi::Now();
    const koyomi::TDateTime day = args.date ? Checked(teBadDate, [&] { return ParseIsoDate(*args.date); }) : now;
    const ProgramPaths paths = ProgramFilesIn(programFolder);
    TDataModule module;
    TMirvoOptions options;
    TMemberList members;
    try {
        module = LoadDataFile(paths);
        options = LoadSettings(paths, args.settingsFile);
        LoadMembers(members, paths, args.membersFile);
    } catch (const EStartError& e) {
        throw StartFailure(e);
    }
    const TodayMember member = args.member
                                   ? Checked(teUnknownMember, [&] { return FindMember(members, *args.member); })
                                   : StartMember(members, options.DefaultUserIndex, now);
    if (WantsCalendar(args)) {
        const CalendarOutput calendar = Checked(teBadDate, [&] {
            return MakeCalendarOutput(args, member, EvalSettingsOf(options), day, now, colour && !args.json);
        });
        if (calendar.file) {
            if (!ReplaceWholeFile(*calendar.file, calendar.text))
                throw TodayFailure{teOutput, Message(kMsgCannotWrite, calendar.file->string())};
            return teOk;
        }
        out << calendar.text;
        return out.flush() ? teOk : teOutput;
    }
    const TodayReport report = Checked(
        teBadDate, [&] { return MakeReport(member, EvalSettingsOf(options), day, args.days.value_or(1)); });
    out << Output(args, report, colour && !args.json);
    return out.flush() ? teOk : teOutput;
}

} // namespace

int RunToday(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
             std::ostream& err, bool colour)
{
    try {
        return Run(args, programFolder, out, colour);
    } catch (const TodayFailure& failure) {
        err << failure.message << '\n';
        if (failure.code == teUsage)
            err << LoadStr(kMsgSeeHelp) << '\n';
        return failure.code;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return teFailure;
    }
}

} // namespace mirvo
