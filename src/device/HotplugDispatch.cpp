#include "device/HotplugDispatch.h"

#include "device/DeviceLink.h"
#include "platform/Hotplug.h"

int DispatchHotplugEvents(CHotplugSource& source, CDeviceLink& link)
{
    bool bArrival = false;
    bool bRemoval = false;
    const int nEvents = source.DrainEvents(
        [&](const HotplugEvent& event) { (event.eAction == EHotplugAction::Arrival ? bArrival : bRemoval) = true; });
    if (bRemoval)
        link.OnDeviceRemoval();
    if (bArrival)
        link.OnDeviceArrival();
    return nEvents;
}
