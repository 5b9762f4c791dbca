// What the window system the program runs under does by itself.
#pragma once

namespace mirvo {

// True when the window system shows its own animation when a window is
// minimized or restored: always under Wayland (the compositor draws every
// window), and under X11 while a compositing manager runs (it owns the
// selection _NET_WM_CM_Sn of a screen). Plain X11 and the platforms without a
// window manager (offscreen, minimal) do not animate.
bool WindowSystemAnimatesMinimize();

// True when the program's file dialogs are the system's own: on Windows,
// whose dialogs speak the language of Windows (Japanese on a Japanese
// Windows) and show its folders (デスクトップ, ドキュメント, ピクチャ);
// elsewhere Qt's own dialog, which the program shows in Japanese whatever the
// desktop's language. False on the offscreen platform of the tests.
bool UsesSystemFileDialogs();

} // namespace mirvo
