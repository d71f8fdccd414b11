#include "skin/WindowSystem.h"

#include <QGuiApplication>

bool WindowSystem::IsWayland()
{
    static const bool s_bWayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return s_bWayland;
}
