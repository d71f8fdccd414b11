#include "platform/UdevHotplugMonitor.h"

#include <libudev.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

CUdevHotplugMonitor::CUdevHotplugMonitor()
{
    m_pUdev = udev_new();
    if (!m_pUdev)
        return;
    // Events from udevd come after it has set up the node (permissions included); without a
    // running udevd (containers, minimal systems) the kernel's own events are all there is.
    const char* pSource = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    m_pMonitor = udev_monitor_new_from_netlink(m_pUdev, pSource);
    if (!m_pMonitor)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(m_pMonitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_pMonitor) < 0)
        return;
    int nFd = udev_monitor_get_fd(m_pMonitor);
    if (nFd < 0)
        return;
    // Draining must never block the user-interface thread.
    int nFlags = fcntl(nFd, F_GETFL);
    if (nFlags >= 0 && !(nFlags & O_NONBLOCK))
        fcntl(nFd, F_SETFL, nFlags | O_NONBLOCK);
    m_nFd = nFd;
}

CUdevHotplugMonitor::~CUdevHotplugMonitor()
{
    if (m_pMonitor)
        udev_monitor_unref(m_pMonitor);
    if (m_pUdev)
        udev_unref(m_pUdev);
}

int CUdevHotplugMonitor::DrainEvents(const HotplugCallback& fnCallback)
{
    if (m_nFd < 0)
        return 0;
    int nCount = 0;
    while (udev_device* pDevice = udev_monitor_receive_device(m_pMonitor))
    {
        const char* pAction = udev_device_get_action(pDevice);
        const char* pNode = udev_device_get_devnode(pDevice);
        HotplugEvent event;
        bool bKnown = true;
        if (pAction && std::strcmp(pAction, "add") == 0)
            event.eAction = EHotplugAction::Arrival;
        else if (pAction && std::strcmp(pAction, "remove") == 0)
            event.eAction = EHotplugAction::Removal;
        else
            bKnown = false; // "change", "bind" and the like do not change the list of nodes
        if (bKnown)
        {
            event.strDevNode = pNode ? pNode : "";
            ++nCount;
            if (fnCallback)
                fnCallback(event);
        }
        udev_device_unref(pDevice);
    }
    return nCount;
}
