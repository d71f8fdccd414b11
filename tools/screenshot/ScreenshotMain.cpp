// corvane-screenshot <file.png>: saves the whole X screen, for looking at the program running
// under Xvfb (xvfb-run) without any other tool.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: corvane-screenshot <file.png>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* pScreen = QGuiApplication::primaryScreen();
    if (!pScreen)
        return 1;
    const QPixmap shot = pScreen->grabWindow(0);
    return shot.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
