#include "skin/ResourceInit.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitCorvaneResourceCollection() { Q_INIT_RESOURCE(corvane_resources); }

void CorvaneInitResources() {
    // Registering twice is harmless, but once is enough.
    static const bool bDone = (InitCorvaneResourceCollection(), true);
    (void)bDone;
}
