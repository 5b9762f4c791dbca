// The settings store: the biorhythm cycle lengths, a weight and a use flag
// per body, the member shown at start, the main window's position and the
// folder last used for member files, kept in the program's INI file
// (sections "Window" and "Option").
#pragma once

#include "base/wholefile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirvo {

constexpr int kCycleCount = 3;    // axes: 0 health, 1 feeling, 2 intellect
constexpr int kPlanetCount = 10;  // bodies: 0 Sun, 1 Moon, 2 Mercury ... 9 Pluto

using TCycleLengths = std::array<float, kCycleCount>;
using TPlanetWeights = std::array<float, kPlanetCount>;
using TPlanetUses = std::array<bool, kPlanetCount>;

// The usable defaults, those of a missing settings file and of the settings
// window's default buttons.
constexpr TCycleLengths kDefaultBioCycle = {23, 28, 33};   // days
constexpr TPlanetWeights kDefaultPlanetWeight = {2, 1.5f, 1, 1, 1, 1, 1, 0.5f, 0.5f, 0.5f};
constexpr TPlanetUses kDefaultPlanetUse = {true, true, true, true, true, true, true, false, false, false};
constexpr std::int32_t kNoDefaultUser = -1;

// The cycle lengths the settings window takes: whole days.
constexpr int kMinCycle = 1;
constexpr int kMaxCycle = 999;
// The weights both the settings window and the settings file take; one
// outside them in the file is refused (its default counts) and reported.
// With ten bodies no star total, and no sum of totals, comes near the
// range of a 32-bit integer.
constexpr float kMinPlanetWeight = -100;
constexpr float kMaxPlanetWeight = 100;

// Whether a weight lies within kMinPlanetWeight..kMaxPlanetWeight.
constexpr bool IsPlanetWeight(double weight)
{
    return weight >= kMinPlanetWeight && weight <= kMaxPlanetWeight;
}

// The largest settings file read whole; of a longer one only the lines
// within this size are read (a settings file of the program is a few
// hundred bytes).
constexpr std::size_t kMaxSettingsFileBytes = 1024 * 1024;

// A cycle length or a weight as typed in the settings window (UTF-8):
// blanks around it allowed, full-width digits, point and minus taken as
// ASCII (AsciiNumberText). A cycle is a whole number kMinCycle..kMaxCycle,
// a weight a decimal number kMinPlanetWeight..kMaxPlanetWeight ("1.5",
// "-2", "1e1"); nullopt for anything else.
std::optional<float> CycleFromText(std::string_view text);
std::optional<float> WeightFromText(std::string_view text);

// What reading the settings file met besides the values, for the front ends
// to tell the user; the store itself shows nothing.
struct TSettingsReadReport {
    bool unreadable = false;              // the file exists but could not be read: all defaults
    bool cut = false;                     // longer than kMaxSettingsFileBytes: only its start was read
    std::vector<std::size_t> longLines;   // numbers of lines too long to be settings, not read
    // Keys whose weight lies outside kMinPlanetWeight..kMaxPlanetWeight, with
    // the text they held; their defaults count.
    std::vector<std::pair<std::string, std::string>> weightsRefused;
    bool Clean() const { return !unreadable && !cut && longLines.empty() && weightsRefused.empty(); }
};

class TMirvoOptions {
public:
    // All fields zero, no member (-1), LastFolder empty, no settings file.
    TMirvoOptions() = default;
    // As above, knowing the settings file and the program's folder;
    // LastFolder is the program's folder with a trailing separator.
    TMirvoOptions(const std::filesystem::path& iniPath, const std::filesystem::path& programFolder);

    // The settings file that LoadFromIni reads and SaveToIni writes.
    const std::filesystem::path& GetIniPath() const { return FIniPath; }

    // Copies every setting; the settings file and program folder stay this object's own.
    void Assign(const TMirvoOptions& source);

    // Reads every setting from the settings file; a missing file, section or
    // key or an unreadable value gives that setting's default. Numbers may
    // be written with full-width digits, point and minus (AsciiNumberText);
    // a weight outside kMinPlanetWeight..kMaxPlanetWeight gives its default. A file that
    // cannot be read gives all defaults; of a file longer than
    // kMaxSettingsFileBytes the whole lines within that size are read. The
    // report says what was met; nothing is shown here.
    TSettingsReadReport LoadFromIni();

    // Writes every setting to the settings file, keeping its other sections,
    // keys, comments and blank lines; the file is replaced atomically. A
    // LastFolder that cannot be kept on one line is not written (the file
    // keeps the folder it held). A file longer than kMaxSettingsFileBytes is
    // first kept whole beside it ("TodayMirvo.ini.bak", never replacing an
    // earlier one); the new file holds only the settings. Throws
    // EMirvoError "%s に書き込めません" (with the path) when it cannot be
    // written, leaving the old file as it was.
    void SaveToIni() const;

    // The text SaveToIni writes over the file as it is now; throws as
    // SaveToIni does for a file that exists but cannot be read.
    std::string IniText() const;

    std::int32_t DefaultUserIndex = kNoDefaultUser;   // member list index shown at start, -1 none
    TCycleLengths BioCycle{};                         // cycle lengths in days, by axis
    TPlanetWeights PlanetWeight{};                    // weight of each body's score
    TPlanetUses PlanetUse{};                          // whether each body counts in the star totals
    std::string LastFolder;                           // folder for member files, ending with "/"
    std::int32_t WindowLeft = 0;                      // main window's left edge, screen pixels
    std::int32_t WindowTop = 0;                       // main window's top edge, screen pixels
    // The one file the member list goes to when its own file cannot be
    // written ("Option"/"MemberFileInstead", written only when set); empty: none yet.
    std::string MemberFileInstead;

private:
    std::string DefaultLastFolder() const;
    // The settings written over `old`, the file's present text (empty: a new file).
    std::string TextOver(std::string old) const;
    std::optional<TFilePrefix> PresentFile() const;

    std::filesystem::path FIniPath;
    std::filesystem::path FProgramFolder;
};

} // namespace mirvo
