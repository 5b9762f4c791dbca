#include "app/quitsignals.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace mirvo {

void CloseOpenWindows()
{
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

} // namespace mirvo
