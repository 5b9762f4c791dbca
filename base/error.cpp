#include "base/error.h"

#include "base/harmlesstext.h"

namespace koyomi {

std::string FillMessage(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    constexpr std::string_view kPlaceholder = "%s";
    std::string out;
    std::size_t from = 0;
    for (const std::string_view argument : arguments) {
        const std::size_t at = pattern.find(kPlaceholder, from);
        if (at == std::string_view::npos)
            break;
        out.append(pattern, from, at - from);
        out += mirvo::HarmlessText(argument);
        from = at + kPlaceholder.size();
    }
    out.append(pattern, from, std::string_view::npos);
    return out;
}

} // namespace koyomi
