#include "tools/mkkosmera/resourcesection.h"

#include "base/error.h"
#include "koyomi/peresource.h"
#include "tools/mkkosmera/bytewriter.h"

#include <algorithm>
#include <type_traits>

namespace kosmera {

using koyomi::EMirvoError;

namespace {

constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kDataAlignment = 8;       // each resource's data starts on an 8-byte boundary
constexpr std::uint32_t kHighBit = 0x80000000u; // name is a string / entry leads to a subdirectory
constexpr std::size_t kNamedCountField = 12;
constexpr std::size_t kIdCountField = 14;
constexpr unsigned kStringsPerBlock = 16;
constexpr unsigned kMaxNumber = 0xFFFF;

std::size_t Align(std::size_t value, std::size_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

std::size_t DirectorySize(std::size_t entries)
{
    return kDirectoryHeaderSize + entries * kDirectoryEntrySize;
}

std::size_t NameSize(const TResourceKey& key)
{
    return key.IsNumber() ? 0 : sizeof(std::uint16_t) + key.Name().size() * sizeof(char16_t);
}

class TWriter : public TByteWriter {
public:
    using TByteWriter::TByteWriter;
    void Name(std::size_t at, const std::string& name)
    {
        U16(at, static_cast<std::uint16_t>(name.size()));
        for (std::size_t i = 0; i < name.size(); ++i)
            U16(at + 2 + 2 * i, static_cast<unsigned char>(name[i]));
    }
    template <class Map>
    void DirectoryHeader(std::size_t at, const Map& entries)
    {
        const auto named = std::count_if(entries.begin(), entries.end(), [](const auto& e) {
            if constexpr (std::is_same_v<std::decay_t<decltype(e.first)>, TResourceKey>)
                return !e.first.IsNumber();
            else
                return false;  // languages are always numbers
        });
        U16(at + kNamedCountField, static_cast<std::uint16_t>(named));
        U16(at + kIdCountField, static_cast<std::uint16_t>(entries.size() - named));
    }
    void Entry(std::size_t at, std::uint32_t name, std::uint32_t offset)
    {
        U32(at, name);
        U32(at + 4, offset);
    }
};

} // namespace

TResourceKey::TResourceKey(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNumber)
        throw EMirvoError("リソース名 '" + name + "' の長さが不正です");
    std::string upper;
    for (const char c : name) {
        if (c <= ' ' || c > '~')
            throw EMirvoError("リソース名 '" + name + "' に ASCII 以外の文字があります");
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    FKey = upper;
}

TResourceKey TResourceKey::Parse(const std::string& text)
{
    const std::string digits = text.starts_with('#') ? text.substr(1) : text;
    const bool numeric = !digits.empty() && digits.size() <= 5
                         && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (numeric) {
        const unsigned long value = std::stoul(digits);
        if (value == 0 || value > kMaxNumber)
            throw EMirvoError("リソース番号 " + text + " は 1 から 65535 の範囲にありません");
        return TResourceKey(static_cast<std::uint16_t>(value));
    }
    return TResourceKey(text);
}

bool TResourceKey::operator<(const TResourceKey& other) const
{
    return FKey < other.FKey;  // the string alternative comes first: names before numbers
}

void TResourceSection::Add(const TResourceKey& type, const TResourceKey& name, std::uint16_t language,
                           std::vector<std::uint8_t> data)
{
    auto& languages = FTree[type][name];
    if (languages.contains(language))
        throw EMirvoError("同じリソースが二度指定されています");
    languages.emplace(language, std::move(data));
}

void TResourceSection::AddStrings(const std::map<unsigned, std::u16string>& strings, std::uint16_t language)
{
    std::map<unsigned, std::vector<std::u16string>> blocks;
    for (const auto& [number, text] : strings) {
        const unsigned block = number / kStringsPerBlock + 1;
        if (block > kMaxNumber)
            throw EMirvoError("文字列番号 " + std::to_string(number) + " が大きすぎます");
        if (text.size() > kMaxNumber)
            throw EMirvoError("文字列 " + std::to_string(number) + " が長すぎます");
        auto& entries = blocks[block];
        entries.resize(kStringsPerBlock);
        entries[number % kStringsPerBlock] = text;
    }
    for (const auto& [block, entries] : blocks) {
        std::vector<std::uint8_t> data;
        for (const auto& text : entries) {
            data.push_back(static_cast<std::uint8_t>(text.size()));
            data.push_back(static_cast<std::uint8_t>(text.size() >> 8));
            for (const char16_t c : text) {
                data.push_back(static_cast<std::uint8_t>(c));
                data.push_back(static_cast<std::uint8_t>(c >> 8));
            }
        }
        Add(TResourceKey(koyomi::kRtString), TResourceKey(static_cast<std::uint16_t>(block)), language, std::move(data));
    }
}

TResourceSection::TPlan TResourceSection::Plan() const
{
    // The directories level by level, the data entries, the name strings, then the data.
    TPlan p;
    std::size_t at = DirectorySize(FTree.size());
    for (const auto& [type, names] : FTree) {
        p.nameDirs.push_back(at);
        at += DirectorySize(names.size());
    }
    for (const auto& [type, names] : FTree)
        for (const auto& [name, languages] : names) {
            p.languageDirs.push_back(at);
            at += DirectorySize(languages.size());
        }
    for (const auto& [type, names] : FTree)
        for (const auto& [name, languages] : names)
            for (std::size_t i = 0; i < languages.size(); ++i, at += kDataEntrySize)
                p.dataEntries.push_back(at);
    for (const auto& [type, names] : FTree) {
        p.typeNames.push_back(at);
        at += NameSize(type);
    }
    for (const auto& [type, names] : FTree)
        for (const auto& [name, languages] : names) {
            p.resourceNames.push_back(at);
            at += NameSize(name);
        }
    for (const auto& [type, names] : FTree)
        for (const auto& [name, languages] : names)
            for (const auto& [language, bytes] : languages) {
                at = Align(at, kDataAlignment);
                p.data.push_back(at);
                at += bytes.size();
            }
    p.size = Align(at, kDataAlignment);
    return p;
}

std::vector<std::uint8_t> TResourceSection::Build(std::uint32_t sectionRva) const
{
    const TPlan p = Plan();
    std::vector<std::uint8_t> section(p.size, 0);
    TWriter w(section);
    auto nameField = [](const TResourceKey& key, std::size_t nameAt) {
        return key.IsNumber() ? std::uint32_t{key.Number()} : static_cast<std::uint32_t>(kHighBit | nameAt);
    };
    auto subdirectory = [](std::size_t at) { return static_cast<std::uint32_t>(kHighBit | at); };

    w.DirectoryHeader(0, FTree);
    std::size_t t = 0, n = 0, leaf = 0;
    for (const auto& [type, names] : FTree) {
        w.Entry(DirectorySize(t), nameField(type, p.typeNames[t]), subdirectory(p.nameDirs[t]));
        if (!type.IsNumber())
            w.Name(p.typeNames[t], type.Name());
        w.DirectoryHeader(p.nameDirs[t], names);
        std::size_t i = 0;
        for (const auto& [name, languages] : names) {
            w.Entry(p.nameDirs[t] + DirectorySize(i++), nameField(name, p.resourceNames[n]),
                    subdirectory(p.languageDirs[n]));
            if (!name.IsNumber())
                w.Name(p.resourceNames[n], name.Name());
            w.DirectoryHeader(p.languageDirs[n], languages);
            std::size_t j = 0;
            for (const auto& [language, bytes] : languages) {
                w.Entry(p.languageDirs[n] + DirectorySize(j++), language, static_cast<std::uint32_t>(p.dataEntries[leaf]));
                w.U32(p.dataEntries[leaf], static_cast<std::uint32_t>(sectionRva + p.data[leaf]));
                w.U32(p.dataEntries[leaf] + 4, static_cast<std::uint32_t>(bytes.size()));
                std::copy(bytes.begin(), bytes.end(), section.begin() + static_cast<std::ptrdiff_t>(p.data[leaf]));
                ++leaf;
            }
            ++n;
        }
        ++t;
    }
    return section;
}

} // namespace kosmera
