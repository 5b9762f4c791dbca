#include "help/htmlhelpviewer.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "help/chmfile.h"
#include "help/helpcommands.h"
#include "help/helppopup.h"
#include "help/helpwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

namespace mirvo {

namespace {

QPointer<THelpWindow>& Window()
{
    static QPointer<THelpWindow> window;
    return window;
}

QPointer<THelpPopup>& Popup()
{
    static QPointer<THelpPopup> popup;
    return popup;
}

// A message that does not stop the program: the help is asked for from
// windows that may be modal themselves.
void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok, QApplication::activeModalWidget());
    box->setObjectName(QStringLiteral("HelpMessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QString LocateHelpFile(const QString& file)
{
    const QFileInfo info(file);
    if (info.isRelative() && !info.exists()) {
        const QFileInfo besideProgram(QDir(QCoreApplication::applicationDirPath()), file);
        if (besideProgram.exists())
            return besideProgram.absoluteFilePath();
    }
    return file;
}

// The help window showing the file of `location`, or null (reported) when
// the file cannot be opened.
THelpWindow* WindowFor(const THelpLocation& location)
{
    const QString path = LocateHelpFile(location.file);
    THelpWindow* window = Window();
    const bool fresh = window == nullptr;
    if (fresh)
        window = new THelpWindow;
    const bool sameFile = !fresh && QFileInfo(window->FilePath()) == QFileInfo(path);
    if (!window->OpenFile(path)) {
        if (fresh)
            delete window;
        ShowMessage(QMessageBox::Warning, QString::fromStdString(LoadStr(kHelpCaption)),
                    QString::fromStdString(koyomi::FormatMessage(LoadStr(kCannotOpenHelpFile),
                                                                 QDir::toNativeSeparators(path).toStdString())));
        return nullptr;
    }
    Window() = window;
    if (!location.topic.isEmpty())
        window->ShowTopic(location.topic);
    else if (!sameFile || window->CurrentTopic().isEmpty())
        window->ShowTopic(QString());
    return window;
}

QString DataText(quintptr data)
{
    return data ? QString::fromUtf8(reinterpret_cast<const char*>(data)) : QString();
}

QWidget* Lookup(const QString& file, unsigned command, quintptr data)
{
    const auto* link = reinterpret_cast<const THHAKLink*>(data);
    if (!link || link->cbStruct != kHHAKLinkSize)
        return nullptr;
    const THelpLocation location = ParseHelpLocation(file);
    THelpWindow* window = WindowFor(location);
    if (!window)
        return nullptr;
    const QString keywords = QString::fromUtf8(link->pszKeywords ? link->pszKeywords : "");
    const QList<THelpTopicRef> topics = command == HH_KEYWORD_LOOKUP ? window->KeywordTopics({keywords})
                                                                     : window->AssociativeTopics({keywords});
    const QString firstKeyword = keywords.section(QLatin1Char(';'), 0, 0).trimmed();
    if (!topics.isEmpty()) {
        window->ShowFoundTopics(firstKeyword, topics);
    } else if (link->fIndexOnFail) {
        window->ShowIndex(firstKeyword);
    } else {
        const QString message = QString::fromUtf8(link->pszMsgText ? link->pszMsgText : "");
        if (!message.isEmpty())
            ShowMessage(QMessageBox::Information, QString::fromUtf8(link->pszMsgTitle ? link->pszMsgTitle : ""), message);
        return nullptr;
    }
    window->Present();
    return window;
}

QWidget* TextPopup(QWidget* caller, quintptr data)
{
    const auto* record = reinterpret_cast<const THHPopup*>(data);
    if (!record || record->cbStruct != kHHPopupSize || !record->pszText || !*record->pszText)
        return nullptr;
    if (Popup())
        Popup()->close();
    auto* popup = new THelpPopup(*record, caller);
    Popup() = popup;
    popup->show();
    return popup;
}

QWidget* Context(const QString& file, quintptr data)
{
    const THelpLocation location = ParseHelpLocation(file);
    const std::unique_ptr<TChmFile> chm = TChmFile::Open(LocateHelpFile(location.file));
    const QString topic = chm ? chm->TopicForContext(std::uint32_t(data)) : QString();
    if (chm && topic.isEmpty())
        return nullptr;
    THelpWindow* window = WindowFor(THelpLocation{location.file, topic, location.window});
    if (window)
        window->Present();
    return window;
}

QWidget* CloseAll()
{
    if (Popup())
        Popup()->close();
    if (Window())
        Window()->close();
    return nullptr;
}

} // namespace

THelpWindow* OpenHelpWindow()
{
    return Window();
}

QWidget* HtmlHelpViewer(QWidget* caller, const QString& file, unsigned command, quintptr data)
{
    switch (command) {
    case HH_DISPLAY_TOPIC:
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX: {
        THelpWindow* window = WindowFor(ParseHelpLocation(file));
        if (!window)
            return nullptr;
        if (command == HH_DISPLAY_TOC)
            window->ShowContents();
        else if (command == HH_DISPLAY_INDEX)
            window->ShowIndex(DataText(data));
        window->Present();
        return window;
    }
    case HH_KEYWORD_LOOKUP:
    case HH_ALINK_LOOKUP:
        return Lookup(file, command, data);
    case HH_DISPLAY_TEXT_POPUP:
        return TextPopup(caller, data);
    case HH_HELP_CONTEXT:
        return Context(file, data);
    case HH_CLOSE_ALL:
        return CloseAll();
    default:
        return nullptr;
    }
}

} // namespace mirvo
