#include <QApplication>
#include <gtest/gtest.h>

#include "skin/ResourceInit.h"

int main(int argc, char** argv)
{
    // The windows need an application object; tests run without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CorvaneInitResources();
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
