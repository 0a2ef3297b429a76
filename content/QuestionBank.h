// SPDX-License-Identifier: GPL-3.0-or-later
// The ten fixed questions of the test, their answers and the answer key.
#pragma once

#include <array>
#include <string_view>

namespace quiz {

struct Question {
    std::string_view Text;
    // Answer k is always shown on option button k; the bank never reorders them.
    std::array<std::string_view, 4> Answers;
    // Option index 1 to 4 of the correct answer, stored rather than derived:
    // the same answer text is right in one question and wrong in another.
    int Key;
};

class QuestionBank {
public:
    static constexpr int FirstId = 1;
    static constexpr int LastId = 10;

    // The entry for ids 1 to 10; nullptr for any other id, including 0 ("no question").
    static const Question *Find(int id);
};

} // namespace quiz
