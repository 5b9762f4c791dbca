#include "help/helprouter.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "help/helpcommands.h"
#include "help/helpmodules.h"

#include <QApplication>
#include <QByteArray>
#include <QWidget>

namespace mirvo {

THTMLhelpRouter* GLOBAL_HELPROUTER = nullptr;

namespace {

constexpr const char* kRouterVersion = "2.02";
// Keywords and macros are handed over in buffers of this many characters.
constexpr int kHelpTextLimit = 255;
constexpr const char* kPopupFont = "MS Sans Serif, 10";

// The loaded HTML Help library and its entry point.
THelpModuleHandle HHCTRL;
THtmlHelpA HtmlHelpA = nullptr;

QWidget* CallHtmlHelp(QWidget* caller, const QString& file, unsigned command, quintptr data)
{
    return HtmlHelpA ? HtmlHelpA(caller, file, command, data) : nullptr;
}

// A zero-terminated UTF-8 copy of at most kHelpTextLimit characters.
QByteArray HelpTextBuffer(const QString& text)
{
    QString limited = text.left(kHelpTextLimit);
    if (!limited.isEmpty() && limited.back().isHighSurrogate())
        limited.chop(1);
    return limited.toUtf8();
}

// A topic names a page; ".htm" is added unless it has the extension .htm or .html.
QString TopicPage(const QString& topic)
{
    const int dot = topic.lastIndexOf(QLatin1Char('.'));
    const int slash = std::max(topic.lastIndexOf(QLatin1Char('/')), topic.lastIndexOf(QLatin1Char('\\')));
    const QString extension = dot > slash ? topic.mid(dot).toLower() : QString();
    return extension.left(4) == QLatin1String(".htm") ? topic : topic + QLatin1String(".htm");
}

} // namespace

bool LoadHtmlHelpLibrary()
{
    if (HHCTRL)
        return true;
    HtmlHelpA = nullptr;
    HHCTRL = LoadHelpModule(QString::fromLatin1(kHtmlHelpModule));
    if (HHCTRL)
        HtmlHelpA = reinterpret_cast<THtmlHelpA>(GetHelpProcAddress(HHCTRL, QString::fromLatin1(kHtmlHelpProc)));
    return HHCTRL != nullptr;
}

void FreeHtmlHelpLibrary()
{
    HtmlHelpA = nullptr;
    HHCTRL.reset();
}

QString ChangeFileExt(const QString& file, const QString& extension)
{
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    const int slash = std::max(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char('\\')));
    return (dot > slash ? file.left(dot) : file) + extension;
}

THTMLhelpRouter::THTMLhelpRouter(QObject* owner)
    : QObject(owner)
{
    if (GLOBAL_HELPROUTER)
        throw koyomi::EMirvoError(LoadStr(kMultipleRoutersMessage));
    FOldHelpHandler = GetApplicationOnHelp();
    SetApplicationOnHelp([this](quint16 command, quintptr data, bool& callHelp) {
        return OnRouteHelp(command, data, callHelp);
    });
    FInstalled = true;
    GLOBAL_HELPROUTER = this;
    FShowType = stDefault;
}

THTMLhelpRouter::~THTMLhelpRouter()
{
    if (FInstalled)
        SetApplicationOnHelp(FOldHelpHandler);
    if (GLOBAL_HELPROUTER == this)
        GLOBAL_HELPROUTER = nullptr;
}

void THTMLhelpRouter::SetHelpType(THelpType value)
{
    if (value == FHelpType)
        return;
    FHelpType = value;
    if (value == htAuto || value == htHTMLhelp)
        LoadHtmlHelpLibrary();
}

QString THTMLhelpRouter::GetVersion() const
{
    return QString::fromLatin1(kRouterVersion);
}

void THTMLhelpRouter::SetVersion(const QString&)
{
    // The version is the component's own; a stored value is ignored.
}

bool THTMLhelpRouter::HTMLhelpInstalled()
{
    if (!HHCTRL)
        LoadHtmlHelpLibrary();
    return HtmlHelpA != nullptr;
}

QWidget* THTMLhelpRouter::CurrentForm() const
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    QObject* owner = parent();
    if (!owner)
        return nullptr;
    auto* form = qobject_cast<QWidget*>(owner);
    if (!form || !form->isWindow())
        throw EOwnerError(LoadStr(kOwnerNotFormMessage));
    return form;
}

bool THTMLhelpRouter::FindHandle(QWidget*& handle, QString& file)
{
    bool useHtmlHelp = false;
    switch (FHelpType) {
    case htAuto:
        useHtmlHelp = HTMLhelpInstalled();
        break;
    case htWinhelp:
        useHtmlHelp = false;
        break;
    case htHTMLhelp:
        useHtmlHelp = true;
        break;
    }
    file = GetApplicationHelpFile();
    handle = ApplicationWindow();
    QWidget* form = CurrentForm();
    if (form && form->windowHandle() && !GetFormHelpFile(form).isEmpty()) {
        handle = form;
        file = GetFormHelpFile(form);
    }
    if (!FHelpfile.isEmpty()) {
        file = FHelpfile;
        handle = ApplicationWindow();
    }
    return useHtmlHelp;
}

bool THTMLhelpRouter::OnRouteHelp(quint16 command, quintptr data, bool& callHelp)
{
    bool result = false;
    if (FOnHelp)
        result = FOnHelp(command, data, callHelp);
    if (callHelp && FOldHelpHandler)
        result = FOldHelpHandler(command, data, callHelp);
    if (!callHelp)
        return result;

    QWidget* handle = nullptr;
    QString file;
    const bool useHtmlHelp = FindHandle(handle, file);
    result = false;
    if (useHtmlHelp) {
        const QString chm = ChangeFileExt(file, QStringLiteral(".chm"));
        switch (command) {
        case HELP_CONTEXT:
        case HELP_CONTEXTPOPUP:
            result = CallHtmlHelp(handle, chm, HH_HELP_CONTEXT, data) != nullptr;
            break;
        case HELP_QUIT:
            result = CallHtmlHelp(handle, QString(), HH_CLOSE_ALL, 0) != nullptr;
            break;
        case HELP_CONTENTS:
        case HELP_FINDER:
            result = CallHtmlHelp(handle, chm, HH_DISPLAY_TOC, 0) != nullptr;
            break;
        case HELP_KEY:
            result = CallHtmlHelp(handle, chm, HH_DISPLAY_INDEX, data) != nullptr;
            break;
        default:
            break;
        }
    }
    if (!result && FHelpType != htHTMLhelp) {
        quint16 winHelpCommand = command;
        if (FShowType == stMain) {
            if (winHelpCommand == HELP_CONTEXTPOPUP)
                winHelpCommand = HELP_CONTEXT;
            else if (winHelpCommand == HELP_SETPOPUP_POS)
                winHelpCommand = 0;
        }
        result = winHelpCommand == 0
            || WinHelpA(handle, ChangeFileExt(file, QStringLiteral(".hlp")), winHelpCommand, data);
    }
    // The request is served here; the application must not call WinHelp itself.
    callHelp = false;
    return result;
}

bool THTMLhelpRouter::HelpContent()
{
    return ApplicationHelpCommand(HELP_FINDER, 0);
}

bool THTMLhelpRouter::WinHelpMacro(QWidget* handle, const QString& helpfile, const QString& macro)
{
    const QString hlp = ChangeFileExt(helpfile, QStringLiteral(".hlp"));
    const QByteArray buffer = HelpTextBuffer(macro);
    return WinHelpA(handle, hlp, HELP_CONTENTS, 0)
        && WinHelpA(handle, hlp, HELP_COMMAND, reinterpret_cast<quintptr>(buffer.constData()));
}

bool THTMLhelpRouter::HelpJump(const QString& file, const QString& topic)
{
    QWidget* handle = nullptr;
    QString helpfile;
    const bool useHtmlHelp = FindHandle(handle, helpfile);
    if (!file.isEmpty()) {
        helpfile = file;
        handle = nullptr;
    }
    bool result = false;
    if (useHtmlHelp) {
        const QString url = ChangeFileExt(helpfile, QStringLiteral(".chm")) + QLatin1String("::/") + TopicPage(topic);
        result = CallHtmlHelp(handle, url, HH_DISPLAY_TOPIC, 0) != nullptr;
    }
    if (!result && FHelpType != htHTMLhelp)
        result = WinHelpMacro(handle, helpfile, QStringLiteral("JumpID(\"\",\"%1\")").arg(topic));
    return result;
}

bool THTMLhelpRouter::HelpPopup(int x, int y, const QString& text)
{
    if (FHelpType == htWinhelp || !HTMLhelpInstalled())
        return false;
    QWidget* form = CurrentForm();
    if (!form)
        return false;
    const QPoint screen = form->mapToGlobal(QPoint(x, y));
    const QByteArray textBuffer = text.toUtf8();
    THHPopup popup;
    popup.pszText = textBuffer.constData();
    popup.pt.x = screen.x();
    popup.pt.y = screen.y();
    popup.pszFont = kPopupFont;
    return CallHtmlHelp(form, QString(), HH_DISPLAY_TEXT_POPUP, reinterpret_cast<quintptr>(&popup)) != nullptr;
}

bool THTMLhelpRouter::HelpKeyword(const QString& keyword)
{
    const QByteArray buffer = HelpTextBuffer(keyword);
    return ApplicationHelpCommand(HELP_KEY, reinterpret_cast<quintptr>(buffer.constData()));
}

bool THTMLhelpRouter::HelpAKLink(const QString& keywords, unsigned lookupCommand, const char* macroPattern)
{
    QWidget* handle = nullptr;
    QString file;
    const bool useHtmlHelp = FindHandle(handle, file);
    bool result = false;
    if (useHtmlHelp) {
        const QString chm = ChangeFileExt(file, QStringLiteral(".chm"));
        const QByteArray keywordBuffer = keywords.toUtf8();
        THHAKLink link;
        link.fReserved = false;
        link.pszKeywords = keywordBuffer.constData();
        link.pszUrl = "";
        link.pszMsgText = "";
        link.pszMsgTitle = "";
        link.pszWindow = "";
        link.fIndexOnFail = true;
        result = CallHtmlHelp(handle, chm, HH_DISPLAY_TOPIC, 0) != nullptr
            && CallHtmlHelp(handle, chm, lookupCommand, reinterpret_cast<quintptr>(&link)) != nullptr;
    }
    if (!result && FHelpType != htHTMLhelp)
        result = WinHelpMacro(handle, file, QString::fromLatin1(macroPattern).arg(keywords));
    return result;
}

bool THTMLhelpRouter::HelpKLink(const QString& keywords)
{
    return HelpAKLink(keywords, HH_KEYWORD_LOOKUP, "KL(\"%1\",1)");
}

bool THTMLhelpRouter::HelpALink(const QString& keywords)
{
    return HelpAKLink(keywords, HH_ALINK_LOOKUP, "AL(\"%1\",1)");
}

} // namespace mirvo
