#include "components/windowsystem.h"

#include <QGuiApplication>

namespace mirvo {

// The Windows desktop always composites and animates minimizing itself;
// the offscreen platform of the tests does not.
bool WindowSystemAnimatesMinimize()
{
    return QGuiApplication::platformName() == QLatin1String("windows");
}

bool UsesSystemFileDialogs()
{
    return QGuiApplication::platformName() == QLatin1String("windows");
}

} // namespace mirvo
