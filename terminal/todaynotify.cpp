#include "terminal/todaynotify.h"

#include "base/error.h"
#include "base/stringtable.h"
#include "notify/desktopid.h"
#include "terminal/todaytext.h"
#include "version/appinfo.h"

#include <algorithm>

namespace mirvo {

namespace {

constexpr const char* kActionsCapability = "actions";
constexpr const char* kMarkupCapability = "body-markup";
constexpr int kMillisecondsPerSecond = 1000;

bool Has(const std::vector<std::string>& capabilities, const char* name)
{
    return std::find(capabilities.begin(), capabilities.end(), name) != capabilities.end();
}

} // namespace

DesktopNotification ReadingNotification(const TodayReport& report, bool withAction, bool markup, int expireSeconds)
{
    DesktopNotification n;
    n.appName = AppFileDescription();
    n.appIcon = kIconName;
    n.desktopEntry = kDesktopEntryId;
    n.summary = ReportTitle(report.member.item);
    if (!report.days.empty()) {
        const Evaluation& e = report.days.front().evaluation;
        std::string body;
        for (int k = 0; k < kAxisCount; ++k) {
            body += AxisName(k) + " " + FaceSymbol(e.verdict.axes[k].face) + " "
                    + std::to_string(e.reading.BioPercent[k]) + "% " + RatingText(e.verdict.axes[k].rating) + "\n";
        }
        if (e.verdict.adviceId != 0)
            body += LoadStr(e.verdict.adviceId);
        else if (!body.empty())
            body.pop_back();
        n.body = markup ? EscapeMarkup(body) : body;
    }
    if (withAction)
        n.defaultAction = LoadStr(kTextOpenAction);
    n.expireMs = expireSeconds * kMillisecondsPerSecond;
    return n;
}

std::vector<std::string> WindowCommand(const std::filesystem::path& windowProgram, std::optional<int> memberIndex)
{
    std::vector<std::string> command{windowProgram.string()};
    if (memberIndex) {
        command.emplace_back("--member");
        command.push_back(std::to_string(*memberIndex));
    }
    return command;
}

void NotifyReading(TSessionNotifier& notifier, const TodayReport& report, int expireSeconds,
                   const std::vector<std::string>& windowCommand)
{
    const std::vector<std::string> capabilities = notifier.Capabilities();
    const bool withAction = Has(capabilities, kActionsCapability);
    const std::uint32_t id =
        notifier.Notify(ReadingNotification(report, withAction, Has(capabilities, kMarkupCapability), expireSeconds));
    if (!withAction)
        return;
    const auto limit = std::chrono::milliseconds(static_cast<long long>(expireSeconds) * kMillisecondsPerSecond);
    if (notifier.WaitForEnd(id, limit) == NotificationEnd::neDefaultAction)
        StartDetached(windowCommand);
}

} // namespace mirvo
