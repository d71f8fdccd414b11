#pragma once
// CHidBackend on hidapi's hidraw backend. Each entry of Enumerate is one top-level collection;
// collections of one USB interface share a device node and therefore a path. The input report
// length comes from the node's report descriptor in sysfs when it can be read, else 0.
//
// Enumerate and Open may be called from any thread. Each handle wraps its own hid_device: one
// thread may block in Read on one handle while another uses feature reports on another handle;
// feature calls on one handle are serialised by the handle itself.

#include "platform/HidBackend.h"

class CHidapiBackend : public CHidBackend
{
public:
    CHidapiBackend();           // hid_init
    ~CHidapiBackend() override; // hid_exit; every handle must be gone by then
    CHidapiBackend(const CHidapiBackend&) = delete;
    CHidapiBackend& operator=(const CHidapiBackend&) = delete;

    bool IsInitialised() const { return m_bInitialised; }

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<CHidHandle> Open(const std::string& strPath) override;

private:
    bool m_bInitialised = false;
};
