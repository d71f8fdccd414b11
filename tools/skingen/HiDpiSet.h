#pragma once
// The 2x set: every picture drawn a second time by the same functions on canvases of twice the
// pixels (SetCanvasScale), for screens whose device pixel ratio is above 1. The program keeps
// the 1x set in its ready-pixel form and uses it alone at 100 %; the 2x set is stored as PNG,
// which it decodes only when a window first draws at a higher ratio.
//   :/2x/PNG/<id>, :/2x/BITMAP/<id>, :/2x/ICON/<id>   (skin/EmbeddedImage.h)

#include "Artwork.h"

#include <QDir>
#include <QTextStream>
#include <vector>

// Draws the 2x set of vec1x (the same resources in the same order) into vec2x. False, with a
// message, when a 2x picture is not exactly twice its 1x picture in each direction.
bool DrawHiDpiSet(const std::vector<GeneratedResource>& vec1x, std::vector<GeneratedResource>& vec2x);
// Writes <outDir>/2x/<kind>/<id>.png for every picture; false (with a message) on failure.
bool WriteHiDpiImages(const QDir& outDir, const std::vector<GeneratedResource>& vec2x);
// The collection's entries for the 2x set.
void ListHiDpiImages(QTextStream& stream, const std::vector<GeneratedResource>& vec2x);
