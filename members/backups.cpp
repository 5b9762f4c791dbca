#include "members/backups.h"

#include "base/wholefile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <tuple>

namespace mirvo {

namespace fs = std::filesystem;

namespace {

const char* const kBackupFolderName = "backup";
constexpr std::size_t kStampLength = 15;  // yyyymmdd-hhnnss
constexpr int kMaxSameSecond = 1000;

// "yyyymmdd-hhnnss" of a local date-time.
std::string Stamp(koyomi::TDateTime when)
{
    const koyomi::DateParts d = koyomi::DecodeDate(when);
    const koyomi::TimeParts t = koyomi::DecodeTime(when);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", d.year, d.month, d.day, t.hour, t.minute,
                  t.second);
    return text;
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// A copy's name read back: when it was kept and its number within that second (1 for the first).
struct TCopyName {
    koyomi::TDateTime keptAt = 0;
    std::string stamp;
    int sequence = 1;
};

std::optional<TCopyName> ReadCopyName(const std::string& name, const fs::path& file)
{
    const std::string prefix = file.stem().string() + "-";
    const std::string extension = file.extension().string();
    if (name.size() < prefix.size() + kStampLength + extension.size() || name.compare(0, prefix.size(), prefix) != 0
        || name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return std::nullopt;
    const std::string_view middle =
        std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - extension.size());
    const std::string_view stamp = middle.substr(0, kStampLength);
    if (!AllDigits(stamp.substr(0, 8)) || stamp[8] != '-' || !AllDigits(stamp.substr(9)))
        return std::nullopt;
    TCopyName copy;
    copy.stamp = std::string(stamp);
    if (middle.size() > kStampLength) {
        const std::string_view rest = middle.substr(kStampLength);
        if (rest[0] != '-' || !AllDigits(rest.substr(1)) || rest.size() > 5)
            return std::nullopt;
        copy.sequence = Number(rest.substr(1));
    }
    koyomi::TDateTime date = 0;
    koyomi::TDateTime time = 0;
    if (!koyomi::TryEncodeDate(Number(stamp.substr(0, 4)), Number(stamp.substr(4, 2)), Number(stamp.substr(6, 2)),
                               date)
        || !koyomi::TryEncodeTime(Number(stamp.substr(9, 2)), Number(stamp.substr(11, 2)),
                                  Number(stamp.substr(13, 2)), 0, time))
        return std::nullopt;
    copy.keptAt = date + time;
    return copy;
}

struct TFoundCopy {
    TCopyName name;
    fs::path path;
};

// The copies of `file`, newest first.
std::vector<TFoundCopy> FindCopies(const fs::path& file)
{
    std::vector<TFoundCopy> copies;
    std::error_code ec;
    for (fs::directory_iterator it(BackupFolderOf(file), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        if (const auto name = ReadCopyName(it->path().filename().string(), file))
            copies.push_back({*name, it->path()});
    }
    std::sort(copies.begin(), copies.end(), [](const TFoundCopy& a, const TFoundCopy& b) {
        return std::tie(a.name.stamp, a.name.sequence) > std::tie(b.name.stamp, b.name.sequence);
    });
    return copies;
}

// The local time a file was last written, as a date-time: its age taken
// from now, so that no time zone arithmetic of our own is needed.
koyomi::TDateTime ModifiedAt(const fs::path& path)
{
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(path, ec);
    if (ec)
        return 0;
    constexpr double kSecondsPerDay = 86400.0;
    const std::chrono::duration<double> age = fs::file_time_type::clock::now() - written;
    return koyomi::Now() - age.count() / kSecondsPerDay;
}

} // namespace

fs::path BackupFolderOf(const fs::path& file)
{
    return file.parent_path() / kBackupFolderName;
}

std::vector<TBackupFile> ListBackups(const fs::path& file, bool countMembers)
{
    std::vector<TBackupFile> list;
    for (const TFoundCopy& copy : FindCopies(file)) {
        TBackupFile backup;
        backup.path = copy.path;
        backup.keptAt = copy.name.keptAt;
        backup.savedAt = ModifiedAt(copy.path);
        if (countMembers) {
            TMemberList members;
            TMemberFileReport report;
            try {
                members.LoadFromCsv(copy.path, report, kMaxMemberFileBytes);
                backup.members = members.Count();
                backup.unreadLines = report.UnreadLines();
                for (int i = 0; i < std::min(members.Count(), kBackupNamesShown); ++i)
                    backup.firstNames.push_back(members.Items(i).Name);
            } catch (const std::exception&) {
                // unreadable: no count
            }
        }
        list.push_back(std::move(backup));
    }
    return list;
}

TBackupResult KeepBackup(const fs::path& file, std::string_view newBytes)
{
    const std::optional<std::string> old = ReadWholeFile(file);
    if (!old || old->empty() || *old == newBytes)
        return {};
    const std::vector<TFoundCopy> copies = FindCopies(file);
    if (!copies.empty() && ReadWholeFile(copies.front().path) == old)
        return {};
    // Only a folder of this user's that no one else can write takes the copies.
    const fs::path folder = BackupFolderOf(file);
    if (!MakeOwnFolder(folder))
        return {boFailed, {}};
    std::error_code ec;
    const std::string stamp = Stamp(koyomi::Now());
    // Copies kept within one second are numbered after the newest one of that second.
    int sequence = 1;
    if (!copies.empty() && copies.front().name.stamp >= stamp)
        sequence = copies.front().name.sequence + 1;
    const std::string stampUsed = copies.empty() || copies.front().name.stamp < stamp ? stamp : copies.front().name.stamp;
    fs::path copy;
    for (; sequence <= kMaxSameSecond; ++sequence) {
        copy = folder / (file.stem().string() + "-" + stampUsed
                         + (sequence == 1 ? std::string() : "-" + std::to_string(sequence)) + file.extension().string());
        if (!fs::exists(fs::symlink_status(copy, ec)))
            break;
    }
    // The copy may be read by whoever may read the file, and by no one else.
    if (sequence > kMaxSameSecond || !WriteCopyOf(file, copy, *old))
        return {boFailed, {}};
    // The copy carries the time its version was saved.
    const fs::file_time_type saved = fs::last_write_time(file, ec);
    if (!ec)
        fs::last_write_time(copy, saved, ec);
    return {boKept, copy};
}

int RemoveOldBackups(const fs::path& file, int kept, int most)
{
    const std::vector<TFoundCopy> copies = FindCopies(file);
    int removed = 0;
    std::error_code ec;
    // The oldest first.
    for (std::size_t i = copies.size(); i > static_cast<std::size_t>(std::max(kept, 1)) && removed < most; --i)
        if (fs::remove(copies[i - 1].path, ec))
            ++removed;
    return removed;
}

int RemoveBackupLeftovers(const fs::path& file)
{
    return RemoveLeftoverTemporaries(BackupFolderOf(file), [&](const fs::path& name) {
        return ReadCopyName(name.string(), file).has_value();
    });
}

bool SaveMemberListKeepingBackup(const TMemberList& members, const fs::path& file, TMemberSaveReport& report,
                                 bool emptyReplaces, const SaveWithoutBackup& askWithoutBackup)
{
    // A list that cannot be written throws here, before any copy is made.
    const std::string text = members.FileText();
    TBackupResult backup;
    if (!text.empty() || emptyReplaces)
        backup = KeepBackup(file, text);
    if (backup.outcome == boFailed && askWithoutBackup && !askWithoutBackup(BackupFolderOf(file)))
        return false;
    // The version replaced is among the copies: no second copy beside the file.
    const bool saved = members.SaveToCsv(file, report, emptyReplaces, backup.outcome != boFailed);
    RemoveOldBackups(file);
    return saved;
}

void SaveSettingsKeepingBackup(const TMirvoOptions& options)
{
    KeepBackup(options.GetIniPath(), options.IniText());
    options.SaveToIni();
    RemoveOldBackups(options.GetIniPath());
}

} // namespace mirvo
