#pragma once
// What a window needs to know of its pictures' pixels as a whole: the outline of a window from
// its shape bitmap and the average colour its background is filled with. Plain functions of the
// pixels, with no resource behind them, so that the skin generator can work them out once at
// build time (skin/EmbeddedImage.h: the bitmap summaries) with the same code the windows use
// when a picture comes without a summary.

#include "skin/SkinTypes.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QVector>

// The runs of pixels that are not of the shape colour RGB(255, 255, 0), row by row from the top
// and left to right within a row, each one pixel high.
QVector<QRect> ShapeRuns(const QImage& bmp);
// The region the runs cover; empty for no runs.
QRegion RegionFromRuns(const QVector<QRect>& vecRuns);
// Region of the pixels that are not of the shape colour: RegionFromRuns(ShapeRuns(bmp)).
QRegion RegionFromBitmap(const QImage& bmp);

// Per-channel integer mean of all pixels; bOk false (and crOld returned) for an empty image.
COLORREF AverageColour(const QImage& bmp, COLORREF crOld, bool* pbOk = nullptr);
