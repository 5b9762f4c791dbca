// Reading, copying and replacing whole files, the same on every system; the
// system calls themselves are in wholefile_posix.cpp and wholefile_win32.cpp.
#include "base/wholefile.h"

#include "base/wholefile_system.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace mirvo {

namespace {

using systemfile::TFile;

constexpr int kTemporaryNameAttempts = 100;
constexpr std::size_t kMaxWriteBytes = 1 << 20;
constexpr std::size_t kReadChunkBytes = 1 << 16;
// The highest number a name beside a file gets ("Mirvo.csv.bak1000",
// "Mirvo (1000).csv"); past it the names count as taken.
constexpr int kLastNameNumber = 1000;
constexpr const char* kBackupSuffix = ".bak";

bool WriteAll(const TFile& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::ptrdiff_t written = systemfile::WriteSome(file, bytes.data(), std::min(bytes.size(), kMaxWriteBytes));
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file that is really replaced: a symbolic link is followed.
std::filesystem::path ResolveTarget(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

// Creates a new, empty file beside `target` under a name no one else uses
// (".Mirvo.csv.<random>.tmp").
TFile CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& tempPath)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::filesystem::path name(".");
        name += target.filename();
        name += "." + std::to_string(random()) + ".tmp";
        tempPath = folder / name;
        bool nameTaken = false;
        TFile file = systemfile::CreateNewFile(tempPath, nameTaken);
        if (file.Valid() || !nameTaken)
            return file;
    }
    return TFile();
}

// The first of the names `nameFor(first)` ... `nameFor(kLastNameNumber)`
// that nothing has; empty when all are taken.
template <typename NameFor>
std::filesystem::path FirstFreeName(int first, NameFor nameFor)
{
    for (int n = first; n <= kLastNameNumber; ++n) {
        std::filesystem::path candidate = nameFor(n);
        if (systemfile::NameIsFree(candidate))
            return candidate;
    }
    return {};
}

} // namespace

std::optional<TFilePrefix> ReadFilePrefix(const std::filesystem::path& path, std::size_t limit)
{
    const TFile file = systemfile::OpenRegularFile(path);
    if (!file.Valid())
        return std::nullopt;
    TFilePrefix prefix;
    // Read one byte past the limit to know whether the file goes on.
    const std::size_t wanted = limit == SIZE_MAX ? limit : limit + 1;
    char buffer[kReadChunkBytes];
    while (prefix.bytes.size() < wanted) {
        const std::ptrdiff_t got = systemfile::ReadSome(file, buffer, std::min(sizeof buffer, wanted - prefix.bytes.size()));
        if (got < 0)
            return std::nullopt;   // a read error after the file was opened
        if (got == 0)
            break;
        prefix.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (prefix.bytes.size() > limit) {
        prefix.bytes.resize(limit);
        prefix.cut = true;
    }
    return prefix;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::optional<TFilePrefix> all = ReadFilePrefix(path, SIZE_MAX);
    if (!all)
        return std::nullopt;
    return std::move(all->bytes);
}

std::filesystem::path UnusedNameBeside(const std::filesystem::path& path, const std::string& suffix)
{
    return FirstFreeName(1, [&](int n) {
        std::filesystem::path candidate = path;
        candidate += suffix + (n == 1 ? std::string() : std::to_string(n));
        return candidate;
    });
}

std::filesystem::path BackupNameBeside(const std::filesystem::path& path)
{
    return UnusedNameBeside(path, kBackupSuffix);
}

std::filesystem::path NumberedNameBeside(const std::filesystem::path& path)
{
    return FirstFreeName(2, [&](int n) {
        std::filesystem::path name = path.stem();
        name += " (" + std::to_string(n) + ")";
        name += path.extension();
        return std::filesystem::path(path).replace_filename(name);
    });
}

int RemoveLeftoverTemporaries(const std::filesystem::path& path)
{
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    const std::filesystem::path::string_type prefix =
        std::filesystem::path::string_type(1, '.') + path.filename().native() + std::filesystem::path::string_type(1, '.');
    const std::filesystem::path::string_type suffix = std::filesystem::path(".tmp").native();
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path::string_type name = it->path().filename().native();
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0
            || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const auto first = name.begin() + static_cast<std::ptrdiff_t>(prefix.size());
        const auto last = name.end() - static_cast<std::ptrdiff_t>(suffix.size());
        if (!std::all_of(first, last, [](auto c) { return c >= '0' && c <= '9'; }))
            continue;
        // Only a plain file: never a link, a folder or a FIFO that took the name.
        std::error_code removeError;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(it->path(), removeError))
            && std::filesystem::remove(it->path(), removeError))
            ++removed;
    }
    return removed;
}

bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const std::optional<std::string> bytes = ReadWholeFile(from);
    if (!bytes)
        return false;
    bool nameTaken = false;
    TFile file = systemfile::CreateNewFile(to, nameTaken);
    if (!file.Valid())
        return false;
    bool ok = WriteAll(file, *bytes) && systemfile::FlushToDisk(file);
    ok = file.Close() && ok;
    if (!ok) {
        systemfile::RemoveFile(to);
        return false;
    }
    systemfile::SyncFolder(to);
    return true;
}

bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes)
{
    const std::filesystem::path target = ResolveTarget(path);
    systemfile::TReplacedFile old;
    if (!systemfile::MayReplace(target, old))
        return false;

    std::filesystem::path tempPath;
    TFile file = CreateTemporaryBeside(target, tempPath);
    if (!file.Valid())
        return false;
    bool ok = WriteAll(file, bytes);
    if (ok && old.exists)
        ok = systemfile::TakeOverWhileOpen(file, old);
    ok = ok && systemfile::FlushToDisk(file);
    ok = file.Close() && ok;
    if (ok && old.exists)
        ok = systemfile::TakeOverWhenClosed(tempPath, old);
    ok = ok && systemfile::MoveOver(tempPath, target);
    if (!ok) {
        systemfile::RemoveFile(tempPath);
        return false;
    }
    systemfile::SyncFolder(target);
    return true;
}

} // namespace mirvo
