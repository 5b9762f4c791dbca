// Desktop notifications through the freedesktop Notifications service on the
// user's session bus (org.freedesktop.Notifications, /org/freedesktop/Notifications),
// spoken with sd-bus. No Qt.
#pragma once

#include "base/error.h"
#include "base/messages.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sd_bus;

namespace mirvo {

// There is no session bus, or no notification service on it.
class ENotificationUnavailable : public koyomi::EMirvoError {
public:
    using koyomi::EMirvoError::EMirvoError;
};

struct DesktopNotification {
    std::string appName;        // the program's name as the server shows it
    std::string appIcon;        // an icon name of the icon theme
    std::string summary;        // one line, plain text
    std::string body;           // lines of text; markup only if the server reads it ("body-markup")
    std::string desktopEntry;   // the hint "desktop-entry": the id of the program's desktop entry
    std::string defaultAction;  // label of the default action ("default"); empty: no action
    std::int32_t expireMs = -1;  // how long it stays, milliseconds; -1 the server's choice
};

// How the wait for a shown notification ended.
enum class NotificationEnd {
    neDefaultAction,  // the user chose the default action
    neClosed,         // the server closed it (expired, dismissed, or closed by a call)
    neTimedOut,       // the waiting time ran out first
    neDisconnected,   // the bus went away
};

class TSessionNotifier final {
public:
    // Connects to the session bus ($DBUS_SESSION_BUS_ADDRESS, else the
    // user's bus in $XDG_RUNTIME_DIR); throws ENotificationUnavailable when
    // there is none.
    TSessionNotifier();
    ~TSessionNotifier();
    TSessionNotifier(const TSessionNotifier&) = delete;
    TSessionNotifier& operator=(const TSessionNotifier&) = delete;

    // The server's capabilities (GetCapabilities), e.g. "actions",
    // "body-markup". Throws ENotificationUnavailable when no notification
    // service answers (none runs and none can be started), EMirvoError for
    // any other failure.
    std::vector<std::string> Capabilities();

    // Shows a notification and returns its id; from now on its action and
    // its closing are seen by WaitForEnd. Throws as Capabilities does.
    std::uint32_t Notify(const DesktopNotification& notification);

    // Waits until notification `id` has its default action chosen or is
    // closed, at most `limit`.
    NotificationEnd WaitForEnd(std::uint32_t id, std::chrono::milliseconds limit);

private:
    struct BusRelease {
        void operator()(sd_bus* bus) const;
    };
    std::unique_ptr<sd_bus, BusRelease> FBus;
    struct Watch;
    std::unique_ptr<Watch> FWatch;  // the signals of the notifications shown
};

// Markup servers read "&", "<" and ">" as markup: these as entities.
std::string EscapeMarkup(const std::string& text);

} // namespace mirvo
