// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears of the window, and where the keyboard focus goes when the
// test moves on. Nothing here changes what a sighted pupil sees.
//
// Screen readers speak a control when it takes the focus (its name, role and description)
// together with the names of the containers the focus enters; some do not speak a name
// or description that changes while the pupil stays put. So whatever a pupil must hear is
// put in place first, and then the focus moves onto it.
#pragma once

#include "FormView.h"

#include <QString>

class Form1;

namespace ScreenReader {

// Roles and names for every control; called once the controls exist.
void Describe(Form1 &window);

// A caption the logic has just set: the question's number and text become the name of
// the answer frame, heard whenever the focus comes into the answers; bare numbers get
// their meaning.
void CaptionChanged(Form1 &window, quiz::Control control, const QString &caption);

// Start has taken the photograph away and put the answers on the rows of this run.
void TestStarted(Form1 &window);

// After a new question appears the pupil's next step is to choose an answer.
void FocusTopAnswer(Form1 &window);

// An answer has just been accepted: the focus goes on to the button the pupil presses
// next, «Следующий вопрос», or «Выход» after the last question, and that button first
// carries the verdict and the count of mistakes, so both are heard as it takes the focus.
void AnswerAccepted(Form1 &window);

} // namespace ScreenReader
