#pragma once
// The gallery's pieces: each Render function writes the pictures of one group of windows.

#include "model/Macro.h"

#include <QImage>
#include <QString>

// Writes one picture into the output folder; a failure is remembered for the exit code.
void Save(const QImage& img, const QString& strName);
// A library of one set with nKeys short macros (the third one with a long name).
MacroLibrary SampleLibrary(int nKeys);

void RenderButtons();
void RenderTextAndLists();
void RenderPopups();
