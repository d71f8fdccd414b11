#pragma once
// Qt's own windows and widgets that the program shows (the message box of a second start, file
// dialogs, the line edits on the skinned windows, tooltips) in the skin's dark navy and cyan, so
// nothing light flashes up inside the dark program.

#include <QPalette>

// The palette those widgets take: the skin's fills, white text, the toolkit's highlight.
QPalette SkinQtPalette();
// Qt's Fusion style with that palette, tooltips included, for the whole application. Call once
// the application object exists.
void ApplySkinLookToQt();
