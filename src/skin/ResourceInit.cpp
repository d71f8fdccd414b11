#include "skin/ResourceInit.h"

#include <QResource>

// The resource collection, placed in the program by the generated collection source.
extern "C" const unsigned char corvane_resource_collection[];

void CorvaneInitResources()
{
    // Registering twice would list every picture twice; once is enough.
    static const bool bDone = QResource::registerResource(corvane_resource_collection);
    (void)bDone;
}

namespace
{
// Linking the resources into a program makes the pictures available before main runs.
[[maybe_unused]] const bool g_bRegisteredAtStart = (CorvaneInitResources(), true);
} // namespace
