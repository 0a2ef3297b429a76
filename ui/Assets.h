// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures the window carries in its resources: the intro photograph and the icon.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The photograph's top-left part of the given size, which is all the picture box shows.
QPixmap ShownPartOfPhotograph(QSize shown);

// The design's 48 px icon, and on high-DPI screens the next larger one as well.
QIcon WindowIcon(qreal devicePixelRatio);
