#include "terminal/todayprogram.h"

#include "app/programpaths.h"
#include "app/stringtable.h"
#include "terminal/todayargs.h"
#include "terminal/todayjson.h"
#include "terminal/todayreport.h"
#include "terminal/todaytext.h"
#include "koyomi/datafile.h"
#include "koyomi/error.h"
#include "members/wholefile.h"

#include <memory>
#include <ostream>

namespace mirvo {

namespace {

constexpr int kMsgLibraryInitFailed = 40000;
constexpr int kMsgDataFileMissing = 40002;
const char* const kWindowProgramName = "TodayMirvo";

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

struct ModuleRelease {
    void operator()(const koyomi::TPeResources* module) const { koyomi::FreeLibrary(module); }
};
using LoadedModule = std::unique_ptr<const koyomi::TPeResources, ModuleRelease>;

// Loads Kosmera.dat beside the program and hands it to the calendar library,
// as the window program's start-up does.
LoadedModule LoadDataFile(const ProgramPaths& paths)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(paths.DataFile(), ec))
        throw TodayFailure{teDataFile, LoadStr(kMsgDataFileMissing)};
    LoadedModule module(koyomi::LoadLibraryA(paths.DataFile().string()));
    if (!koyomi::InitKoyomiLib(module.get(), false))
        throw TodayFailure{teDataFile, LoadStr(kMsgLibraryInitFailed)};
    return module;
}

// A file named on the command line must be there and readable; the
// program's own files may be missing (then the defaults count).
void RequireFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw TodayFailure{teFile, Message(kMsgFileMissing, path.string())};
    if (!ReadWholeFile(path))
        throw TodayFailure{teFile, Message(kMsgFileUnreadable, path.string())};
}

TMirvoOptions LoadSettings(const TodayArgs& args, const ProgramPaths& paths)
{
    if (args.settingsFile)
        RequireFile(*args.settingsFile);
    TMirvoOptions options(args.settingsFile.value_or(paths.SettingsFile()), paths.LastFolderStart());
    options.LoadFromIni();
    return options;
}

void LoadMembers(const TodayArgs& args, const ProgramPaths& paths, TMemberList& members)
{
    if (args.membersFile)
        RequireFile(*args.membersFile);
    const std::filesystem::path file = args.membersFile.value_or(paths.MemberFile());
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return;
    try {
        members.LoadFromCsv(file);
    } catch (const koyomi::EMirvoError& e) {
        throw TodayFailure{teFile, file.string() + ": " + e.what()};
    }
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
    const ProgramPaths paths = LocateProgramFiles(programFolder / kWindowProgramName);
    const LoadedModule module = LoadDataFile(paths);
    const TMirvoOptions options = LoadSettings(args, paths);
    TMemberList members;
    LoadMembers(args, paths, members);
    const TodayMember member = args.member
                                   ? Checked(teUnknownMember, [&] { return FindMember(members, *args.member); })
                                   : StartMember(members, options.DefaultUserIndex, now);
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
