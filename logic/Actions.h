// SPDX-License-Identifier: GPL-3.0-or-later
// The four actions behind the buttons, and the routines they share. Each runs on the
// window's thread inside a click handler and changes the screen only through FormView.
#pragma once

#include "DesignTable.h"
#include "FormView.h"
#include "RandomSource.h"
#include "TestRun.h"

namespace quiz {

// Where a control goes to leave the client area (ClientWidth by ClientHeight).
constexpr int OffscreenLeft = 14000;
constexpr int OffscreenTop = 10000;

inline constexpr const char *PromptCheckFirst = "Нажмите кнопку ПРОВЕРИТЬ";
inline constexpr const char *PromptChooseAnswer = "Выберите ответ";
inline constexpr const char *PromptShowTeacher = "Покажите результат учителю";
inline constexpr const char *AnswerAccepted = "Ответ принят";
inline constexpr const char *AnswerPrompt = "Выберите ответ (изменения вносите до ПРОВЕРКИ)";
inline constexpr const char *OutOfTen = "из 10";

// Command1.
void Start(TestRun &run, FormView &view, RandomSource &random);
// Command4.
void Next(TestRun &run, FormView &view);
// Command2.
void Check(TestRun &run, FormView &view);
// Command3.
void Exit(TestRun &run, FormView &view);

void ShowQuestion(const TestRun &run, FormView &view);
void ShuffleQuestionOrder(TestRun &run, RandomSource &random);
void ArrangeOptions(const TestRun &run, FormView &view);

} // namespace quiz
