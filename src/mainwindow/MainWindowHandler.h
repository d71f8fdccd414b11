#pragma once
// One concern of the main window (lighting, slots, header, pages, ...). The window hands every
// message to its handlers in turn until one takes it, asks each to show the active slot when the
// view is refreshed, and lets each paint over the page picture.

#include "skin/SkinTypes.h"

class QPainter;
struct ProfileRecord;

class CMainWindowHandler
{
public:
    virtual ~CMainWindowHandler() = default;

    // True when the message was this handler's (it is then not offered to the others).
    virtual bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) = 0;
    // Shows the active slot's record on the handler's controls.
    virtual void Refresh(const ProfileRecord& record) = 0;
    // Runs once when the window's controls exist and the data files are loaded, before the first
    // refresh.
    virtual void Initialise() {}
    // Paints what the handler adds to the window's background for the page shown, after the page
    // picture and before the controls. Handlers paint in the window's handler order.
    virtual void DrawOnPage(QPainter*, int) {}
};
