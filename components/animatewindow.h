// TAnimateWindow: a non-visual component that, placed on a form, animates the
// program's minimizing and restoring: a window outline flies from the form to
// the bottom of the screen (where the taskbar is) and back. Minimizing the
// main form minimizes every window of the program with it, also while a
// modal window is open, and restoring brings them back; a form that is
// activated while the program is minimized restores the program. Where the
// window system animates minimizing itself, nothing is drawn on top of it.
// At most one per form.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>

class QWidget;

namespace mirvo {

class TAnimateBand;

// A notification: the sender is the application object.
using TNotifyEvent = std::function<void(QObject* sender)>;

class TAnimateWindow final : public QObject {
    Q_OBJECT
public:
    // Throws koyomi::EMirvoError "AnimateWindowはフォームに一つしか置けません"
    // when the form carries one already, and "コンポーネントの所有者がフォーム
    // ではありません." when the owner is not a window; nothing is hooked then.
    // The first one made becomes the one of the program's main form.
    explicit TAnimateWindow(QWidget* ownerForm);
    ~TAnimateWindow() override;

    // Minimizes the owner form as its minimize button does.
    void Minimize();

    // Called after the program was minimized / restored (main form's component only).
    TNotifyEvent GetOnMinimize() const { return FOnMinimize; }
    void SetOnMinimize(TNotifyEvent handler) { FOnMinimize = std::move(handler); }
    TNotifyEvent GetOnRestore() const { return FOnRestore; }
    void SetOnRestore(TNotifyEvent handler) { FOnRestore = std::move(handler); }

    // The outline's flight in one direction, milliseconds.
    static constexpr int kFlightMilliseconds = 250;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OwnerMinimized();
    void OwnerRestored();
    void MinimizeWnd();
    void RestoreWnd();
    void RestoreApplication();
    void Fly(const QRect& from, const QRect& to);
    QRect TaskbarRect(const QRect& window) const;

    QPointer<QWidget> FOwnerForm;
    const QWidget* FOwnerKey = nullptr;  // the owner's entry in AnimateFormList
    bool FHooksApplication = false; // this one sits on the main form and serves the program
    QRect FNormalRect;               // the main form's frame when it was last minimized
    QList<QPointer<QWidget>> FMinimizedWindows; // the program's other windows, minimized with it
    std::unique_ptr<TAnimateBand> FBand;
    bool FChanging = false;          // while it minimizes or restores windows itself
    TNotifyEvent FOnMinimize;
    TNotifyEvent FOnRestore;
};

// The forms that carry a TAnimateWindow.
const QList<const QWidget*>& AnimateFormList();
// The program's main form as the window animation knows it: the form of the
// first TAnimateWindow made while there was none; null while there is none.
QWidget* AnimateMainForm();

} // namespace mirvo
