#include "app/helpkeys.h"

#include "help/helprouter.h"

#include <QKeyEvent>
#include <QWidget>

#include <array>

namespace {

struct HelpPlace {
    const char* objectName;  // a window or a control
    const char* topic;       // its page in the help file
};

// The windows and the parts of them that have a page of their own; a
// control not named here takes the page of the part or window around it.
constexpr std::array<HelpPlace, 9> kHelpPlaces = {{
    {"TTodayMirvo", "mainwindow.htm"},
    {"TodayMirvoOption", "settings.htm"},
    {"tabUser", "settings.htm"},
    {"tabPlanet", "method.htm"},
    {"MirvoMonth", "month.htm"},
    {"MirvoInfo", "detail.htm"},
    {"dlgPrintPreview", "print.htm"},
    {"TDialogVersion", "version.htm"},
    {"THelpWindow", "access.htm"},
}};

} // namespace

THelpKeys::THelpKeys(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("objHelpKeys"));
}

QString THelpKeys::TopicOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        for (const HelpPlace& place : kHelpPlaces)
            if (w->objectName() == QLatin1String(place.objectName))
                return QString::fromLatin1(place.topic);
    }
    return {};
}

bool THelpKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    // The key comes to the focus widget first: that is where the user is.
    const QString topic = TopicOf(static_cast<QWidget*>(watched));
    if (!mirvo::GLOBAL_HELPROUTER)
        return false;
    if (topic.isEmpty())
        mirvo::GLOBAL_HELPROUTER->HelpContent();
    else
        mirvo::GLOBAL_HELPROUTER->HelpJump(QString(), topic);
    return true;
}
