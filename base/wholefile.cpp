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

// Creates a new, empty file beside `target` under a name no one else uses
// (".Mirvo.csv.<random>.tmp").
TFile CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& tempPath, bool ownerOnly)
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
        TFile file = systemfile::CreateNewFile(tempPath, nameTaken, ownerOnly);
        if (file.Valid())
            systemfile::HoldWhileWriting(file);
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
    // A write through a link makes its temporary file beside the file the link leads to.
    std::filesystem::path target;
    if (systemfile::ResolveForWriting(path, target) != TWriteRefusal::None)
        return 0;
    const std::filesystem::path::string_type own = target.filename().native();
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    return RemoveLeftoverTemporaries(folder, [&](const std::filesystem::path& name) { return name.native() == own; });
}

int RemoveLeftoverTemporaries(const std::filesystem::path& folder,
                              const std::function<bool(const std::filesystem::path& name)>& isOurs)
{
    using TString = std::filesystem::path::string_type;
    const TString dot(1, '.');
    const TString suffix = std::filesystem::path(".tmp").native();
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        // ".<name>.<digits>.tmp"
        const TString name = it->path().filename().native();
        if (name.size() <= 1 + suffix.size() || name.compare(0, 1, dot) != 0
            || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const TString middle = name.substr(1, name.size() - 1 - suffix.size());
        const std::size_t lastDot = middle.rfind(dot[0]);
        if (lastDot == TString::npos || lastDot == 0 || lastDot + 1 == middle.size()
            || !std::all_of(middle.begin() + static_cast<std::ptrdiff_t>(lastDot) + 1, middle.end(),
                            [](auto c) { return c >= '0' && c <= '9'; })
            || !isOurs(std::filesystem::path(middle.substr(0, lastDot))))
            continue;
        // Only a plain file that no running write holds: never a link, a
        // folder or a FIFO that took the name, nor another copy's file in the making.
        if (systemfile::RemoveIfAbandoned(it->path()))
            ++removed;
    }
    return removed;
}

bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const std::optional<std::string> bytes = ReadWholeFile(from);
    systemfile::TReplacedFile like;
    if (!bytes || !systemfile::PermissionsOf(from, like))
        return false;
    bool nameTaken = false;
    TFile file = systemfile::CreateNewFile(to, nameTaken, true);
    if (!file.Valid())
        return false;
    bool ok = WriteAll(file, *bytes) && systemfile::TakeOverWhileOpen(file, like) && systemfile::FlushToDisk(file);
    ok = file.Close() && ok;
    if (!ok) {
        systemfile::RemoveFile(to);
        return false;
    }
    systemfile::SyncFolder(to);
    return true;
}

namespace {

// Writes `bytes` beside `target` and renames them over it; the new file
// takes over `old`'s permissions when `old` holds any.
bool WriteAndMoveOver(const std::filesystem::path& target, std::string_view bytes, const systemfile::TReplacedFile& old)
{
    std::filesystem::path tempPath;
    TFile file = CreateTemporaryBeside(target, tempPath, old.exists);
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

} // namespace

TWriteRefusal WriteRefusal(const std::filesystem::path& path)
{
    std::filesystem::path target;
    return systemfile::ResolveForWriting(path, target);
}

bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::path target;
    if (systemfile::ResolveForWriting(path, target) != TWriteRefusal::None)
        return false;
    systemfile::TReplacedFile old;
    if (!systemfile::MayReplace(target, old))
        return false;
    return WriteAndMoveOver(target, bytes, old);
}

bool WriteCopyOf(const std::filesystem::path& like, const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::path target;
    systemfile::TReplacedFile old;
    if (systemfile::ResolveForWriting(path, target) != TWriteRefusal::None || !systemfile::MayReplace(target, old)
        || !systemfile::PermissionsOf(like, old))
        return false;
    return WriteAndMoveOver(target, bytes, old);
}

} // namespace mirvo
