// mkcp932: writes the code page 932 tables of the program's own converter
// (base/codepage_posix.cpp) as the system's converter (glibc's iconv)
// gives them, so that the program converts exactly as before without loading
// a converter module at every start.
//
//   mkcp932 OUTPUT.cpp
//
// Every single byte, every pair after a lead byte and every character of the
// Basic Multilingual Plane is put to iconv once; the build stops when the
// converter is missing or answers in a way the tables cannot hold.
#include "base/utf8.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "mkcp932: %s\n", what.c_str());
    std::exit(1);
}

struct TResult {
    int error = 0;           // 0, EILSEQ or EINVAL
    std::string output;
};

TResult Convert(iconv_t converter, const std::string& input)
{
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    TResult result;
    char buffer[64];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
        result.error = errno;
    result.output.assign(buffer, static_cast<std::size_t>(out - buffer));
    return result;
}

// The one character of a UTF-8 text of one character of the BMP; nullopt otherwise.
std::optional<char16_t> OneBmpCharacter(const std::string& utf8)
{
    if (utf8.empty())
        return std::nullopt;
    const koyomi::Utf8Sequence s = koyomi::ReadUtf8(utf8, 0);
    if (!s.sound || s.length != utf8.size() || s.code > 0xFFFF)
        return std::nullopt;
    return static_cast<char16_t>(s.code);
}

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2)
        Fail("usage: mkcp932 OUTPUT.cpp");
    const iconv_t decoder = iconv_open("UTF-8", "CP932");
    const iconv_t encoder = iconv_open("CP932", "UTF-8");
    if (decoder == reinterpret_cast<iconv_t>(-1) || encoder == reinterpret_cast<iconv_t>(-1))
        Fail("the system has no converter for code page 932 (CP932)");

    // Bytes 0x80-0xFF alone: a character, a lead byte (the converter waits
    // for a second byte) or nothing.
    std::array<char16_t, 128> single{};
    std::array<int, 128> leadIndex{};
    std::vector<std::array<char16_t, 256>> pairs;
    for (int byte = 0; byte < 0x100; ++byte) {
        const TResult r = Convert(decoder, std::string(1, static_cast<char>(byte)));
        if (byte < 0x80) {
            if (r.error != 0 || r.output != std::string(1, static_cast<char>(byte)))
                Fail("byte " + Hex(static_cast<unsigned>(byte), 2) + " is not read as ASCII");
            continue;
        }
        leadIndex[byte - 0x80] = -1;
        if (r.error == EINVAL) {
            leadIndex[byte - 0x80] = static_cast<int>(pairs.size());
            std::array<char16_t, 256> row{};
            for (int trail = 0; trail < 0x100; ++trail) {
                const TResult p = Convert(decoder, {static_cast<char>(byte), static_cast<char>(trail)});
                if (p.error != 0)
                    continue;
                const auto c = OneBmpCharacter(p.output);
                if (!c || *c == 0)
                    Fail("pair " + Hex(static_cast<unsigned>(byte * 256 + trail), 4) + " is not one character");
                row[static_cast<std::size_t>(trail)] = *c;
            }
            pairs.push_back(row);
        } else if (r.error == 0) {
            const auto c = OneBmpCharacter(r.output);
            if (!c || *c == 0)
                Fail("byte " + Hex(static_cast<unsigned>(byte), 2) + " is not one character");
            single[static_cast<std::size_t>(byte - 0x80)] = *c;
        }
    }

    // Every character of the BMP but the surrogates: its bytes, if any.
    std::vector<std::uint32_t> encode;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const TResult r = Convert(encoder, koyomi::Utf8Of(c));
        if (r.error != 0)
            continue;
        const auto& o = r.output;
        std::uint32_t code = 0;
        if (o.size() == 1)
            code = static_cast<unsigned char>(o[0]);
        else if (o.size() == 2 && static_cast<unsigned char>(o[0]) >= 0x80)
            code = (static_cast<unsigned>(static_cast<unsigned char>(o[0])) << 8) | static_cast<unsigned char>(o[1]);
        else
            Fail("character " + Hex(static_cast<unsigned>(c), 4) + " is written in an unexpected form");
        encode.push_back((static_cast<std::uint32_t>(c) << 16) | code);
    }
    for (char32_t c = 0; c < 0x80; ++c) {
        const TResult r = Convert(encoder, std::string(1, static_cast<char>(c)));
        if (r.error != 0 || r.output != std::string(1, static_cast<char>(c)))
            Fail("character " + Hex(static_cast<unsigned>(c), 4) + " is not written as ASCII");
    }
    iconv_close(decoder);
    iconv_close(encoder);

    std::string text =
        "// Code page 932 as the system's converter gives it, written by the build\n"
        "// (tools/mkcp932); do not edit.\n"
        "#include \"base/cp932table.h\"\n\n"
        "namespace koyomi::platform {\n\n";
    text += "const char16_t kCp932Single[128] = {";
    for (std::size_t i = 0; i < single.size(); ++i)
        text += (i % 12 == 0 ? "\n    " : " ") + Hex(single[i], 4) + ",";
    text += "\n};\n\nconst std::int8_t kCp932LeadIndex[128] = {";
    for (std::size_t i = 0; i < leadIndex.size(); ++i)
        text += (i % 16 == 0 ? "\n    " : " ") + std::to_string(leadIndex[i]) + ",";
    text += "\n};\n\nconst char16_t kCp932Pairs[" + std::to_string(pairs.size()) + "][256] = {";
    for (const auto& row : pairs) {
        text += "\n    {";
        for (std::size_t i = 0; i < row.size(); ++i)
            text += (i % 12 == 0 ? "\n        " : " ") + Hex(row[i], 4) + ",";
        text += "\n    },";
    }
    text += "\n};\n\nconst std::uint32_t kCp932Encode[" + std::to_string(encode.size()) + "] = {";
    for (std::size_t i = 0; i < encode.size(); ++i)
        text += (i % 6 == 0 ? "\n    " : " ") + Hex(encode[i], 8) + ",";
    text += "\n};\n\nconst std::size_t kCp932EncodeCount = " + std::to_string(encode.size()) + ";\n\n";
    text += "} // namespace koyomi::platform\n";

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        Fail(std::string("cannot write ") + argv[1]);
    return 0;
}
