// libFuzzer target: the settings reader and writer on arbitrary bytes.
// Each input is a settings file, then, after NUL bytes, a section, a key
// and a value to write into it. Whatever the bytes: a value written reads
// back as written, from the document and from its text read again, and no
// other key changes; and the settings store read from the file, saved and
// read again holds the same settings.
#include "base/error.h"
#include "base/wholefile.h"
#include "members/inifile.h"
#include "members/options.h"
#include "tests/fuzz/fuzzfolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The keys the program reads, besides the one the input writes.
std::vector<std::pair<std::string, std::string>> ProgramKeys()
{
    std::vector<std::pair<std::string, std::string>> keys = {
        {"Window", "Left"}, {"Window", "Top"}, {"Window", "LastFolder"}, {"Option", "DefaultUserIndex"}};
    for (int i = 0; i < mirvo::kCycleCount; ++i)
        keys.emplace_back("Option", "BioRaito_" + std::to_string(i));
    for (int n = 0; n < mirvo::kPlanetCount; ++n) {
        keys.emplace_back("Option", "PlanetRaito_" + std::to_string(n));
        keys.emplace_back("Option", "PlanetUse_" + std::to_string(n));
    }
    return keys;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void CheckDocument(std::string_view text, const std::string& section, const std::string& key, const std::string& value)
{
    mirvo::TIniDocument document(text);
    // Reading and writing the text back changes nothing.
    const std::string original = document.Text();
    Check(mirvo::TIniDocument(original).Text() == original);

    std::vector<std::pair<std::string, std::string>> others = ProgramKeys();
    others.emplace_back(section, key + "x");
    others.emplace_back(section + "x", key);
    std::vector<std::optional<std::string>> before;
    for (const auto& [s, k] : others)
        before.push_back(document.ReadString(s, k));

    if (!document.WriteString(section, key, value))
        return;
    const mirvo::TIniDocument reread(document.Text());
    Check(document.ReadString(section, key) == value);
    Check(reread.ReadString(section, key) == value);
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (SameName(others[i].first, section) && SameName(others[i].second, key))
            continue;
        Check(document.ReadString(others[i].first, others[i].second) == before[i]);
        Check(reread.ReadString(others[i].first, others[i].second) == before[i]);
    }
}

void CheckStore(std::string_view text)
{
    const fs::path ini = mirvo::fuzz::ScratchFolder() / "TodayMirvo.ini";
    for (const fs::path& p : {ini, fs::path(ini.string() + ".bak")})
        ::unlink(p.c_str());
    Check(mirvo::ReplaceWholeFile(ini, text));
    mirvo::TMirvoOptions first(ini, mirvo::fuzz::ScratchFolder());
    first.LoadFromIni();
    try {
        first.SaveToIni();
    } catch (const koyomi::EMirvoError&) {
        std::abort();   // a file that could be read can be written
    }
    mirvo::TMirvoOptions second(ini, mirvo::fuzz::ScratchFolder());
    const mirvo::TSettingsReadReport report = second.LoadFromIni();
    Check(!report.unreadable && !report.cut);
    Check(second.DefaultUserIndex == first.DefaultUserIndex && second.BioCycle == first.BioCycle
          && second.PlanetWeight == first.PlanetWeight && second.PlanetUse == first.PlanetUse
          && second.WindowLeft == first.WindowLeft && second.WindowTop == first.WindowTop);
    // LastFolder is kept only when a line can hold it.
    if (first.LastFolder.find_first_of("\r\n") == std::string::npos)
        Check(second.LastFolder == first.LastFolder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = input.find('\0', pos);
        if (end == std::string_view::npos)
            break;
        parts.emplace_back(input.substr(pos, end - pos));
        pos = end + 1;
    }
    const std::string_view text = parts.empty() ? input : std::string_view(parts[0]);
    const std::string section = parts.size() > 1 ? parts[1] : "Option";
    const std::string key = parts.size() > 2 ? parts[2] : "BioRaito_0";
    const std::string value(parts.size() > 2 ? input.substr(pos) : std::string_view("23"));
    CheckDocument(text, section, key, value);
    CheckStore(text);
    return 0;
}
