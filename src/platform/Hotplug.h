#pragma once
// Arrival and removal of HID device nodes. The real source is a udev monitor whose file
// descriptor becomes readable when something changed; the keyboard simulator offers the same
// shape so the code that reacts to device changes can be driven by a test.

#include <functional>
#include <string>

enum class EHotplugAction
{
    Arrival,
    Removal
};

struct HotplugEvent
{
    EHotplugAction eAction = EHotplugAction::Arrival;
    std::string strDevNode; // the device node, e.g. "/dev/hidraw3"; the path CHidBackend lists
};

using HotplugCallback = std::function<void(const HotplugEvent&)>;

class CHotplugSource
{
public:
    virtual ~CHotplugSource() = default;
    // A descriptor that polls readable while events are pending (for a socket notifier);
    // -1 when the source could not be set up.
    virtual int Fd() const = 0;
    // Hands every pending event to fnCallback, in order, without blocking. Returns their number.
    virtual int DrainEvents(const HotplugCallback& fnCallback) = 0;
};
