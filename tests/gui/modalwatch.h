// Helpers of the window tests: modal windows answered from single-shot
// timers, child widgets found by name, and the calendar data file that the
// build puts beside the program.
#pragma once

#include "datafile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

namespace testing_gui {

constexpr int kPollMilliseconds = 10;
constexpr int kPollAttempts = 500;  // five seconds

// Runs `action` on the active modal window once it is a W. The timer is
// armed again until then, at most kPollAttempts times; it dies with `context`.
template <typename W>
void WhenActiveModal(QObject* context, std::function<void(W&)> action, int attempts = kPollAttempts)
{
    QTimer::singleShot(kPollMilliseconds, context, [context, action, attempts] {
        if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget()))
            action(*window);
        else if (attempts > 0)
            WhenActiveModal<W>(context, action, attempts - 1);
    });
}

// Answers every message box that becomes the active modal window while the
// watch lives: keeps its text and closes it with OK.
class TMessageBoxWatch final : public QObject {
public:
    // `press`: the object name of a button to click instead, in a box that has one.
    explicit TMessageBoxWatch(QString press = {}) : FPress(std::move(press)) { Arm(); }
    QStringList texts;

private:
    void Arm()
    {
        QTimer::singleShot(kPollMilliseconds, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                QAbstractButton* button = FPress.isEmpty() ? nullptr : box->findChild<QAbstractButton*>(FPress);
                if (button)
                    button->click();
                else
                    box->done(QMessageBox::Ok);
            }
            Arm();
        });
    }
    QString FPress;
};

// The child widget of `w` named `name`; the test stops when there is none.
template <typename T>
T* Child(const QWidget& w, const char* name)
{
    T* child = w.findChild<T*>(name);
    if (!child)
        qFatal("no widget %s", name);
    return child;
}

// Loads Kosmera.dat from beside the program for the rest of the run.
inline bool LoadDataFile()
{
    static const testsupport::TLoadedDataFile file;
    return file.Loaded();
}

} // namespace testing_gui
