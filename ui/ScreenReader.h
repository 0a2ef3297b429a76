// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told of the window, and when; how each control presents itself
// is in AccessibleControls.h. Nothing here changes what a sighted pupil sees, nor where the
// keyboard focus goes: the window moves the focus once this has put in place what a pupil
// must hear there.
//
// Screen readers speak a control when it takes the focus (its name, role and description)
// together with the names of the containers the focus enters; some do not speak a name
// or description that changes while the pupil stays put. So whatever a pupil must hear is
// put in place first, and then the focus moves onto it.
#pragma once

#include "Actions.h"
#include "Controls.h"
#include "FormView.h"

#include <QString>

namespace ScreenReader {

// Roles and names for every control; called once the controls exist.
void Describe(const Controls &controls);

// A caption the logic has just set: bare numbers get their meaning, and the frame's title,
// the instruction, becomes the answers' description.
void CaptionChanged(const Controls &controls, quiz::Control control, const QString &caption);

// What an action did. A question shown becomes the name of the answers' list, heard
// whenever the focus comes into the answers. An accepted answer's verdict and count of
// mistakes ride on the button the pupil presses next, «Следующий вопрос», or «Выход» after
// the last question, so both are heard as it takes the focus.
void Tell(const Controls &controls, const quiz::Outcome &outcome);

} // namespace ScreenReader
