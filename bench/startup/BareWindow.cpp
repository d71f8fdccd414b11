// The reference of the start-up benchmark: a plain Qt window of the main window's size and
// kind, built like the program, that prints "mapped" the same way once it is on the screen.

#include "MappedNotice.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(800, 634);
    CMappedNotice mapped(window);
    window.show();
    return app.exec();
}
