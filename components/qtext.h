// The program's texts are UTF-8 std::strings (the string table, the core's
// readings); Qt wants QString. Q() is the one conversion the windows use.
#pragma once

#include "base/utf8.h"

#include <QDir>
#include <QString>

#include <filesystem>
#include <string>

namespace mirvo {

inline QString Q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// A path that Qt gives (a file dialog's answer, the program's folder) as the
// system names it: in UTF-16 on Windows, whatever the ANSI code page, and
// with the system's separators ("\" on Windows), as messages then show it.
inline std::filesystem::path PathFromQ(const QString& path)
{
    return koyomi::PathFromUtf8(QDir::toNativeSeparators(path).toStdString());
}

} // namespace mirvo
