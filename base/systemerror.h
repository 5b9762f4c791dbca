// The system's error codes (errno) in the program's own words, for messages
// that tell why a file or a connection failed. No Qt.
#pragma once

#include <filesystem>
#include <string>

namespace mirvo {

// The Japanese text of an errno value followed by the code's name
// ("ディスクに空きがありません, ENOSPC"); a code without a text of its own
// gives the general one with its number.
std::string SystemErrorText(int errorNumber);

// Throws koyomi::EMirvoError with the program's message (kMsgOthersLink,
// kMsgOthersFile) when a write to `file` is refused for the user's safety
// (WriteRefusal: a link made by another user, another user's file).
void CheckWriteAllowed(const std::filesystem::path& file);

} // namespace mirvo
