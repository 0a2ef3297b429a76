// SPDX-License-Identifier: GPL-3.0-or-later
// The four actions behind the buttons, and the routines they share. Each runs on the
// window's thread inside a click handler and changes the screen only through FormView.
#pragma once

#include "DesignTable.h"
#include "FormView.h"
#include "RandomSource.h"
#include "TestRun.h"

#include <array>
#include <string>

namespace quiz {

// Where a control goes to leave the client area (ClientWidth by ClientHeight).
constexpr int OffscreenLeft = 14000;
constexpr int OffscreenTop = 10000;

// Option rows inside Frame1, in twips. The top row keeps the design place of all four
// buttons; Start moves the other three onto the rows below it.
constexpr int LowerRowsLeft = 350;
inline constexpr int LowerRowTops[] = {900, 1500, 2100};

inline constexpr const char *PromptCheckFirst = "Нажмите кнопку ПРОВЕРИТЬ";
inline constexpr const char *PromptChooseAnswer = "Выберите ответ";
inline constexpr const char *PromptShowTeacher = "Покажите результат учителю";
inline constexpr const char *AnswerAccepted = "Ответ принят";
inline constexpr const char *AnswerPrompt = "Выберите ответ (изменения вносите до ПРОВЕРКИ)";
inline constexpr const char *OutOfTen = "из 10";

// What an action did, for the window to follow and a screen reader to tell, so that
// neither has to work it out again from the screen. The screen itself has already
// changed, through FormView, by the time the action returns this.
struct Outcome {
    enum class Kind {
        // The press means nothing now: a second Start, a repeated Check, Next after the
        // last question.
        Nothing,
        // Refused, and the pupil told why in a notice.
        Refused,
        // The answer on screen was accepted and judged.
        Accepted,
        // A question is on screen, its answers on the rows of this run.
        Showing,
        // The test is over and the program ends.
        Ended,
    };
    Kind What = Kind::Nothing;
    // Refused: the notice's prompt.
    std::string Notice;
    // Accepted: the verdict on the status line, the wrong answers so far, and whether
    // that was the last question.
    std::string Verdict;
    int WrongAnswers = 0;
    bool LastQuestion = false;
    // Showing: the question's number and text, and the option buttons from the top row
    // down.
    int QuestionNo = 0;
    std::string QuestionText;
    std::array<Control, 4> Rows{};
};

// Command1.
Outcome Start(TestRun &run, FormView &view, RandomSource &random);
// Command4.
Outcome Next(TestRun &run, FormView &view);
// Command2.
Outcome Check(TestRun &run, FormView &view);
// Command3.
Outcome Exit(TestRun &run, FormView &view);

void ShowQuestion(const TestRun &run, FormView &view);
void ShuffleQuestionOrder(TestRun &run, RandomSource &random);
void ArrangeOptions(const TestRun &run, FormView &view);

} // namespace quiz
