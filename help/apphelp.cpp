#include "help/apphelp.h"

#include "help/helpmodules.h"

#include <QVariant>
#include <QWidget>

namespace mirvo {

namespace {

constexpr const char* kFormHelpFileProperty = "HelpFile";

THelpEvent& Handler()
{
    static THelpEvent handler;
    return handler;
}

QString& HelpFile()
{
    static QString file;
    return file;
}

} // namespace

THelpEvent GetApplicationOnHelp()
{
    return Handler();
}

void SetApplicationOnHelp(THelpEvent handler)
{
    Handler() = std::move(handler);
}

QString GetApplicationHelpFile()
{
    return HelpFile();
}

void SetApplicationHelpFile(const QString& file)
{
    HelpFile() = file;
}

QString GetFormHelpFile(const QWidget* form)
{
    return form ? form->property(kFormHelpFileProperty).toString() : QString();
}

void SetFormHelpFile(QWidget* form, const QString& file)
{
    form->setProperty(kFormHelpFileProperty, file);
}

QWidget* ApplicationWindow()
{
    return nullptr;
}

bool ApplicationHelpCommand(quint16 command, quintptr data)
{
    bool callHelp = true;
    bool result = false;
    // A copy: the handler may replace itself while it runs.
    const THelpEvent handler = Handler();
    if (handler)
        result = handler(command, data, callHelp);
    if (callHelp)
        result = WinHelpA(ApplicationWindow(), GetApplicationHelpFile(), command, data);
    return result;
}

} // namespace mirvo
