#include "skin/FontWarmUp.h"

#include <QFontDatabase>
#include <QThreadPool>
#include <fontconfig/fontconfig.h>

void WarmUpFonts()
{
    // The font database serialises its users, so the UI thread finds it ready, or waits for the
    // rest of the load if it comes sooner.
    QThreadPool::globalInstance()->start(
        []
        {
            FcInit();
            QFontDatabase::families();
        });
}
