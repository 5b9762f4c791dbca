#include "notify/sessionnotifier.h"

#include "base/stringtable.h"
#include "base/systemerror.h"

#include <systemd/sd-bus.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace mirvo {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kObject = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr const char* kDefaultActionKey = "default";
constexpr const char* kDesktopEntryHint = "desktop-entry";

// libsystemd is opened when a notification is first wanted, not when the
// program starts: only --notify needs it, and loading it and what it pulls in
// (gcrypt, zstd, lzma, lz4, ...) is most of a small program's start.
#define MIRVO_SD_BUS_FUNCTIONS(X)                                                                              \
    X(sd_bus_error_has_name) X(sd_bus_error_is_set) X(sd_bus_error_free) X(sd_bus_message_unref)                 \
    X(sd_bus_slot_unref) X(sd_bus_message_read) X(sd_bus_flush_close_unref) X(sd_bus_open_user)                 \
    X(sd_bus_call_method) X(sd_bus_message_read_strv) X(sd_bus_match_signal) X(sd_bus_message_new_method_call)   \
    X(sd_bus_message_append) X(sd_bus_call) X(sd_bus_process) X(sd_bus_wait)

struct TSdBus {
#define MIRVO_SD_BUS_POINTER(name) decltype(&::name) name = nullptr;
    MIRVO_SD_BUS_FUNCTIONS(MIRVO_SD_BUS_POINTER)
#undef MIRVO_SD_BUS_POINTER
};

constexpr const char* kLibSystemd = "libsystemd.so.0";

// The library's functions, or nullptr with the reason in `why`.
const TSdBus* OpenSdBus(std::string& why)
{
    static TSdBus lib;
    static bool loaded = false;
    static std::string failure;
    if (!loaded && failure.empty()) {
        void* handle = dlopen(kLibSystemd, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* e = dlerror();
            failure = e ? e : kLibSystemd;
        } else {
#define MIRVO_SD_BUS_LOOKUP(name)                                                                            \
    if (failure.empty()) {                                                                                   \
        lib.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                                \
        if (!lib.name)                                                                                       \
            failure = std::string(kLibSystemd) + ": " + #name;                                               \
    }
            MIRVO_SD_BUS_FUNCTIONS(MIRVO_SD_BUS_LOOKUP)
#undef MIRVO_SD_BUS_LOOKUP
            loaded = failure.empty();
            // The handle stays open for the rest of the run.
        }
    }
    why = failure;
    return loaded ? &lib : nullptr;
}

// Only reached once TSessionNotifier's constructor has opened the library.
const TSdBus& Sd()
{
    std::string why;
    return *OpenSdBus(why);
}

// Errors by which the bus says that nobody owns the name and nothing can be started for it.
bool MeansNoService(const sd_bus_error& error)
{
    return Sd().sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN)
           || Sd().sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER)
           || Sd().sd_bus_error_has_name(&error, "org.freedesktop.DBus.Error.Spawn.ServiceNotFound");
}

// The program's message for a failed call: an error reply of the bus or the
// server has a name; a call that failed without one lost the bus itself.
[[noreturn]] void ThrowCallFailure(const sd_bus_error& error, int result)
{
    if (MeansNoService(error))
        throw ENotificationUnavailable(LoadStr(kMsgNoNotificationService));
    if (!Sd().sd_bus_error_is_set(&error))
        throw ENotificationUnavailable(koyomi::FormatMessage(LoadStr(kMsgNoSessionBus),
                                                                 SystemErrorText(-result)));
    const std::string detail = error.message ? error.message : error.name;
    throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgNotificationFailed), detail));
}

struct ErrorGuard {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~ErrorGuard() { Sd().sd_bus_error_free(&error); }
};

struct MessageGuard {
    sd_bus_message* message = nullptr;
    ~MessageGuard() { Sd().sd_bus_message_unref(message); }
};

void Check(int result, const char* what)
{
    if (result < 0)
        throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgNotificationFailed),
                                                        std::string(what) + ": " + SystemErrorText(-result)));
}

} // namespace

// What the server said about the notifications shown so far.
struct TSessionNotifier::Watch {
    struct Event {
        std::uint32_t id;
        NotificationEnd end;
    };
    std::vector<Event> events;
    sd_bus_slot* actionSlot = nullptr;
    sd_bus_slot* closedSlot = nullptr;

    ~Watch()
    {
        // No slot was made when the library could not be opened.
        if (actionSlot)
            Sd().sd_bus_slot_unref(actionSlot);
        if (closedSlot)
            Sd().sd_bus_slot_unref(closedSlot);
    }

    static int OnActionInvoked(sd_bus_message* m, void* userdata, sd_bus_error*)
    {
        std::uint32_t id = 0;
        const char* key = nullptr;
        if (Sd().sd_bus_message_read(m, "us", &id, &key) >= 0 && key && std::strcmp(key, kDefaultActionKey) == 0)
            static_cast<Watch*>(userdata)->events.push_back({id, NotificationEnd::neDefaultAction});
        return 0;
    }

    static int OnClosed(sd_bus_message* m, void* userdata, sd_bus_error*)
    {
        std::uint32_t id = 0;
        std::uint32_t reason = 0;
        if (Sd().sd_bus_message_read(m, "uu", &id, &reason) >= 0)
            static_cast<Watch*>(userdata)->events.push_back({id, NotificationEnd::neClosed});
        return 0;
    }

    const Event* Find(std::uint32_t id) const
    {
        for (const Event& e : events) {
            if (e.id == id)
                return &e;
        }
        return nullptr;
    }
};

void TSessionNotifier::BusRelease::operator()(sd_bus* bus) const
{
    Sd().sd_bus_flush_close_unref(bus);
}

TSessionNotifier::TSessionNotifier() : FWatch(std::make_unique<Watch>())
{
    // Without libsystemd there is no way to the session bus: the same as no bus.
    std::string why;
    if (!OpenSdBus(why))
        throw ENotificationUnavailable(koyomi::FormatMessage(LoadStr(kMsgNoSessionBus), why));
    sd_bus* bus = nullptr;
    const int r = Sd().sd_bus_open_user(&bus);
    if (r < 0)
        throw ENotificationUnavailable(koyomi::FormatMessage(LoadStr(kMsgNoSessionBus), SystemErrorText(-r)));
    FBus.reset(bus);
}

TSessionNotifier::~TSessionNotifier()
{
    // The slots refer to the bus: they go first.
    FWatch.reset();
}

std::vector<std::string> TSessionNotifier::Capabilities()
{
    ErrorGuard error;
    MessageGuard reply;
    const int r = Sd().sd_bus_call_method(FBus.get(), kService, kObject, kInterface, "GetCapabilities", &error.error,
                                     &reply.message, "");
    if (r < 0)
        ThrowCallFailure(error.error, r);
    char** list = nullptr;
    Check(Sd().sd_bus_message_read_strv(reply.message, &list), "GetCapabilities");
    std::vector<std::string> capabilities;
    for (char** p = list; p && *p; ++p) {
        capabilities.emplace_back(*p);
        free(*p);  // NOLINT: sd-bus hands out malloc'ed strings
    }
    free(list);  // NOLINT
    return capabilities;
}

std::uint32_t TSessionNotifier::Notify(const DesktopNotification& n)
{
    // Listen before showing it: the answer may come at once.
    if (!FWatch->actionSlot) {
        Check(Sd().sd_bus_match_signal(FBus.get(), &FWatch->actionSlot, nullptr, kObject, kInterface, "ActionInvoked",
                                  &Watch::OnActionInvoked, FWatch.get()),
              "ActionInvoked");
        Check(Sd().sd_bus_match_signal(FBus.get(), &FWatch->closedSlot, nullptr, kObject, kInterface, "NotificationClosed",
                                  &Watch::OnClosed, FWatch.get()),
              "NotificationClosed");
    }
    MessageGuard call;
    Check(Sd().sd_bus_message_new_method_call(FBus.get(), &call.message, kService, kObject, kInterface, "Notify"), "Notify");
    const std::uint32_t replacesId = 0;
    Check(Sd().sd_bus_message_append(call.message, "susss", n.appName.c_str(), replacesId, n.appIcon.c_str(),
                                n.summary.c_str(), n.body.c_str()),
          "Notify");
    if (n.defaultAction.empty())
        Check(Sd().sd_bus_message_append(call.message, "as", 0), "Notify");
    else
        Check(Sd().sd_bus_message_append(call.message, "as", 2, kDefaultActionKey, n.defaultAction.c_str()), "Notify");
    if (n.desktopEntry.empty())
        Check(Sd().sd_bus_message_append(call.message, "a{sv}", 0), "Notify");
    else
        Check(Sd().sd_bus_message_append(call.message, "a{sv}", 1, kDesktopEntryHint, "s", n.desktopEntry.c_str()),
              "Notify");
    Check(Sd().sd_bus_message_append(call.message, "i", n.expireMs), "Notify");

    ErrorGuard error;
    MessageGuard reply;
    const int r = Sd().sd_bus_call(FBus.get(), call.message, 0, &error.error, &reply.message);
    if (r < 0)
        ThrowCallFailure(error.error, r);
    std::uint32_t id = 0;
    Check(Sd().sd_bus_message_read(reply.message, "u", &id), "Notify");
    return id;
}

NotificationEnd TSessionNotifier::WaitForEnd(std::uint32_t id, std::chrono::milliseconds limit)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        if (const Watch::Event* e = FWatch->Find(id))
            return e->end;
        const int processed = Sd().sd_bus_process(FBus.get(), nullptr);
        if (processed < 0)
            return NotificationEnd::neDisconnected;
        if (processed > 0)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return NotificationEnd::neTimedOut;
        if (Sd().sd_bus_wait(FBus.get(), static_cast<std::uint64_t>(left.count())) < 0)
            return NotificationEnd::neDisconnected;
    }
}

} // namespace mirvo
