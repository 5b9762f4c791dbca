// The system's error codes (errno) in the program's own words, for messages
// that tell why a file or a connection failed. No Qt.
#pragma once

#include <string>

namespace mirvo {

// The Japanese text of an errno value followed by the code's name
// ("ディスクに空きがありません, ENOSPC"); a code without a text of its own
// gives the general one with its number.
std::string SystemErrorText(int errorNumber);

} // namespace mirvo
