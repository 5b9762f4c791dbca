// The command numbers and records of the two help viewers the program speaks
// to: WinHelp, whose command set is also the application's help command set,
// and HTML Help. The values are the viewers' published ones.
#pragma once

#include <QtGlobal>

#include <cstdint>

namespace mirvo {

// Application (WinHelp) help commands.
inline constexpr quint16 HELP_CONTEXT = 1;           // data: context number
inline constexpr quint16 HELP_QUIT = 2;              // data: 0
inline constexpr quint16 HELP_CONTENTS = 3;          // data: 0
inline constexpr quint16 HELP_CONTEXTPOPUP = 8;      // data: context number
inline constexpr quint16 HELP_FINDER = 11;           // data: 0
inline constexpr quint16 HELP_SETPOPUP_POS = 13;     // data: packed point
inline constexpr quint16 HELP_KEY = 0x101;           // data: address of a zero-terminated UTF-8 keyword
inline constexpr quint16 HELP_COMMAND = 0x102;       // data: address of a zero-terminated UTF-8 macro

// HTML Help commands.
inline constexpr unsigned HH_DISPLAY_TOPIC = 0;       // file "x.chm[::/topic]", data 0
inline constexpr unsigned HH_DISPLAY_TOC = 1;         // file, data 0
inline constexpr unsigned HH_DISPLAY_INDEX = 2;       // file, data: address of a zero-terminated UTF-8 keyword, or 0
inline constexpr unsigned HH_KEYWORD_LOOKUP = 13;     // file, data: address of a THHAKLink
inline constexpr unsigned HH_DISPLAY_TEXT_POPUP = 14; // no file, data: address of a THHPopup
inline constexpr unsigned HH_HELP_CONTEXT = 15;       // file, data: context number
inline constexpr unsigned HH_CLOSE_ALL = 18;          // no file, data 0
inline constexpr unsigned HH_ALINK_LOOKUP = 19;       // file, data: address of a THHAKLink

// The structure sizes HTML Help expects in the records' first field; they are
// the published 32-bit sizes and are checked, not computed with sizeof.
inline constexpr std::int32_t kHHPopupSize = 52;
inline constexpr std::int32_t kHHAKLinkSize = 32;

// A colour or margin of -1 asks the viewer for its own default.
inline constexpr std::int32_t kHHDefault = -1;

// The text pop-up record (HH_POPUP). Texts are zero-terminated UTF-8.
struct THHPopup {
    std::int32_t cbStruct = kHHPopupSize;
    void* hinst = nullptr;
    std::uint32_t idString = 0;       // string resource number; 0: use pszText
    const char* pszText = nullptr;
    struct {
        std::int32_t x = 0;           // screen coordinates, pixels
        std::int32_t y = 0;
    } pt;
    std::int32_t clrForeground = kHHDefault; // 0x00BBGGRR, or -1
    std::int32_t clrBackground = kHHDefault;
    struct {
        std::int32_t left = kHHDefault; // pixels, or -1
        std::int32_t top = kHHDefault;
        std::int32_t right = kHHDefault;
        std::int32_t bottom = kHHDefault;
    } rcMargins;
    const char* pszFont = nullptr;    // "face name, point size[, charset[, BOLD ITALIC UNDERLINE]]"
};

// The keyword-link record (HH_AKLINK). Texts are zero-terminated UTF-8.
struct THHAKLink {
    std::int32_t cbStruct = kHHAKLinkSize;
    bool fReserved = false;
    const char* pszKeywords = nullptr; // keywords separated by ';'
    const char* pszUrl = nullptr;      // shown when nothing is found (unused here when empty)
    const char* pszMsgText = nullptr;  // message shown when nothing is found and fIndexOnFail is false
    const char* pszMsgTitle = nullptr;
    const char* pszWindow = nullptr;
    bool fIndexOnFail = false;         // open the index at the keyword when nothing is found
};

} // namespace mirvo
