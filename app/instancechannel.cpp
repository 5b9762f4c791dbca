#include "app/instancechannel.h"

#include <QApplication>
#include <QWidget>

namespace mirvo {

bool TInstanceChannel::ComeForward()
{
    // Before the main window is there, a box of the start is what the user waits on.
    QWidget* window = FWindow ? FWindow.data() : QApplication::activeModalWidget();
    if (!window)
        return false;
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace mirvo
