// Splitting a member file into lines and a line into its fields. Both work
// on the Shift-JIS bytes as read: a two-byte character is stepped over whole,
// so none of its bytes is taken for a quote, a comma or a blank.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

// The lines of a text: a line ends at CR, at LF or at CR LF (counted once);
// a last line without an end is a line too. The empty text has no lines.
std::vector<std::string_view> SplitLines(std::string_view text);

// The fields of one line:
// - characters with codes 1 to 32 before a field are skipped;
// - a field that starts with a double quote runs to the next double quote
//   that is not doubled, and each doubled pair inside stands for one double
//   quote; without a closing quote it takes the rest of the line;
// - any other field runs up to the first comma or character with a code of
//   32 or less;
// - after a field, characters with codes 1 to 32, then one comma and the
//   characters with codes 1 to 32 after it are skipped.
// An empty field between two commas is kept; a comma at the end adds none.
// A NUL byte ends the line, as it ends a text in the program's files.
// `openQuote`, when given, tells whether a quoted field lacked its closing quote.
std::vector<std::string> SplitCsvFields(std::string_view line, bool* openQuote = nullptr);

} // namespace mirvo
