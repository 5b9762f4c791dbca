// The program's texts are UTF-8 std::strings (the string table, the core's
// readings); Qt wants QString. Q() is the one conversion the windows use.
#pragma once

#include <QString>

#include <string>

namespace mirvo {

inline QString Q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace mirvo
