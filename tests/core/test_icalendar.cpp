// Calendar files: escaping and folding, stable UIDs, and whole files read
// back by a real iCalendar parser (Debian's python3-icalendar).
#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/datafile.h"
#include "start/icalendar.h"

#include "datafile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

using namespace mirvo;
using koyomi::EncodeDate;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

// Joins folded lines again (RFC 5545 3.1: a CR LF followed by one blank goes).
std::string Unfold(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\r\n ") == 0) {
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool StartsUtf8Character(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::vector<std::string> PhysicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF at the end";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TMemberListItem Member(const std::string& name, koyomi::TDateTime birthday)
{
    TMemberListItem m;
    m.Name = name;
    m.Birthday = birthday;
    return m;
}

} // namespace

TEST(IcsText, SpecialCharactersAreEscaped)
{
    EXPECT_EQ(IcsEscapeText("a,b;c\\d"), "a\\,b\\;c\\\\d");
    EXPECT_EQ(IcsEscapeText("一行目\n二行目\r\n三行目\r四行目"), "一行目\\n二行目\\n三行目\\n四行目");
    EXPECT_EQ(IcsEscapeText("コロン:はそのまま"), "コロン:はそのまま");
    EXPECT_EQ(IcsEscapeText(""), "");
    // Control characters may not stand in a calendar file: ESC, BEL, DEL, C1's CSI go; a tab stays.
    EXPECT_EQ(IcsEscapeText("\x1b]0;X\x07Na\x7Fme\xC2\x9B" "2J\tend\x01"), "]0\\;XName2J\tend");
    EXPECT_EQ(IcsEscapeText("\xC2\xA9 \xC2"), "\xC2\xA9 \xC2");
    // Every C1 control goes, the first and the last too; the no-break space after them stays.
    EXPECT_EQ(IcsEscapeText("a\xC2\x80" "b\xC2\x85" "c\xC2\x9F" "d\xC2\xA0" "e"), "abcd\xC2\xA0" "e");
}

TEST(IcsText, LongLinesFoldAtCharacterBoundariesAndUnfoldToTheOriginal)
{
    const std::string ascii = "DESCRIPTION:" + std::string(200, 'x');
    const std::string japanese = "SUMMARY:" + LoadStr(kAdviceVeryGoodBase + 7) + LoadStr(kAdviceHangInBase + 8) + "a" + LoadStr(kAdviceHangInBase + 2);
    for (const std::string& line : {ascii, japanese, std::string("SHORT:ok"), std::string(75, 'y'),
                                    std::string(76, 'z')}) {
        SCOPED_TRACE(line.substr(0, 20));
        const std::string folded = IcsFoldLine(line);
        ASSERT_GE(folded.size(), 2u);
        EXPECT_EQ(folded.substr(folded.size() - 2), "\r\n");
        const std::vector<std::string> pieces = PhysicalLines(folded);
        EXPECT_EQ(pieces.size() > 1, line.size() > kIcsLineOctets);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_LE(pieces[i].size(), kIcsLineOctets);
            if (i > 0) {
                ASSERT_GE(pieces[i].size(), 2u);
                EXPECT_EQ(pieces[i][0], ' ');
                EXPECT_TRUE(StartsUtf8Character(pieces[i][1])) << "piece " << i << " starts inside a character";
            }
        }
        EXPECT_EQ(Unfold(folded), line + "\r\n");
    }
    // Three-octet characters fill a line as far as a whole one fits.
    const std::vector<std::string> pieces = PhysicalLines(IcsFoldLine("X:" + LoadStr(kAdviceVeryGoodBase + 7) + LoadStr(kAdviceHangInBase + 8)));
    EXPECT_GE(pieces.front().size(), kIcsLineOctets - 2);
}

TEST(IcsText, UidsAreStablePerMemberAndDay)
{
    const TMemberListItem hana = Member("山田花子", EncodeDate(1970, 1, 2) + 0.5);
    const koyomi::TDateTime day = EncodeDate(2026, 12, 7);
    EXPECT_EQ(IcsUid(hana, day), IcsUid(hana, day + 0.9));
    EXPECT_EQ(IcsUid(hana, day).substr(0, 9), "20261207-");
    EXPECT_NE(IcsUid(hana, day), IcsUid(hana, day + 1));
    EXPECT_NE(IcsUid(hana, day), IcsUid(Member("山田太郎", hana.Birthday), day));
    EXPECT_NE(IcsUid(hana, day), IcsUid(Member("山田花子", hana.Birthday + 1), day));
    // The birth time and a copy of the member do not change it.
    EXPECT_EQ(IcsUid(hana, day), IcsUid(Member("山田花子", EncodeDate(1970, 1, 2)), day));
}

TEST(IcsText, SummaryAndDescriptionHoldTheReading)
{
    Evaluation e;
    e.reading.BioPercent = {42, 0, -7};
    e.reading.StarTotal = {120, 100, -3};
    e.verdict.axes[0].rating = TRatingLevel::VeryGood;
    e.verdict.axes[1].rating = TRatingLevel::Average;
    e.verdict.axes[2].rating = TRatingLevel::HangIn;
    e.verdict.adviceId = kAdviceVeryGoodBase;
    EXPECT_EQ(IcsSummary(Member("", 0), e.verdict), "ミルボ 健康:大変良い 感情:普通 知性:頑張れ");
    EXPECT_EQ(IcsSummary(Member("花子", 0), e.verdict), "ミルボ 花子 健康:大変良い 感情:普通 知性:頑張れ");
    EXPECT_EQ(IcsDescription(e), "健康 42% 120点 大変良い\n感情 0% 100点 普通\n知性 -7% -3点 頑張れ\n\n"
                                 + LoadStr(kAdviceVeryGoodBase));
    e.verdict.adviceId = 0;
    EXPECT_EQ(IcsDescription(e), "健康 42% 120点 大変良い\n感情 0% 100点 普通\n知性 -7% -3点 頑張れ");
}

namespace {

class IcsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;
        std::random_device seed;
        FFile = fs::temp_directory_path() / ("mirvo-ics-" + std::to_string(seed()) + ".ics");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove(FFile, ec);
    }

    // The calendar as python3-icalendar reads it.
    json Parsed(const std::string& calendar)
    {
        {
            std::ofstream out(FFile, std::ios::binary);
            out << calendar;
        }
        const std::string command = "/usr/bin/python3 '" MIRVO_SOURCE_DIR "/tests/core/read_ics.py' '" + FFile.string() + "'";
        FILE* pipe = popen(command.c_str(), "r");
        std::string text;
        char buffer[4096];
        std::size_t n = 0;
        while (pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        const int status = pipe != nullptr ? pclose(pipe) : -1;
        EXPECT_EQ(status, 0) << "python3-icalendar could not read the file";
        return status == 0 ? json::parse(text) : json();
    }

    const testsupport::TLoadedDataFile FDataFile;
    fs::path FFile;
};

} // namespace

TEST_F(IcsFile, ARealParserReadsEveryEvent)
{
    // A long name makes the summary lines long enough to fold inside Japanese text.
    const TMemberListItem member = Member("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末", EncodeDate(1970, 1, 2));
    EvalSettings settings;
    const TMemberDays days(member.Birthday, settings);
    const koyomi::TDateTime first = EncodeDate(2026, 12, 20);  // across the turn of the year
    const std::vector<DayEvaluation> run = days.Days(first, 40);
    const std::string calendar = MakeIcsCalendar(member, run, EncodeDate(2026, 12, 7) + 0.25);
    for (const std::string& line : PhysicalLines(calendar))
        EXPECT_LE(line.size(), kIcsLineOctets) << line;
    EXPECT_EQ(calendar.find('\n'), calendar.find("\r\n") + 1);

    const json parsed = Parsed(calendar);
    ASSERT_TRUE(parsed.is_object());
    EXPECT_EQ(parsed["version"], "2.0");
    EXPECT_EQ(parsed["prodid"], IcsProductId());
    EXPECT_NE(IcsProductId().find("Today Mirvo"), std::string::npos);
    const json& events = parsed["events"];
    ASSERT_EQ(events.size(), run.size());
    bool critical = false;
    for (std::size_t i = 0; i < run.size(); ++i) {
        const json& e = events[i];
        const DayEvaluation& day = run[i];
        SCOPED_TRACE(e["dtstart"].get<std::string>());
        EXPECT_EQ(e["dtstart"], koyomi::FormatDateTime("yyyy'-'mm'-'dd", first + i));
        EXPECT_EQ(e["dtend"], koyomi::FormatDateTime("yyyy'-'mm'-'dd", first + i + 1));
        EXPECT_EQ(e["dtstamp"], "2026-12-07T06:00:00+00:00");
        EXPECT_EQ(e["uid"], IcsUid(member, day.date));
        EXPECT_EQ(e["summary"], IcsSummary(member, day.evaluation.verdict));  // unfolded and unescaped
        // The national holidays of those days come first: 1 and 11 January 2027.
        const std::string monthDay = koyomi::FormatDateTime("mm'-'dd", first + i);
        const std::string holiday = monthDay == "01-01" ? "元日\n\n" : monthDay == "01-11" ? "成人の日\n\n" : "";
        EXPECT_EQ(e["description"], holiday + IcsDescription(day.evaluation));
        const bool isCritical = IsCriticalDay(day.evaluation.verdict);
        critical = critical || isCritical;
        EXPECT_EQ(e["categories"],
                  isCritical ? json::array({"ミルボ", "要注意日"}) : json::array({"ミルボ"}));
    }
    EXPECT_TRUE(critical);  // forty days always hold a critical day

    // A second export of the same days, later: the same UIDs, a new stamp.
    const json again = Parsed(MakeIcsCalendar(member, days.Days(first, 40), EncodeDate(2027, 1, 1)));
    ASSERT_EQ(again["events"].size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(again["events"][i]["uid"], events[i]["uid"]);
        EXPECT_EQ(again["events"][i]["dtstamp"], "2027-01-01T00:00:00+00:00");
    }
}

TEST_F(IcsFile, TextWithSeparatorsSurvivesTheRoundTrip)
{
    const TMemberListItem member = Member("a,b;c\\d", EncodeDate(1985, 7, 7));
    const TMemberDays days(member.Birthday, EvalSettings{});
    const json parsed = Parsed(MakeIcsCalendar(member, days.Days(EncodeDate(2024, 2, 28), 3), UtcNow()));
    ASSERT_EQ(parsed["events"].size(), 3u);
    EXPECT_EQ(parsed["events"][1]["dtstart"], "2024-02-29");
    EXPECT_EQ(parsed["events"][0]["summary"].get<std::string>().substr(0, 17), "ミルボ a,b;c\\d");
}
