// SPDX-License-Identifier: GPL-3.0-or-later
#include "Assets.h"

#include <QImageReader>

QPixmap ShownPartOfPhotograph(QSize shown)
{
    // Decoding just the part that shows saves start-up time and memory.
    QImageReader reader(QStringLiteral(":/intro.jpg"));
    reader.setClipRect(QRect(QPoint(0, 0), shown));
    return QPixmap::fromImage(reader.read());
}

QIcon WindowIcon(qreal devicePixelRatio)
{
    // Decoding every size for the window manager at start-up would cost more than the rest
    // of the window; menus and launchers take the larger sizes from the installed icon theme.
    constexpr int DesignSize = 48;
    QIcon icon(QStringLiteral(":/icons/icon-48.png"));
    for (int size : {64, 128, 256}) {
        if (DesignSize * devicePixelRatio <= DesignSize)
            break;
        icon.addFile(QStringLiteral(":/icons/icon-%1.png").arg(size), QSize(size, size));
        if (size >= DesignSize * devicePixelRatio)
            break;
    }
    return icon;
}
