// THTMLhelpRouter: a non-visual component that takes over the application's
// help requests and sends them to HTML Help (the program's help window),
// falling back to WinHelp unless told not to. One router per program.
#pragma once

#include "base/error.h"
#include "help/apphelp.h"

#include <QObject>
#include <QString>

class QWidget;

namespace mirvo {

// Which viewer the router uses.
enum THelpType {
    htAuto = 0,     // HTML Help when its library is present, else WinHelp
    htWinhelp = 1,  // WinHelp only
    htHTMLhelp = 2, // HTML Help only, no WinHelp fallback
};

// How WinHelp fallbacks are shown; only stMain changes anything: it turns a
// context pop-up into a context request and drops a pop-up position.
enum TShowType {
    stDefault = 0,
    stMain = 1,
    stPopup = 2,
};

// The router's owner, when the router needs it as a form, is not a form.
class EOwnerError : public koyomi::EMirvoError {
public:
    using koyomi::EMirvoError::EMirvoError;
};

class THTMLhelpRouter final : public QObject {
    Q_OBJECT
public:
    // Installs the router as the application's help handler, keeping the
    // previous handler. Throws koyomi::EMirvoError "Multiple instances of
    // THTMLhelpRouter are not allowed" when a router exists already.
    explicit THTMLhelpRouter(QObject* owner);
    // Puts the previous application help handler back.
    ~THTMLhelpRouter() override;

    THelpType GetHelpType() const { return FHelpType; }
    // Setting htAuto or htHTMLhelp loads the HTML Help library.
    void SetHelpType(THelpType value);
    TShowType GetShowType() const { return FShowType; }
    void SetShowType(TShowType value) { FShowType = value; }
    // Help file used instead of the application's or the active window's; empty: none.
    QString GetHelpfile() const { return FHelpfile; }
    void SetHelpfile(const QString& value) { FHelpfile = value; }
    // Called first for every request; it may clear callHelp to serve the request itself.
    THelpEvent GetOnHelp() const { return FOnHelp; }
    void SetOnHelp(THelpEvent handler) { FOnHelp = std::move(handler); }
    // Always "2.02"; writing it has no effect.
    QString GetVersion() const;
    void SetVersion(const QString& value);

    // Loads the HTML Help library if not yet done; true when its entry point is known.
    bool HTMLhelpInstalled();
    // The active window, or else the owner; null when there is neither.
    // Throws EOwnerError when the owner is needed and is not a window.
    QWidget* CurrentForm() const;
    // Chooses the window and the help file of a request; returns whether to use HTML Help.
    bool FindHandle(QWidget*& handle, QString& file);
    // The application help handler (see the class comment of apphelp.h).
    bool OnRouteHelp(quint16 command, quintptr data, bool& callHelp);

    // Opens the help file's table of contents (application help command HELP_FINDER).
    bool HelpContent();
    // Shows a topic of `file` (empty: the router's help file); a topic without
    // an extension .htm/.html gets ".htm".
    bool HelpJump(const QString& file, const QString& topic);
    // Shows `text` in a pop-up at (x, y), client pixels of the current window.
    bool HelpPopup(int x, int y, const QString& text);
    // Opens the index at a keyword (application help command HELP_KEY); at most 255 characters are used.
    bool HelpKeyword(const QString& keyword);
    // Shows the topics of index keywords / associative links; keywords separated by ';'.
    bool HelpKLink(const QString& keywords);
    bool HelpALink(const QString& keywords);

private:
    bool HelpAKLink(const QString& keywords, unsigned lookupCommand, const char* macroPattern);
    bool WinHelpMacro(QWidget* handle, const QString& helpfile, const QString& macro);

    THelpType FHelpType = htAuto;
    TShowType FShowType = stDefault;
    QString FHelpfile;
    THelpEvent FOnHelp;
    THelpEvent FOldHelpHandler;
    bool FInstalled = false;
};

// The one installed router; null while there is none.
extern THTMLhelpRouter* GLOBAL_HELPROUTER;

// Loads the HTML Help library ("HHCTRL.OCX") and looks up "HtmlHelpA", once:
// returns at once when the library is loaded. True when the library is loaded.
bool LoadHtmlHelpLibrary();
// Releases the library, as the program's end does.
void FreeHtmlHelpLibrary();

// `file` with its extension replaced by `extension` (which starts with '.'),
// or `extension` appended when the name has none.
QString ChangeFileExt(const QString& file, const QString& extension);

} // namespace mirvo
