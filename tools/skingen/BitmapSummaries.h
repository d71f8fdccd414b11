#pragma once
// Works out each bitmap's summary (skin/EmbeddedImage.h: average colour and shape runs) with the
// windows' own functions and writes it beside the bitmap, so no window scans its pixels at start.

#include "Artwork.h"

#include <QDir>
#include <vector>

// The resource folder the summaries go to, as the collection lists them.
inline constexpr const char* SummaryFolder = "BITMAP_SUMMARY";

// Writes <outDir>/BITMAP_SUMMARY/<id>.img for every bitmap; false (with a message) on failure.
bool WriteBitmapSummaries(const QDir& outDir, const std::vector<GeneratedResource>& vecResources);
