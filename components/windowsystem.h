// What the window system the program runs under does by itself.
#pragma once

namespace mirvo {

// True when the window system shows its own animation when a window is
// minimized or restored: always under Wayland (the compositor draws every
// window), and under X11 while a compositing manager runs (it owns the
// selection _NET_WM_CM_Sn of a screen). Plain X11 and the platforms without a
// window manager (offscreen, minimal) do not animate.
bool WindowSystemAnimatesMinimize();

} // namespace mirvo
