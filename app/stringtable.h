// The program's own string table: every user-visible text by its number.
#pragma once

#include <string>

namespace mirvo {

// The UTF-8 text of entry `id`; the empty text for a number the table lacks.
const std::string& LoadStr(int id);

} // namespace mirvo
