#pragma once
// Keycap strips and tab strips of the main window (TabAndKeyArt.cpp).

#include "KeyButtonLayout.h"

#include <QImage>
#include <QString>

QImage KeyStrip(const KeyButtonLayout& key);
// Page tabs hang from the bottom edge of the page panel: square top, round bottom.
QImage PageTab(int nWidth, int nHeight, const QString& strLabel);
// Profile tabs: pills with a status light that is lit on the active profile.
QImage ProfileTab(int nWidth, int nHeight, const QString& strLabel);
