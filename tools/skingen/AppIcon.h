#pragma once
// The program's icon: the window and tray icon the skin embeds, and the icon an installation puts
// into the desktop's icon theme, drawn by one function at any size.

#include <QImage>

// The icon, nSize pixels square. It is designed on a 64-pixel grid and drawn scaled, so every
// size shows the same picture; the smallest sizes leave out the glow, which would only blur them.
QImage DrawAppIcon(int nSize);
