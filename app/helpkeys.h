// F1 in every window of the program, as in Windows programs: the help page
// of the window, and of the part of it, that has the keyboard focus.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Watches the whole application for F1 (install once, on the application).
class THelpKeys final : public QObject {
    Q_OBJECT
public:
    explicit THelpKeys(QObject* parent = nullptr);

    // The help page (file name inside the help file) for a widget: that of
    // the first of the widget, its parents and its window that has one;
    // empty when none has.
    static QString TopicOf(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
