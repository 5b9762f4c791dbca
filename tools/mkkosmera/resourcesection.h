// Builds the .rsrc section of a PE file: the three-level resource directory
// (type, name, language), its data entries, the name strings and the data.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace kosmera {

// A resource type or name: a number, or an ASCII name (stored upper-case, as
// the resource compiler does). Names sort before numbers, each in ascending
// order, which is the order Windows expects in a directory.
class TResourceKey {
public:
    TResourceKey(std::uint16_t number) : FKey(number) {}  // NOLINT: reads like a resource number
    TResourceKey(const std::string& name);                 // NOLINT: throws EMirvoError for a non-ASCII or empty name
    TResourceKey(const char* name) : TResourceKey(std::string(name)) {}

    // "123" or "#123" is a number, anything else a name.
    static TResourceKey Parse(const std::string& text);

    bool IsNumber() const { return std::holds_alternative<std::uint16_t>(FKey); }
    std::uint16_t Number() const { return std::get<std::uint16_t>(FKey); }
    const std::string& Name() const { return std::get<std::string>(FKey); }

    bool operator<(const TResourceKey& other) const;

private:
    std::variant<std::string, std::uint16_t> FKey;
};

constexpr std::uint16_t kLangJapanese = 0x0411;

class TResourceSection {
public:
    // Adds a resource; throws EMirvoError when (type, name, language) is there already.
    void Add(const TResourceKey& type, const TResourceKey& name, std::uint16_t language,
             std::vector<std::uint8_t> data);

    // Adds the string-table blocks for `strings` (number -> UTF-16 text):
    // block number / 16 + 1 holds strings 16 (b - 1) .. 16 (b - 1) + 15,
    // each a 16-bit length and that many UTF-16 units; absent ones have length 0.
    void AddStrings(const std::map<unsigned, std::u16string>& strings, std::uint16_t language);

    bool Empty() const { return FTree.empty(); }

    // The section's bytes for a section loaded at `sectionRva` (data entries
    // hold RVAs). The size is a multiple of 4.
    std::vector<std::uint8_t> Build(std::uint32_t sectionRva) const;

private:
    using TLanguages = std::map<std::uint16_t, std::vector<std::uint8_t>>;
    using TNames = std::map<TResourceKey, TLanguages>;

    // Offsets inside the section, in the order of the tree's walk.
    struct TPlan {
        std::vector<std::size_t> nameDirs;      // per type: its directory of names
        std::vector<std::size_t> languageDirs;  // per (type, name): its directory of languages
        std::vector<std::size_t> typeNames;     // per type: its name string (if it has one)
        std::vector<std::size_t> resourceNames; // per (type, name): its name string
        std::vector<std::size_t> dataEntries;   // per resource
        std::vector<std::size_t> data;          // per resource
        std::size_t size = 0;
    };
    TPlan Plan() const;

    std::map<TResourceKey, TNames> FTree;
};

} // namespace kosmera
