// The program's own string table: every user-visible text by its number.
#pragma once

#include "base/error.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace mirvo {

// The UTF-8 text of entry `id`; the empty text for a number the table lacks.
const std::string& LoadStr(int id);

// The text of entry `id` filled with `arguments` (koyomi::FillMessage).
std::string FormatStr(int id, std::initializer_list<std::string_view> arguments);

// The error whose message is entry `id` filled with `arguments`; it carries the number.
inline koyomi::EMirvoError MessageError(int id, std::initializer_list<std::string_view> arguments = {})
{
    return koyomi::EMirvoError(id, FormatStr(id, arguments));
}

} // namespace mirvo
