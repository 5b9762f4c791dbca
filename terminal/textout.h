// Where mirvo-today writes its text: a C stream. The C++ streams would set up
// their locale machinery at every start of a program that is started often
// and writes one finished text.
#pragma once

#include <cstdio>
#include <string_view>

namespace mirvo {

class TTextOut {
public:
    explicit TTextOut(std::FILE* file) : FFile(file) {}

    TTextOut& operator<<(std::string_view text)
    {
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), FFile) != text.size())
            FFailed = true;
        return *this;
    }
    TTextOut& operator<<(char c) { return *this << std::string_view(&c, 1); }

    // Writes out what is held back; false when anything could not be written.
    bool Flush()
    {
        if (std::fflush(FFile) != 0 || std::ferror(FFile))
            FFailed = true;
        return !FFailed;
    }

private:
    std::FILE* FFile;
    bool FFailed = false;
};

} // namespace mirvo
