// SPDX-License-Identifier: GPL-3.0-or-later
// The state of the one test a run of the program holds.
#pragma once

#include <array>
#include <cstdint>

namespace quiz {

constexpr int QuestionCount = 10;

struct TestRun {
    // Position p (1 to 10) holds the id of the question shown as question number p;
    // all 0 until Start shuffles. Read it through QuestionAt.
    std::array<std::uint8_t, QuestionCount> QuestionOrder{};
    int QuestionNo = 0;
    int CheckedNo = 0;
    int EmptyChecks = 0;
    int WrongAnswers = 0;
    int ExitWarnings = 0;
    int LayoutRoll = 0;

    // The question on display has no accepted answer yet.
    bool CheckDue() const { return CheckedNo < QuestionNo || EmptyChecks != 0; }

    // The id at position p, or 0 for an empty position or a position outside 1 to 10.
    int QuestionAt(int position) const
    {
        if (position < 1 || position > QuestionCount)
            return 0;
        return QuestionOrder[static_cast<std::size_t>(position - 1)];
    }
};

} // namespace quiz
