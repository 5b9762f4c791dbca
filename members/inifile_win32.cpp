// INI files on Windows: in the ANSI code page of a Japanese Windows (932)
// with CR LF line ends, as Windows' own profile functions write them.
#include "members/inifile.h"

#include "base/sjis.h"

namespace mirvo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

std::string IniFileBytes(TIniDocument& document)
{
    document.SetLineEnd("\r\n");
    std::string text = document.Text();
    if (document.HasByteOrderMark())
        return text;
    if (std::optional<std::string> ansi = koyomi::Utf8ToCp932(text))
        return std::move(*ansi);
    // A folder name in a script code page 932 lacks: UTF-8, marked as such,
    // rather than a name that reads back as another.
    return std::string(kByteOrderMark) + text;
}

} // namespace mirvo
