#pragma once
// The keyboard hook of the program: an application-wide event filter that sees the keys which
// reach any of the program's windows (no global key logging, no privilege; the same on X11 and
// Wayland). While started it reports each key to its window (see KeyHook.h) and consumes it, so
// a key being recorded or captured never also acts on a window: Escape does not close the main
// window during a recording, Enter does not press a dialog's OK, and no shortcut fires.
//
// The stamp is the window system's event time when the event carries one (X11 and Wayland
// give milliseconds), else the time the hook saw the event. When two hooks are started the
// one started last takes the keys.

#include "keyboardhook/KeyHook.h"

#include <QObject>
#include <QPointer>
#include <chrono>

class QKeyEvent;

class CKeyboardHook : public QObject, public CKeyHook
{
public:
    CKeyboardHook();
    ~CKeyboardHook() override;
    CKeyboardHook(const CKeyboardHook&) = delete;
    CKeyboardHook& operator=(const CKeyboardHook&) = delete;

    int StartHook(CSkinWindow* pWindow) override;
    int StopHook() override;
    bool IsStarted() const override { return m_bStarted; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    std::uint64_t StampOf(const QKeyEvent& event) const;

    QPointer<CSkinWindow> m_pWindow;
    bool m_bStarted = false;
    std::chrono::steady_clock::time_point m_tpCreated = std::chrono::steady_clock::now();
};
