#pragma once
// The running copy's side of a second start: when one asks (platform/ShowRequestChannel.h), the
// window comes out of the tray or the task bar in front, as the tray menu's "Config Keyboard"
// brings it.

#include <memory>
#include <string>

#include "platform/ShowRequestChannel.h"

class CSkinWindow;
class QSocketNotifier;

class CShowRequestListener
{
public:
    // strFolder: the single-instance lock's folder. Without a usable socket there the program
    // runs as before; a second start then only shows its message.
    CShowRequestListener(const std::string& strFolder, CSkinWindow& window);
    ~CShowRequestListener();
    CShowRequestListener(const CShowRequestListener&) = delete;
    CShowRequestListener& operator=(const CShowRequestListener&) = delete;

    bool IsListening() const { return m_channel.Fd() >= 0; }

private:
    CShowRequestChannel m_channel;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
};
