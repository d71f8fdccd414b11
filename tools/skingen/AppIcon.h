#pragma once
// The program's icon: the window and tray icon the skin embeds, and the icon an installation puts
// into the desktop's icon theme, drawn by one function at any size.

#include <QImage>
#include <QPainter>
#include <QRectF>

// The icon, nSize pixels square. It is designed on a 64-pixel grid and drawn scaled, so every
// size shows the same picture; the smallest sizes leave out the glow, which would only blur them.
QImage DrawAppIcon(int nSize);

// The icon's emblem, which the main window's logo shows too: a keycap seen from above, lit in the
// highlight blue, with the letter Q. No glow when nGlowSpread is 0.
void DrawLitKeycap(QPainter& painter, const QRectF& cap, int nLetterPixels, int nGlowSpread, int nGlowAlpha);
