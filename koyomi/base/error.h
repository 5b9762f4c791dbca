// The one error type of the program's core: it carries the message, in the
// program's own words, that the user sees.
#pragma once

#include <stdexcept>
#include <string>

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

// Replaces the first "%s" of a message pattern by the argument.
std::string FormatMessage(const std::string& pattern, const std::string& argument);

} // namespace koyomi
