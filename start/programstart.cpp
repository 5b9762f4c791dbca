#include "start/programstart.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "base/wholefile.h"
#include "koyomi/datafile.h"
#include "members/numbertext.h"

#include <cmath>

namespace mirvo {

namespace {

// A file the user named must be there and readable; the program's own files
// may be missing (then the defaults count).
void RequireFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw EStartError(sfFileMissing, kMsgFileMissing,
                          koyomi::FormatMessage(LoadStr(kMsgFileMissing), path.string()), path);
    // One byte tells: a file that opens but fails to read (a failing disk) is unreadable too.
    if (!ReadFilePrefix(path, 1))
        throw EStartError(sfFileUnreadable, kMsgFileUnreadable,
                          koyomi::FormatMessage(LoadStr(kMsgFileUnreadable), path.string()), path);
}

} // namespace

ProgramPaths ProgramFilesIn(const std::filesystem::path& programFolder)
{
    // Every path made from it, and every message that names one, takes the
    // system's separators ("\\" on Windows, whatever the caller used).
    std::filesystem::path folder = programFolder;
    return LocateProgramFiles(folder.make_preferred() / kProgramName);
}

void DataModuleRelease::operator()(const koyomi::TResourceModule* module) const
{
    koyomi::FreeLibrary(module);
}

TDataModule LoadDataFile(const ProgramPaths& paths)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(paths.DataFile(), ec))
        throw EStartError(sfDataFileMissing, kMsgDataFileMissing, LoadStr(kMsgDataFileMissing));
    TDataModule module(koyomi::LoadLibraryA(paths.DataFile().string()));
    // A file damaged in any byte the program reads is refused, not shown garbled.
    if (!koyomi::InitKoyomiLib(module.get(), false) || !koyomi::DataFileIsIntact(module.get()))
        throw EStartError(sfDataFileRefused, kMsgLibraryInitFailed, LoadStr(kMsgLibraryInitFailed));
    return module;
}

TMirvoOptions LoadSettings(const ProgramPaths& paths, const std::optional<std::filesystem::path>& namedFile,
                           TSettingsReadReport* report)
{
    if (namedFile)
        RequireFile(*namedFile);
    TMirvoOptions options(namedFile.value_or(paths.SettingsFile()), paths.LastFolderStart());
    const TSettingsReadReport read = options.LoadFromIni();
    if (report)
        *report = read;
    return options;
}

void LoadMembers(TMemberList& members, const ProgramPaths& paths, const std::optional<std::filesystem::path>& namedFile,
                 TMemberFileReport* report, std::size_t limit)
{
    if (namedFile)
        RequireFile(*namedFile);
    const std::filesystem::path file = namedFile.value_or(paths.MemberFile());
    std::error_code ec;
    if (!report && !std::filesystem::exists(file, ec))
        return;
    try {
        if (report)
            members.LoadFromCsv(file, *report, limit);
        else
            members.LoadFromCsv(file);
    } catch (const EStartError&) {
        throw;
    } catch (const koyomi::EMirvoError& e) {
        throw EStartError(sfMemberFileBad, e.MessageId(), e.what(), file);
    }
}

TodayMember StartMember(const TMemberList& members, int defaultUserIndex, koyomi::TDateTime now)
{
    TodayMember chosen;
    if (members.Count() == 0) {
        // Born today at noon, as the settings window's クリア leaves the
        // fields: someone added from these fields gets no made-up birth time.
        constexpr koyomi::TDateTime kNoon = 0.5;
        chosen.item.Birthday = std::floor(now) + kNoon;
        return chosen;
    }
    chosen.index = (defaultUserIndex >= 0 && defaultUserIndex < members.Count()) ? defaultUserIndex : 0;
    chosen.item.Assign(members.Items(chosen.index));
    return chosen;
}

TodayMember FindMember(const TMemberList& members, const std::string& key)
{
    TodayMember chosen;
    if (const auto index = ParseDecimalInt(key)) {
        if (*index >= 0 && *index < members.Count())
            chosen.index = *index;
    } else {
        for (int i = 0; i < members.Count(); ++i) {
            if (members.Items(i).Name == key) {
                chosen.index = i;
                break;
            }
        }
    }
    if (chosen.index == kAnonymousMember)
        throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgUnknownMember), key));
    chosen.item.Assign(members.Items(chosen.index));
    return chosen;
}

EvalSettings EvalSettingsOf(const TMirvoOptions& options)
{
    EvalSettings settings;
    settings.bioCycle = options.BioCycle;
    settings.planetWeight = options.PlanetWeight;
    settings.planetUse = options.PlanetUse;
    return settings;
}

} // namespace mirvo
