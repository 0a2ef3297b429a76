// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears of the window, and where the keyboard focus goes when the
// test moves on. Nothing here changes what a sighted pupil sees.
#pragma once

#include "FormView.h"

#include <QString>

class Form1;

namespace ScreenReader {

// Roles and names for every control; called once the controls exist.
void Describe(Form1 &window);

// A caption the logic has just set, for the controls whose caption means little when heard
// on its own.
void CaptionChanged(Form1 &window, quiz::Control control, const QString &caption);

// After a new question appears the pupil's next step is to choose an answer.
void FocusTopAnswer(Form1 &window);

} // namespace ScreenReader
