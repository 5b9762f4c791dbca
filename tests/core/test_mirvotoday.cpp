// mirvo-today: its JSON against the evaluation itself, its command line,
// the choice of member, and the pieces of its terminal text.
#include "base/error.h"
#include "base/harmlesstext.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/datafile.h"
#include "members/memberlist.h"
#include "members/options.h"
#include "reading/compatibility.h"
#include "reading/pairdays.h"
#include "start/todayreport.h"
#include "terminal/braillechart.h"
#include "terminal/terminaltext.h"
#include "terminal/todayargs.h"
#include "terminal/todayjson.h"
#include "terminal/todaytext.h"

#include "datafile.h"
#include "runprogram.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>

using namespace mirvo;
using koyomi::EncodeDate;
using koyomi::EncodeTime;
using nlohmann::json;
using testsupport::TProgramRun;
namespace fs = std::filesystem;

namespace {

const fs::path kProgram = fs::path(MIRVO_RUNTIME_DIR) / "mirvo-today";
const char* const kAxisKeys[kAxisCount] = {"health", "feeling", "intellect"};

TProgramRun RunProgram(const std::vector<std::string>& args)
{
    return testsupport::RunMirvoToday(args);
}

// The members and the settings the program reads, and the calendar library
// loaded in this process from the same data file.
class MirvoTodayProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;

        FMembers.AddMember("Hana", kSexFemale, EncodeDate(1970, 1, 2) + EncodeTime(12, 0, 0), false, "");
        FMembers.AddMember("Taro", kSexMale, EncodeDate(2000, 2, 29) + EncodeTime(23, 59, 30), true, "うるう日");
        FMembers.AddMember("未来", kSexNone, EncodeDate(2030, 6, 15), false, "メモ, \"引用\"");
        FMembers.AddMember("Hana", kSexMale, EncodeDate(1985, 7, 7), false, "二人目");
        FMembers.SaveToCsv(MemberFile());

        TMirvoOptions options(SettingsFile(), FDir);
        options.LoadFromIni();  // the defaults
        options.BioCycle = {23, 28.5f, 33};
        options.PlanetWeight = {2, 1.5f, 1, 1, 1, 1, 1, 0.5f, 0.5f, 0.1f};
        options.PlanetUse[3] = false;  // Venus off
        options.PlanetUse[8] = true;   // Neptune on
        options.DefaultUserIndex = 1;
        options.SaveToIni();
        FSettings = EvalSettingsOf(options);
    }
    fs::path MemberFile() const { return FDir / "Mirvo.csv"; }
    fs::path SettingsFile() const { return FDir / "TodayMirvo.ini"; }

    json Json(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--json", "--members", MemberFile().string(), "--settings", SettingsFile().string()});
        const TProgramRun run = RunProgram(args);
        EXPECT_EQ(run.exitCode, 0);
        return json::parse(run.out);
    }

    // Every figure of the JSON against the evaluation of the same member and days.
    void ExpectSameAsTheCore(const json& j, int index, koyomi::TDateTime firstDay, int dayCount)
    {
        const TMemberListItem& m = FMembers.Items(index);
        EXPECT_EQ(j["format"], "mirvo-today/1");
        EXPECT_EQ(j["member"]["index"], index);
        EXPECT_EQ(j["member"]["name"], m.Name);
        EXPECT_EQ(j["member"]["sex"], m.Sex);
        EXPECT_EQ(j["member"]["birthday"], koyomi::FormatDateTime("yyyy-mm-dd", m.Birthday));
        EXPECT_EQ(j["member"]["birthTime"], koyomi::TimeToFileText(m.Birthday));
        EXPECT_EQ(j["member"]["timeKnown"], m.TimeKnown);
        EXPECT_EQ(j["member"]["memo"], m.Memo);
        for (int k = 0; k < kAxisCount; ++k)
            EXPECT_EQ(j["settings"]["bioCycle"][k].get<float>(), FSettings.bioCycle[k]);
        for (int b = 0; b < kBodyCount; ++b) {
            EXPECT_EQ(j["settings"]["planetWeight"][b].get<float>(), FSettings.planetWeight[b]);
            EXPECT_EQ(j["settings"]["planetUse"][b], FSettings.planetUse[b]);
        }
        ASSERT_EQ(j["days"].size(), static_cast<std::size_t>(dayCount));
        for (int i = 0; i < dayCount; ++i) {
            const koyomi::TDateTime day = firstDay + i;
            const Evaluation e = Evaluate(m.Birthday, day, FSettings);
            const json& d = j["days"][i];
            SCOPED_TRACE(d["date"].get<std::string>());
            EXPECT_EQ(d["date"], koyomi::FormatDateTime("yyyy-mm-dd", day));
            EXPECT_EQ(d["daysSinceBirth"], DaysSinceBirth(m.Birthday, day));
            for (int k = 0; k < kAxisCount; ++k) {
                const json& a = d["axes"][k];
                const AxisVerdict& v = e.verdict.axes[k];
                EXPECT_EQ(a["axis"], kAxisKeys[k]);
                EXPECT_EQ(a["bioPercent"], e.reading.BioPercent[k]);
                EXPECT_EQ(a["bioPhase"], e.reading.BioPhase[k]);
                EXPECT_EQ(a["starTotal"], e.reading.StarTotal[k]);
                for (int b = 0; b < kBodyCount; ++b)
                    EXPECT_EQ(a["starScores"][b], e.reading.StarScore[k][b]) << "body " << b;
                EXPECT_EQ(a["face"], FaceGlyph(v.face));
                EXPECT_EQ(a["faceSymbol"], FaceSymbol(v.face));
                EXPECT_EQ(a["faceColour"], v.colour);
                EXPECT_EQ(a["ratingId"], RatingId(v.rating));
                EXPECT_EQ(a["rating"], RatingText(v.rating));
                EXPECT_EQ(a["pickedBody"], v.pickedBody);
            }
            EXPECT_EQ(d["advice"]["id"], e.verdict.adviceId);
            EXPECT_EQ(d["advice"]["text"], e.verdict.adviceId ? LoadStr(e.verdict.adviceId) : "");
        }
    }

    const testsupport::TScratchFolder FScratch{"mirvo-today-"};
    const fs::path FDir = FScratch.Path();
    const testsupport::TLoadedDataFile FDataFile;
    TMemberList FMembers;
    EvalSettings FSettings;
};

} // namespace

TEST_F(MirvoTodayProgram, JsonHoldsWhatTheEvaluationComputes)
{
    ExpectSameAsTheCore(Json({"--member", "0", "--date", "2024-05-01"}), 0, EncodeDate(2024, 5, 1), 1);
    // A birthday with a late birth time, and a leap day.
    ExpectSameAsTheCore(Json({"--member", "Taro", "--date", "2024-02-29"}), 1, EncodeDate(2024, 2, 29), 1);
    // Days before the birth day: negative phases.
    ExpectSameAsTheCore(Json({"--member", "2", "--date", "2030-06-01", "--days", "20"}), 2, EncodeDate(2030, 6, 1),
                        20);
    // Forty days across a change of year.
    ExpectSameAsTheCore(Json({"--member", "3", "--date", "1999-12-10", "--days", "40"}), 3, EncodeDate(1999, 12, 10),
                        40);
}

TEST_F(MirvoTodayProgram, MemberByNameTakesTheFirstOfThatName)
{
    EXPECT_EQ(Json({"--member", "Hana", "--date", "2024-05-01"})["member"]["index"], 0);
    EXPECT_EQ(Json({"--member", "未来", "--date", "2024-05-01"})["member"]["index"], 2);
}

TEST_F(MirvoTodayProgram, DefaultMemberFollowsTheSettingsAsTheMainWindowDoes)
{
    ExpectSameAsTheCore(Json({"--date", "2024-05-01"}), 1, EncodeDate(2024, 5, 1), 1);
    TMirvoOptions options(SettingsFile(), FDir);
    options.LoadFromIni();
    options.DefaultUserIndex = 7;  // outside the list of four
    options.SaveToIni();
    EXPECT_EQ(Json({"--date", "2024-05-01"})["member"]["index"], 0);
}

TEST_F(MirvoTodayProgram, EmptyListSaysWhereToAddOneself)
{
    const fs::path none = FDir / "none.csv";
    std::ofstream(none).close();  // a member file without members
    const std::string program = testsupport::ShellQuoted(kProgram.string());
    const auto files = [&](const fs::path& members) {
        return " --members " + testsupport::ShellQuoted(members.string()) + " --settings "
               + testsupport::ShellQuoted(SettingsFile().string()) + " --date 2024-05-01";
    };
    // The reading of the nameless member on the standard output ...
    const TProgramRun reading = testsupport::RunCommand(program + files(none) + " --json");
    EXPECT_EQ(reading.exitCode, 0);
    EXPECT_EQ(json::parse(reading.out)["member"]["name"], "");
    // ... and beside it, on the standard error, where to add oneself.
    const std::string note = testsupport::RunCommand("(" + program + files(none) + " 2>&1 >/dev/null)").out;
    EXPECT_NE(note.find("メンバーが登録されていません."), std::string::npos) << note;
    EXPECT_NE(note.find("「設定(O)」"), std::string::npos) << note;
    // With members, nothing of the kind.
    EXPECT_EQ(testsupport::RunCommand("(" + program + files(MemberFile()) + " 2>&1 >/dev/null)").out, "");
}

TEST(MirvoTodayMember, StartMemberIsTheMainWindowsChoice)
{
    TMemberList members;
    const koyomi::TDateTime now = EncodeDate(2024, 5, 1) + EncodeTime(9, 30, 0);
    const TodayMember anonymous = StartMember(members, 3, now);
    EXPECT_EQ(anonymous.index, kAnonymousMember);
    EXPECT_EQ(anonymous.item.Name, "");
    EXPECT_EQ(anonymous.item.Sex, kSexNone);
    EXPECT_EQ(anonymous.item.Birthday, EncodeDate(2024, 5, 1) + EncodeTime(12, 0, 0));
    EXPECT_FALSE(anonymous.item.TimeKnown);

    members.AddMember("A", kSexMale, EncodeDate(1990, 1, 1), false, "");
    members.AddMember("B", kSexFemale, EncodeDate(1991, 1, 1), false, "");
    members.AddMember("C", kSexNone, EncodeDate(1992, 1, 1), false, "");
    for (const int index : {5, 3, -1, -7})
        EXPECT_EQ(StartMember(members, index, now).index, 0) << index;
    EXPECT_EQ(StartMember(members, 2, now).index, 2);
    EXPECT_EQ(StartMember(members, 2, now).item.Name, "C");
}

TEST(MirvoTodayMember, UnknownMembersAreRefusedWithTheirName)
{
    TMemberList members;
    members.AddMember("12", kSexMale, EncodeDate(1990, 1, 1), false, "");
    members.AddMember("Ann", kSexFemale, EncodeDate(1991, 1, 1), false, "");
    EXPECT_EQ(FindMember(members, "1").item.Name, "Ann");
    for (const std::string key : {"2", "-1", "ann", "Bob", ""}) {
        try {
            FindMember(members, key);
            ADD_FAILURE() << key;
        } catch (const koyomi::EMirvoError& e) {
            EXPECT_EQ(std::string(e.what()), "メンバー '" + key + "' はメンバーリストにいません.");
        }
    }
    // A digit string is always an index, never a name.
    EXPECT_THROW(FindMember(members, "12"), koyomi::EMirvoError);
}

TEST_F(MirvoTodayProgram, PairJsonHoldsTheCompatibilityAndTheDayGoodForBoth)
{
    const TMemberListItem& taro = FMembers.Items(1);
    const TMemberListItem& hana = FMembers.Items(3);
    const TPairCompatibility want = PairCompatibility(taro.Birthday, hana.Birthday, FSettings);
    const json forth = Json({"--pair", "Taro", "3", "--date", "2024-05-01"});
    const json back = Json({"--pair=3", "1"});
    EXPECT_EQ(forth["members"][0]["name"], "Taro");
    EXPECT_EQ(forth["members"][1]["index"], 3);
    EXPECT_EQ(back["members"][0]["index"], 3);
    EXPECT_FALSE(forth.contains("days"));
    for (const json* j : {&forth, &back}) {
        const json& p = (*j)["pair"];
        ASSERT_EQ(p["axes"].size(), 3u);
        for (int k = 0; k < kAxisCount; ++k) {
            EXPECT_EQ(p["axes"][k]["axis"], kAxisKeys[k]);
            EXPECT_EQ(p["axes"][k]["bioCompatibility"], want.axes[k].bioCompatibility);
            EXPECT_EQ(p["axes"][k]["starScore"], want.axes[k].starScore);
            EXPECT_EQ(p["axes"][k]["rating"], LoadStr(kPairRatingBase + want.axes[k].level));
        }
        EXPECT_EQ(p["bioCompatibility"], want.bioCompatibility);
        EXPECT_EQ(p["starScore"], want.starScore);
        EXPECT_EQ(p["sentence"], LoadStr(want.sentenceId));
    }
    for (int b = 0; b < kBodyCount; ++b)
        EXPECT_EQ(back["pair"]["axes"][0]["starScoresFirstToSecond"][b], want.axes[0].secondToFirst[b]);

    // The next day good for both, as the core finds it; none after the calendar's last day.
    const auto good = NextGoodDayForBoth(TMemberDays(taro.Birthday, FSettings), TMemberDays(hana.Birthday, FSettings),
                                         EncodeDate(2024, 5, 1));
    const json next = Json({"--pair", "1", "3", "--next-good", "--date", "2024-05-01"});
    ASSERT_EQ(next["days"].size(), good ? 1u : 0u);
    if (good) {
        EXPECT_EQ(next["days"][0]["date"], koyomi::FormatDateTime("yyyy-mm-dd", good->date));
        EXPECT_EQ(next["days"][0]["readings"][1]["axes"][2]["starTotal"], good->second.reading.StarTotal[2]);
    }
    EXPECT_TRUE(Json({"--pair", "1", "3", "--next-good", "--date", "9999-12-31"})["days"].empty());
}

TEST(MirvoTodayArgs, OptionsAndTheirValues)
{
    const TodayArgs a = ParseTodayArgs({"--date", "2024-05-01", "--member=Hana Ko", "--members", "m.csv",
                                        "--settings=s.ini", "--days", "7", "--json"});
    EXPECT_EQ(a.date, "2024-05-01");
    EXPECT_EQ(a.member, "Hana Ko");
    EXPECT_EQ(a.membersFile, fs::path("m.csv"));
    EXPECT_EQ(a.settingsFile, fs::path("s.ini"));
    EXPECT_EQ(a.days, 7);
    EXPECT_TRUE(a.json);
    EXPECT_FALSE(a.help);
    EXPECT_TRUE(ParseTodayArgs({"--help"}).help);
    EXPECT_EQ(ParseTodayArgs({"--days", "1000"}).days, 1000);
}

TEST(MirvoTodayArgs, BadCommandLinesAreRefused)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--colour"}, "不明なオプションです: --colour"},
        {{"today"}, "不明なオプションです: today"},
        {{"--json=yes"}, "不明なオプションです: --json=yes"},
        {{"--date"}, "オプション --date には値が必要です."},
        {{"--json", "--member"}, "オプション --member には値が必要です."},
        {{"--days", "0"}, "'0' は日数ではありません (1 から 1000 までの整数)."},
        {{"--days", "1001"}, "'1001' は日数ではありません (1 から 1000 までの整数)."},
        {{"--days=+5"}, "'+5' は日数ではありません (1 から 1000 までの整数)."},
        {{"--days", "7 "}, "'7 ' は日数ではありません (1 から 1000 までの整数)."},
        {{"--pair", "Hana"}, "--pair には二人のメンバー (名前か番号) が要ります."},
        {{"--pair=Hana"}, "--pair には二人のメンバー (名前か番号) が要ります."},
        {{"--pair", "0", "1", "--member", "2"}, "--pair と --member は一緒に使えません."},
        {{"--pair", "0", "1", "--month"}, "--pair と --month は一緒に使えません."},
        {{"--all", "--pair", "0", "1"}, "--pair と --all は一緒に使えません."},
    };
    for (const auto& [args, message] : cases) {
        try {
            ParseTodayArgs(args);
            ADD_FAILURE() << args.front();
        } catch (const koyomi::EMirvoError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(MirvoTodayArgs, DatesAreReadStrictly)
{
    EXPECT_EQ(ParseIsoDate("2024-02-29"), EncodeDate(2024, 2, 29));
    EXPECT_EQ(ParseIsoDate("0001-01-01"), EncodeDate(1, 1, 1));
    EXPECT_EQ(ParseIsoDate("9999-12-31"), EncodeDate(9999, 12, 31));
    for (const std::string bad : {"2023-02-29", "2024-13-01", "2024-00-10", "0000-01-01", "2024-5-1", "24-05-01",
                                  "2024/05/01", "2024-05-01x", " 2024-05-01", "", "２０２４-05-01", "+024-05-01"}) {
        try {
            ParseIsoDate(bad);
            ADD_FAILURE() << bad;
        } catch (const koyomi::EMirvoError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + bad + "' は日付ではありません (YYYY-MM-DD の形で 0001-01-01 から 9999-12-31 まで).");
        }
    }
}

TEST(MirvoTodayReport, TableStopsAtTheCalendarsEnd)
{
    TodayMember member;
    member.item.Birthday = EncodeDate(2000, 1, 1);
    const EvalSettings settings;
    EXPECT_THROW(MakeReport(member, settings, EncodeDate(9999, 12, 30), 3), koyomi::EMirvoError);
    const TodayReport report = MakeReport(member, settings, EncodeDate(9999, 12, 30) + 0.75, 2);
    ASSERT_EQ(report.days.size(), 2u);
    EXPECT_EQ(report.days[1].date, EncodeDate(9999, 12, 31));  // whole days, the time of day dropped
}

TEST(MirvoTodayText, WidthsInTerminalColumns)
{
    EXPECT_EQ(DisplayWidth("健康"), 4);
    EXPECT_EQ(DisplayWidth("-27%"), 4);
    EXPECT_EQ(DisplayWidth("859点"), 5);
    EXPECT_EQ(DisplayWidth("💣"), 2);
    EXPECT_EQ(DisplayWidth("☺"), 1);
    EXPECT_EQ(DisplayWidth("\x1b[91m健康\x1b[0m"), 4);
    EXPECT_EQ(DisplayWidth("ｱ"), 1);  // half-width kana
    EXPECT_EQ(DisplayWidth("\xff"), 1);  // a stray byte still takes a column
    EXPECT_EQ(PadLeft("点", 4), "  点");
    EXPECT_EQ(PadRight("\x1b[96m知性\x1b[0m", 6), "\x1b[96m知性\x1b[0m  ");
    EXPECT_EQ(Coloured("x", 0x000000FF, true), "\x1b[91mx\x1b[0m");
    EXPECT_EQ(Coloured("x", 0x00FFFFFF, true), "x");
    EXPECT_EQ(Coloured("x", 0x00123456, true), "\x1b[38;2;86;52;18mx\x1b[0m");
    EXPECT_EQ(Coloured("x", 0x000000FF, false), "x");
}

TEST(MirvoTodayText, NamesFromFilesAreShownNotObeyed)
{
    // The title sequence (OSC 0), a screen clear and a bell in a name.
    EXPECT_EQ(HarmlessText("\x1b]0;owned\x07\x1b[2J名前"), "^[]0;owned^G^[[2J名前");
    EXPECT_EQ(HarmlessText("a\r\nb\tc\x7f"), "a^M^Jb^Ic^?");
    EXPECT_EQ(HarmlessText("\xC2\x9B" "31m"), "\xEF\xBF\xBD" "31m");   // C1 CSI
    EXPECT_EQ(HarmlessText("\xE2\x80\xAE" "evil"), "\xEF\xBF\xBD" "evil");   // right-to-left override
    EXPECT_EQ(HarmlessText("\xFF" "x"), "\xEF\xBF\xBD" "x");
    EXPECT_EQ(HarmlessText("山田 花子 ～①"), "山田 花子 ～①");
    TMemberListItem member;
    member.Name = "\x1b[2Jx";
    const std::string title = ReportTitle(member);
    EXPECT_EQ(title.find('\x1b'), std::string::npos);
    EXPECT_NE(title.find("[^[[2Jx]"), std::string::npos);
}

// Every road by which outside text reaches what the program shows (option
// values, file names, member-file fields, names in a reading) with every
// kind of character that would act instead of show: on the standard error
// and the standard output each arrives shown, never raw, and never starts
// a line of its own; in JSON each is escaped and reads back as it was.
TEST_F(MirvoTodayProgram, OutsideTextArrivesShownOnEveryRoad)
{
    struct TKind {
        const char* name;
        std::string raw;
    };
    const std::vector<TKind> kinds = {
        {"LF", "\n"}, {"CR", "\r"}, {"TAB", "\t"}, {"ESC", "\x1b[2J"}, {"DEL", "\x7f"},
        {"C1 CSI", "\xC2\x9B"}, {"C1 NEL", "\xC2\x85"}, {"U+2028", "\xE2\x80\xA8"}, {"U+2029", "\xE2\x80\xA9"},
        {"LRM", "\xE2\x80\x8E"}, {"RLM", "\xE2\x80\x8F"}, {"RLO", "\xE2\x80\xAE"}, {"LRI", "\xE2\x81\xA6"},
        {"PDI", "\xE2\x81\xA9"}, {"ZWSP", "\xE2\x80\x8B"}, {"ZWJ", "\xE2\x80\x8D"}, {"BOM", "\xEF\xBB\xBF"},
        {"broken", "\xFF"},
    };
    const std::string fake = "FAKE: エラーはありません";
    // No byte or character of any kind above, but the program's own line breaks.
    const auto expectShown = [&](const std::string& text, const std::string& what) {
        for (const TKind& k : kinds) {
            if (k.raw == "\n")
                continue;
            EXPECT_EQ(text.find(k.raw), std::string::npos) << what << ": raw " << k.name << " in\n" << text;
        }
        EXPECT_EQ(text.find("\n" + fake), std::string::npos) << what << ": a line of the caller's in\n" << text;
        EXPECT_TRUE(text.empty() || text.compare(0, fake.size(), fake) != 0) << what;
    };
    const std::string common = " --members " + testsupport::ShellQuoted(MemberFile().string()) + " --settings "
                               + testsupport::ShellQuoted(SettingsFile().string());
    const auto errorOf = [&](const std::string& args) {
        return testsupport::RunCommand("{ " + testsupport::ShellQuoted(kProgram.string()) + " " + args
                                       + " 2>&1 >/dev/null; }");
    };
    int read = 0;
    for (const TKind& k : kinds) {
        SCOPED_TRACE(k.name);
        const std::string forged = "a" + k.raw + fake;
        // Option values, each refused with a message that quotes it.
        for (const char* option : {"--member", "--date", "--days", "--month"}) {
            const TProgramRun run = errorOf(std::string(option) + " " + testsupport::ShellQuoted(forged) + common);
            EXPECT_NE(run.out.find("FAKE"), std::string::npos) << option << ": the value is not quoted: " << run.out;
            expectShown(run.out, option);
        }
        // File names: a member file and a settings file that are not there.
        for (const char* option : {"--members", "--settings"}) {
            const TProgramRun run =
                errorOf(std::string(option) + " " + testsupport::ShellQuoted((FDir / forged).string()));
            EXPECT_NE(run.out.find("FAKE"), std::string::npos) << option << ": " << run.out;
            expectShown(run.out, option);
        }
        // Member-file fields: a date that is no date (a warning), a name (the reading and JSON).
        const fs::path file = FDir / "outside.csv";
        // UTF-8 with its byte-order mark: read as nothing else.
        testsupport::WriteFile(file, "\xEF\xBB\xBF\"N" + k.raw + "x\",1,1980/01/01,12:00:00,0,\"m" + k.raw + "\"\r\n\"B\",1,19"
                                         + k.raw + "80/01/01,12:00:00,0,\"\"\r\n");
        const std::string members = " --members " + testsupport::ShellQuoted(file.string()) + " --settings "
                                    + testsupport::ShellQuoted(SettingsFile().string());
        const TProgramRun warned = errorOf("--member 0" + members);
        expectShown(warned.out, "member file warning");
        const TProgramRun shown = testsupport::RunCommand(testsupport::ShellQuoted(kProgram.string()) + " --member 0"
                                                          + members + " 2>/dev/null");
        expectShown(shown.out, "reading");
        // Only what Shift-JIS can hold is a member's name (the others are refused with a warning, above).
        if (shown.exitCode == 0)
            ++read;
        // Any name the program may meet, in the JSON: escaped, and read back as it was.
        if (k.raw != "\xFF") {
            TodayMember member;
            member.index = 0;
            member.item.Name = "N" + k.raw + "x";
            member.item.Memo = "m" + k.raw;
            member.item.Birthday = EncodeDate(1980, 1, 1);
            const std::string text = ReportJson(MakeReport(member, FSettings, EncodeDate(2026, 5, 5), 1));
            for (const char* raw : {"\x7f", "\xC2\x9B", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9", "\x1b", "\r", "\t"})
                EXPECT_EQ(text.find(raw), std::string::npos) << "raw in JSON: " << text;
            const json j = json::parse(text);
            EXPECT_EQ(j["member"]["name"], member.item.Name);
            EXPECT_EQ(j["member"]["memo"], member.item.Memo);
        }
    }
    // The controls Shift-JIS holds (TAB, ESC, DEL) were read as the member they name.
    EXPECT_EQ(read, 3);
    // The one filter itself: what it shows, and that it shows it once.
    EXPECT_EQ(HarmlessText("a\nb\tc\x7f\x1b["), "a^Jb^Ic^?^[[");
    EXPECT_EQ(HarmlessText("\xE2\x80\xA8\xE2\x81\xA9\xEF\xBB\xBF\xC2\x9F" "ok"),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "ok");
    EXPECT_EQ(HarmlessText("\xC2\xA0\xE2\x81\xAA" "山田"), "\xC2\xA0\xE2\x81\xAA" "山田");   // just past the ranges
    const std::string once = HarmlessText("x\n\xE2\x80\xAE\xC0\xAFy");
    EXPECT_EQ(HarmlessText(once), once);
    EXPECT_EQ(koyomi::FillMessage("%s は %s", {"a\nb", "\xE2\x80\x8F"}), "a^Jb は \xEF\xBF\xBD");
}

TEST(MirvoTodayText, BrailleDotsFollowTheChartsLines)
{
    BioChart chart;
    chart.width = 3;
    chart.height = 4;
    chart.axes = {ChartLine{{0, 3}, {3, 3}}, ChartLine{{0, 3}, {3, 3}}};
    chart.curves[0] = {{0, 0}, {3, 3}};  // a diagonal through both cells
    const auto plain = DrawBrailleChart(chart, false);
    ASSERT_EQ(plain.size(), 1u);
    // Cell 0: dots (0,0), (1,1) and the bottom row (0,3), (1,3); cell 1: (2,2), (3,3) and (2,3).
    EXPECT_EQ(plain[0], "\u28d1\u28c4");
    const auto coloured = DrawBrailleChart(chart, true);
    EXPECT_EQ(coloured[0], "\x1b[91m\u28d1\x1b[0m\x1b[91m\u28c4\x1b[0m");
}

TEST(MirvoTodayText, ChartOfTheBirthDayCrossesTheAxesAtTheMiddle)
{
    // D = 0: every curve passes through the middle of the chart (value 0 at sample 15).
    const auto lines = DrawBrailleChart(Cycles{23, 28, 33}, 0.0, false);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kBrailleChartHeight / 4));
    for (const auto& line : lines)
        EXPECT_LE(DisplayWidth(line), kBrailleChartColumns);
    const BioChart chart = MakeBioChart(kBrailleChartWidth, kBrailleChartHeight, Cycles{23, 28, 33}, 0.0);
    for (const auto& curve : chart.curves)
        EXPECT_EQ(curve[kChartDaysEachSide], (ChartPoint{kBrailleChartWidth / 2, kBrailleChartHeight / 2}));
}

TEST(MirvoTodayText, ReadingShowsTheFiguresOfTheEvaluation)
{
    TodayMember member;
    member.index = 0;
    member.item.Name = "Hana";
    member.item.Birthday = EncodeDate(2024, 4, 24);
    TodayReport report;
    report.member = member;
    TodayDay day;
    day.date = EncodeDate(2024, 5, 1);
    day.evaluation.daysSinceBirth = 7;
    day.evaluation.reading.BioPercent = {94, -100, 5};
    day.evaluation.reading.BioPhase = {110, 270, 76};
    day.evaluation.reading.StarTotal = {150, 80, -12};
    day.evaluation.verdict = MakeVerdict(day.evaluation.reading, report.settings.planetUse);
    day.evaluation.verdict.adviceId = kAdviceVeryGoodBase;
    report.days.push_back(day);
    const std::string text = ReadingText(report, false);
    EXPECT_NE(text.find("今日のミルボ [Hana]\n2024/05/01  2024/04/24 生まれ  7 日目\n"), std::string::npos) << text;
    EXPECT_NE(text.find("健康  ☹    94%   150点  "), std::string::npos) << text;
    EXPECT_NE(text.find("感情  💣 -100%    80点  "), std::string::npos) << text;
    EXPECT_NE(text.find("知性  💣    5%   -12点  "), std::string::npos) << text;
    EXPECT_NE(text.find("\n絶好調です.がんがん行きましょう.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("04/16        05/01        05/16"), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    EXPECT_NE(ReadingText(report, true).find("\x1b[93m"), std::string::npos);  // yellow face for 5%
}
