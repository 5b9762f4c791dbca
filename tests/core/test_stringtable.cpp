// The string table: texts by number, and messages filled with their arguments.
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/systemerror.h"

#include <cerrno>

#include <gtest/gtest.h>

using namespace mirvo;

TEST(StringTable, ArgumentsFillThePlaceholdersInOrder)
{
    EXPECT_EQ(FormatStr(kMsgUnsavableMember, {"花子", "'①' はファイルに保存できない文字です"}),
              "花子 さんのデータはファイルに保存できません: '①' はファイルに保存できない文字です");
    // An argument's own "%s" is not filled again; a missing argument leaves its place.
    EXPECT_EQ(FormatStr(kMsgSourceLine, {"%s"}), "バージョン情報の %s 行目: %s");
    EXPECT_EQ(FormatStr(kMsgSourceLine, {"3", "x", "unused"}), "バージョン情報の 3 行目: x");
    EXPECT_EQ(FormatStr(kMsgFileMissing, {}), LoadStr(kMsgFileMissing));
    EXPECT_EQ(FormatStr(1, {"x"}), "");  // no such entry
    // Every message is filled by the same rule, the spoken texts and the core's too.
    EXPECT_EQ(koyomi::FillMessage("%s-%s", {"a", "b"}), "a-b");
    EXPECT_EQ(koyomi::FillMessage("%s-%s", {"a"}), "a-%s");
    EXPECT_EQ(koyomi::FillMessage("x", {"a"}), "x");
    EXPECT_EQ(koyomi::FillMessage("%s/%s", {"%s", "b"}), "%s/b");
    EXPECT_EQ(koyomi::FormatMessage("%s%s", "%s"), "%s%s");
}

// The system's error codes in the program's words, never the C library's English.
TEST(StringTable, SystemErrorsAreToldInJapaneseWithTheirCode)
{
    EXPECT_EQ(SystemErrorText(ENOENT), "ファイルかフォルダーがありません, ENOENT");
    EXPECT_EQ(SystemErrorText(ENOSPC), "ディスクに空きがありません, ENOSPC");
    EXPECT_EQ(SystemErrorText(ECONNREFUSED), "接続を拒否されました, ECONNREFUSED");
    EXPECT_EQ(SystemErrorText(9999), "システムのエラー, エラー番号 9999");
}

TEST(StringTable, MessageErrorsCarryTheirNumber)
{
    const koyomi::EMirvoError e = MessageError(kMsgFileUnreadable, {"/tmp/x"});
    EXPECT_EQ(e.MessageId(), kMsgFileUnreadable);
    EXPECT_STREQ(e.what(), "ファイル /tmp/x は開けません");
    EXPECT_EQ(koyomi::EMirvoError("plain").MessageId(), 0);
}

TEST(StringTable, TextsTheWindowsAndMirvoTodayShare)
{
    for (int id : {kTextMenuToday, kTextMenuClose, kTextUserCaption, kTextGuardianPlanet, kTextMemberFileFilter})
        EXPECT_FALSE(LoadStr(id).empty()) << id;
    EXPECT_EQ(LoadStr(kTextAxisNames + 2), "知性");
    EXPECT_EQ(FormatStr(kTextDaysLived, {"12"}), "生存日数 12日");
}
