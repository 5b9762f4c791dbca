// mirvo-today --notify: the day's reading as a desktop notification whose
// default action opens the window program on the same member.
#pragma once

#include "base/messages.h"
#include "notify/sessionnotifier.h"
#include "start/todayreport.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mirvo {

constexpr int kDefaultExpireSeconds = 60;   // how long the notification stays, and the longest wait
constexpr int kMaxExpireSeconds = 3600;

// The notification of the report's first day: the main window's title as
// summary; as body one line per axis (name, face symbol, percent, rating
// word) and the advice sentence; the program's name, icon name and desktop
// entry; the default action "開く" when `withAction`. `markup`: the server
// reads the body as markup, so its text is escaped.
DesktopNotification ReadingNotification(const TodayReport& report, bool withAction, bool markup, int expireSeconds);

// The command that opens the window program `windowProgram` on the member
// at `memberIndex` of its member list; without an index, on its default member.
std::vector<std::string> WindowCommand(const std::filesystem::path& windowProgram, std::optional<int> memberIndex);

// Starts `command` in a session of its own, so that it outlives this
// program; throws EMirvoError (kMsgWindowNotStarted) when it cannot be started.
void StartDetached(const std::vector<std::string>& command);

// Shows the notification of `report` through `notifier`: with the default
// action when the server offers actions, then waits for it, at most
// `expireSeconds`; the action starts `windowCommand`. Throws
// ENotificationUnavailable without a bus or service, EMirvoError otherwise.
void NotifyReading(TSessionNotifier& notifier, const TodayReport& report, int expireSeconds,
                   const std::vector<std::string>& windowCommand);

} // namespace mirvo
