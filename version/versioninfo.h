// The version-information block of a program file (Windows' VS_VERSIONINFO):
// writing one, and finding its values as VerQueryValue does. No Qt; the
// build tools use the writer, TVersion the reader.
//
// A block is a tree of nodes. Every node is, little-endian:
//   wLength       16 bits: bytes of the node with its children, without the
//                 padding that may follow its end
//   wValueLength  16 bits: size of the value, in UTF-16 units for a text value
//                 (its terminating zero counted), in bytes for a binary one
//   wType         16 bits: 1 text value, 0 binary value
//   szKey         UTF-16LE, zero-terminated
//   padding       zero bytes up to a 32-bit boundary
//   value
//   children      each starting on a 32-bit boundary
// Boundaries count from the start of the block. The root is keyed
// "VS_VERSION_INFO" and holds VS_FIXEDFILEINFO as its value; its children are
// "StringFileInfo", holding one string table per translation (keyed
// "041103A4": language then code page in hexadecimal) of text nodes, and
// "VarFileInfo" with "Translation", a binary list of (language, code page)
// pairs of 16 bits each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirvo {

// VS_FIXEDFILEINFO: thirteen 32-bit fields, 52 bytes.
struct TFixedFileInfo {
    static constexpr std::uint32_t kSignature = 0xFEEF04BD;
    static constexpr std::uint32_t kStrucVersion = 0x00010000;  // version 1.0 of the record
    static constexpr std::size_t kSize = 52;                    // bytes

    std::uint32_t fileVersionMS = 0;     // high parts of the file version: a << 16 | b of a.b.c.d
    std::uint32_t fileVersionLS = 0;     // low parts: c << 16 | d
    std::uint32_t productVersionMS = 0;  // the product version, packed the same way
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;     // which bits of fileFlags mean something
    std::uint32_t fileFlags = 0;         // VS_FF_* bits
    std::uint32_t fileOS = 0;            // VOS_* value
    std::uint32_t fileType = 0;          // VFT_* value
    std::uint32_t fileSubtype = 0;       // VFT2_* value for drivers and fonts, else 0
    std::uint32_t fileDateMS = 0;        // 64-bit file date, high half (0: none)
    std::uint32_t fileDateLS = 0;
};

// Everything one block says: the fixed part, the translation and one string
// table for it.
struct TVersionSource {
    TFixedFileInfo fixed;
    std::uint16_t language = 0;  // Windows language identifier, e.g. 0x0411 Japanese
    std::uint16_t codePage = 0;  // e.g. 932 Shift-JIS
    // Key and value, UTF-8, in the order they are written.
    std::vector<std::pair<std::string, std::string>> strings;
};

// The largest block there can be: wLength is 16 bits.
inline constexpr std::size_t kMaxVersionBlockSize = 0xFFFF;  // bytes

// Key of the string table for a translation: language then code page, each
// as four upper-case hexadecimal digits ("041103A4").
std::string TranslationKey(std::uint16_t language, std::uint16_t codePage);

// "a.b.c.d", each part a decimal number 0-65535, packed as the fixed part
// keeps it: (a << 16 | b, c << 16 | d). Throws EMirvoError otherwise.
std::pair<std::uint32_t, std::uint32_t> PackVersionNumber(std::string_view text);

// The block for `source`, 4-byte aligned in length. Throws EMirvoError when a
// key is empty, a text is not valid UTF-8, a text cannot be held in code page
// 932 while the translation names it, or the block would exceed
// kMaxVersionBlockSize.
std::vector<std::uint8_t> BuildVersionInfo(const TVersionSource& source);

// A value found in a block.
struct TVersionValue {
    std::span<const std::uint8_t> bytes;  // the value, inside the block
    std::uint16_t length = 0;  // as VerQueryValue reports it: UTF-16 units for text, bytes for binary
    bool isText = false;
};

// The size of the block at the start of `bytes`: its root's wLength when the
// root is a sound node (6 bytes or more, within `bytes`, keyed
// "VS_VERSION_INFO"), else 0. What GetFileVersionInfoSize reports.
std::uint16_t VersionBlockSize(std::span<const std::uint8_t> bytes);

// VerQueryValue on a block: `subBlock` "\" is the root's value (the fixed
// part), "\StringFileInfo\041103A4\Comments" the value of that node, each
// step matching the first child whose key equals it without regard to ASCII
// case. nullopt when a step finds no such child. Every length and offset is
// checked against its parent node and the block: a damaged block makes the
// query fail or gives a shorter value, never a read outside `block`.
std::optional<TVersionValue> QueryVersionValue(std::span<const std::uint8_t> block,
                                               std::string_view subBlock);

// The text of a text value: the UTF-16LE units up to the first zero or the
// end of `bytes` (an odd last byte is dropped), as UTF-8; a unit that is half
// of a surrogate pair without its other half becomes U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

} // namespace mirvo
