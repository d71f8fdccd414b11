// The reference of the start-up benchmark: a plain Qt window of the main window's size and
// kind, built like the program. corvane-startwatch times it from outside, as it times the
// program.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(800, 634);
    window.show();
    return app.exec();
}
