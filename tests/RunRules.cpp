// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunRules.h"

#include <algorithm>

std::string BrokenRule(const quiz::TestRun &run, const std::string &numberShown)
{
    if (run.QuestionNo < 0 || run.QuestionNo > quiz::QuestionCount)
        return "QuestionNo out of range";
    if (run.CheckedNo != run.QuestionNo && run.CheckedNo != run.QuestionNo - 1)
        return "CheckedNo is neither QuestionNo nor QuestionNo - 1";
    const int accepted = run.CheckedNo - (run.EmptyChecks > 0 ? 1 : 0);
    if (run.WrongAnswers < 0 || run.WrongAnswers > accepted)
        return "more wrong answers than accepted ones";
    if (numberShown != (run.QuestionNo == 0 ? "" : std::to_string(run.QuestionNo)))
        return "Label6 does not show QuestionNo";
    if (run.QuestionNo > 0) {
        auto sorted = run.QuestionOrder;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < quiz::QuestionCount; ++i)
            if (sorted[static_cast<std::size_t>(i)] != i + 1)
                return "the order is not a permutation of 1 to 10";
    }
    return {};
}

bool ExitMayEnd(const quiz::TestRun &run)
{
    return !run.CheckDue() && (run.QuestionNo < quiz::QuestionCount || run.ExitWarnings > 0);
}
