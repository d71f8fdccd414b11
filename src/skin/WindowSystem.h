#pragma once
// What the window system lets the program do with its own windows. X11 places top-levels where
// the program asks, clips them to a shape mask and stacks and activates them on request. A
// Wayland compositor does none of that: a client cannot place a top-level, a mask only limits
// input, and only the compositor activates. Skinned windows there paint their shape with alpha,
// popups are placed relative to their parent, and activation of popups is followed by the
// program itself (PopupActivation.h).

namespace WindowSystem
{

// True on Qt's wayland platforms. Decided once, from the platform Qt runs on, the first time it
// is asked (after the application object exists).
bool IsWayland();

} // namespace WindowSystem
