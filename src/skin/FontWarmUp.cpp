#include "skin/FontWarmUp.h"

#include <QFontDatabase>
#include <QThreadPool>
#include <fontconfig/fontconfig.h>

CFontWarmUp::CFontWarmUp() : m_thrConfiguration([] { FcInit(); })
{
}

CFontWarmUp::~CFontWarmUp()
{
    if (m_thrConfiguration.joinable())
        m_thrConfiguration.join();
}

void CFontWarmUp::ApplicationCreated()
{
    // The font database serialises its users, so the UI thread finds it ready, or waits for the
    // rest of the load if it comes sooner.
    QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
}
