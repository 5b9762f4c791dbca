// The window program's place on the desktop: its desktop entry.
#pragma once

#include <QString>

namespace mirvo {

// The id that the desktop entry (<id>.desktop), the AppStream metainfo
// (<id>.metainfo.xml) and the icon (<id>.png, <id>.svg) share; the build
// takes it from MIRVO_APP_ID (CMakeLists.txt).
QString DesktopEntryId();

// Tells the windowing system, through Qt, which desktop entry the program's
// windows belong to, so that docks and task bars group them with the entry
// and show its icon and name. Called before the first window is made.
void UseDesktopEntry();

} // namespace mirvo
