// The application's help: one replaceable handler that sees every help
// request of the program first, the application's own help file, and
// ApplicationHelpCommand, which windows call to ask for help (the settings
// window's help button asks for HELP_CONTENTS with data 0). The help router
// installs itself as the handler; without a handler, or when the handler
// leaves callHelp true, the request goes to WinHelp, which this platform does
// not have.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace mirvo {

// A help handler: (help command, data, call-help flag in/out) -> success.
// The data is pointer-sized: for HELP_KEY and HELP_COMMAND it is the address
// of a zero-terminated UTF-8 text.
using THelpEvent = std::function<bool(quint16 command, quintptr data, bool& callHelp)>;

THelpEvent GetApplicationOnHelp();
void SetApplicationOnHelp(THelpEvent handler);

// The application's help file; empty unless a window sets it.
QString GetApplicationHelpFile();
void SetApplicationHelpFile(const QString& file);

// A window's own help file, kept as the window's property "HelpFile"; empty
// when it has none.
QString GetFormHelpFile(const QWidget* form);
void SetFormHelpFile(QWidget* form, const QString& file);

// Stands for the application window that owns help requested for the program
// as a whole. Qt has no such window: it is null, and the help window then
// belongs to no other window.
QWidget* ApplicationWindow();

// Runs a help request: the handler first; if there is none or it leaves
// callHelp true, WinHelp with the application's help file.
bool ApplicationHelpCommand(quint16 command, quintptr data);

} // namespace mirvo
