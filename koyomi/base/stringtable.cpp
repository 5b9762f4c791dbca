#include "koyomi/base/stringtable.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
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

// One entry of the table as it lies in the embedded text, not yet unescaped.
struct TEntry {
    int id;
    std::string_view raw;
};

// Lines "number<TAB>name<TAB>text" (the name is the code's, the build takes it
// from here); '#' lines and blank lines are skipped. Only the numbers are read
// here: a text is unescaped when it is first asked for, so a run that shows a
// few texts does not pay for all of them. Sorted by number; of two lines with
// one number the later one counts.
std::vector<TEntry> IndexTable()
{
    std::vector<TEntry> index;
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
        int id = 0;
        std::from_chars(line.data(), line.data() + tab, id);
        index.push_back({id, line.substr(textTab + 1)});
    }
    std::stable_sort(index.begin(), index.end(), [](const TEntry& a, const TEntry& b) { return a.id < b.id; });
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
