// Writes the program's icon into an icon theme folder:
//   corvane-iconexport <folder> <icon name> <size>...
// gives <folder>/<n>x<n>/apps/<icon name>.png for each size n.

#include "AppIcon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: corvane-iconexport <folder> <icon name> <size>...\n");
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    for (int i = 3; i < argc; ++i)
    {
        const int nSize = QString::fromLocal8Bit(argv[i]).toInt();
        if (nSize < 8 || nSize > 1024)
        {
            std::fprintf(stderr, "corvane-iconexport: no icon size %s\n", argv[i]);
            return 2;
        }
        const QString strFolder = QString("%1x%1/apps").arg(nSize);
        const QString strPath = theme.filePath(strFolder + "/" + QString::fromLocal8Bit(argv[2]) + ".png");
        if (!theme.mkpath(strFolder) || !DrawAppIcon(nSize).save(strPath, "PNG"))
        {
            std::fprintf(stderr, "corvane-iconexport: cannot write %s\n", qPrintable(strPath));
            return 1;
        }
    }
    return 0;
}
