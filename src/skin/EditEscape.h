#pragma once
// Escape typed into an edit box over a skinned window cancels that edit only. An edit box lets
// Escape pass to its window, where it would end the dialog (for the main window, the program);
// here the box keeps the key and the owner undoes what was typed.

#include <functional>

class QLineEdit;

// fnBegin (may be empty) runs whenever the box takes the keyboard focus, so the owner can note
// what an Escape goes back to; fnCancel runs for each Escape typed into the box.
void CancelEditOnEscape(QLineEdit& edit, std::function<void()> fnBegin, std::function<void()> fnCancel);
