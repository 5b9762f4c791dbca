// Code page 932 on Linux and other POSIX systems: glibc's iconv.
#include "koyomi/base/codepage.h"

#include "koyomi/base/messages.h"
#include "koyomi/base/stringtable.h"
#include "koyomi/base/error.h"
#include "koyomi/base/sjis.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace koyomi::platform {

namespace {

constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";   // U+FFFD
constexpr std::size_t kChunkBytes = 4096;

// glibc's CP932 converter implements the Windows table, including the NEC
// row 13, the NEC-selected IBM extensions and the IBM extensions.
constexpr const char* kCp932Name = "CP932";
constexpr const char* kUtf8Name = "UTF-8";

// A converter per direction and thread, opened at its first use and kept:
// opening one costs more than converting a page of text. Each conversion
// starts from the initial state (Reset), so nothing is carried from one text
// to the next.
class TIconv {
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from))
    {
        if (FHandle == reinterpret_cast<iconv_t>(-1))
            throw mirvo::MessageError(mirvo::kMsgNoConverter, {kCp932Name});
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

TIconv& Decoder()
{
    thread_local TIconv decoder(kUtf8Name, kCp932Name);
    decoder.Reset();
    return decoder;
}

TIconv& Encoder()
{
    thread_local TIconv encoder(kCp932Name, kUtf8Name);
    encoder.Reset();
    return encoder;
}

// Code page 932 and UTF-8 agree on every byte below 0x80 (0x5C is the
// backslash and 0x7E the tilde in both), so such text needs no converter.
bool IsAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string DecodeCp932(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    TIconv& converter = Decoder();
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

std::optional<std::string> EncodeCp932(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    TIconv& converter = Encoder();
    std::string result;
    result.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    if (converter.Convert(in, inLeft, result) != 0)
        return std::nullopt;
    return result;
}

} // namespace koyomi::platform
