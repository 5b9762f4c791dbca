// Display names of the member's sex codes.
#pragma once

#include <string>

namespace mirvo {

// The long name of a sex code: 0 "なし", 1 "男性", 2 "女性" (the string
// table's); the empty text for a code outside 0-2. Shown by the detail window.
const std::string& SexName(int sex);

} // namespace mirvo
