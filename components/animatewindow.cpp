#include "components/animatewindow.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "components/animateband.h"
#include "components/windowsystem.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace mirvo {

namespace {

constexpr int kTaskbarButtonWidth = 160;  // pixels: what the outline shrinks to

QList<const QWidget*>& FormList()
{
    static QList<const QWidget*> forms;
    return forms;
}

QPointer<QWidget>& MainForm()
{
    static QPointer<QWidget> form;
    return form;
}

// The windows that go to the taskbar with the program: ordinary windows and
// dialogs that are on the screen, not pop-ups, tips or the outline itself.
bool TakesPartInMinimize(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    return (type == Qt::Window || type == Qt::Dialog) && window->isVisible() && !window->isMinimized();
}

// Minimizes a window without showing it anew: showing would make some
// window systems activate it, which reads as the user switching back to it.
void MinimizeWindow(QWidget* window)
{
    if (window->isVisible())
        window->setWindowState((window->windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
    else
        window->showMinimized();
}

} // namespace

const QList<const QWidget*>& AnimateFormList()
{
    return FormList();
}

QWidget* AnimateMainForm()
{
    return MainForm();
}

TAnimateWindow::TAnimateWindow(QWidget* ownerForm)
{
    if (!ownerForm || !ownerForm->isWindow())
        throw koyomi::EMirvoError(LoadStr(kOwnerNotFormMessage));
    if (FormList().contains(ownerForm))
        throw koyomi::EMirvoError(LoadStr(kOnePerFormMessage));
    setParent(ownerForm);
    FOwnerForm = ownerForm;
    FOwnerKey = ownerForm;
    if (!MainForm()) {
        MainForm() = ownerForm;
        FHooksApplication = true;
    }
    FormList().append(ownerForm);
    // The main form's component watches every window of the program (it
    // serves the program as a whole); another form's watches its form.
    if (FHooksApplication)
        QCoreApplication::instance()->installEventFilter(this);
    else
        ownerForm->installEventFilter(this);
}

TAnimateWindow::~TAnimateWindow()
{
    if (FHooksApplication && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    else if (FOwnerForm)
        FOwnerForm->removeEventFilter(this);
    if (FHooksApplication && MainForm() == FOwnerForm)
        MainForm() = nullptr;
    FormList().removeOne(FOwnerKey);
}

void TAnimateWindow::Minimize()
{
    if (FOwnerForm && !FOwnerForm->isMinimized())
        MinimizeWindow(FOwnerForm);
}

bool TAnimateWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (FChanging || !FOwnerForm || (type != QEvent::WindowStateChange && type != QEvent::WindowActivate))
        return QObject::eventFilter(watched, event);
    if (watched == FOwnerForm) {
        if (type == QEvent::WindowStateChange) {
            const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
            const bool minimizedNow = FOwnerForm->isMinimized();
            if (!before.testFlag(Qt::WindowMinimized) && minimizedNow)
                OwnerMinimized();
            else if (before.testFlag(Qt::WindowMinimized) && !minimizedNow)
                OwnerRestored();
        } else if (FOwnerForm->isMinimized()) {
            // The form is brought forward while minimized: the user switched to the program.
            QMetaObject::invokeMethod(this, &TAnimateWindow::RestoreApplication, Qt::QueuedConnection);
        }
    } else if (type == QEvent::WindowStateChange && FOwnerForm->isMinimized()) {
        // Another window that went down with the program comes back: the
        // user switched to the program through it.
        auto* window = qobject_cast<QWidget*>(watched);
        const bool wentWithProgram = window && FMinimizedWindows.contains(window);
        if (wentWithProgram && !window->isMinimized())
            QMetaObject::invokeMethod(this, &TAnimateWindow::RestoreApplication, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void TAnimateWindow::OwnerMinimized()
{
    if (FHooksApplication) {
        MinimizeWnd();
        return;
    }
    // Another form minimizes the whole program.
    QWidget* main = MainForm();
    if (main && !main->isMinimized())
        QMetaObject::invokeMethod(main, [main] { MinimizeWindow(main); }, Qt::QueuedConnection);
}

void TAnimateWindow::OwnerRestored()
{
    if (FHooksApplication)
        RestoreWnd();
    else
        RestoreApplication();
}

void TAnimateWindow::RestoreApplication()
{
    QWidget* main = MainForm();
    if (main && main->isMinimized())
        main->showNormal();
}

void TAnimateWindow::MinimizeWnd()
{
    FNormalRect = FOwnerForm->frameGeometry();
    // Every window of the program goes with it, a modal window too, which
    // would otherwise stay on the screen with its owner gone.
    FChanging = true;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != FOwnerForm && TakesPartInMinimize(window)) {
            FMinimizedWindows.append(window);
            MinimizeWindow(window);
        }
    }
    FChanging = false;
    Fly(FNormalRect, TaskbarRect(FNormalRect));
    if (FOnMinimize)
        FOnMinimize(QCoreApplication::instance());
}

void TAnimateWindow::RestoreWnd()
{
    FChanging = true;
    if (!FOwnerForm->isVisible())
        FOwnerForm->showNormal();
    for (const QPointer<QWidget>& window : std::as_const(FMinimizedWindows)) {
        if (window && window->isMinimized())
            window->showNormal();
    }
    FMinimizedWindows.clear();
    FChanging = false;
    const QRect normal = FNormalRect.isValid() ? FNormalRect : FOwnerForm->frameGeometry();
    Fly(TaskbarRect(normal), normal);
    // The window is back already: the band flies behind it, never across it.
    FOwnerForm->raise();
    if (FOnRestore)
        FOnRestore(QCoreApplication::instance());
}

QRect TAnimateWindow::TaskbarRect(const QRect& window) const
{
    const QScreen* screen = FOwnerForm->screen();
    const QRect area = screen ? screen->geometry() : window;
    const int captionHeight = FOwnerForm->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, FOwnerForm);
    const int width = std::min(window.width(), kTaskbarButtonWidth);
    const int left = std::clamp(window.center().x() - width / 2, area.left(), std::max(area.left(), area.right() - width + 1));
    return QRect(left, area.bottom() - captionHeight + 1, width, captionHeight);
}

void TAnimateWindow::Fly(const QRect& from, const QRect& to)
{
    if (WindowSystemAnimatesMinimize())
        return;
    if (!FBand)
        FBand = std::make_unique<TAnimateBand>();
    FBand->Fly(from, to, kFlightMilliseconds);
}

} // namespace mirvo
