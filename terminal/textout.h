// Where mirvo-today writes its text: a C stream, or on Windows a console
// window in its own UTF-16 text. The C++ streams would set up
// their locale machinery at every start of a program that is started often
// and writes one finished text.
#pragma once

#include "terminal/console.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace mirvo {

class TTextOut {
public:
    explicit TTextOut(std::FILE* file) : FFile(file), FConsole(IsConsoleWindow(file)) {}
    ~TTextOut() { WriteHeld(); }
    TTextOut(const TTextOut&) = delete;
    TTextOut& operator=(const TTextOut&) = delete;

    TTextOut& operator<<(std::string_view text)
    {
        if (FConsole) {
            // A console takes whole lines, so that no character is cut in two.
            FHeld += text;
            if (!FHeld.empty() && FHeld.back() == '\n')
                WriteHeld();
        } else if (!text.empty() && std::fwrite(text.data(), 1, text.size(), FFile) != text.size()) {
            FFailed = true;
        }
        return *this;
    }
    TTextOut& operator<<(char c) { return *this << std::string_view(&c, 1); }

    // Writes out what is held back; false when anything could not be written.
    bool Flush()
    {
        WriteHeld();
        if (std::fflush(FFile) != 0 || std::ferror(FFile))
            FFailed = true;
        return !FFailed;
    }

private:
    void WriteHeld()
    {
        if (!FHeld.empty() && !WriteToConsole(FFile, FHeld))
            FFailed = true;
        FHeld.clear();
    }

    std::FILE* FFile;
    bool FConsole;
    std::string FHeld;  // console text not yet written: the start of a line
    bool FFailed = false;
};

} // namespace mirvo
