#include "terminal/todaypair.h"

#include "base/harmlesstext.h"
#include "base/stringtable.h"
#include "terminal/terminaltext.h"
#include "terminal/todaytext.h"

namespace mirvo {

namespace {

constexpr const char* kGap = "  ";
constexpr int kNameWidth = 8;     // 総合, 健康 ... and the column heads
constexpr int kBioWidth = 16;     // 生体リズムの相性
constexpr int kStarWidth = 8;     // 星の相性
constexpr int kBarCells = 10;     // one cell for every 10 %

// A bar of ten cells for a percent 0..100, rounded to whole cells.
std::string Bar(int percent)
{
    const int full = (percent + kBarCells / 2) / kBarCells;
    std::string bar;
    for (int i = 0; i < kBarCells; ++i)
        bar += i < full ? "█" : "░";
    return bar;
}

std::string Row(const std::string& name, int bio, std::int32_t stars, TPairLevel level, std::uint32_t colour,
                bool coloured)
{
    const std::string percent = PadLeft(std::to_string(bio) + "%", 4);
    return PadRight(Coloured(name, colour, coloured), kNameWidth) + kGap
           + PadRight(Bar(bio) + " " + percent, kBioWidth) + kGap
           + PadLeft(std::to_string(stars) + LoadStr(kTextPoints), kStarWidth) + kGap
           + LoadStr(kPairRatingBase + level);
}

} // namespace

std::string PairName(const TMemberListItem& member)
{
    return member.Name.empty() ? LoadStr(kTextNoName) : member.Name;
}

TodayPairReport MakePairReport(const TodayArgs& args, const TodayMember& first, const TodayMember& second,
                               const EvalSettings& settings, koyomi::TDateTime day)
{
    TodayPairReport report;
    report.members = {first, second};
    report.signs = {SunSignOf(first.item.Birthday), SunSignOf(second.item.Birthday)};
    report.settings = settings;
    report.pair = PairCompatibility(first.item.Birthday, second.item.Birthday, settings);
    report.nextGood = args.nextGood;
    if (args.nextGood)
        report.goodDay = NextGoodDayForBoth(TMemberDays(first.item.Birthday, settings),
                                            TMemberDays(second.item.Birthday, settings), day);
    return report;
}

std::string PairText(const TodayPairReport& report, bool colour)
{
    // Names come from a file: shown, never obeyed by the terminal.
    const std::string one = HarmlessText(PairName(report.members[0].item));
    const std::string two = HarmlessText(PairName(report.members[1].item));
    const TPairCompatibility& pair = report.pair;
    std::string out = FillNumbered(LoadStr(kTextPairTitle), {one, two}) + "\n";
    out += koyomi::DateToFileText(report.members[0].item.Birthday) + " / "
           + koyomi::DateToFileText(report.members[1].item.Birthday) + kGap
           + FillNumbered(LoadStr(kTextDaysApart), {std::to_string(static_cast<long long>(pair.daysApart))}) + "\n\n";
    out += std::string(kNameWidth, ' ') + kGap + PadRight(LoadStr(kTextPairBio), kBioWidth) + kGap
           + PadLeft(LoadStr(kTextPairStars), kStarWidth) + "\n";
    for (int k = 0; k < kAxisCount; ++k) {
        const PairAxis& a = pair.axes[k];
        out += Row(LoadStr(kTextAxisNames + k), a.bioCompatibility, a.starScore, a.level, AxisColour(k), colour)
               + "\n";
    }
    out += Row(LoadStr(kTextPairOverall), pair.bioCompatibility, pair.starScore, pair.level, 0x00FFFFFF, false)
           + "\n\n";
    out += LoadStr(kTextStrongestAspects) + "\n";
    for (int k = 0; k < kAxisCount; ++k)
        out += PadRight(Coloured(LoadStr(kTextAxisNames + k), AxisColour(k), colour), kNameWidth) + kGap
               + PairAspectText(pair.axes[k].strongest, one, two) + "\n";
    out += "\n" + LoadStr(pair.sentenceId) + "\n";
    if (!report.nextGood)
        return out;
    out += "\n";
    if (!report.goodDay)
        return out + FillNumbered(LoadStr(kMsgNoGoodDayForBoth), {std::to_string(kGoodDaySearchDays)}) + "\n";
    out += LoadStr(kTextGoodDaysForBoth) + kGap + koyomi::DateToFileText(report.goodDay->date) + "\n\n";
    for (int m = 0; m < 2; ++m) {
        const TodayReport reading = MakeReport(report.members[m], report.settings, report.goodDay->date, 1);
        out += ReadingText(reading, colour) + (m == 0 ? "\n" : "");
    }
    return out;
}

} // namespace mirvo
