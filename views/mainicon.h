// The program's icon, MAINICON: drawn in resources/icon/todaymirvo.svg and
// rendered by the build to PNG at the sizes window systems ask for.
#pragma once

#include <QIcon>

namespace mirvo {

// Square sizes, in pixels, at which the icon is carried.
inline constexpr int kMainIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon with every size; the same object on every call.
const QIcon& MainIcon();

} // namespace mirvo
