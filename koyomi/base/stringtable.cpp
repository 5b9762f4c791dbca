#include "koyomi/base/stringtable.h"

#include <cstddef>
#include <cstdlib>
#include <map>
#include <string_view>

extern const unsigned char mirvo_strings_txt[];
extern const std::size_t mirvo_strings_txt_size;

namespace mirvo {

namespace {

std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Lines "number<TAB>name<TAB>text" (the name is the code's, the build takes it
// from here); '#' lines and blank lines are skipped.
std::map<int, std::string> ParseTable()
{
    std::map<int, std::string> table;
    const std::string_view all(reinterpret_cast<const char*>(mirvo_strings_txt), mirvo_strings_txt_size);
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find('\n', pos);
        if (end == std::string_view::npos)
            end = all.size();
        std::string_view line = all.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t tab = line.find('\t');
        const std::size_t textTab = tab == std::string_view::npos ? tab : line.find('\t', tab + 1);
        if (textTab == std::string_view::npos)
            continue;
        const int id = std::atoi(std::string(line.substr(0, tab)).c_str());
        table[id] = Unescape(line.substr(textTab + 1));
    }
    return table;
}

} // namespace

std::string FormatStr(int id, std::initializer_list<std::string_view> arguments)
{
    return koyomi::FillMessage(LoadStr(id), arguments);
}

const std::string& LoadStr(int id)
{
    static const std::map<int, std::string> table = ParseTable();
    static const std::string empty;
    const auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

} // namespace mirvo
