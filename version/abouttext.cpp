#include "version/abouttext.h"

#include "version/version.h"

#include <array>
#include <cstdio>

namespace mirvo {

namespace {

constexpr std::array<const char*, 12> kMonthAbbreviations = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
};
constexpr std::array<const char*, 3> kFirstDaySuffixes = {"st", "nd", "rd"};  // days 1, 2, 3
const char* const kOtherDaySuffix = "th";
const char* const kUnknownMonth = "???";

// Lines after which the date goes: the thank-you line and the empty line.
constexpr std::size_t kLinesAfterDate = 2;

} // namespace

std::string FileDateText(int year, int month, int day)
{
    const bool knownMonth = month >= 1 && month <= static_cast<int>(kMonthAbbreviations.size());
    const char* const monthText = knownMonth ? kMonthAbbreviations[static_cast<std::size_t>(month - 1)] : kUnknownMonth;
    const bool firstDays = day >= 1 && day <= static_cast<int>(kFirstDaySuffixes.size());
    const char* const suffix = firstDays ? kFirstDaySuffixes[static_cast<std::size_t>(day - 1)] : kOtherDaySuffix;
    constexpr std::size_t kBufferSize = 64;  // "Sep. -2147483648th , -2147483648" fits
    char text[kBufferSize];
    std::snprintf(text, sizeof text, "%s. %d%s , %d", monthText, day, suffix, year);
    return text;
}

std::vector<std::string> AboutMemoLines(const TVersion& version, const std::vector<std::string>& fixedLines,
                                        const std::string& dateLine)
{
    std::vector<std::string> lines = {
        version.GetFileDescription(),
        "Version " + version.GetFileVersion(),
        "",
        "\"" + version.GetProductName() + "\"",
    };
    const std::size_t dateAt = fixedLines.size() >= kLinesAfterDate ? fixedLines.size() - kLinesAfterDate : 0;
    lines.insert(lines.end(), fixedLines.begin(), fixedLines.begin() + static_cast<std::ptrdiff_t>(dateAt));
    lines.push_back(dateLine);
    lines.insert(lines.end(), fixedLines.begin() + static_cast<std::ptrdiff_t>(dateAt), fixedLines.end());
    return lines;
}

} // namespace mirvo
