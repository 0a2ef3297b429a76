// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where the design's units (DesignTable.h: twips and RGB) become
// device-independent pixels and Qt's colours, and the few things the window draws that the
// design leaves to it.
#pragma once

#include "DesignTable.h"

#include <QColor>
#include <Qt>

inline constexpr const char *NoticeTitle = "Внимание!";
// The colour of the keyboard focus mark, dark enough to see on every green.
inline constexpr quiz::Rgb FocusMark{0, 0, 128};

// Twips in the design become device-independent pixels here and nowhere else.
int Pixels(int twips);
QColor Colour(quiz::Rgb colour);
// A label's alignment across; its text starts at the top.
Qt::Alignment LabelAlignment(quiz::Alignment alignment);
