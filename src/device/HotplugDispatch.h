#pragma once
// How device arrivals and removals reach the link: the policy every front end shares (the
// window, the demo, the command-line tool and the tests), so none keeps a copy of its own.

class CDeviceLink;
class CHotplugSource;

// Takes every event the source holds now and answers the burst once per kind: a removal first,
// then an arrival, so a quick unplug and replug ends connected and a keyboard announced node by
// node is scanned once. Returns the number of events taken.
int DispatchHotplugEvents(CHotplugSource& source, CDeviceLink& link);
