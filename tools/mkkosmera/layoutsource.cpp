#include "tools/mkkosmera/layoutsource.h"

#include "base/error.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <string>

namespace kosmera {

using koyomi::EMirvoError;

namespace {

struct TIntegerType {
    const char* name;
    std::size_t bytes;
    long long low;
    long long high;
};

constexpr TIntegerType kIntegerTypes[] = {
    {"u8", 1, 0, 0xFF},           {"i8", 1, -0x80, 0x7F},
    {"u16", 2, 0, 0xFFFF},        {"i16", 2, -0x8000, 0x7FFF},
    {"u32", 4, 0, 0xFFFFFFFFLL},  {"i32", 4, -0x80000000LL, 0x7FFFFFFF},
};

class TLayout {
public:
    explicit TLayout(std::size_t size) : FSize(size) {}

    void Line(int number, const std::string& text);
    std::vector<std::uint8_t> Finish() const;

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw EMirvoError("レイアウトファイルの " + std::to_string(FLine) + " 行目: " + what);
    }
    void Put(std::uint64_t value, std::size_t bytes);
    void Zeros(std::size_t count);
    long long Integer(const std::string& token, long long low, long long high) const;
    double Real(const std::string& token) const;

    std::size_t FSize;
    std::vector<std::uint8_t> FBytes;
    int FLine = 0;
};

long long TLayout::Integer(const std::string& token, long long low, long long high) const
{
    const bool hex = token.starts_with("0x") || token.starts_with("0X");
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(token.c_str(), &end, hex ? 16 : 10);
    if (token.empty() || end != token.c_str() + token.size() || errno == ERANGE)
        Fail("'" + token + "' は整数として読めません");
    if (value < low || value > high)
        Fail("'" + token + "' は " + std::to_string(low) + " から " + std::to_string(high) + " の範囲にありません");
    return value;
}

double TLayout::Real(const std::string& token) const
{
    char* end = nullptr;
    const double value = std::strtod(token.c_str(), &end);
    if (token.empty() || end != token.c_str() + token.size() || !std::isfinite(value))
        Fail("'" + token + "' は数値として読めません");
    return value;
}

void TLayout::Put(std::uint64_t value, std::size_t bytes)
{
    if (bytes > FSize - FBytes.size())
        Fail("ブロックの大きさ " + std::to_string(FSize) + " バイトを超えます");
    for (std::size_t i = 0; i < bytes; ++i)
        FBytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TLayout::Zeros(std::size_t count)
{
    if (count > FSize - FBytes.size())
        Fail("ブロックの大きさ " + std::to_string(FSize) + " バイトを超えます");
    FBytes.resize(FBytes.size() + count, 0);
}

void TLayout::Line(int number, const std::string& text)
{
    FLine = number;
    std::istringstream fields(text.substr(0, text.find('#')));
    std::string directive, token;
    if (!(fields >> directive))
        return;
    const auto maxOffset = static_cast<long long>(FSize);
    for (const TIntegerType& type : kIntegerTypes) {
        if (directive != type.name)
            continue;
        if (!(fields >> token))
            Fail("値がありません");
        do
            Put(static_cast<std::uint64_t>(Integer(token, type.low, type.high)), type.bytes);
        while (fields >> token);
        return;
    }
    if (directive == "f64") {
        if (!(fields >> token))
            Fail("値がありません");
        do
            Put(std::bit_cast<std::uint64_t>(Real(token)), sizeof(double));
        while (fields >> token);
    } else if (directive == "ascii") {
        std::string width, value, extra;
        if (!(fields >> width >> value) || (fields >> extra))
            Fail("ascii には幅と空白のない文字列が一つずつ必要です");
        const auto n = static_cast<std::size_t>(Integer(width, 1, maxOffset));
        if (value.size() > n)
            Fail("文字列 '" + value + "' が幅 " + width + " に収まりません");
        for (const char c : value)
            if (c <= ' ' || c > '~')
                Fail("文字列 '" + value + "' に ASCII 以外の文字があります");
        for (const char c : value)
            Put(static_cast<unsigned char>(c), 1);
        Zeros(n - value.size());
    } else if (directive == "zero" || directive == "pad-to" || directive == "at") {
        std::string extra;
        if (!(fields >> token) || (fields >> extra))
            Fail(directive + " には数が一つ必要です");
        const auto n = static_cast<std::size_t>(Integer(token, 0, maxOffset));
        if (directive == "zero")
            Zeros(n);
        else if (n < FBytes.size())
            Fail("現在位置 " + std::to_string(FBytes.size()) + " は " + token + " ではありません");
        else if (directive == "pad-to")
            Zeros(n - FBytes.size());
        else if (n != FBytes.size())
            Fail("現在位置 " + std::to_string(FBytes.size()) + " は " + token + " ではありません");
    } else {
        Fail("'" + directive + "' は知らない指定です");
    }
}

std::vector<std::uint8_t> TLayout::Finish() const
{
    if (FBytes.size() != FSize)
        throw EMirvoError("レイアウトファイルの内容が " + std::to_string(FBytes.size()) + " バイトで, "
                          + std::to_string(FSize) + " バイトではありません");
    return FBytes;
}

} // namespace

std::vector<std::uint8_t> ReadLayoutSource(std::istream& in, std::size_t size)
{
    TLayout layout(size);
    std::string text;
    int line = 0;
    while (std::getline(in, text))
        layout.Line(++line, text);
    return layout.Finish();
}

} // namespace kosmera
