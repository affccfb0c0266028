// Writes Pinlet's icon as PNG files of the freedesktop sizes: make_icons <folder>.
#include "AppIcon.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        QDir().mkpath(dir);
        if (!PinletIconImage(size).save(dir + QStringLiteral("/pinlet.png")))
            return 1;
    }
    return 0;
}
