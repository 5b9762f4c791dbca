// The program's description text, used as the application title and in window titles.
#pragma once

#include <string>

namespace mirvo {

std::string AppFileDescription();

} // namespace mirvo
