// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunRules.h"

#include <algorithm>

bool ExitMayEnd(const quiz::TestRun &run)
{
    return !run.CheckDue() && (run.QuestionNo < quiz::QuestionCount || run.ExitWarnings > 0);
}

std::string BrokenRule(const quiz::TestRun &run, const Screen &screen, bool pressedExit, bool exitMayEnd)
{
    if (run.QuestionNo < 0 || run.QuestionNo > quiz::QuestionCount)
        return "QuestionNo out of range";
    if (run.CheckedNo != run.QuestionNo && run.CheckedNo != run.QuestionNo - 1)
        return "CheckedNo is neither QuestionNo nor QuestionNo - 1";
    const int accepted = run.CheckedNo - (run.EmptyChecks > 0 ? 1 : 0);
    if (run.WrongAnswers < 0 || run.WrongAnswers > accepted)
        return "more wrong answers than accepted ones";
    if (screen.NumberShown != (run.QuestionNo == 0 ? "" : std::to_string(run.QuestionNo)))
        return "Label6 does not show QuestionNo";
    if (run.QuestionNo > 0) {
        auto sorted = run.QuestionOrder;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < quiz::QuestionCount; ++i)
            if (sorted[static_cast<std::size_t>(i)] != i + 1)
                return "the order is not a permutation of 1 to 10";
        if (screen.StartReachable)
            return "Start is still reachable";
        if ((run.QuestionNo == quiz::QuestionCount) == screen.NextReachable)
            return "Next is reachable at question 10, or missing before it";
    }
    if (screen.Ended && !(pressedExit && exitMayEnd))
        return "the program ended where Exit does not allow it";
    return {};
}
