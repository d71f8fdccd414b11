#pragma once
// What the device link needs from the window that owns it. The link never touches a widget: it
// asks through this interface, always from the thread that owns the window ("UI thread"),
// except PostToUiThread, which the listener thread calls to hand work over.

#include <functional>
#include <string>

class CDeviceLinkUi
{
public:
    virtual ~CDeviceLinkUi() = default;

    // Queues fn to run later on the UI thread, in the order of the calls. Called from the
    // listener thread; must be safe from any thread, must not run fn before returning and must
    // not wait for the UI thread (which may be joining the listener at that moment).
    virtual void PostToUiThread(std::function<void()> fn) = 0;

    // The attention dialog (title, text), shown modally.
    virtual void ShowAttention(const std::string& strTitle, const std::string& strText) = 0;

    // The on-screen display request of message 1067: text code 1..3 (active profile one, two,
    // three), 4/5 (Windows key disabled/enabled), 6/7 (all keys disabled/enabled).
    virtual void RequestOsdText(int nTextCode) = 0;

    // Reloads the window's controls from the active slot.
    virtual void RefreshProfileView() = 0;
};
