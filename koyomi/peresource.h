// Reader of the resource section of a Windows PE file (PE32 and PE32+): finds
// a resource by type and name, and a string of the string table by number.
//
// The file may be damaged or hostile. Every offset and size taken from it is
// checked against the file before use, so a look-up either finds what it asks
// for or fails; it never reads outside the file. A look-up descends the
// directory tree exactly three levels (type, name, language), so a tree whose
// offsets point back at itself cannot make it loop. Files larger than
// kMaxFileSize are refused before anything is allocated for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace koyomi {

// Numbered resource types of Windows.
constexpr std::uint16_t kRtString = 6;    // string-table blocks of sixteen strings
constexpr std::uint16_t kRtRcData = 10;   // raw data
constexpr std::uint16_t kRtVersion = 16;  // VS_VERSIONINFO

// A resource type or name: a number (1-65535) or an ASCII name. Names are
// compared without regard to ASCII case, as Windows does. A name written
// "#123" stands for the number 123.
class ResourceId {
public:
    ResourceId(std::uint16_t number) : FNumber(number) {}  // NOLINT: implicit like MAKEINTRESOURCE
    ResourceId(std::string_view name);                     // NOLINT: implicit like a resource name
    ResourceId(const char* name) : ResourceId(std::string_view(name)) {}

    bool IsNumber() const { return FIsNumber; }
    std::uint16_t Number() const { return FNumber; }
    const std::string& Name() const { return FName; }

private:
    bool FIsNumber = true;
    std::uint16_t FNumber = 0;
    std::string FName;
};

// A resource module as the data file's loader sees it: its resources by type
// and name, and its string table. TPeResources reads the file itself, on
// every system; on Windows the loader hands out the system's own module
// (koyomi/win32module.h).
class TResourceModule {
public:
    virtual ~TResourceModule() = default;

    // The bytes of resource (type, name); nullopt when it is missing. The
    // span stays valid as long as the module lives.
    virtual std::optional<std::span<const std::uint8_t>> Find(const ResourceId& type,
                                                              const ResourceId& name) const = 0;

    // String `number` of the string table as LoadStringA leaves it in a
    // 255-byte buffer on a system whose ANSI code page is 932: code page 932
    // bytes, characters the code page lacks as '?', at most 254 bytes and no
    // two-byte character cut in half. Empty when the string is missing.
    virtual std::string LoadStringBytes(unsigned number) const = 0;

protected:
    TResourceModule() = default;
    TResourceModule(const TResourceModule&) = default;
    TResourceModule& operator=(const TResourceModule&) = default;
};

// What LoadStringA makes of UTF-16 text with a 255-byte buffer, as above.
// The text ends at its first NUL.
std::string ToLoadStringBytes(std::u16string_view text);

class TPeResources final : public TResourceModule {
public:
    static constexpr std::size_t kMaxFileSize = 64u << 20;  // bytes; a data file is a few kilobytes

    // Reads and checks a PE file. nullopt when it cannot be read, is larger
    // than kMaxFileSize or has no valid PE headers. A PE file without
    // resources is valid; its look-ups find nothing.
    static std::optional<TPeResources> FromFile(const std::string& path);
    static std::optional<TPeResources> FromBytes(std::vector<std::uint8_t> bytes);

    // The bytes of resource (type, name) in the first language listed for it;
    // nullopt when it is missing or any part of its way lies outside the file.
    // The span stays valid as long as this object lives.
    std::optional<std::span<const std::uint8_t>> Find(const ResourceId& type,
                                                      const ResourceId& name) const override;

    // FindString as LoadStringA would give it (see TResourceModule).
    std::string LoadStringBytes(unsigned number) const override;

    // String `number` of the string table (block number / 16 + 1, entry
    // number % 16) as UTF-16 code units; nullopt when absent or empty.
    std::optional<std::u16string> FindString(unsigned number) const;

    bool Is64Bit() const { return FIs64Bit; }
    bool IsDll() const { return FIsDll; }

private:
    struct TSection {
        std::uint32_t virtualAddress;
        std::uint32_t rawSize;     // bytes present in the file, clamped to the file
        std::uint32_t rawOffset;
    };
    struct TPlace {
        std::size_t offset;        // file offset
        std::size_t available;     // bytes from there to the end of the section's file data
    };

    explicit TPeResources(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}
    bool ParseHeaders();
    std::optional<TPlace> MapRva(std::uint32_t rva) const;
    std::optional<std::uint32_t> FindEntry(std::uint32_t directory, const ResourceId* id,
                                           bool wantDirectory) const;
    bool NameMatches(std::uint32_t nameField, const ResourceId& id) const;
    std::span<const std::uint8_t> Resources() const;

    std::vector<std::uint8_t> FBytes;
    std::vector<TSection> FSections;
    // The resource directory: file offset and bytes to the end of its section
    // (offsets, not a view, so that copies of this object stay sound).
    std::size_t FResourceOffset = 0;
    std::size_t FResourceLength = 0;
    bool FIs64Bit = false;
    bool FIsDll = false;
};

} // namespace koyomi
