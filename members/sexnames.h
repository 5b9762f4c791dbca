// Display names of the member's sex codes.
#pragma once

#include <array>
#include <string>

namespace mirvo {

// 0 "なし", 1 "男性", 2 "女性"; shown by the detail window.
extern const std::array<std::string, 3> SexNames;

// The long name of a sex code, or the empty text for a code outside 0-2.
const std::string& SexName(int sex);

} // namespace mirvo
