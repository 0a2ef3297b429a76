// SPDX-License-Identifier: GPL-3.0-or-later
// The window's fonts. The design asks for "MS Sans Serif"; where it is missing the window
// falls back on the Liberation Sans it carries, never on whatever the system would pick,
// so that every text fits its control the same way on every machine.
#pragma once

#include <QFont>

namespace DesignFont {

inline constexpr const char *DesignFamily = "MS Sans Serif";

// Registers the carried faces once; safe to call again.
void InstallCarriedFaces();
QString CarriedFamily();

// Sizes are points at the design's 96 dots per inch, set as device-independent pixels so
// that text keeps its proportion to the control sizes at any scale factor.
QFont Font(qreal points, bool bold);

} // namespace DesignFont
