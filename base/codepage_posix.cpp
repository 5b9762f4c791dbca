// Code page 932 on Linux and other POSIX systems: tables that the build
// writes from the system's converter (glibc's iconv, with the Windows table:
// the NEC row 13, the NEC-selected IBM extensions and the IBM extensions), so
// that converting loads no converter module.
#include "base/codepage.h"

#include "base/cp932table.h"
#include "base/sjis.h"
#include "base/utf8.h"

#include <algorithm>

namespace koyomi::platform {

namespace {

constexpr char32_t kReplacementChar = 0xFFFD;

} // namespace

std::string DecodeCp932(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80) {
            result += static_cast<char>(byte);
            ++pos;
            continue;
        }
        if (const char16_t c = kCp932Single[byte - 0x80]; c != 0) {
            AppendUtf8(result, c);
            ++pos;
            continue;
        }
        if (const int row = kCp932LeadIndex[byte - 0x80]; row >= 0 && pos + 1 < bytes.size()) {
            const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
            if (const char16_t c = kCp932Pairs[row][trail]; c != 0) {
                AppendUtf8(result, c);
                pos += 2;
                continue;
            }
        }
        // An unmapped pair, a byte that opens no character or a lead byte
        // cut off at the end: one replacement character, then go on.
        AppendUtf8(result, kReplacementChar);
        pos += SjisCharLength(bytes, pos);
    }
    return result;
}

std::optional<std::string> EncodeCp932(std::string_view utf8)
{
    std::string result;
    result.reserve(utf8.size());
    const std::uint32_t* const first = kCp932Encode;
    const std::uint32_t* const last = kCp932Encode + kCp932EncodeCount;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Sequence s = ReadUtf8(utf8, pos);
        if (!s.sound)
            return std::nullopt;
        pos += s.length;
        if (s.code < 0x80) {
            result += static_cast<char>(s.code);
            continue;
        }
        if (s.code > 0xFFFF)
            return std::nullopt;  // the code page holds no character beyond the BMP
        const std::uint32_t* found = std::lower_bound(first, last, s.code << 16);
        if (found == last || (*found >> 16) != s.code)
            return std::nullopt;
        const std::uint32_t code = *found & 0xFFFF;
        if (code >= 0x100)
            result += static_cast<char>(code >> 8);
        result += static_cast<char>(code & 0xFF);
    }
    return result;
}

} // namespace koyomi::platform
