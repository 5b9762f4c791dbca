// The string table source of the data file (resources/kosmera/strings.txt).
#pragma once

#include <iosfwd>
#include <map>
#include <string>

namespace kosmera {

// One string a line, "number<TAB>text", UTF-8; a line starting with '#' is a
// comment and blank lines are ignored; in the text "\n", "\t" and "\\" stand
// for a line break, a tab and a backslash. Numbers are 0-1048559 (the string
// table's range) and appear once. Returns number -> UTF-16 text; throws
// EMirvoError naming the line for anything malformed.
std::map<unsigned, std::u16string> ReadStringSource(std::istream& in);

// UTF-8 to UTF-16; throws EMirvoError for text that is not valid UTF-8.
std::u16string Utf8ToUtf16(const std::string& utf8);

} // namespace kosmera
