// SPDX-License-Identifier: GPL-3.0-or-later
// The window as designed: every control's place, size, caption, colours, font and
// visibility at launch, in the design's own units (twips and RGB), and the one place where
// those units become device-independent pixels and Qt colours.
#pragma once

#include "FormView.h"

#include <QColor>
#include <Qt>

struct Design {
    quiz::Control Id;
    int Left, Top, Width, Height;
    const char *Caption;
    quiz::Rgb Back;
    quiz::Rgb Text;
    qreal Points;
    bool Bold;
    Qt::Alignment Alignment;
    bool Visible;
};

// The launch screen, every control but the window itself, in the design's tab order. The option buttons' places are within Frame1.
extern const Design Designs[quiz::ControlCount - 1];

const Design &DesignOf(quiz::Control control);

inline constexpr quiz::Rgb Black{0, 0, 0};

inline constexpr const char *WindowCaption = "Знайдар";
inline constexpr const char *NoticeTitle = "Внимание!";
// The colour of the keyboard focus mark, dark enough to see on every green.
inline constexpr quiz::Rgb FocusMark{0, 0, 128};

// Twips in the design become device-independent pixels here and nowhere else.
int Pixels(int twips);
QColor Colour(quiz::Rgb colour);
