// Small helpers that the settings window's files share (formoption.cpp, the
// member editor and the method tab); nothing outside the window includes it.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QVariant>

namespace mirvo::optionwindow {

// The number a control carries in its "tag" property (set in the layout).
inline int Tag(const QObject* object)
{
    return object ? object->property("tag").toInt() : 0;
}

// A text put into an edit field by the program shows from its start, as on
// Windows: a weight of 0.100000001490116 reads "0.1000..." in its narrow field.
inline void ShowText(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

} // namespace mirvo::optionwindow
