// SPDX-License-Identifier: GPL-3.0-or-later
#include "Actions.h"

#include "QuestionBank.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace quiz {

namespace {

constexpr Control Options[] = {Control::Option1, Control::Option2, Control::Option3, Control::Option4};

// The option buttons from the top row down, one line per quarter of LayoutRoll's range:
// the first stays where it was designed, the other three go to the rows at 900, 1500 and
// 2100 twips.
constexpr std::array<std::array<Control, 4>, 4> Arrangements{{
    {Control::Option4, Control::Option1, Control::Option2, Control::Option3},
    {Control::Option3, Control::Option2, Control::Option4, Control::Option1},
    {Control::Option2, Control::Option3, Control::Option1, Control::Option4},
    {Control::Option1, Control::Option4, Control::Option3, Control::Option2},
}};
constexpr int LayoutRollFirst = 50;
constexpr int LayoutRollSpan = 200;
constexpr int LayoutRollsPerArrangement = LayoutRollSpan / 4;

int Draw(RandomSource &random, int count)
{
    // floor(r * count) with r in [0, 1) is 0 to count - 1.
    return static_cast<int>(std::floor(random.Next() * count));
}

bool IsIdle(const TestRun &run)
{
    return run.QuestionNo == 0
        && std::all_of(run.QuestionOrder.begin(), run.QuestionOrder.end(), [](std::uint8_t id) { return id == 0; });
}

bool AnyOptionSelected(FormView &view)
{
    return std::any_of(std::begin(Options), std::end(Options), [&](Control option) { return view.GetValue(option); });
}

void ClearSelection(FormView &view)
{
    for (Control option : Options)
        view.ClearValue(option);
}

const std::array<Control, 4> &Rows(const TestRun &run)
{
    const int arrangement = std::clamp((run.LayoutRoll - LayoutRollFirst) / LayoutRollsPerArrangement, 0, 3);
    return Arrangements[static_cast<std::size_t>(arrangement)];
}

Outcome Refused(const char *prompt)
{
    Outcome outcome;
    outcome.What = Outcome::Kind::Refused;
    outcome.Notice = prompt;
    return outcome;
}

Outcome Showing(const TestRun &run)
{
    Outcome outcome;
    outcome.What = Outcome::Kind::Showing;
    outcome.QuestionNo = run.QuestionNo;
    if (const Question *question = QuestionBank::Find(run.QuestionAt(run.QuestionNo)))
        outcome.QuestionText = question->Text;
    outcome.Rows = Rows(run);
    return outcome;
}

} // namespace

Outcome Start(TestRun &run, FormView &view, RandomSource &random)
{
    // Start belongs to the launch screen only. Run again, the shuffle would wait forever
    // for an id not yet in a full order, so a second Start does nothing at all.
    if (!IsIdle(run))
        return {};

    view.Move(Control::Picture1, OffscreenLeft, OffscreenTop);
    for (Control option : {Control::Option1, Control::Option2, Control::Option3})
        view.SetBackColor(option, LightGreen);
    view.SetCaption(Control::Label8, OutOfTen);
    // Next runs nested here: it swaps Command1 for Command4 and makes this question 1.
    view.PressCommand4();
    random.SeedFromClock();
    ShuffleQuestionOrder(run, random);
    view.SetCaption(Control::Label7, "");
    run.LayoutRoll = Draw(random, LayoutRollSpan) + LayoutRollFirst;
    ArrangeOptions(run, view);
    view.SetCaption(Control::Frame1, AnswerPrompt);
    for (Control option : Options)
        view.SetVisible(option, true);
    ClearSelection(view);
    run.QuestionNo = 1;
    view.SetCaption(Control::Label6, "1");
    ShowQuestion(run, view);
    return Showing(run);
}

void ShuffleQuestionOrder(TestRun &run, RandomSource &random)
{
    for (std::size_t position = 0; position < run.QuestionOrder.size(); ++position) {
        std::uint8_t candidate = 0;
        do {
            candidate = static_cast<std::uint8_t>(Draw(random, QuestionCount) + 1);
        } while (std::find(run.QuestionOrder.begin(), run.QuestionOrder.end(), candidate) != run.QuestionOrder.end());
        run.QuestionOrder[position] = candidate;
    }
}

void ArrangeOptions(const TestRun &run, FormView &view)
{
    for (std::size_t row = 0; row < std::size(LowerRowTops); ++row)
        view.Move(Rows(run)[row + 1], LowerRowsLeft, LowerRowTops[row]);
}

Outcome Next(TestRun &run, FormView &view)
{
    // There is nothing after question 10. Command4 is out of reach there; should it be
    // pressed anyway, the count must not run past the end of the order.
    if (run.QuestionNo >= QuestionCount)
        return {};

    view.SetVisible(Control::Command1, false);
    view.SetVisible(Control::Command4, true);
    view.SetCaption(Control::Label7, "");
    if (run.CheckDue()) {
        view.ShowNotice(PromptCheckFirst);
        return Refused(PromptCheckFirst);
    }
    ClearSelection(view);
    ++run.QuestionNo;
    view.SetCaption(Control::Label6, std::to_string(run.QuestionNo));
    if (run.QuestionNo == QuestionCount)
        view.Move(Control::Command4, OffscreenLeft, OffscreenTop);
    ShowQuestion(run, view);
    return Showing(run);
}

void ShowQuestion(const TestRun &run, FormView &view)
{
    const Question *question = QuestionBank::Find(run.QuestionAt(run.QuestionNo));
    if (question == nullptr)
        return;
    view.SetCaption(Control::Label1, std::string(question->Text));
    for (int k = 1; k <= 4; ++k)
        view.SetCaption(OptionButton(k), std::string(question->Answers[static_cast<std::size_t>(k - 1)]));
}

Outcome Check(TestRun &run, FormView &view)
{
    if (run.EmptyChecks == 0)
        ++run.CheckedNo;
    // Each question is judged once: a repeated Check, or one before Start, changes nothing.
    if (run.CheckedNo > run.QuestionNo) {
        run.CheckedNo = run.QuestionNo;
        return {};
    }
    if (!AnyOptionSelected(view)) {
        view.ShowNotice(PromptChooseAnswer);
        ++run.EmptyChecks;
        return Refused(PromptChooseAnswer);
    }
    const Question *question = QuestionBank::Find(run.QuestionAt(run.QuestionNo));
    if (question != nullptr && !view.GetValue(OptionButton(question->Key)))
        ++run.WrongAnswers;
    view.SetCaption(Control::Label4, std::to_string(run.WrongAnswers));
    view.SetCaption(Control::Label7, AnswerAccepted);
    run.EmptyChecks = 0;
    Outcome outcome;
    outcome.What = Outcome::Kind::Accepted;
    outcome.Verdict = AnswerAccepted;
    outcome.WrongAnswers = run.WrongAnswers;
    outcome.LastQuestion = run.QuestionNo == QuestionCount;
    return outcome;
}

Outcome Exit(TestRun &run, FormView &view)
{
    if (run.CheckDue()) {
        view.ShowNotice(PromptCheckFirst);
        return Refused(PromptCheckFirst);
    }
    if (run.QuestionNo == QuestionCount && run.ExitWarnings == 0) {
        view.ShowNotice(PromptShowTeacher);
        ++run.ExitWarnings;
        return Refused(PromptShowTeacher);
    }
    view.EndProgram();
    Outcome outcome;
    outcome.What = Outcome::Kind::Ended;
    return outcome;
}

} // namespace quiz
