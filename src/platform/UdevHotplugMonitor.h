#pragma once
// Arrival and removal of hidraw device nodes from udev. Nothing polls: the owner watches Fd()
// (for example with a socket notifier) and calls DrainEvents when it polls readable.

#include "platform/Hotplug.h"

struct udev;
struct udev_monitor;

class CUdevHotplugMonitor : public CHotplugSource
{
public:
    CUdevHotplugMonitor();
    ~CUdevHotplugMonitor() override;
    CUdevHotplugMonitor(const CUdevHotplugMonitor&) = delete;
    CUdevHotplugMonitor& operator=(const CUdevHotplugMonitor&) = delete;

    bool IsValid() const { return m_nFd >= 0; }
    int Fd() const override { return m_nFd; }
    int DrainEvents(const HotplugCallback& fnCallback) override;

private:
    udev* m_pUdev = nullptr;
    udev_monitor* m_pMonitor = nullptr;
    int m_nFd = -1;
};
