// The help viewers as the program finds them at run time. The program was
// designed for a desktop where HTML Help is a library loaded by name
// ("HHCTRL.OCX", entry point "HtmlHelpA") and WinHelp a call of the system
// ("USER32.DLL", "WinHelpA"). Here both are entries of a table of viewer
// modules: HTML Help is the program's own help window, and WinHelp, which
// this platform does not have, is an entry that always fails. Looking them up
// by name keeps the rule that the program runs, without that help, when a
// viewer is missing.
#pragma once

#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace mirvo {

// HtmlHelpA (caller window or null, file or URL or empty, HH_ command, data)
// -> the help window that serves the call, or null when the call failed.
using THtmlHelpA = QWidget* (*)(QWidget* caller, const QString& file, unsigned command, quintptr data);
// WinHelpA (owner window or null, .hlp file, HELP_ command, data) -> success.
using TWinHelpA = bool (*)(QWidget* owner, const QString& file, unsigned command, quintptr data);

// Any entry point, stored untyped and cast back to its own type by the caller.
using THelpProc = void (*)();

struct THelpModule;
// A loaded module; it stays valid while held, even when the table changes.
using THelpModuleHandle = std::shared_ptr<const THelpModule>;

inline constexpr const char* kHtmlHelpModule = "HHCTRL.OCX";
inline constexpr const char* kHtmlHelpProc = "HtmlHelpA";
inline constexpr const char* kWinHelpModule = "USER32.DLL";
inline constexpr const char* kWinHelpProc = "WinHelpA";

// The module of that name (compared without regard to case), or null.
THelpModuleHandle LoadHelpModule(const QString& name);
// The entry point of that name (exact case) in a loaded module, or null.
THelpProc GetHelpProcAddress(const THelpModuleHandle& module, const QString& procName);

// Puts a module into the table, replacing one of the same name.
void InstallHelpModule(const QString& name, std::vector<std::pair<QString, THelpProc>> procs);
// Takes a module out of the table; handles already loaded keep working.
void RemoveHelpModule(const QString& name);
// Puts the table back as the program starts with it: the help window as
// HTML Help and the failing WinHelp.
void ResetHelpModules();

// Calls WinHelp through the table; false when the module or its entry point
// is missing or the call fails.
bool WinHelpA(QWidget* owner, const QString& file, unsigned command, quintptr data);

} // namespace mirvo
