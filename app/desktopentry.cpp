#include "app/desktopentry.h"

#include <QGuiApplication>

namespace mirvo {

QString DesktopEntryId()
{
    return QStringLiteral(MIRVO_APP_ID);
}

void UseDesktopEntry()
{
    // Qt wants the name without ".desktop"; on Wayland it becomes the
    // window's application id.
    QGuiApplication::setDesktopFileName(DesktopEntryId());
}

} // namespace mirvo
