// String-table numbers of the program's messages: start-up, the settings
// window and mirvo-today (resources/strings.txt holds the texts).
#pragma once

namespace mirvo {

// ---- Start-up, shared by the window program and mirvo-today ----
constexpr int kMsgLibraryInitFailed = 40000;  // 暦ライブラリの初期化に失敗しました.
constexpr int kMsgDataFileMissing = 40002;    // 暦ライブラリ Kosmera.dat が見つかりません.
constexpr int kMsgInitCaption = 40003;        // 初期化エラー: the caption of start-up's warning box
constexpr int kMsgFileMissing = 41606;        // ファイル %s が見つかりません.
constexpr int kMsgFileUnreadable = 41607;     // ファイル %s は開けません

// ---- Settings window ----
constexpr int kMsgErrorCaption = 40004;       // エラー
constexpr int kMsgNameRequired = 40005;       // 氏名は必ず入力してください.
constexpr int kMsgNameRequiredOnOK = 40006;   // 氏名が入力されていないと登録できません..
constexpr int kMsgUnsavableName = 40200;      // 氏名: %s
constexpr int kMsgUnsavableMemo = 40201;      // メモ: %s
constexpr int kTextSexMarks = 43023;          // + sex code 0-2: 無, 男, 女 (the member list's column)
constexpr int kTextTimeKnownMark = 43026;     // 確
constexpr int kTextTimeUnknownMark = 43027;   // 不
constexpr int kTextMemberFileFilter = 43028;  // the member-file dialogs' filters
constexpr int kTextMemberCaption = 43029;     // %sさんの情報

// ---- Main window ----
constexpr int kTextMenuToday = 43010;     // 今日(&T)
constexpr int kTextMenuPreDay = 43011;    // 前日(&B)
constexpr int kTextMenuNextDay = 43012;   // 翌日(&N)
constexpr int kTextMenuOption = 43013;    // 設定(&O)
constexpr int kTextMenuInfo = 43014;      // 詳細(&I)
constexpr int kTextMenuHelp = 43015;      // ヘルプ(&H)
constexpr int kTextMenuContents = 43016;  // 目次(&I)
constexpr int kTextMenuAbout = 43017;     // バージョン情報(&A)
constexpr int kTextMenuClose = 43018;     // 終了(&X)

// ---- Detail window (and mirvo-today's sign line) ----
constexpr int kTextUserCaption = 43000;     // 個人情報: the group's caption for a member without a name
constexpr int kTextMembersCaption = 43001;  // %sさんの個人情報
constexpr int kTextDaysLived = 43002;       // 生存日数 %s日
constexpr int kTextGuardianPlanet = 43003;  // 守護星:%s

// ---- mirvo-today ----
constexpr int kMsgTodayUsage = 41600;
constexpr int kMsgUnknownOption = 41601;
constexpr int kMsgOptionNeedsValue = 41602;
constexpr int kMsgNotADate = 41603;
constexpr int kMsgNotADayCount = 41604;
constexpr int kMsgUnknownMember = 41605;
constexpr int kMsgPastLastDay = 41608;
constexpr int kMsgSeeHelp = 41609;
constexpr int kTextAxisNames = 41610;  // 41610 + axis: 健康, 感情, 知性
constexpr int kTextPoints = 41613;     // 点
constexpr int kTextBorn = 41614;       // 生まれ
constexpr int kTextDayCount = 41615;   // 日目
constexpr int kTextDate = 41616;       // 日付
constexpr int kTextNoName = 41617;     // (名前なし)
constexpr int kMsgNoGoodDay = 43616;        // %1 日先までに好調日はありません.
constexpr int kMsgOneCalendarMode = 43650;  // --month, --next-good and --ics together
constexpr int kMsgNotAMonth = 43651;        // '%s' は月ではありません ...
constexpr int kMsgCannotWrite = 43652;      // ファイル %s に書き込めません.
constexpr int kMsgMemberFileWarning = 43300;  // 警告: %s (the member file and its message)

} // namespace mirvo
