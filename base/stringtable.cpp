#include "base/stringtable.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <string_view>
#include <vector>

extern const unsigned char mirvo_strings_txt[];
extern const std::size_t mirvo_strings_txt_size;

namespace mirvo {

namespace {

std::string Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t slash = text.find('\\', i);
        if (slash == std::string_view::npos || slash + 1 >= text.size()) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, slash - i));
        const char c = text[slash + 1];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        i = slash + 2;
    }
    return out;
}

// One entry of the table as it lies in the embedded text, not yet unescaped.
struct TEntry {
    int id;
    std::string_view raw;
};

// Lines "number<TAB>name<TAB>text" (the name is the code's, the build takes it
// from here); '#' lines and blank lines are skipped. Only the numbers are read
// here: a text is unescaped when it is first asked for, so a run that shows a
// few texts does not pay for all of them. The build refuses a table whose
// numbers do not ascend (cmake/StringNumbers.cmake), so the index is in order.
std::vector<TEntry> IndexTable()
{
    const char* const begin = reinterpret_cast<const char*>(mirvo_strings_txt);
    const char* const end = begin + mirvo_strings_txt_size;
    const auto next = [end](const char* from, char c) {
        const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
        return found ? static_cast<const char*>(found) : end;
    };
    std::vector<TEntry> index;
    index.reserve(mirvo_strings_txt_size / 40);  // more than enough: a line holds some 60 bytes
    for (const char* line = begin; line < end;) {
        const char* lineEnd = next(line, '\n');
        const char* textEnd = lineEnd > line && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
        if (line < textEnd && *line != '#') {
            const char* tab = next(line, '\t');
            const char* textTab = tab < textEnd ? next(tab + 1, '\t') : end;
            if (textTab < textEnd) {
                int id = 0;
                for (const char* digit = line; digit < tab && *digit >= '0' && *digit <= '9'; ++digit)
                    id = id * 10 + (*digit - '0');
                index.push_back({id, std::string_view(textTab + 1, static_cast<std::size_t>(textEnd - textTab - 1))});
            }
        }
        line = lineEnd + 1;
    }
    return index;
}

} // namespace

std::string FormatStr(int id, std::initializer_list<std::string_view> arguments)
{
    return koyomi::FillMessage(LoadStr(id), arguments);
}

const std::string& LoadStr(int id)
{
    static const std::vector<TEntry> index = IndexTable();
    static std::mutex guard;
    static std::map<int, std::string> loaded;  // the texts asked for so far; nodes never move
    static const std::string empty;
    const std::lock_guard<std::mutex> lock(guard);
    if (const auto it = loaded.find(id); it != loaded.end())
        return it->second;
    const auto past = std::upper_bound(index.begin(), index.end(), id,
                                       [](int key, const TEntry& e) { return key < e.id; });
    if (past == index.begin() || std::prev(past)->id != id)
        return empty;
    return loaded.emplace(id, Unescape(std::prev(past)->raw)).first->second;
}

} // namespace mirvo
