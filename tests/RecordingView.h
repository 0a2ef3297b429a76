// SPDX-License-Identifier: GPL-3.0-or-later
// The test double for the window: records every operation the logic performs, in order,
// and keeps just enough screen state (selection, visibility, places, captions) for the
// tests to act as a pupil would.
#pragma once

#include "Actions.h"
#include "FormView.h"
#include "RandomSource.h"
#include "TestRun.h"

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

class RecordingView final : public quiz::FormView {
public:
    explicit RecordingView(quiz::TestRun &run);

    void SetCaption(quiz::Control control, const std::string &caption) override;
    void SetVisible(quiz::Control control, bool visible) override;
    void ClearValue(quiz::Control option) override;
    bool GetValue(quiz::Control option) override;
    void SetBackColor(quiz::Control control, quiz::Rgb colour) override;
    void Move(quiz::Control control, int left, int top) override;
    void PressCommand4() override;
    void ShowNotice(const std::string &prompt) override;
    void EndProgram() override;

    // The pupil clicks option button k (1 to 4); the others lose their selection.
    void Select(int k);
    // What a pupil could press right now: a visible control inside the client area.
    bool Reachable(quiz::Control control) const;

    std::vector<std::string> Operations;
    std::vector<std::string> Notices;
    std::map<quiz::Control, std::string> Captions;
    std::map<quiz::Control, bool> Visible;
    std::map<quiz::Control, std::pair<int, int>> Places;
    std::array<bool, 4> Selected{};
    bool Ended = false;
    // Off for speed where only the state matters.
    bool Recording = true;

private:
    void Record(std::string operation);
    quiz::TestRun &run_;
};

// Replays a fixed list of values, then fails loudly: a test never runs on by accident
// past the draws it planned.
class ScriptedRandom final : public quiz::RandomSource {
public:
    explicit ScriptedRandom(std::vector<double> values) : values_(std::move(values)) {}
    void SeedFromClock() override { ++Seeds; }
    double Next() override;
    int Seeds = 0;

private:
    std::vector<double> values_;
    std::size_t next_ = 0;
};

// A fixed-seed engine that ignores the clock, so long runs replay exactly. Gives up after
// DrawLimit draws in a row without a reseed: a broken draw formula fails instead of hanging.
class ReplayRandom final : public quiz::RandomSource {
public:
    explicit ReplayRandom(std::uint64_t seed) : engine_(seed) {}
    void SeedFromClock() override { drawsSinceSeed_ = 0; }
    double Next() override;
    static constexpr int DrawLimit = 100000;

private:
    std::mt19937_64 engine_;
    int drawsSinceSeed_ = 0;
};

// The random value that makes floor(r * count) come out as index.
double ValueFor(int index, int count);

// Candidates 3, 3, 7, 1, 10, 2, 2, 5, 4, 6, 8, 9 give the order 3, 7, 1, 10, 2, 5, 4, 6, 8, 9;
// the draw after them is the layout roll.
extern const std::vector<int> ReplayedCandidates;
extern const std::vector<int> ReplayedOrder;
std::vector<double> ReplayedDraws(int layoutRoll);
