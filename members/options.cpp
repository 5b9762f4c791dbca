#include "members/options.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/wholefile.h"
#include "members/inifile.h"
#include "members/numbertext.h"

#include <cmath>
#include <optional>
#include <type_traits>

namespace mirvo {

namespace {

// The settings file's sections.
constexpr const char* kWindowSection = "Window";
constexpr const char* kOptionSection = "Option";

constexpr std::int32_t kDefaultWindowPos = 0;
const std::string kMemberFileInsteadKey = "MemberFileInstead";
constexpr char kFolderSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// The whole lines of a settings file's first kMaxSettingsFileBytes bytes.
std::string WholeLines(TFilePrefix prefix)
{
    if (prefix.cut) {
        const std::size_t lastEnd = prefix.bytes.find_last_of("\r\n");
        prefix.bytes.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    return std::move(prefix.bytes);
}

std::string FolderText(const std::filesystem::path& folder)
{
    std::string text = folder.string();
    if (text.empty() || text.back() != kFolderSeparator)
        text += kFolderSeparator;
    return text;
}

std::string IndexedKey(const char* prefix, int index)
{
    return prefix + std::to_string(index);
}

// Every key of the settings file with the field that holds it and the
// default of a missing or unreadable value, in the order a new file lists
// them. Loading and saving both go through this one table.
template <typename Options, typename Visit>
void ForEachSetting(Options& o, const std::string& defaultFolder, Visit&& visit)
{
    visit(kWindowSection, "Left", o.WindowLeft, kDefaultWindowPos);
    visit(kWindowSection, "Top", o.WindowTop, kDefaultWindowPos);
    visit(kWindowSection, "LastFolder", o.LastFolder, defaultFolder);
    visit(kOptionSection, "DefaultUserIndex", o.DefaultUserIndex, kNoDefaultUser);
    for (int i = 0; i < kCycleCount; ++i)
        visit(kOptionSection, IndexedKey("BioRaito_", i), o.BioCycle[i], kDefaultBioCycle[i]);
    for (int n = 0; n < kPlanetCount; ++n) {
        visit(kOptionSection, IndexedKey("PlanetRaito_", n), o.PlanetWeight[n], kDefaultPlanetWeight[n]);
        visit(kOptionSection, IndexedKey("PlanetUse_", n), o.PlanetUse[n], kDefaultPlanetUse[n]);
    }
}

// Reading one value by its kind; an unreadable value gives the default.
class TIniReader {
public:
    explicit TIniReader(const TIniDocument& document) : FDocument(document) {}

    std::string Read(const char* section, const std::string& key, const std::string& fallback) const
    {
        return FDocument.ReadString(section, key).value_or(fallback);
    }
    std::int32_t Read(const char* section, const std::string& key, std::int32_t fallback) const
    {
        const auto text = NumberText(section, key);
        return text ? ParseIntOrHex(*text).value_or(fallback) : fallback;
    }
    // Narrowed to the nearest 32-bit float; a value beyond the float range is unreadable.
    float Read(const char* section, const std::string& key, float fallback) const
    {
        const auto text = NumberText(section, key);
        const std::optional<double> value = text ? ParseDecimalNumber(*text) : std::nullopt;
        if (!value)
            return fallback;
        const auto narrowed = static_cast<float>(*value);
        return std::isfinite(narrowed) ? narrowed : fallback;
    }
    bool Read(const char* section, const std::string& key, bool fallback) const
    {
        const auto text = NumberText(section, key);
        const std::optional<std::int32_t> value = text ? ParseIntOrHex(*text) : std::nullopt;
        return value ? *value != 0 : fallback;
    }
    // A number's text as a Japanese input method may have typed it, in ASCII.
    std::optional<std::string> NumberText(const char* section, const std::string& key) const
    {
        const auto text = FDocument.ReadString(section, key);
        return text ? std::optional<std::string>(AsciiNumberText(*text)) : std::nullopt;
    }
    std::string RawText(const char* section, const std::string& key) const
    {
        return FDocument.ReadString(section, key).value_or(std::string());
    }

private:
    const TIniDocument& FDocument;
};

// Writing one value by its kind; a number that the document cannot hold
// fails the save.
class TIniWriter {
public:
    TIniWriter(TIniDocument& document, const std::filesystem::path& path) : FDocument(document), FPath(path) {}

    // A text (a folder name) may hold a line break, which no INI line can;
    // the file then keeps the text it held, and every other setting is saved.
    void Write(const char* section, const std::string& key, const std::string& value) const
    {
        FDocument.WriteString(section, key, value);
    }
    void Write(const char* section, const std::string& key, std::int32_t value) const
    {
        WriteNumberText(section, key, std::to_string(value));
    }
    // Widened to double before formatting: 0.1f is written 0.100000001490116.
    void Write(const char* section, const std::string& key, float value) const
    {
        WriteNumberText(section, key, FormatGeneralNumber(static_cast<double>(value)));
    }
    void Write(const char* section, const std::string& key, bool value) const
    {
        WriteNumberText(section, key, value ? "1" : "0");
    }

private:
    void WriteNumberText(const char* section, const std::string& key, const std::string& text) const
    {
        if (!FDocument.WriteString(section, key, text))
            throw MessageError(kMsgCannotWriteTo, {FPath.string()});
    }

    TIniDocument& FDocument;
    const std::filesystem::path& FPath;
};

} // namespace

namespace {

// A number's text with full-width forms in ASCII and the blanks around it gone.
std::string TrimmedNumberText(std::string_view text)
{
    std::string ascii = AsciiNumberText(text);
    const auto first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = ascii.find_last_not_of(" \t");
    return ascii.substr(first, last - first + 1);
}

} // namespace

std::optional<float> CycleFromText(std::string_view text)
{
    const std::string digits = TrimmedNumberText(text);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::optional<std::int32_t> value = ParseDecimalInt(digits);
    if (!value || *value < kMinCycle || *value > kMaxCycle)
        return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<float> WeightFromText(std::string_view text)
{
    const std::optional<double> value = ParseDecimalNumber(TrimmedNumberText(text));
    if (!value || !IsPlanetWeight(*value))
        return std::nullopt;
    return static_cast<float>(*value);
}

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
    MemberFileInstead = source.MemberFileInstead;
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
            text = IniTextFromFile(WholeLines(std::move(*prefix)));
        }
    }
    const TIniDocument document(text);
    report.longLines = document.LongLines();
    const TIniReader ini(document);
    ForEachSetting(*this, DefaultLastFolder(), [&ini](const char* section, const std::string& key, auto& field,
                                                      const auto& fallback) {
        using TField = std::remove_reference_t<decltype(field)>;
        field = ini.Read(section, key, static_cast<TField>(fallback));
    });
    MemberFileInstead = ini.Read(kOptionSection, kMemberFileInsteadKey, std::string());
    // A weight out of range would swamp every reading; its default counts, and the user hears of it.
    for (int n = 0; n < kPlanetCount; ++n) {
        if (IsPlanetWeight(PlanetWeight[n]))
            continue;
        const std::string key = IndexedKey("PlanetRaito_", n);
        report.weightsRefused.emplace_back(key, ini.RawText(kOptionSection, key));
        PlanetWeight[n] = kDefaultPlanetWeight[n];
    }
    return report;
}

std::optional<TFilePrefix> TMirvoOptions::PresentFile() const
{
    std::error_code ec;
    if (!std::filesystem::exists(FIniPath, ec))
        return TFilePrefix();
    return ReadFilePrefix(FIniPath, kMaxSettingsFileBytes);
}

std::string TMirvoOptions::TextOver(std::string old) const
{
    TIniDocument document(IniTextFromFile(std::move(old)));
    const TIniWriter ini(document, FIniPath);
    ForEachSetting(*this, std::string(), [&ini](const char* section, const std::string& key, const auto& field,
                                                const auto&) { ini.Write(section, key, field); });
    // Written once the list has gone there; a file that names one keeps it.
    if (!MemberFileInstead.empty() || document.ReadString(kOptionSection, kMemberFileInsteadKey))
        ini.Write(kOptionSection, kMemberFileInsteadKey, MemberFileInstead);
    return IniFileBytes(document);
}

std::string TMirvoOptions::IniText() const
{
    std::optional<TFilePrefix> old = PresentFile();
    if (!old)
        throw MessageError(kMsgCannotWriteTo, {FIniPath.string()});
    return TextOver(old->cut ? std::string() : std::move(old->bytes));
}

void TMirvoOptions::SaveToIni() const
{
    // The file as it is now, so that what others wrote into it since the
    // start stays; a file that exists but cannot be read is not overwritten.
    // A FIFO or a device in its place is not replaced.
    const koyomi::EMirvoError cannotWrite = MessageError(kMsgCannotWriteTo, {FIniPath.string()});
    if (IsSpecialFile(FIniPath))
        throw cannotWrite;
    std::optional<TFilePrefix> old = PresentFile();
    if (!old)
        throw cannotWrite;
    // A file too long to be read whole is not the program's: it is kept
    // beside it as it is, and the settings file starts afresh.
    if (old->cut && !CopyToNewFile(FIniPath, BackupNameBeside(FIniPath)))
        throw cannotWrite;
    if (!ReplaceWholeFile(FIniPath, TextOver(old->cut ? std::string() : std::move(old->bytes))))
        throw cannotWrite;
}

} // namespace mirvo
