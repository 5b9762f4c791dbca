// An INI text kept line by line, so that a hand-edited settings file keeps
// its comments, blank lines, unknown sections and keys when values are
// written. Section and key names are compared without regard to ASCII case;
// the first section of a name and the first key of a name in it count.
// The text is handled as UTF-8 bytes; IniTextFromFile and IniFileBytes turn
// a file's bytes into it and back. Memory grows in
// proportion to the text: every line refers to its section by number.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

// Longest line read as settings; a longer one cannot be the program's own
// and is kept as it is but not read (a section line of that length opens a
// section no name matches, so that its keys are not taken for another's).
constexpr std::size_t kMaxIniLineBytes = 32 * 1024;

class TIniDocument {
public:
    TIniDocument() = default;
    // Parses a whole INI text; any bytes are accepted.
    explicit TIniDocument(std::string_view text);

    // The value of a key, with the blanks around it removed and one pair of
    // matching surrounding quotes (" or ') taken off; nullopt when the
    // section or the key is missing.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;

    // Sets the value of a key: an existing key line is rewritten in place
    // (keeping the key's own spelling), a new key goes after the last
    // non-blank line of its section, a new section goes at the end. A value
    // that reading would change (blanks or quotes at its ends) is written
    // between double quotes. Returns false, changing nothing, for a section,
    // key or value that cannot be kept on one line (a line break, or a key
    // with "=", or a section with "]") or read back (a line longer than
    // kMaxIniLineBytes).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The text: every line as read or written, each ended by the line end the
    // text used first (LF when it had none); a leading UTF-8 byte order mark
    // is kept.
    std::string Text() const;

    // Ends every line with `lineEnd` ("\r\n" or "\n") from now on.
    void SetLineEnd(std::string_view lineEnd) { FLineEnd = lineEnd; }
    // Whether the text began with a UTF-8 byte order mark (kept by Text()).
    bool HasByteOrderMark() const { return !FByteOrderMark.empty(); }

    // The numbers (1 for the first) of the lines longer than kMaxIniLineBytes.
    const std::vector<std::size_t>& LongLines() const { return FLongLines; }

private:
    static constexpr std::size_t kNoName = static_cast<std::size_t>(-1);
    struct TLine {
        std::string text;
        std::size_t section = 0;   // index in FSectionNames of the section the line belongs to
        bool isSection = false;
        std::string key;           // for a key line: the key as written, trimmed
    };

    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(std::size_t sectionLine, std::string_view key) const;
    TLine ParseLine(std::string text, std::size_t currentSection);
    bool SectionIs(std::size_t index, std::string_view name) const;

    std::vector<TLine> FLines;
    // Section names in the order they open; 0 is the part before the first
    // section, kNoName a section that no name matches.
    std::vector<std::string> FSectionNames{std::string()};
    std::vector<std::size_t> FLongLines;
    std::string FLineEnd = "\n";
    std::string FByteOrderMark;
};

// An INI file's bytes as the text TIniDocument reads: UTF-8 (with or without
// a byte order mark) as it is, any other bytes read as code page 932, as
// Windows programs write INI files.
std::string IniTextFromFile(std::string bytes);

// The document as this system's programs write INI files: on Windows in code
// page 932 with CR LF line ends, or, when the text holds a character that
// code page 932 lacks (or began with a byte order mark), in UTF-8 with a byte
// order mark so that it reads back the same; elsewhere UTF-8, with the line
// ends the file had (inifile_posix.cpp, inifile_win32.cpp).
std::string IniFileBytes(TIniDocument& document);

} // namespace mirvo
