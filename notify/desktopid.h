// How the desktop knows the program: the id of its desktop entry, which is
// also the name of its icon in the icon theme. The build takes it from
// MIRVO_APP_ID (CMakeLists.txt), as it does for the installed entry and icons.
#pragma once

namespace mirvo {

inline constexpr const char* kDesktopEntryId = MIRVO_APP_ID;
inline constexpr const char* kIconName = MIRVO_APP_ID;

} // namespace mirvo
