#include "koyomi/sjis.h"

#include "app/stringtable.h"
#include "koyomi/error.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <utility>

namespace koyomi {

namespace {

constexpr int kMsgNoConverter = 43122;  // 文字コード %s の変換が使えません
constexpr unsigned char kLeadLow1 = 0x81;
constexpr unsigned char kLeadHigh1 = 0x9F;
constexpr unsigned char kLeadLow2 = 0xE0;
constexpr unsigned char kLeadHigh2 = 0xFC;
constexpr unsigned char kTrailLow = 0x40;
constexpr unsigned char kTrailGap = 0x7F;   // the one byte in the trail range that is not a trail byte
constexpr unsigned char kTrailHigh = 0xFC;

constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";   // U+FFFD
constexpr std::size_t kChunkBytes = 4096;

// glibc's CP932 converter implements the Windows table, including the NEC
// row 13, the NEC-selected IBM extensions and the IBM extensions.
constexpr const char* kCp932Name = "CP932";
constexpr const char* kUtf8Name = "UTF-8";

// One converter, opened for one conversion and closed with it, so no shift
// state is ever carried from one text to the next.
class TIconv {
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from))
    {
        if (FHandle == reinterpret_cast<iconv_t>(-1))
            throw mirvo::MessageError(kMsgNoConverter, {kCp932Name});
    }
    ~TIconv() { iconv_close(FHandle); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    void Reset() { iconv(FHandle, nullptr, nullptr, nullptr, nullptr); }

    // Converts as much of [in, in + inLeft) as it can, appending to `out`.
    // Returns 0 when all was converted, else the errno of the stop
    // (EILSEQ or EINVAL); `in` and `inLeft` then point at the failing bytes.
    int Convert(const char*& in, std::size_t& inLeft, std::string& out)
    {
        std::array<char, kChunkBytes> buffer{};
        for (;;) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            char* inPtr = const_cast<char*>(in);   // iconv's interface is not const-correct
            const std::size_t rc = iconv(FHandle, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
            in = inPtr;
            out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
            if (error == E2BIG)
                continue;
            if (error != 0)
                return error;
            // Flush any pending output of a stateful converter.
            outPtr = buffer.data();
            outLeft = buffer.size();
            iconv(FHandle, nullptr, nullptr, &outPtr, &outLeft);
            out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
            return 0;
        }
    }

private:
    iconv_t FHandle;
};

// Text forms that input methods give for characters code page 932 holds
// under another code point.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kCp932Forms = {{
    {"\xE3\x80\x9C", "\xEF\xBD\x9E"},   // U+301C WAVE DASH -> U+FF5E FULLWIDTH TILDE
    {"\xE2\x88\x92", "\xEF\xBC\x8D"},   // U+2212 MINUS SIGN -> U+FF0D FULLWIDTH HYPHEN-MINUS
    {"\xE2\x80\x96", "\xE2\x88\xA5"},   // U+2016 DOUBLE VERTICAL LINE -> U+2225 PARALLEL TO
    {"\xE2\x80\x94", "\xE2\x80\x95"},   // U+2014 EM DASH -> U+2015 HORIZONTAL BAR
    {"\xC2\xA2", "\xEF\xBF\xA0"},       // U+00A2 CENT SIGN -> U+FFE0
    {"\xC2\xA3", "\xEF\xBF\xA1"},       // U+00A3 POUND SIGN -> U+FFE1
    {"\xC2\xAC", "\xEF\xBF\xA2"},       // U+00AC NOT SIGN -> U+FFE2
}};

} // namespace

bool IsSjisLeadByte(unsigned char byte)
{
    return (byte >= kLeadLow1 && byte <= kLeadHigh1) || (byte >= kLeadLow2 && byte <= kLeadHigh2);
}

bool IsSjisTrailByte(unsigned char byte)
{
    return byte >= kTrailLow && byte <= kTrailHigh && byte != kTrailGap;
}

std::size_t SjisCharLength(std::string_view bytes, std::size_t pos)
{
    if (pos + 1 < bytes.size() && IsSjisLeadByte(static_cast<unsigned char>(bytes[pos]))
        && IsSjisTrailByte(static_cast<unsigned char>(bytes[pos + 1])))
        return 2;
    return 1;
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    TIconv converter(kUtf8Name, kCp932Name);
    std::string result;
    result.reserve(bytes.size() + bytes.size() / 2);
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    while (converter.Convert(in, inLeft, result) != 0) {
        // An unmapped pair, a byte that opens no character or a lead byte
        // cut off at the end: one replacement character, then go on.
        result += kReplacementChar;
        const std::size_t pos = static_cast<std::size_t>(in - bytes.data());
        const std::size_t skip = SjisCharLength(bytes, pos);
        in += skip;
        inLeft -= skip;
        converter.Reset();
    }
    return result;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8)
{
    std::string result;
    {
        TIconv converter(kCp932Name, kUtf8Name);
        result.reserve(utf8.size());
        const char* in = utf8.data();
        std::size_t inLeft = utf8.size();
        if (converter.Convert(in, inLeft, result) != 0)
            return std::nullopt;
    }
    // The converter also takes a few look-alikes (U+301C for 0x8160, U+00A5
    // for 0x5C, ...) that would read back as other characters: refuse them.
    if (Cp932ToUtf8(result) != utf8)
        return std::nullopt;
    return result;
}

bool IsCp932Encodable(std::string_view utf8)
{
    return Utf8ToCp932(utf8).has_value();
}

std::string ToCp932Forms(std::string_view utf8)
{
    std::string result;
    result.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        bool replaced = false;
        for (const auto& [from, to] : kCp932Forms) {
            if (utf8.substr(pos).starts_with(from)) {
                result += to;
                pos += from.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += utf8[pos++];
    }
    return result;
}

} // namespace koyomi
