// The program's HTML Help: the entry point that the help modules table offers
// as "HtmlHelpA" of "HHCTRL.OCX". It serves the HTML Help commands with the
// help window (THelpWindow) and the text pop-up (THelpPopup).
#pragma once

#include <QString>

class QWidget;

namespace mirvo {

class THelpWindow;

// Serves one HTML Help command (HH_... in helpcommands.h):
// - HH_DISPLAY_TOPIC, HH_DISPLAY_TOC, HH_DISPLAY_INDEX: opens the help file of
//   `file` ("x.chm" or "x.chm::/page.htm") in the help window at that page
//   (else the page shown already, or the file's first page), with the
//   contents or the index in front; HH_DISPLAY_INDEX types the keyword of
//   `data` (or none when 0) into the index;
// - HH_KEYWORD_LOOKUP, HH_ALINK_LOOKUP: shows the pages of the keywords of the
//   THHAKLink at `data`; when there is none, the index (fIndexOnFail) or the
//   record's message;
// - HH_HELP_CONTEXT: shows the page mapped to the context number `data`;
// - HH_DISPLAY_TEXT_POPUP: shows the text of the THHPopup at `data`;
// - HH_CLOSE_ALL: closes the help window and the pop-up.
// Returns the window that serves the request, or null when it failed (a help
// file that cannot be opened, which is also reported in a message box, a
// context number or keywords that lead nowhere, a bad record) and always for
// HH_CLOSE_ALL. A relative file name is looked for beside the program too.
QWidget* HtmlHelpViewer(QWidget* caller, const QString& file, unsigned command, quintptr data);

// The help window while it is open, else null.
THelpWindow* OpenHelpWindow();

} // namespace mirvo
