// mirvo-today --notify and --all: what the notification carries, the window
// program's command line, and the options that go with them.
#include "base/error.h"
#include "base/stringtable.h"
#include "koyomi/datafile.h"
#include "terminal/todayargs.h"
#include "terminal/todaynotify.h"

#include "datafile.h"

#include <gtest/gtest.h>

using namespace mirvo;
using koyomi::EncodeDate;

namespace {

class ReadingNotificationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;
    }
    static TodayReport ReportFor(const std::string& name, koyomi::TDateTime birthday, koyomi::TDateTime day)
    {
        TodayMember member;
        member.index = name.empty() ? kAnonymousMember : 0;
        member.item.Name = name;
        member.item.Birthday = birthday;
        return MakeReport(member, EvalSettings{}, day, 1);
    }

    const testsupport::TLoadedDataFile FDataFile;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

TodayArgs Parse(std::vector<std::string> args)
{
    return ParseTodayArgs(args);
}

std::string Refusal(std::vector<std::string> args)
{
    try {
        ParseTodayArgs(args);
    } catch (const koyomi::EMirvoError& e) {
        return e.what();
    }
    return "(accepted)";
}

} // namespace

TEST_F(ReadingNotificationTest, CarriesTheTitleTheAxesAndTheAdvice)
{
    const TodayReport report = ReportFor("山田花子", EncodeDate(1985, 6, 15), EncodeDate(2024, 5, 1));
    const DesktopNotification n = ReadingNotification(report, true, false, 60);
    EXPECT_EQ(n.summary, "今日のミルボ [山田花子]");
    EXPECT_EQ(n.appName, "今日のミルボ");
    EXPECT_EQ(n.appIcon, "io.github.todaymirvo.TodayMirvo");
    EXPECT_EQ(n.desktopEntry, "io.github.todaymirvo.TodayMirvo");
    EXPECT_EQ(n.defaultAction, "開く");
    EXPECT_EQ(n.expireMs, 60000);
    const Evaluation& e = report.days[0].evaluation;
    const auto lines = Lines(n.body);
    ASSERT_EQ(lines.size(), e.verdict.adviceId ? 4u : 3u);
    for (int k = 0; k < kAxisCount; ++k) {
        EXPECT_EQ(lines[k], LoadStr(kTextAxisNames + k) + " " + FaceSymbol(e.verdict.axes[k].face) + " "
                                + std::to_string(e.reading.BioPercent[k]) + "% " + RatingText(e.verdict.axes[k].rating));
    }
    if (e.verdict.adviceId) {
        EXPECT_EQ(lines[3], LoadStr(e.verdict.adviceId));
    }
}

TEST_F(ReadingNotificationTest, AnonymousMemberNoActionAndMarkup)
{
    const TodayReport report = ReportFor("", EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 1));
    const DesktopNotification plain = ReadingNotification(report, false, false, 5);
    EXPECT_EQ(plain.summary, "今日のミルボ");
    EXPECT_EQ(plain.defaultAction, "");
    EXPECT_EQ(plain.expireMs, 5000);
    // The summary is never markup; the body is escaped only for a server that reads markup.
    const TodayReport odd = ReportFor("<b>A&B</b>", EncodeDate(1990, 1, 1), EncodeDate(2024, 5, 1));
    EXPECT_EQ(ReadingNotification(odd, false, true, 5).summary, "今日のミルボ [<b>A&B</b>]");
    EXPECT_EQ(EscapeMarkup("a<b>&c"), "a&lt;b&gt;&amp;c");
    EXPECT_EQ(ReadingNotification(odd, false, true, 5).body, EscapeMarkup(ReadingNotification(odd, false, false, 5).body));
}

TEST(TodayNotifyWindow, OpensTheSameMemberByIndex)
{
    EXPECT_EQ(WindowCommand("/opt/m/TodayMirvo", 2), (std::vector<std::string>{"/opt/m/TodayMirvo", "--member", "2"}));
    EXPECT_EQ(WindowCommand("/opt/m/TodayMirvo", std::nullopt), (std::vector<std::string>{"/opt/m/TodayMirvo"}));
    try {
        StartDetached({"/nonexistent/TodayMirvo"});
        FAIL() << "a missing program was started";
    } catch (const koyomi::EMirvoError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("/nonexistent/TodayMirvo を起動できません.", 0), 0u) << e.what();
    }
}

TEST(TodayNotifyArgs, NotifyAllAndExpire)
{
    const TodayArgs n = Parse({"--notify", "--expire", "90", "--member", "1"});
    EXPECT_TRUE(n.notify);
    EXPECT_EQ(n.expireSeconds, 90);
    EXPECT_FALSE(n.all);
    EXPECT_EQ(Parse({"--notify", "--expire=3600"}).expireSeconds, 3600);
    EXPECT_TRUE(Parse({"--all", "--json", "--date", "2024-05-01"}).all);
    EXPECT_TRUE(Parse({"--help", "--all", "--member", "1"}).help);  // the help alone counts

    EXPECT_EQ(Refusal({"--notify", "--expire", "0"}), "'0' は秒数ではありません (1 から 3600 までの整数).");
    EXPECT_EQ(Refusal({"--notify", "--expire", "3601"}), "'3601' は秒数ではありません (1 から 3600 までの整数).");
    EXPECT_EQ(Refusal({"--notify", "--expire", "+5"}), "'+5' は秒数ではありません (1 から 3600 までの整数).");
    EXPECT_EQ(Refusal({"--expire", "5"}), "--expire は --notify と一緒に使います.");
    EXPECT_EQ(Refusal({"--all", "--member", "0"}), "--all と --member は一緒に使えません.");
    EXPECT_EQ(Refusal({"--days", "2", "--all"}), "--all と --days は一緒に使えません.");
    EXPECT_EQ(Refusal({"--all", "--notify"}), "--all と --notify は一緒に使えません.");
    EXPECT_EQ(Refusal({"--notify", "--json"}), "--notify と --json は一緒に使えません.");
    EXPECT_EQ(Refusal({"--notify", "--days", "3"}), "--notify と --days は一緒に使えません.");
    EXPECT_EQ(Refusal({"--notify=1"}), "不明なオプションです: --notify=1");
    EXPECT_EQ(Refusal({"--all", "--month"}), "--all と --month は一緒に使えません.");
    EXPECT_EQ(Refusal({"--next-good", "--all"}), "--all と --next-good は一緒に使えません.");
    EXPECT_EQ(Refusal({"--notify", "--ics", "-"}), "--notify と --ics は一緒に使えません.");
    EXPECT_EQ(Refusal({"--notify", "--month", "2024-05"}), "--notify と --month は一緒に使えません.");
}
