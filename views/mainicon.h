// The program's icon, MAINICON: drawn in resources/icon/todaymirvo.svg and
// rendered by the build to PNG at the sizes window systems ask for.
#pragma once

#include <QIcon>

namespace mirvo {

// Square sizes, in pixels, at which the icon is carried.
inline constexpr int kMainIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon with every size; the same object on every call.
const QIcon& MainIcon();

// The icon at the sizes of title bars, task bars and task switchers, up to
// 128 pixels; the same object on every call. Every window carries this one:
// reading the 256-pixel picture costs more than all the others together, and
// only the about box shows it.
const QIcon& WindowIcon();

} // namespace mirvo
