// The one error type of the program's core: it carries the message, in the
// program's own words, that the user sees.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace koyomi {

class EMirvoError : public std::runtime_error {
public:
    explicit EMirvoError(const std::string& message) : std::runtime_error(message) {}
    // A message from the program's string table, with its number.
    EMirvoError(int messageId, const std::string& message) : std::runtime_error(message), FMessageId(messageId) {}

    // The string-table number of the message; 0 when it has none.
    int MessageId() const { return FMessageId; }

private:
    int FMessageId = 0;
};

// The program's one way to fill a message: `pattern` with each "%s" replaced
// by the next of `arguments`, in order. A "%s" that finds no argument stays as
// it is, so that a missing argument shows; an argument without a "%s" is left
// out; the arguments' own text is never searched. What the arguments bring
// in from outside is made harmless (mirvo::HarmlessText): a line break in an
// option value or a file name never starts a line of the message.
std::string FillMessage(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// The same with one argument.
inline std::string FormatMessage(const std::string& pattern, const std::string& argument)
{
    return FillMessage(pattern, {argument});
}

} // namespace koyomi
