// SPDX-License-Identifier: GPL-3.0-or-later
// The window's fonts. The design asks for "MS Sans Serif"; the window draws every text in
// the Liberation Sans it carries instead, on every system. Where "MS Sans Serif" exists,
// on Windows, it is a bitmap face made for 96 dots per inch, drawn blurred or blocky when
// scaled and measured differently by every Windows version, so no test here can show that
// the questions fit in it; the carried face is the one whose fit the tests prove.
#pragma once

#include <QFont>

namespace DesignFont {

// Registers the carried faces once; safe to call again.
void InstallCarriedFaces();
QString CarriedFamily();

// Sizes are points at the design's 96 dots per inch, set as device-independent pixels so
// that text keeps its proportion to the control sizes at any scale factor.
QFont Font(qreal points, bool bold);

} // namespace DesignFont
