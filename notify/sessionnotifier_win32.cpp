// Windows has no session bus: every notification is refused as unavailable,
// so that mirvo-today --notify ends with its message and exit code instead of
// showing nothing.
#include "notify/sessionnotifier.h"

#include "base/stringtable.h"

namespace mirvo {

namespace {

constexpr const char* kNoBusHere = "Windows";

} // namespace

struct TSessionNotifier::Watch {};

void TSessionNotifier::BusRelease::operator()(sd_bus*) const {}

TSessionNotifier::TSessionNotifier()
{
    throw ENotificationUnavailable(koyomi::FormatMessage(LoadStr(kMsgNoSessionBus), kNoBusHere));
}

TSessionNotifier::~TSessionNotifier() = default;

std::vector<std::string> TSessionNotifier::Capabilities()
{
    return {};
}

std::uint32_t TSessionNotifier::Notify(const DesktopNotification&)
{
    throw ENotificationUnavailable(koyomi::FormatMessage(LoadStr(kMsgNoSessionBus), kNoBusHere));
}

NotificationEnd TSessionNotifier::WaitForEnd(std::uint32_t, std::chrono::milliseconds)
{
    return NotificationEnd::neDisconnected;
}

} // namespace mirvo
