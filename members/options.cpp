#include "members/options.h"

#include "koyomi/base/stringtable.h"
#include "koyomi/base/error.h"
#include "members/inifile.h"
#include "members/numbertext.h"
#include "koyomi/base/wholefile.h"

#include <cmath>
#include <optional>

namespace mirvo {

namespace {

constexpr int kCannotWrite = 43047;  // %s に書き込めません
constexpr const char* kBackupSuffix = ".bak";

// The settings file's sections and keys.
constexpr const char* kWindowSection = "Window";
constexpr const char* kLeftKey = "Left";
constexpr const char* kTopKey = "Top";
constexpr const char* kLastFolderKey = "LastFolder";
constexpr const char* kOptionSection = "Option";
constexpr const char* kDefaultUserKey = "DefaultUserIndex";
constexpr const char* kBioCyclePrefix = "BioRaito_";
constexpr const char* kPlanetWeightPrefix = "PlanetRaito_";
constexpr const char* kPlanetUsePrefix = "PlanetUse_";

constexpr std::int32_t kDefaultWindowPos = 0;
constexpr char kFolderSeparator = '/';

// The whole lines of a settings file's first kMaxSettingsFileBytes bytes.
std::string WholeLines(TFilePrefix prefix)
{
    if (prefix.cut) {
        const std::size_t lastEnd = prefix.bytes.find_last_of("\r\n");
        prefix.bytes.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    return std::move(prefix.bytes);
}

std::string IndexedKey(const char* prefix, int index)
{
    return prefix + std::to_string(index);
}

std::string FolderText(const std::filesystem::path& folder)
{
    std::string text = folder.string();
    if (text.empty() || text.back() != kFolderSeparator)
        text += kFolderSeparator;
    return text;
}

// Reading one value by its kind; an unreadable value gives the default.
class TIniReader {
public:
    explicit TIniReader(const TIniDocument& document) : FDocument(document) {}

    std::string String(const char* section, const std::string& key, const std::string& fallback) const
    {
        return FDocument.ReadString(section, key).value_or(fallback);
    }
    std::int32_t Integer(const char* section, const std::string& key, std::int32_t fallback) const
    {
        const auto text = FDocument.ReadString(section, key);
        return text ? ParseIntOrHex(*text).value_or(fallback) : fallback;
    }
    // Narrowed to the nearest 32-bit float; a value beyond the float range is unreadable.
    float Number(const char* section, const std::string& key, float fallback) const
    {
        const auto text = FDocument.ReadString(section, key);
        const std::optional<double> value = text ? ParseDecimalNumber(*text) : std::nullopt;
        if (!value)
            return fallback;
        const auto narrowed = static_cast<float>(*value);
        return std::isfinite(narrowed) ? narrowed : fallback;
    }
    bool Boolean(const char* section, const std::string& key, bool fallback) const
    {
        const auto text = FDocument.ReadString(section, key);
        const std::optional<std::int32_t> value = text ? ParseIntOrHex(*text) : std::nullopt;
        return value ? *value != 0 : fallback;
    }

private:
    const TIniDocument& FDocument;
};

// Writing one value by its kind; a value the document cannot hold fails the save.
class TIniWriter {
public:
    TIniWriter(TIniDocument& document, const std::filesystem::path& path) : FDocument(document), FPath(path) {}

    void String(const char* section, const std::string& key, const std::string& value) const
    {
        if (!FDocument.WriteString(section, key, value))
            throw MessageError(kCannotWrite, {FPath.string()});
    }
    void Integer(const char* section, const std::string& key, std::int32_t value) const
    {
        String(section, key, std::to_string(value));
    }
    // Widened to double before formatting: 0.1f is written 0.100000001490116.
    void Number(const char* section, const std::string& key, float value) const
    {
        String(section, key, FormatGeneralNumber(static_cast<double>(value)));
    }
    void Boolean(const char* section, const std::string& key, bool value) const
    {
        String(section, key, value ? "1" : "0");
    }

private:
    TIniDocument& FDocument;
    const std::filesystem::path& FPath;
};

} // namespace

TMirvoOptions::TMirvoOptions(const std::filesystem::path& iniPath, const std::filesystem::path& programFolder)
    : LastFolder(FolderText(programFolder)), FIniPath(iniPath), FProgramFolder(programFolder)
{
}

std::string TMirvoOptions::DefaultLastFolder() const
{
    return FolderText(FProgramFolder);
}

void TMirvoOptions::Assign(const TMirvoOptions& source)
{
    DefaultUserIndex = source.DefaultUserIndex;
    BioCycle = source.BioCycle;
    PlanetWeight = source.PlanetWeight;
    PlanetUse = source.PlanetUse;
    LastFolder = source.LastFolder;
    WindowLeft = source.WindowLeft;
    WindowTop = source.WindowTop;
}

TSettingsReadReport TMirvoOptions::LoadFromIni()
{
    TSettingsReadReport report;
    std::string text;
    std::error_code ec;
    if (std::filesystem::exists(FIniPath, ec)) {
        std::optional<TFilePrefix> prefix = ReadFilePrefix(FIniPath, kMaxSettingsFileBytes);
        report.unreadable = !prefix;
        if (prefix) {
            report.cut = prefix->cut;
            text = WholeLines(std::move(*prefix));
        }
    }
    const TIniDocument document(text);
    report.longLines = document.LongLines();
    const TIniReader ini(document);
    WindowLeft = ini.Integer(kWindowSection, kLeftKey, kDefaultWindowPos);
    WindowTop = ini.Integer(kWindowSection, kTopKey, kDefaultWindowPos);
    LastFolder = ini.String(kWindowSection, kLastFolderKey, DefaultLastFolder());
    DefaultUserIndex = ini.Integer(kOptionSection, kDefaultUserKey, kNoDefaultUser);
    for (int i = 0; i < kCycleCount; ++i)
        BioCycle[i] = ini.Number(kOptionSection, IndexedKey(kBioCyclePrefix, i), kDefaultBioCycle[i]);
    for (int n = 0; n < kPlanetCount; ++n)
        PlanetWeight[n] = ini.Number(kOptionSection, IndexedKey(kPlanetWeightPrefix, n), kDefaultPlanetWeight[n]);
    for (int n = 0; n < kPlanetCount; ++n)
        PlanetUse[n] = ini.Boolean(kOptionSection, IndexedKey(kPlanetUsePrefix, n), kDefaultPlanetUse[n]);
    return report;
}

void TMirvoOptions::SaveToIni() const
{
    // The file as it is now, so that what others wrote into it since the
    // start stays; a file that exists but cannot be read is not overwritten.
    // A FIFO or a device in its place is not replaced.
    const koyomi::EMirvoError cannotWrite = MessageError(kCannotWrite, {FIniPath.string()});
    if (IsSpecialFile(FIniPath))
        throw cannotWrite;
    std::error_code ec;
    std::optional<TFilePrefix> old = TFilePrefix();
    if (std::filesystem::exists(FIniPath, ec))
        old = ReadFilePrefix(FIniPath, kMaxSettingsFileBytes);
    if (!old)
        throw cannotWrite;
    // A file too long to be read whole is not the program's: it is kept
    // beside it as it is, and the settings file starts afresh.
    if (old->cut && !CopyToNewFile(FIniPath, UnusedNameBeside(FIniPath, kBackupSuffix)))
        throw cannotWrite;

    TIniDocument document(old->cut ? std::string() : std::move(old->bytes));
    const TIniWriter ini(document, FIniPath);
    ini.Integer(kWindowSection, kLeftKey, WindowLeft);
    ini.Integer(kWindowSection, kTopKey, WindowTop);
    // A folder name may hold a line break, which no INI line can; the file
    // then keeps the folder it held, and every other setting is saved.
    document.WriteString(kWindowSection, kLastFolderKey, LastFolder);
    ini.Integer(kOptionSection, kDefaultUserKey, DefaultUserIndex);
    for (int i = 0; i < kCycleCount; ++i)
        ini.Number(kOptionSection, IndexedKey(kBioCyclePrefix, i), BioCycle[i]);
    for (int n = 0; n < kPlanetCount; ++n) {
        ini.Number(kOptionSection, IndexedKey(kPlanetWeightPrefix, n), PlanetWeight[n]);
        ini.Boolean(kOptionSection, IndexedKey(kPlanetUsePrefix, n), PlanetUse[n]);
    }
    if (!ReplaceWholeFile(FIniPath, document.Text()))
        throw MessageError(kCannotWrite, {FIniPath.string()});
}

} // namespace mirvo
