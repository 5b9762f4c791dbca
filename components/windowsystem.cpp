#include "components/windowsystem.h"

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace mirvo {

namespace {

// Whether a compositing manager owns the selection of any screen.
bool X11CompositorRuns(xcb_connection_t* connection)
{
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        const xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(connection, 1, std::uint16_t(name.size()), name.constData());
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
        if (!atom || atom->atom == XCB_ATOM_NONE)
            continue; // nobody ever asked for the selection: no owner either
        const xcb_get_selection_owner_cookie_t ownerCookie = xcb_get_selection_owner(connection, atom->atom);
        const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(connection, ownerCookie, nullptr), &std::free);
        if (owner && owner->owner != XCB_WINDOW_NONE)
            return true;
    }
    return false;
}

} // namespace

bool WindowSystemAnimatesMinimize()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform == QLatin1String("xcb")) {
        const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 && x11->connection() && X11CompositorRuns(x11->connection());
    }
    return false;
}

bool UsesSystemFileDialogs()
{
    return false;
}

} // namespace mirvo
