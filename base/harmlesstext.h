// Text from outside the program (option values, file names, member-file
// lines and fields, settings values) as every message shows it: on the
// terminal, in a message box, in a log. It is shown and never obeyed, and
// it never makes a line of its own, reads backwards or hides a character.
#pragma once

#include <string>
#include <string_view>

namespace mirvo {

// `text` with every character that would act instead of show made visible:
// C0 controls (a line break, a tab, ESC) and DEL in caret notation, as
// terminals echo control keys ("^J", "^I", "^[", "^?"); C1 controls, the
// line and paragraph separators (U+2028, U+2029), the bidirectional marks,
// embeddings, overrides and isolates, zero-width characters and the byte
// order mark (U+FEFF), and bytes that are no UTF-8, as U+FFFD. Everything
// else stays as it is; the result passes through unchanged a second time.
std::string HarmlessText(std::string_view text);

} // namespace mirvo
