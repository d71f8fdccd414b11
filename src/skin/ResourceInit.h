#pragma once
// Makes the skin's embedded pictures (":/PNG/<id>", ":/BITMAP/<id>", ":/ICON/128")
// available. Linking the corvane_resources target into an executable registers
// them on its own; code that reaches them through a static library calls this
// once before loading a picture, which also keeps the linker from dropping them.
// Safe to call any number of times.
void CorvaneInitResources();
